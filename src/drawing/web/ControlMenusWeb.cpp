// The page's context menus: one menu element of the page (export.js) shows the items the program
// gives, at the pointer, and reports the choice later, as the page cannot wait for it. A text box
// with items of the program gets its menu from the page's script: its editing entries, then the
// program's items, which send their commands as a key of the dialog would.

#include <emscripten.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "PageBridge.h"
#include "PageText.h"
#include "drawing/ControlMenus.h"
#include "drawing/DialogServices.h"
#include "drawing/ExportServices.h"

// clang-format off
EM_JS(void, funzioni_js_open_menu, (int x, int y, const char* texts, const char* enabled), {
  FunzioniExport.openMenu(x, y, UTF8ToString(texts).split('\n'), UTF8ToString(enabled));
});
EM_JS(void, funzioni_js_add_box_item, (int boxId, const char* text, int commandId), {
  FunzioniExport.addBoxItem(boxId, UTF8ToString(text), commandId);
});
// clang-format on

namespace funzioni {

void ShowPopupMenu(Dialog& owner, const std::vector<MenuItem>& items,
                   std::function<void(int index)> chosen) {
  std::string texts;
  std::string enabled;
  for (const MenuItem& item : items) {
    if (!texts.empty() || !enabled.empty()) texts += '\n';
    texts += web::PageText(item.text);
    enabled += item.enabled ? '1' : '0';
  }
  web::ThePage().menu = {std::move(chosen), web::ShownDialog()};
  const PixelPoint at = owner.GetPointerPosition();
  funzioni_js_open_menu(at.x, at.y, texts.c_str(), enabled.c_str());
}

// The script ignores identifiers that name no text box.
void AddTextBoxMenuItem(Dialog& /*dialog*/, int boxId, std::string_view text, int commandId) {
  funzioni_js_add_box_item(boxId, web::PageText(text).c_str(), commandId);
}

}  // namespace funzioni

extern "C" {

// The item chosen in the menu shown last, or -1 when it was closed without a choice. Nothing is
// called once the dialog that showed the menu has gone or ended.
EMSCRIPTEN_KEEPALIVE void funzioni_page_menu_choice(int index) {
  funzioni::web::PageContext& page = funzioni::web::ThePage();
  const funzioni::web::LaterAnswer<int> menu = std::exchange(page.menu, {});
  const funzioni::web::PageInput* dialog = page.shown;
  if (index < 0 || !menu.answer || dialog == nullptr || dialog != menu.dialog) return;
  if ((dialog->PageState() & 4) != 0) return;
  menu.answer(index);
}

}  // extern "C"
