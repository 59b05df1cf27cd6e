#include "drawing/QtDialogLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QString>
#include <QTranslator>
#include <algorithm>
#include <array>

namespace funzioni {

namespace {

// Qt's dialogs' texts in Slovene, by the English text (byte order).
constexpr std::array<QtDialogText, 147> kSlovene{{
    {"%1\nDirectory not found.\nPlease verify the correct directory name was given.",
     "%1\nMape ni mogo\xC4\x8D"
     "e najti.\nPreveri, ali je ime mape pravilno."},
    {"%1\nFile not found.\nPlease verify the correct file name was given.",
     "%1\nDatoteke ni mogo\xC4\x8D"
     "e najti.\nPreveri, ali je ime datoteke pravilno."},
    {"%1 already exists.\nDo you want to overwrite it?",
     "%1 \xC5\xBE"
     "e obstaja.\nJo \xC5\xBE"
     "eli\xC5\xA1 prepisati?"},
    {"%1 already exists.\nDo you want to replace it?",
     "%1 \xC5\xBE"
     "e obstaja.\nJo \xC5\xBE"
     "eli\xC5\xA1 zamenjati?"},
    {"%1 is a directory.\nPlease choose a different file name.",
     "%1 je mapa.\nIzberi drugo ime datoteke."},
    {"&Choose", "&Izberi"},
    {"&Copy", "&Kopiraj"},
    {"&Delete", "&Izbri\xC5\xA1i"},
    {"&Name:", "&Ime:"},
    {"&New Folder", "&Nova mapa"},
    {"&No", "&Ne"},
    {"&Open", "&Odpri"},
    {"&Options <<", "&Mo\xC5\xBEnosti <<"},
    {"&Options >>", "&Mo\xC5\xBEnosti >>"},
    {"&Paste", "&Prilepi"},
    {"&Print", "&Natisni"},
    {"&Redo", "&Uveljavi"},
    {"&Rename", "P&reimenuj"},
    {"&Save", "&Shrani"},
    {"&Undo", "&Razveljavi"},
    {"&Yes", "&Da"},
    {"Abort", "Prekini"},
    {"Advanced", "Napredno"},
    {"Alias", "Vzdevek"},
    {"All Files (*)", "Vse datoteke (*)"},
    {"All Pages", "Vse strani"},
    {"Apply", "Uporabi"},
    {"Are you sure you want to delete '%1'?",
     "Res \xC5\xBE"
     "eli\xC5\xA1 izbrisati \xC2\xBB%1\xC2\xAB?"},
    {"Back", "Nazaj"},
    {"Cancel", "Prekli\xC4\x8Di"},
    {"Change to detail view mode", "Preklopi na podroben pogled"},
    {"Change to list view mode", "Preklopi na pogled seznama"},
    {"Close", "Zapri"},
    {"Close without Saving", "Zapri brez shranjevanja"},
    {"Collate", "Zlo\xC5\xBEi"},
    {"Color", "Barvno"},
    {"Color Mode", "Barvni na\xC4\x8Din"},
    {"Computer", "Ra\xC4\x8Dunalnik"},
    {"Copies", "Kopije"},
    {"Copies:", "Kopije:"},
    {"Could not delete directory.",
     "Mape ni bilo mogo\xC4\x8D"
     "e izbrisati."},
    {"Create New Folder", "Ustvari novo mapo"},
    {"Create a New Folder", "Ustvari novo mapo"},
    {"Cu&t", "&Izre\xC5\xBEi"},
    {"Current Page", "Trenutna stran"},
    {"Custom", "Po meri"},
    {"Date Modified", "Datum spremembe"},
    {"Delete", "Izbri\xC5\xA1i"},
    {"Detail View", "Podrobnosti"},
    {"Directories", "Mape"},
    {"Directory:", "Mapa:"},
    {"Discard", "Zavrzi"},
    {"Don't Save", "Ne shrani"},
    {"Double Sided Printing", "Obojestransko tiskanje"},
    {"Drive", "Pogon"},
    {"Even Pages", "Sode strani"},
    {"File", "Datoteka"},
    {"File %1 is not writable.\nPlease choose a different file name.",
     "V datoteko %1 ni mogo\xC4\x8D"
     "e pisati.\nIzberi drugo ime datoteke."},
    {"File &name:", "Ime &datoteke:"},
    {"File Folder", "Mapa"},
    {"Files", "Datoteke"},
    {"Files of type:", "Vrsta datotek:"},
    {"Folder", "Mapa"},
    {"Form", "Obrazec"},
    {"Forward", "Naprej"},
    {"Go back", "Pojdi nazaj"},
    {"Go forward", "Pojdi naprej"},
    {"Go to the parent directory", "Pojdi v nadrejeno mapo"},
    {"Grayscale", "Sivine"},
    {"Height:", "Vi\xC5\xA1ina:"},
    {"Help", "Pomo\xC4\x8D"},
    {"Hide Details...", "Skrij podrobnosti ..."},
    {"Ignore", "Prezri"},
    {"Invalid Pages Definition", "Neveljavna dolo\xC4\x8Ditev strani"},
    {"Job Options", "Mo\xC5\xBEnosti posla"},
    {"Kind", "Vrsta"},
    {"Landscape",
     "Le\xC5\xBE"
     "e\xC4\x8D"
     "e"},
    {"List View", "Seznam"},
    {"List of places and bookmarks", "Seznam mest in zaznamkov"},
    {"Local file", "Krajevna datoteka"},
    {"Location:", "Mesto:"},
    {"Long side binding", "Vezava na dalj\xC5\xA1i strani"},
    {"Look in:", "I\xC5\xA1\xC4\x8Di v:"},
    {"Margins", "Robovi"},
    {"My Computer", "Moj ra\xC4\x8Dunalnik"},
    {"N&o to All", "N&e za vse"},
    {"Name", "Ime"},
    {"New Folder", "Nova mapa"},
    {"OK", "V redu"},
    {"Odd Pages", "Lihe strani"},
    {"Off", "Izklopljeno"},
    {"Open", "Odpri"},
    {"Options", "Mo\xC5\xBEnosti"},
    {"Orientation", "Usmerjenost"},
    {"Output &file:", "Izhodna &datoteka:"},
    {"Output Settings", "Nastavitve izpisa"},
    {"P&roperties", "&Lastnosti"},
    {"Page Layout", "Postavitev strani"},
    {"Page Set:", "Nabor strani:"},
    {"Page Setup", "Nastavitev strani"},
    {"Page order:", "Vrstni red strani:"},
    {"Page size:", "Velikost strani:"},
    {"Pages from", "Strani od"},
    {"Pages per sheet:", "Strani na list:"},
    {"Paper", "Papir"},
    {"Paper source:", "Vir papirja:"},
    {"Parent Directory", "Nadrejena mapa"},
    {"Portrait", "Pokon\xC4\x8Dno"},
    {"Print", "Natisni"},
    {"Print Preview", "Predogled tiskanja"},
    {"Print To File ...", "Natisni v datoteko ..."},
    {"Print all", "Natisni vse"},
    {"Print range", "Obseg tiskanja"},
    {"Print to File (PDF)", "Natisni v datoteko (PDF)"},
    {"Printer", "Tiskalnik"},
    {"Printer Properties", "Lastnosti tiskalnika"},
    {"Recent Places", "Nedavna mesta"},
    {"Remove", "Odstrani"},
    {"Reset", "Ponastavi"},
    {"Restore Defaults", "Obnovi privzete"},
    {"Retry", "Poskusi znova"},
    {"Reverse", "Obratno"},
    {"Reverse landscape",
     "Obratno le\xC5\xBE"
     "e\xC4\x8D"
     "e"},
    {"Reverse portrait", "Obratno pokon\xC4\x8Dno"},
    {"Save", "Shrani"},
    {"Save All", "Shrani vse"},
    {"Save As", "Shrani kot"},
    {"Select All", "Izberi vse"},
    {"Selection", "Izbor"},
    {"Short side binding", "Vezava na kraj\xC5\xA1i strani"},
    {"Shortcut", "Bli\xC5\xBEnjica"},
    {"Show &hidden files", "Poka\xC5\xBEi &skrite datoteke"},
    {"Show Details...", "Poka\xC5\xBEi podrobnosti ..."},
    {"Sidebar", "Stranska vrstica"},
    {"Size", "Velikost"},
    {"The 'From' value cannot be greater than the 'To' value.",
     "Vrednost \xC2\xBBOd\xC2\xAB ne sme biti ve\xC4\x8Dja od vrednosti \xC2\xBB"
     "Do\xC2\xAB."},
    {"Type", "Vrsta"},
    {"Type:", "Vrsta:"},
    {"Unknown", "Neznano"},
    {"Width:", "\xC5\xA0irina:"},
    {"Write PDF file", "Zapi\xC5\xA1i datoteko PDF"},
    {"Yes to &All", "Da za &vse"},
    {"bottom margin", "spodnji rob"},
    {"left margin", "levi rob"},
    {"right margin", "desni rob"},
    {"to", "do"},
    {"top margin", "zgornji rob"},
}};

// Answers Qt's requests for its texts from the Slovene table; the context does not matter: the
// few texts Qt writes in more than one class mean the same there.
class SloveneTranslator : public QTranslator {
 public:
  QString translate(const char* /*context*/, const char* sourceText, const char* /*disambiguation*/,
                    int /*n*/) const override {
    if (sourceText == nullptr) return {};
    const auto found = SloveneQtDialogText(sourceText);
    return found ? QString::fromUtf8(found->data(), static_cast<qsizetype>(found->size()))
                 : QString();
  }
  bool isEmpty() const override { return false; }
};

}  // namespace

std::span<const QtDialogText> SloveneQtDialogTexts() {
  return kSlovene;
}

std::optional<std::string_view> SloveneQtDialogText(std::string_view english) {
  const auto found = std::lower_bound(
      kSlovene.begin(), kSlovene.end(), english,
      [](const QtDialogText& entry, std::string_view key) { return entry.english < key; });
  if (found == kSlovene.end() || found->english != english) return std::nullopt;
  return found->slovene;
}

struct QtDialogLanguage::Impl {
  std::unique_ptr<QTranslator> translator;
  bool loaded = false;
  std::optional<QLocale> previousLocale;  // set back when the object ends
};

QtDialogLanguage::QtDialogLanguage(Language language) : impl_(std::make_unique<Impl>()) {
  // A desktop without a locale of its own (C, POSIX) writes the copied and saved tables' numbers
  // as the chosen language does, with a decimal comma; any real locale keeps its own.
  if (language != Language::Italian && QLocale().language() == QLocale::C) {
    impl_->previousLocale = QLocale();
    QLocale::setDefault(
        QLocale(language == Language::German ? QLocale::German : QLocale::Slovenian));
  }
  switch (language) {
    case Language::Italian:
      return;  // Qt's own texts, as before
    case Language::German:
      impl_->translator = std::make_unique<QTranslator>();
      if (!impl_->translator->load(QStringLiteral("qtbase_de"),
                                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        impl_->translator.reset();
        return;
      }
      break;
    case Language::Slovene:
      impl_->translator = std::make_unique<SloveneTranslator>();
      break;
  }
  impl_->loaded = QCoreApplication::installTranslator(impl_->translator.get());
}

QtDialogLanguage::~QtDialogLanguage() {
  if (impl_->loaded) QCoreApplication::removeTranslator(impl_->translator.get());
  if (impl_->previousLocale) QLocale::setDefault(*impl_->previousLocale);
}

bool QtDialogLanguage::Loaded() const {
  return impl_->loaded;
}

}  // namespace funzioni
