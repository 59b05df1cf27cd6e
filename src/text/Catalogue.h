#pragma once

// The grapher's texts in the chosen language. The program writes every text in Italian; the
// catalogue gives its German or Slovene translation from the tables built out of
// translations/<code>.po. Italian, and any text the tables do not have, come back as written.
// A Catalogue is a small value: make one from the chosen language and hand it where texts are
// made.

#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "text/Language.h"

namespace funzioni {

// One translated text; a language's entries are sorted by their Italian text (byte order).
struct CatalogueEntry {
  std::string_view italian;
  std::string_view translated;
};

// The generated tables (CatalogueTables.cpp, made from translations/*.po at build time).
std::span<const CatalogueEntry> CatalogueEntries(Language language);
// Every Italian text of the .po files, sorted.
std::span<const std::string_view> CatalogueTexts();

class Catalogue {
 public:
  explicit Catalogue(Language language = Language::Italian);

  Language language() const { return language_; }
  // The translation of an Italian text, or the text itself.
  std::string_view Translate(std::string_view italian) const;
  // The translated pattern with {0}, {1}, ... replaced by the values, e.g.
  // Format("Parametro {0} di {1}", {"a", "x^2"}).
  std::string Format(std::string_view italian,
                     std::initializer_list<std::string_view> values) const;
  // A drawn caption: the whole caption's translation, or else the translation of its first word
  // with the rest as it is ("passo 50" -> "Schritt 50"), or else the caption.
  std::string Caption(std::string_view italian) const;

 private:
  std::optional<std::string_view> Find(std::string_view italian) const;

  Language language_;
  std::span<const CatalogueEntry> entries_;
};

// Fills {0}, {1}, ... of a pattern; a brace that opens no known placeholder stays as written.
std::string FillPlaceholders(std::string_view pattern, std::span<const std::string_view> values);

}  // namespace funzioni
