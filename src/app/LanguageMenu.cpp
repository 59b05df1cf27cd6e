#include "app/LanguageMenu.h"

#include <array>
#include <fstream>

#include "drawing/ControlMenus.h"
#include "text/LanguageChoice.h"

namespace funzioni {

namespace {

struct LanguageItem {
  Language language;
  std::string_view ownName;  // how the language calls itself
};
constexpr std::array<LanguageItem, 3> kItems{{
    {Language::Italian, "Italiano"},
    {Language::German, "Deutsch"},
    {Language::Slovene, "Slovenščina"},
}};

}  // namespace

void AddLanguageMenuItems(Dialog& dialog, int boxId, const Catalogue& catalogue) {
  for (std::size_t i = 0; i < kItems.size(); ++i) {
    AddTextBoxMenuItem(dialog, boxId, catalogue.Format("Lingua: {0}", {kItems[i].ownName}),
                       kCommandLanguageBase + static_cast<int>(i));
  }
}

std::optional<std::string> ChooseLanguageCommand(int id, const std::filesystem::path& file,
                                                 const Catalogue& catalogue) {
  const int index = id - kCommandLanguageBase;
  if (index < 0 || index >= static_cast<int>(kItems.size())) return std::nullopt;
  const LanguageItem& item = kItems[static_cast<std::size_t>(index)];
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << RememberedLanguageText(item.language);
  out.close();
  // A choice that was not kept must not be reported as made.
  if (!out) {
    return catalogue.Format(
        " Impossibile salvare {0}.\r\n"
        " Controlla che la cartella sia scrivibile\r\n"
        " e che il disco non sia pieno.",
        {file.filename().string()});
  }
  return catalogue.Format(" Lingua scelta: {0}.\r\n Vale dal prossimo avvio.", {item.ownName});
}

}  // namespace funzioni
