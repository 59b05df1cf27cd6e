#pragma once

// Qt's own dialogs and menus (saving, printing, message boxes, a text field's editing menu) in
// the program's language: German from the Qt translations Debian ships, Slovene, which Debian's
// Qt does not cover, from the program's own table of the texts those dialogs show. Italian keeps
// Qt's own texts, as it always has. On a desktop without a locale of its own (C, POSIX), German
// and Slovene also bring their decimal comma to the copied and saved tables
// (DesktopDecimalSeparator). Desktop only: the page has no Qt dialogs.

#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "text/Language.h"

namespace funzioni {

// One text of Qt's dialogs (as Qt writes it, '&' marking the shortcut's letter) and its
// Slovene.
struct QtDialogText {
  std::string_view english;
  std::string_view slovene;
};

// The Slovene table, sorted by the English text.
std::span<const QtDialogText> SloveneQtDialogTexts();
// The Slovene of one text of Qt's dialogs, or nothing.
std::optional<std::string_view> SloveneQtDialogText(std::string_view english);

// While it lives, the running application's Qt dialogs speak the language (make it after the
// application).
class QtDialogLanguage {
 public:
  explicit QtDialogLanguage(Language language);
  ~QtDialogLanguage();
  QtDialogLanguage(const QtDialogLanguage&) = delete;
  QtDialogLanguage& operator=(const QtDialogLanguage&) = delete;

  // False when the language's translations could not be loaded (Qt's texts stay English).
  bool Loaded() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace funzioni
