// The page's text box keeps the browser's own context menu.

#include "drawing/ControlMenus.h"

namespace funzioni {

void AddTextBoxMenuItem(Dialog&, int, std::string_view, int) {}

}  // namespace funzioni
