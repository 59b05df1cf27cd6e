// Qt's own dialogs in the program's language: German from Debian's Qt translations, Slovene from
// the program's table, Italian (and after the language object ends) Qt's own English.
#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QString>
#include <algorithm>
#include <memory>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "drawing/ExportServices.h"
#include "drawing/QtDialogLanguage.h"

namespace funzioni {
namespace {

QString Qt(const char* context, const char* text) {
  return QCoreApplication::translate(context, text);
}

// The texts of a text field's editing menu, without the shortcuts' hints.
std::vector<std::string> EditMenuTexts() {
  QLineEdit field;
  const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
  std::vector<std::string> texts;
  for (const QAction* action : menu->actions()) {
    if (!action->isSeparator()) texts.push_back(action->text().section('\t', 0, 0).toStdString());
  }
  return texts;
}

TEST(QtDialogLanguage, DialogsSpeakTheChosenLanguageWhileItLives) {
  struct Row {
    Language language;
    bool loaded;
    const char* cancel;  // the buttons' Cancel
    const char* lookIn;  // the file dialog's folder box
    const char* paste;   // the editing menu's Paste
  };
  const Row rows[] = {
      {Language::Italian, false, "Cancel", "Look in:", "&Paste"},
      {Language::German, true, "Abbrechen", "Suchen in:", "Einf&\xC3\xBCgen"},
      {Language::Slovene, true, "Prekli\xC4\x8Di", "I\xC5\xA1\xC4\x8Di v:", "&Prilepi"},
  };
  for (const Row& row : rows) {
    const std::string code(LanguageCode(row.language));
    {
      const QtDialogLanguage language(row.language);
      EXPECT_EQ(language.Loaded(), row.loaded) << code;
      EXPECT_EQ(Qt("QPlatformTheme", "Cancel").toStdString(), row.cancel) << code;
      EXPECT_EQ(Qt("QFileDialog", "Look in:").toStdString(), row.lookIn) << code;
      const std::vector<std::string> menu = EditMenuTexts();
      const bool hasPaste = std::find(menu.begin(), menu.end(), row.paste) != menu.end();
      EXPECT_TRUE(hasPaste) << code << ": " << ::testing::PrintToString(menu);
    }
    // Gone with the object: Qt's own texts again.
    EXPECT_EQ(Qt("QPlatformTheme", "Cancel"), "Cancel") << code;
  }
}

// The copied and saved tables' decimal separator: a desktop without a locale takes the chosen
// language's comma; a real locale, and Italian, keep theirs; the end of the object restores it.
TEST(QtDialogLanguage, DecimalCommaOnlyWhereTheDesktopHasNoLocale) {
  struct Row {
    const char* name;
    QLocale desktop;
    Language language;
    const char* separator;
  };
  const Row rows[] = {
      {"German on C", QLocale::c(), Language::German, ","},
      {"Slovene on C", QLocale::c(), Language::Slovene, ","},
      {"Italian on C as before", QLocale::c(), Language::Italian, "."},
      {"German on English keeps the point", QLocale(QLocale::English, QLocale::UnitedStates),
       Language::German, "."},
      {"Slovene on German keeps the comma", QLocale(QLocale::German, QLocale::Germany),
       Language::Slovene, ","},
  };
  const QLocale before;
  for (const Row& row : rows) {
    QLocale::setDefault(row.desktop);
    const std::string desktop = DesktopDecimalSeparator();
    {
      const QtDialogLanguage language(row.language);
      EXPECT_EQ(DesktopDecimalSeparator(), row.separator) << row.name;
    }
    EXPECT_EQ(DesktopDecimalSeparator(), desktop) << row.name;
  }
  QLocale::setDefault(before);
}

// Every Slovene text keeps what Qt fills in or shows: its %1, its line breaks and one shortcut
// letter where the English has one; the table is sorted for its search and has no gaps.
TEST(QtDialogLanguage, SloveneTableKeepsPlaceholdersLinesAndShortcuts) {
  const auto count = [](std::string_view text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos;
         at = text.find(what, at + what.size())) {
      ++n;
    }
    return n;
  };
  const auto texts = SloveneQtDialogTexts();
  ASSERT_GT(texts.size(), 100u);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const QtDialogText& t = texts[i];
    if (i > 0) {
      EXPECT_LT(texts[i - 1].english, t.english);
    }
    EXPECT_FALSE(t.slovene.empty()) << t.english;
    EXPECT_NE(t.slovene, t.english);
    for (const std::string_view mark : {"%1", "%2", "\n", "&", "(*)", ">>", "<<"}) {
      EXPECT_EQ(count(t.slovene, mark), count(t.english, mark)) << mark << " in " << t.english;
    }
    EXPECT_EQ(SloveneQtDialogText(t.english), t.slovene);
  }
  EXPECT_FALSE(SloveneQtDialogText("No such text"));
}

}  // namespace
}  // namespace funzioni
