#pragma once

// The formula box's menu entries that choose the window's language. The choice is kept beside
// the history (text/LanguageChoice.h) and takes effect at the next start: every text of the
// window is made once, in one language.

#include <filesystem>
#include <optional>
#include <string>

#include "app/Ids.h"
#include "text/Catalogue.h"

namespace funzioni {

class Dialog;

// Adds "Lingua: Italiano", "Lingua: Deutsch" and "Lingua: Slovenščina" (the prefix in the
// catalogue's language, each language's name in itself) to the formula box's menu.
void AddLanguageMenuItems(Dialog& dialog, int boxId, const Catalogue& catalogue);

// For a language entry's command: writes the choice to the file and gives the note to show (that
// it holds from the next start, or that it could not be kept). Nothing for other commands.
std::optional<std::string> ChooseLanguageCommand(int id, const std::filesystem::path& file,
                                                 const Catalogue& catalogue);

}  // namespace funzioni
