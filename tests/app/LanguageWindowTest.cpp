// The window in German and Slovene: what a screen reader reads holds no Italian text, and every
// translated caption fits its control.

#include <unistd.h>
#include <QAccessible>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/AccessibleControls.h"
#include "app/LanguageMenu.h"
#include "app/MainWindow.h"
#include "app/ParameterPlayer.h"
#include "app/StudyPanel.h"
#include "drawing/DrawingSurface.h"
#include "plot/ViewActions.h"
#include "text/Catalogue.h"
#include "text/LanguageChoice.h"

namespace funzioni::testing {
namespace {

// Italian words of the window's texts that no German or Slovene text contains.
constexpr std::string_view kItalianWords[] = {
    "Parametro", "passo",  "Passo", "Tutte",  "unzion",  "Lavagna", "lavagna",  "Finestra",
    "Risultati", "Elenco", "tasto", "Tasto",  "Aiuto",   "Vista",   "nessuna",  "Curve:",
    "appunti",   "Salva",  "Copia", "Studio", "grafico", "Mouse ",  "sinistro", "destro",
};

class LanguageWindow : public ::testing::TestWithParam<Language> {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    directory_ = std::filesystem::temp_directory_path() /
                 ("funzioni-language-" + std::to_string(::getpid()) + "-" +
                  std::string(LanguageCode(GetParam())));
    std::filesystem::create_directories(directory_);
    std::filesystem::current_path(directory_);
  }
  void TearDown() override {
    window_.reset();
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
  }
  MainWindow& Start(Language language) {
    window_ = std::make_unique<MainWindow>(Catalogue(language));
    window_->Show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window_->dialog().Widget()));
    EXPECT_TRUE(QTest::qWaitFor([this] { return window_->introShown(); }, 5000));
    QTest::qWait(30);
    return *window_;
  }
  // Every name and description of the accessible tree, and the window's title.
  std::vector<std::string> ReadTexts() {
    std::vector<std::string> texts{window_->dialog().Widget()->windowTitle().toStdString()};
    Walk(QAccessible::queryAccessibleInterface(window_->dialog().Widget()), 0, texts);
    return texts;
  }

  std::unique_ptr<MainWindow> window_;

  // Every name, description and value below iface, lists' items too.
  static void WalkAll(QAccessibleInterface* iface, int depth, std::vector<std::string>& texts) {
    if (iface == nullptr || depth > 6) return;
    for (const auto kind : {QAccessible::Name, QAccessible::Description, QAccessible::Value}) {
      texts.push_back(iface->text(kind).toStdString());
    }
    for (int i = 0; i < iface->childCount(); ++i) WalkAll(iface->child(i), depth + 1, texts);
  }

 private:
  void Walk(QAccessibleInterface* iface, int depth, std::vector<std::string>& texts) {
    if (iface == nullptr || depth > 4) return;
    texts.push_back(iface->text(QAccessible::Name).toStdString());
    texts.push_back(iface->text(QAccessible::Description).toStdString());
    if (iface->role() == QAccessible::List) return;  // its lines are the user's formulas
    for (int i = 0; i < iface->childCount(); ++i) Walk(iface->child(i), depth + 1, texts);
  }

  std::filesystem::path previous_;
  std::filesystem::path directory_;
};

TEST_P(LanguageWindow, ScreenReaderFindsNoItalianText) {
  const Catalogue catalogue(GetParam());
  Start(GetParam());
  const std::vector<std::string> texts = ReadTexts();
  ASSERT_GT(texts.size(), 40u);
  // To look at: FUNZIONI_LANGUAGE_PICTURES=<folder> keeps the start window as start-<code>.png.
  if (const char* folder = std::getenv("FUNZIONI_LANGUAGE_PICTURES")) {
    const std::string path =
        std::string(folder) + "/start-" + std::string(LanguageCode(GetParam())) + ".png";
    EXPECT_TRUE(window_->dialog().Widget()->grab().save(QString::fromStdString(path)));
  }
  for (const std::string& text : texts) {
    for (const std::string_view word : kItalianWords) {
      EXPECT_EQ(text.find(word), std::string::npos) << word << " in: " << text;
    }
    // Whole Italian texts of the catalogue, where they are long enough to mean something.
    for (const std::string_view italian : CatalogueTexts()) {
      if (italian.size() < 8 || catalogue.Translate(italian) == italian) continue;
      EXPECT_EQ(text.find(italian), std::string::npos) << italian << " in: " << text;
    }
  }
}

