#pragma once

// Texts for the page's elements: the program's bytes read by the text rules (TextRules.h), given
// to the page as UTF-8; and the page's own texts in the chosen language, handed over as JSON.
// Private to the drawing layer's browser backend.

#include <string>
#include <string_view>

#include "text/Language.h"

namespace funzioni::web {

std::string PageText(std::string_view bytes);

// A JSON string literal of UTF-8 text.
std::string JsonString(std::string_view utf8);
// What the page is handed for a language: {"code": "de", "texts": {italian: translated, ...}}
// for every text of PageTexts() (drawing/PageLanguage.h).
std::string PageLanguageJson(Language language);

}  // namespace funzioni::web
