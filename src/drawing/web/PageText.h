#pragma once

// Texts for the page's elements: the program's bytes read by the text rules (TextRules.h), given
// to the page as UTF-8. Private to the drawing layer's browser backend.

#include <string>
#include <string_view>

namespace funzioni::web {

std::string PageText(std::string_view bytes);

}  // namespace funzioni::web
