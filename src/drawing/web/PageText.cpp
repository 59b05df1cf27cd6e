#include "PageText.h"

#include "drawing/TextRules.h"

namespace funzioni::web {

std::string PageText(std::string_view bytes) {
  return Utf8Of(bytes);
}

}  // namespace funzioni::web