// Italian words of the study's lines and fields that no German or Slovene line contains.
constexpr std::string_view kItalianStudyWords[] = {
    "Zero",    "Asintot",   "Massimo", "Minimo",  "Fless",    "Segno",    "Limite",  "rescente",
    "Concava", "Schema",    "Interse", "pendenz", "sinistra", "destra",   "esiste",  "Lacuna",
    "Punti",   "Funzione",  " per ",   "x da ",   "nessun",   "Invio",    "estremo", "Tangente in",
    "Semitan", "Integrale", "Area",    "errore",  "calcolat", "numerico", "gradi",
};

// The study window of a formula with zeros, a pole, extrema, limits and an oblique asymptote, with
// a tangent and an area asked for through its fields: its title, heading, lines, fields and
// their names, all that a screen reader reads there, hold no Italian text.
TEST_P(LanguageWindow, StudyWindowReadsNoItalianText) {
  const Catalogue catalogue(GetParam());
  MainWindow& window = Start(GetParam());
  QWindow* handle = window.dialog().Widget()->windowHandle();
  window.dialog().SetControlFocus(kFormulaBoxId);
  for (const char c : std::string_view("(x^2-1)/(x-2)")) QTest::keyClick(handle, c);
  QTest::keyClick(handle, Qt::Key_Return);
  StudyPanel& study = window.study();
  const auto wait = [&] {
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.plotIdle() && !study.Busy(); }, 30000));
    QTest::qWait(20);
  };
  wait();
  window.dialog().SendCommand(kCommandStudy);
  wait();
  const QList<QLineEdit*> fields = study.Window().Widget()->findChildren<QLineEdit*>();
  ASSERT_EQ(fields.size(), 3);
  const std::pair<int, const char*> asks[] = {{0, "1"}, {1, "3"}, {2, "4"}};
  for (const auto& [field, text] : asks) {
    fields[field]->setFocus();
    QTest::keyClicks(fields[field], text);
    QTest::keyClick(fields[field], Qt::Key_Return);
    wait();
  }
  std::vector<std::string> texts{study.Heading(),
                                 study.Window().Widget()->windowTitle().toStdString()};
  for (int i = 0; i < study.Window().LineCount(); ++i) texts.push_back(study.Window().Line(i));
  ASSERT_GT(texts.size(), 20u);
  WalkAll(QAccessible::queryAccessibleInterface(study.Window().Widget()), 0, texts);
  if (const char* folder = std::getenv("FUNZIONI_LANGUAGE_PICTURES")) {
    const std::string path =
        std::string(folder) + "/study-" + std::string(LanguageCode(GetParam())) + ".png";
    EXPECT_TRUE(study.Window().Widget()->grab().save(QString::fromStdString(path)));
  }
  const auto has = [&texts](std::string_view start) {
    return std::any_of(texts.begin(), texts.end(),
                       [start](const std::string& t) { return t.starts_with(start); });
  };
  // The kinds asked for are there (in the catalogue's words).
  for (const std::string_view kind :
       {"Tangente in x\xE2\x82\x80 {0}: {1}",
        "Integrale da {0} a {1} {2} (errore \xE2\x89\xA4 {3})", "Asintoto verticale: x {0}",
        "Zero (attraversamento): x {0}"}) {
    const std::string_view words = catalogue.Translate(kind);
    EXPECT_TRUE(has(words.substr(0, words.find('{')))) << words;
  }
  for (const std::string& text : texts) {
    // The user's formula is the user's own.
    const std::string_view words =
        text.find("(x^2-1)/(x-2)") == std::string::npos ? std::string_view(text) : "";
    for (const std::string_view word : kItalianStudyWords) {
      EXPECT_EQ(words.find(word), std::string::npos) << word << " in: " << text;
    }
    for (const std::string_view italian : CatalogueTexts()) {
      if (italian.size() < 8 || catalogue.Translate(italian) == italian) continue;
      EXPECT_EQ(text.find(italian), std::string::npos) << italian << " in: " << text;
    }
  }
}

