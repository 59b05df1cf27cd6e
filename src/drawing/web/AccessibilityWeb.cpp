// Assistive technologies in the page: the stock controls are page elements and carry their names;
// the drawn controls are not described yet.

#include "PageBridge.h"
#include "PageText.h"
#include "drawing/Accessibility.h"
#include "drawing/DialogServices.h"

namespace funzioni {

void DescribeControl(Dialog& /*dialog*/, int /*id*/, ControlDescription /*description*/) {}

void ForgetControlDescriptions(Dialog& /*dialog*/) {}

void NameStockControl(Dialog& dialog, int id, std::string_view name) {
  if (dialog.HasControl(id)) web::SetAccessibleName(id, web::PageText(name));
}

void SetKeyboardOrder(Dialog& /*dialog*/, std::span<const int> /*ids*/) {}

}  // namespace funzioni
