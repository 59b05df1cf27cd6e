#include "text/Language.h"

#include <array>
#include <string>

namespace funzioni {

namespace {

struct Named {
  std::string_view code;
  Language language;
};
constexpr std::array<Named, 3> kCodes{{
    {"it", Language::Italian},
    {"de", Language::German},
    {"sl", Language::Slovene},
}};

}  // namespace

std::string_view LanguageCode(Language language) {
  for (const Named& named : kCodes) {
    if (named.language == language) return named.code;
  }
  return kCodes.front().code;
}

std::optional<Language> LanguageOfName(std::string_view name) {
  const std::size_t end = name.find_first_of("_-.@");
  const std::string_view code = name.substr(0, end);
  std::string lower(code);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  for (const Named& named : kCodes) {
    if (lower == named.code) return named.language;
  }
  return std::nullopt;
}

}  // namespace funzioni
