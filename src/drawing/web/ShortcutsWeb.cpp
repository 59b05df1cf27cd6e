// Key combinations in the page: the script matches them before the focused element sees them
// and sends their command.

#include <emscripten.h>

#include <string>

#include "drawing/DialogServices.h"
#include "drawing/Shortcuts.h"

// clang-format off
EM_JS(void, funzioni_js_add_shortcut, (const void* owner, const char* keys, int command,
                                       int focusId), {
  FunzioniPage.addShortcut(owner, UTF8ToString(keys), command, focusId);
});
EM_JS(void, funzioni_js_remove_shortcuts, (const void* owner), {
  FunzioniPage.removeShortcuts(owner);
});
// clang-format on

namespace funzioni {

namespace {

std::string_view KeysOf(StandardKey key) {
  switch (key) {
    case StandardKey::Save:
      return "Ctrl+S";
    case StandardKey::Print:
      return "Ctrl+P";
    case StandardKey::Copy:
      return "Ctrl+C";
  }
  return {};
}

}  // namespace

struct DialogShortcuts::Impl {
  Dialog& dialog;
};

DialogShortcuts::DialogShortcuts(Dialog& dialog) : impl_(std::make_unique<Impl>(Impl{dialog})) {}

DialogShortcuts::~DialogShortcuts() {
  funzioni_js_remove_shortcuts(impl_.get());
}

void DialogShortcuts::Add(StandardKey key, int commandId, int onlyWithFocusId) {
  Add(KeysOf(key), commandId, onlyWithFocusId);
}

void DialogShortcuts::Add(std::string_view keys, int commandId, int onlyWithFocusId) {
  funzioni_js_add_shortcut(impl_.get(), std::string(keys).c_str(), commandId, onlyWithFocusId);
}

}  // namespace funzioni
