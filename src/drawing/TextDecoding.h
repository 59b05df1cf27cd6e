#pragma once

// How the drawing layer reads the bytes of a text. Private to the drawing layer.

#include <QString>
#include <string_view>

namespace funzioni {

// Texts are UTF-8. Bytes that are not strictly valid UTF-8 were written in the single-byte
// Windows code page (a history file brought over from Windows, with accented comments) and are
// read in it, so that "più" shows right either way instead of as replacement marks.
QString DecodeText(std::string_view bytes);

}  // namespace funzioni
