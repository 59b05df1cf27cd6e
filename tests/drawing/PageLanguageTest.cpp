// The page's own texts: each one the page shows must come back translated from the catalogue,
// with the placeholders the page fills, or the German and Slovene page shows it in Italian.

#include <regex>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "drawing/PageLanguage.h"
#include "text/Catalogue.h"

namespace funzioni {
namespace {

std::multiset<std::string> Placeholders(std::string_view text) {
  const std::regex kPlaceholder(R"(\{[0-9]+\})");
  std::multiset<std::string> found;
  const std::string whole(text);
  for (auto it = std::sregex_iterator(whole.begin(), whole.end(), kPlaceholder);
       it != std::sregex_iterator(); ++it) {
    found.insert(it->str());
  }
  return found;
}

struct LanguageRow {
  const char* name;
  Language language;
};

class PageLanguageTest : public testing::TestWithParam<LanguageRow> {};

TEST_P(PageLanguageTest, EveryPageTextIsTranslatedWithItsPlaceholders) {
  const Catalogue catalogue(GetParam().language);
  ASSERT_FALSE(PageTexts().empty());
  for (const std::string_view italian : PageTexts()) {
    const std::string_view translated = catalogue.Translate(italian);
    EXPECT_NE(translated, italian) << italian;
    EXPECT_EQ(Placeholders(translated), Placeholders(italian)) << italian;
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, PageLanguageTest,
                         testing::Values(LanguageRow{"German", Language::German},
                                         LanguageRow{"Slovene", Language::Slovene}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace funzioni
