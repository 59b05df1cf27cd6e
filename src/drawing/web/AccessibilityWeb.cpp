// Assistive technologies and the keyboard in the page: the stock controls are page elements and
// carry their names; each drawn control has a mirror element (PageAccess.h).

#include "PageAccess.h"
#include "PageBridge.h"
#include "PageText.h"
#include "drawing/Accessibility.h"
#include "drawing/DialogServices.h"

namespace funzioni {

void DescribeControl(Dialog& dialog, int id, ControlDescription description) {
  if (dialog.FindSurface(id) == nullptr) return;
  web::DrawnControlsOf(dialog).Describe(id, std::move(description));
}

void ForgetControlDescriptions(Dialog& dialog) {
  web::DrawnControlsOf(dialog).Forget();
}

void NameStockControl(Dialog& dialog, int id, std::string_view name) {
  if (dialog.HasControl(id) && dialog.FindSurface(id) == nullptr) {
    web::SetAccessibleName(id, web::PageText(name));
  }
}

void SetKeyboardOrder(Dialog& dialog, std::span<const int> ids) {
  web::DrawnControlsOf(dialog).SetKeyboardOrder(ids);
}

}  // namespace funzioni
