#pragma once

// Key combinations that reach a dialog's handler as commands, whatever control has the focus, or
// only while one given control has it. Keys that match nothing go on to the focused control.

#include <memory>
#include <string_view>

namespace funzioni {

class Dialog;

// The desktop's own keys for these actions (Ctrl+S, Ctrl+P and Ctrl+C on most desktops).
enum class StandardKey { Save, Print, Copy };

class DialogShortcuts {
 public:
  // Watches the keys of the dialog's window for as long as this object lives.
  explicit DialogShortcuts(Dialog& dialog);
  ~DialogShortcuts();
  DialogShortcuts(const DialogShortcuts&) = delete;
  DialogShortcuts& operator=(const DialogShortcuts&) = delete;

  // The key sends command `commandId` (code 0). With onlyWithFocusId > 0 it does so only while
  // that control has the keyboard focus; elsewhere the key keeps its usual meaning.
  void Add(StandardKey key, int commandId, int onlyWithFocusId = 0);
  // The same for a key written as "Ctrl+Shift+C".
  void Add(std::string_view keys, int commandId, int onlyWithFocusId = 0);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace funzioni
