#include "PageText.h"

#include <emscripten.h>

#include "drawing/PageLanguage.h"
#include "drawing/TextRules.h"
#include "text/Catalogue.h"

// clang-format off
EM_JS(void, funzioni_js_page_language, (const char* json), {
  FunzioniPage.useLanguage(JSON.parse(UTF8ToString(json)));
});
// clang-format on

namespace funzioni::web {

namespace {

constexpr std::string_view kHexDigits = "0123456789abcdef";

}  // namespace

std::string PageText(std::string_view bytes) {
  return Utf8Of(bytes);
}

std::string JsonString(std::string_view utf8) {
  std::string quoted = "\"";
  for (const char c : utf8) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      // A control character (a translation's line break) cannot stand as it is in JSON.
      quoted += "\\u00";
      quoted += kHexDigits[static_cast<unsigned char>(c) >> 4];
      quoted += kHexDigits[static_cast<unsigned char>(c) & 0xf];
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

std::string PageLanguageJson(Language language) {
  const Catalogue catalogue(language);
  std::string json = "{\"code\":" + JsonString(LanguageCode(language)) + ",\"texts\":{";
  bool first = true;
  for (const std::string_view italian : PageTexts()) {
    if (!first) json += ',';
    first = false;
    json += JsonString(italian) + ":" + JsonString(catalogue.Translate(italian));
  }
  return json + "}}";
}

}  // namespace funzioni::web

namespace funzioni {

void UsePageLanguage(Language language) {
  funzioni_js_page_language(web::PageLanguageJson(language).c_str());
}

}  // namespace funzioni
