#include "text/Catalogue.h"

#include <algorithm>

namespace funzioni {

Catalogue::Catalogue(Language language)
    : language_(language), entries_(CatalogueEntries(language)) {}

std::optional<std::string_view> Catalogue::Find(std::string_view italian) const {
  const auto found = std::lower_bound(
      entries_.begin(), entries_.end(), italian,
      [](const CatalogueEntry& entry, std::string_view key) { return entry.italian < key; });
  if (found == entries_.end() || found->italian != italian) return std::nullopt;
  return found->translated;
}

std::string_view Catalogue::Translate(std::string_view italian) const {
  return Find(italian).value_or(italian);
}

std::string Catalogue::Format(std::string_view italian,
                              std::initializer_list<std::string_view> values) const {
  return FillPlaceholders(Translate(italian), std::span(values.begin(), values.size()));
}

std::string Catalogue::Caption(std::string_view italian) const {
  if (const auto whole = Find(italian)) return std::string(*whole);
  const std::size_t blank = italian.find(' ');
  if (blank == std::string_view::npos || blank == 0) return std::string(italian);
  const std::string_view word = italian.substr(0, blank);
  const auto translated = Find(word);
  if (!translated) return std::string(italian);
  return std::string(*translated) + std::string(italian.substr(blank));
}

std::string FillPlaceholders(std::string_view pattern, std::span<const std::string_view> values) {
  std::string filled;
  filled.reserve(pattern.size());
  std::size_t i = 0;
  while (i < pattern.size()) {
    const std::size_t close = pattern.find('}', i);
    const bool placeholder = pattern[i] == '{' && close != std::string_view::npos && close > i + 1;
    std::size_t index = 0;
    bool digits = placeholder;
    for (std::size_t k = i + 1; placeholder && k < close; ++k) {
      const char c = pattern[k];
      digits = digits && c >= '0' && c <= '9' && k - i <= 2;  // at most two digits
      if (digits) index = index * 10 + static_cast<std::size_t>(c - '0');
    }
    if (digits && index < values.size()) {
      filled.append(values[index]);
      i = close + 1;
      continue;
    }
    filled.push_back(pattern[i]);
    ++i;
  }
  return filled;
}

}  // namespace funzioni
