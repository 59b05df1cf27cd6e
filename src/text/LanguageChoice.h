#pragma once

// Which language the grapher speaks: the command line's choice, else the one remembered from the
// menu, else the desktop's locale read as gettext reads it, else Italian.

#include <optional>
#include <string>
#include <string_view>

#include "text/Language.h"

namespace funzioni {

// The locale variables as the environment has them; an unset one is empty.
struct LocaleVariables {
  std::string_view language;    // LANGUAGE: a colon-separated list of preferences
  std::string_view lcAll;       // LC_ALL
  std::string_view lcMessages;  // LC_MESSAGES
  std::string_view lang;        // LANG
};

// The language of the locale variables. The locale is the first set one of LC_ALL, LC_MESSAGES
// and LANG; in the "C" or "POSIX" locale (or none) LANGUAGE is ignored, as gettext ignores it,
// and the answer is Italian. Otherwise LANGUAGE's first entry the grapher speaks wins, then the
// locale itself; anything else is Italian.
Language LanguageOfLocale(const LocaleVariables& variables);

// The chosen language: the command line's, else the remembered one, else the locale's.
Language ChooseLanguage(std::optional<Language> commandLine, std::optional<Language> remembered,
                        const LocaleVariables& variables);

// The remembered choice's file, beside the history in the working directory.
inline constexpr std::string_view kLanguageFileName = "lingua.txt";
// The file's text for a language ("de\n"), and the language such a text names: its first line,
// without surrounding blanks, must be a code; anything else is no choice.
std::string RememberedLanguageText(Language language);
std::optional<Language> LanguageOfRememberedText(std::string_view text);

}  // namespace funzioni
