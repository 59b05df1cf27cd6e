// Which language the grapher speaks, from the command line, the remembered choice and the locale.

#include <optional>
#include <string_view>

#include <gtest/gtest.h>

#include "text/LanguageChoice.h"

namespace funzioni {
namespace {

constexpr auto kIt = Language::Italian;
constexpr auto kDe = Language::German;
constexpr auto kSl = Language::Slovene;

struct LocaleRow {
  std::string_view name;
  LocaleVariables variables;  // LANGUAGE, LC_ALL, LC_MESSAGES, LANG
  Language expected;
};

class LocaleRows : public ::testing::TestWithParam<LocaleRow> {};

TEST_P(LocaleRows, LanguageOfLocale) {
  EXPECT_EQ(LanguageOfLocale(GetParam().variables), GetParam().expected);
}

const LocaleRow kLocaleRows[] = {
    {"NothingSet", {"", "", "", ""}, kIt},
    {"GermanLang", {"", "", "", "de_DE.UTF-8"}, kDe},
    {"SloveneLang", {"", "", "", "sl_SI.UTF-8"}, kSl},
    {"SloveneWithoutTerritory", {"", "", "", "sl"}, kSl},
    {"GermanAustriaModifier", {"", "", "", "de_AT@euro"}, kDe},
    {"ItalianLang", {"", "", "", "it_IT.UTF-8"}, kIt},
    {"EnglishFallsBackToItalian", {"", "", "", "en_GB.UTF-8"}, kIt},
    {"PlainC", {"", "", "", "C"}, kIt},
    {"PlainCUtf8", {"", "", "", "C.UTF-8"}, kIt},
    {"Posix", {"", "", "", "POSIX"}, kIt},
    {"CodeIsAWholeWord", {"", "", "", "des_XX"}, kIt},
    {"LcAllBeatsLang", {"", "sl_SI.UTF-8", "", "de_DE.UTF-8"}, kSl},
    {"LcMessagesBeatsLang", {"", "", "de_DE.UTF-8", "sl_SI.UTF-8"}, kDe},
    {"LcAllBeatsLcMessages", {"", "it_IT.UTF-8", "de_DE.UTF-8", ""}, kIt},
    {"LanguageListFirstSpokenWins", {"fr:sl:de", "", "", "de_DE.UTF-8"}, kSl},
    {"LanguageListBeatsLocale", {"de", "", "", "sl_SI.UTF-8"}, kDe},
    {"LanguageListItalianFirst", {"it:de", "", "", "de_DE.UTF-8"}, kIt},
    {"LanguageListNoneSpokenUsesLocale", {"fr:en", "", "", "de_DE.UTF-8"}, kDe},
    {"LanguageListWithEmptyEntries", {"::de_CH", "", "", "en_US.UTF-8"}, kDe},
    {"LanguageIgnoredInCLocale", {"de", "", "", "C"}, kIt},
    {"LanguageIgnoredWithoutLocale", {"sl", "", "", ""}, kIt},
    {"UpperCaseCode", {"", "", "", "DE_de"}, kDe},
};
INSTANTIATE_TEST_SUITE_P(Choice, LocaleRows, ::testing::ValuesIn(kLocaleRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ChooseLanguage, CommandLineThenRememberedThenLocale) {
  const LocaleVariables german{"", "", "", "de_DE.UTF-8"};
  EXPECT_EQ(ChooseLanguage(kSl, kIt, german), kSl);
  EXPECT_EQ(ChooseLanguage(kIt, kSl, german), kIt);
  EXPECT_EQ(ChooseLanguage(std::nullopt, kSl, german), kSl);
  EXPECT_EQ(ChooseLanguage(std::nullopt, kIt, german), kIt);
  EXPECT_EQ(ChooseLanguage(std::nullopt, std::nullopt, german), kDe);
}

TEST(RememberedLanguage, TextRoundTripsAndStrayTextIsNoChoice) {
  for (const Language language : {kIt, kDe, kSl}) {
    EXPECT_EQ(LanguageOfRememberedText(RememberedLanguageText(language)), language);
  }
  struct Row {
    std::string_view text;
    std::optional<Language> expected;
  };
  const Row rows[] = {
      {"sl\r\n", kSl},           {"  de  \nit\n", kDe},     {"", std::nullopt},
      {"de_DE\n", std::nullopt}, {"deutsch", std::nullopt}, {"fr\n", std::nullopt},
      {"\nde\n", std::nullopt},
  };
  for (const Row& row : rows)
    EXPECT_EQ(LanguageOfRememberedText(row.text), row.expected) << row.text;
}

}  // namespace
}  // namespace funzioni
