#pragma once

// The page's own elements (its notes, the editor's dialog, the side windows' buttons) speak the
// language the program chose: the program hands the page their translations from its catalogue
// once it has chosen, so that the page keeps no translations of its own. The desktop has no page.

#include <span>
#include <string_view>

#include "text/Language.h"

namespace funzioni {

// The Italian texts of the page's own elements: each is a msgid of the catalogue.
std::span<const std::string_view> PageTexts();

// Hands the page the language's code and the translation of every PageTexts() entry; nothing on
// the desktop.
void UsePageLanguage(Language language);

}  // namespace funzioni
