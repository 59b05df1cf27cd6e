// The page's own texts in the program's language: the translations handed to page.js once the
// program has chosen (web only: it calls into the page).
#include <emscripten.h>

#include "drawing/PageLanguage.h"
#include "drawing/web/PageText.h"
#include "text/Catalogue.h"

// clang-format off
EM_JS(void, funzioni_js_page_language, (const char* json), {
  FunzioniPage.useLanguage(JSON.parse(UTF8ToString(json)));
});
// clang-format on

namespace funzioni::web {

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