TEST_P(LanguageWindow, TranslatedCaptionsFitTheirControls) {
  struct Row {
    int id;
    std::string_view caption;  // as the program writes it, with its widest value
    int frameWidth;
  };
  const Row rows[] = {
      {kAllOffButtonId, "Tutte spente", 2},
      {kAllOnButtonId, "Tutte accese", 2},
      {kZoomMeterId, "zoom 100.0", 3},
      {kStepMeterId, "passo 1000", 3},
  };
  MainWindow& window = Start(GetParam());
  for (const Row& row : rows) {
    DrawingSurface& surface = window.dialog().AttachSurface(row.id);
    surface.SetSurfaceFont("Arial", 7, 0);  // the captions' font
    const std::string shown = window.catalogue().Caption(row.caption);
    const int room = window.dialog().GetControlRect(row.id).width - 2 * row.frameWidth;
    EXPECT_LE(surface.MeasureText(shown).width, room) << shown;
  }
}

// The help panel's texts and notes (those that start with a blank), line by line in the panel's
// font: no translated line is wider than the panel, or than the widest Italian line where that
// already runs past it.
TEST_P(LanguageWindow, HelpPanelLinesFitThePanel) {
  MainWindow& window = Start(GetParam());
  DrawingSurface& surface = window.dialog().AttachSurface(kHelpPanelId);
  surface.SetSurfaceFont("courier new", 9, 0);  // the help panel's scale
  const auto widest = [&surface](std::string_view text) {
    int width = 0;
    for (;;) {
      const std::size_t end = text.find("\r\n");
      width = std::max(width, surface.MeasureText(text.substr(0, end)).width);
      if (end == std::string_view::npos) return width;
      text.remove_prefix(end + 2);
    }
  };
  const int room = window.dialog().GetControlRect(kHelpPanelId).width - 2 * 3;
  int checked = 0;
  for (const std::string_view italian : CatalogueTexts()) {
    if (!italian.starts_with(' ') || italian.find('{') != std::string_view::npos) continue;
    ++checked;
    const std::string_view shown = window.catalogue().Translate(italian);
    EXPECT_LE(widest(shown), std::max(room, widest(italian))) << shown;
  }
  EXPECT_GT(checked, 10);
}

TEST_P(LanguageWindow, ButtonCaptionIsDrawnTranslated) {
  // The record keeps the Italian caption; the pixels are those of the Italian window's button
  // given the translated caption, and differ from the Italian button's.
  const auto pixels = [](MainWindow& window) {
    return window.dialog().AttachSurface(kAllOffButtonId).GetSurfacePixels();
  };
  const std::string_view translated = Catalogue(GetParam()).Translate("Tutte spente");
  std::string italian;
  std::string expected;
  {
    MainWindow window;
    italian = pixels(window);
    UpdateControl(window.dialog(), window.controls(), kAllOffButtonId, -1.0f, translated);
    expected = pixels(window);
  }
  MainWindow& window = Start(GetParam());
  EXPECT_NE(pixels(window), italian);
  EXPECT_EQ(pixels(window), expected) << translated;
  EXPECT_EQ(window.controls().Find(kAllOffButtonId)->caption.Trimmed(), "Tutte spente");
}

