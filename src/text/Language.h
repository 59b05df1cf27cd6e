#pragma once

// The languages the grapher speaks, and how a locale's or a browser's name of one is read.

#include <optional>
#include <string_view>

namespace funzioni {

enum class Language { Italian, German, Slovene };

// "it", "de" or "sl": the code written in the remembered choice, the page's address and the
// catalogue files' names.
std::string_view LanguageCode(Language language);

// The language a locale or browser name stands for: "de", "de_DE.UTF-8", "de-AT", "sl_SI@latin"
// and "IT" all count (the code before '_', '-', '.' or '@', any letter case); any other name,
// "C" and "POSIX" among them, is none.
std::optional<Language> LanguageOfName(std::string_view name);

}  // namespace funzioni
