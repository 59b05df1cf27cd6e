// The catalogue: lookups in the generated tables, placeholders, drawn captions.

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "text/Catalogue.h"

namespace funzioni {
namespace {

constexpr Language kTranslated[] = {Language::German, Language::Slovene};

TEST(Catalogue, TablesAreSortedAndCompleteForEveryText) {
  const auto texts = CatalogueTexts();
  ASSERT_FALSE(texts.empty());
  EXPECT_TRUE(std::is_sorted(texts.begin(), texts.end()));
  for (const Language language : kTranslated) {
    const auto entries = CatalogueEntries(language);
    // Lookups are binary searches: an unsorted or duplicated table silently loses texts.
    EXPECT_TRUE(
        std::adjacent_find(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
          return !(a.italian < b.italian);
        }) == entries.end());
    EXPECT_EQ(entries.size(), texts.size()) << LanguageCode(language);
    const Catalogue catalogue(language);
    for (const std::string_view text : texts) {
      EXPECT_NE(catalogue.Translate(text), text) << LanguageCode(language) << ": " << text;
    }
  }
}

TEST(Catalogue, ItalianAndUnknownTextsComeBackAsWritten) {
  const Catalogue italian;
  for (const std::string_view text : CatalogueTexts()) EXPECT_EQ(italian.Translate(text), text);
  // The evaluator's messages are results of the formula language, never translated.
  for (const Language language : kTranslated) {
    const Catalogue catalogue(language);
    EXPECT_EQ(catalogue.Translate("Error in Expression: x"), "Error in Expression: x");
    EXPECT_EQ(catalogue.Translate(""), "");
  }
}

TEST(Catalogue, KnownTranslations) {
  struct Row {
    Language language;
    std::string_view italian;
    std::string_view expected;
  };
  const Row rows[] = {
      {Language::German, "Tutte spente", "Alle aus"},
      {Language::Slovene, "Tutte accese", "Vse vklopi"},
      {Language::German, "Studio della funzione", "Kurvendiskussion"},
      {Language::Slovene, "Elenco delle funzioni", "Seznam funkcij"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Catalogue(row.language).Translate(row.italian), row.expected) << row.italian;
  }
}

TEST(Catalogue, FormatFillsTheTranslatedPattern) {
  EXPECT_EQ(Catalogue(Language::German).Format("Parametro {0} di {1}", {"a", "a.x^2+b"}),
            "Parameter a von a.x^2+b");
  EXPECT_EQ(Catalogue().Format("Parametro {0} di {1}", {"b", "SIN(x)"}), "Parametro b di SIN(x)");
}

TEST(FillPlaceholders, Rows) {
  struct Row {
    std::string_view name;
    std::string_view pattern;
    std::vector<std::string_view> values;
    std::string_view expected;
  };
  const std::vector<Row> rows = {
      {"in order", "{0}-{1}", {"a", "b"}, "a-b"},
      {"reordered", "{1} {0}", {"a", "b"}, "b a"},
      {"repeated", "{0}{0}", {"x"}, "xx"},
      {"no value for it", "{0} {2}", {"a"}, "a {2}"},
      {"not a number", "{x} {}", {"a"}, "{x} {}"},
      {"unclosed", "a {0", {"z"}, "a {0"},
      {"braces in a value stay", "{0}", {"{1}"}, "{1}"},
      {"two digits", "{10}", {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "ten"}, "ten"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FillPlaceholders(row.pattern, row.values), row.expected) << row.name;
  }
}

TEST(Catalogue, CaptionTranslatesTheWholeOrItsFirstWord) {
  struct Row {
    std::string_view name;
    Language language;
    std::string_view caption;
    std::string_view expected;
  };
  const Row rows[] = {
      {"whole caption", Language::German, "Tutte spente", "Alle aus"},
      {"word and value", Language::German, "passo 50", "Schritt 50"},
      {"word and value", Language::Slovene, "zoom 10.0", "povečava 10.0"},
      {"a formula is no word", Language::German, "SIN(x)*x^2", "SIN(x)*x^2"},
      {"unknown first word", Language::German, "a=1.0 b", "a=1.0 b"},
      {"leading blank", Language::German, " passo", " passo"},
      {"Italian", Language::Italian, "passo 50", "passo 50"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Catalogue(row.language).Caption(row.caption), row.expected) << row.name;
  }
}

}  // namespace
}  // namespace funzioni
