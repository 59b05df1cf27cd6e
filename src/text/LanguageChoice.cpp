#include "text/LanguageChoice.h"

namespace funzioni {

namespace {

// gettext's "no locale": C and POSIX, with or without a codeset ("C.UTF-8").
bool IsPlainLocale(std::string_view locale) {
  const std::string_view name = locale.substr(0, locale.find('.'));
  return name.empty() || name == "C" || name == "POSIX";
}

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

Language LanguageOfLocale(const LocaleVariables& variables) {
  std::string_view locale = variables.lcAll;
  if (locale.empty()) locale = variables.lcMessages;
  if (locale.empty()) locale = variables.lang;
  if (IsPlainLocale(locale)) return Language::Italian;
  std::string_view preferences = variables.language;
  while (!preferences.empty()) {
    const std::size_t colon = preferences.find(':');
    const std::string_view entry = preferences.substr(0, colon);
    if (const auto language = LanguageOfName(entry)) return *language;
    if (colon == std::string_view::npos) break;
    preferences.remove_prefix(colon + 1);
  }
  return LanguageOfName(locale).value_or(Language::Italian);
}

Language ChooseLanguage(std::optional<Language> commandLine, std::optional<Language> remembered,
                        const LocaleVariables& variables) {
  if (commandLine) return *commandLine;
  if (remembered) return *remembered;
  return LanguageOfLocale(variables);
}

std::string RememberedLanguageText(Language language) {
  return std::string(LanguageCode(language)) + "\n";
}

std::optional<Language> LanguageOfRememberedText(std::string_view text) {
  const std::string_view line = Trimmed(text.substr(0, text.find('\n')));
  // Only a bare code: a stray file's first line must not choose by its prefix.
  if (line.size() != 2) return std::nullopt;
  return LanguageOfName(line);
}

}  // namespace funzioni
