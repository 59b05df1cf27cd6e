#pragma once

// How the drawing layer reads the bytes of a text. Private to the drawing layer.

#include <QString>
#include <string_view>

namespace funzioni {

// The text's code points as DecodeCodePoints (TextRules.h) reads them.
QString DecodeText(std::string_view bytes);

}  // namespace funzioni