TEST(ViewRangesWords, EveryLanguageKeepsTheFourNumbers) {
  struct Row {
    Language language;
    PlotView view;
    std::string_view expected;
  };
  const Row rows[] = {
      {Language::Italian, {-1800, 1800, -1.5, 1.5}, "x da -1800 a 1800, y da -1.5 a 1.5"},
      {Language::German, {-1800, 1800, -1.5, 1.5}, "x von -1800 bis 1800, y von -1.5 bis 1.5"},
      {Language::Slovene, {0.25, 4, -2e-07, 3e+09}, "x od 0.25 do 4, y od -2e-07 do 3e+09"},
  };
  for (const Row& row : rows) {
    // The numbers are the plot's own words for them, whatever the language.
    const std::string italian = ViewRangesText(row.view);
    const std::string words = ViewRangesWords(row.view, Catalogue(row.language));
    if (row.language == Language::Italian) {
      EXPECT_EQ(words, italian);
    }
    EXPECT_EQ(words, row.expected) << italian;
  }
}

TEST(ParameterMenuEntries, InTheCataloguesLanguage) {
  ParamRecord record;
  record.minimum = -10;
  record.maximum = 10;
  record.step = 0.1f;
  struct Row {
    Language language;
    std::vector<std::string_view> some;  // entries 0, 3, 4 and the last
  };
  const Row rows[] = {
      {Language::Italian, {"Anima c: avanti", "Ferma l'animazione", "Velocità lenta", "Passo 1"}},
      {Language::German,
       {"c animieren: vorwärts", "Animation anhalten", "Geschwindigkeit langsam", "Schritt 1"}},
      {Language::Slovene, {"Animiraj c: naprej", "Ustavi animacijo", "Hitrost počasna", "Korak 1"}},
  };
  for (const Row& row : rows) {
    const auto entries = ParameterMenuEntries(record, 'c', false, 1, Catalogue(row.language));
    ASSERT_GT(entries.size(), 5u);
    EXPECT_EQ(entries[0].text, row.some[0]);
    EXPECT_EQ(entries[3].text, row.some[1]);
    EXPECT_EQ(entries[4].text, row.some[2]);
    EXPECT_EQ(entries.back().text, row.some[3]);
  }
}

TEST(LanguageMenu, ChoiceIsKeptForTheNextStartOrSaidNotKept) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                       ("funzioni-language-menu-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::filesystem::path file = folder / "lingua.txt";
  struct Row {
    std::string_view name;
    int command;
    Language shownIn;
    std::string_view kept;  // the file's text afterwards
    std::string_view note;
  };
  const Row rows[] = {
      {"German from Italian", kCommandLanguageBase + 1, Language::Italian, "de\n",
       " Lingua scelta: Deutsch.\r\n Vale dal prossimo avvio."},
      {"Slovene from German", kCommandLanguageBase + 2, Language::German, "sl\n",
       " Gewählte Sprache: Slovenščina.\r\n Gilt ab dem nächsten Start."},
      {"Italian from Slovene", kCommandLanguageBase, Language::Slovene, "it\n",
       " Izbrani jezik: Italiano.\r\n Velja od naslednjega zagona."},
  };
  for (const Row& row : rows) {
    const auto note = ChooseLanguageCommand(row.command, file, Catalogue(row.shownIn));
    ASSERT_TRUE(note.has_value()) << row.name;
    EXPECT_EQ(*note, row.note) << row.name;
    std::ifstream in(file);
    const std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(kept, row.kept) << row.name;
    EXPECT_EQ(LanguageOfRememberedText(kept), LanguageOfName(row.kept.substr(0, 2))) << row.name;
  }
  // Other commands are not the menu's.
  EXPECT_FALSE(ChooseLanguageCommand(kCommandLanguageBase + 3, file, Catalogue()));
  EXPECT_FALSE(ChooseLanguageCommand(kCommandLanguageBase - 1, file, Catalogue()));
  // A choice that could not be written is never reported as made.
  const auto failed = ChooseLanguageCommand(kCommandLanguageBase + 1,
                                            folder / "missing" / "lingua.txt", Catalogue());
  ASSERT_TRUE(failed.has_value());
  EXPECT_EQ(failed->rfind(" Impossibile salvare lingua.txt.", 0), 0u) << *failed;
  std::filesystem::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageWindow,
                         ::testing::Values(Language::German, Language::Slovene),
                         [](const auto& info) { return std::string(LanguageCode(info.param)); });

}  // namespace
}  // namespace funzioni::testing
