#pragma once

// The rules of text that both drawing backends follow: how the bytes of a text are read and
// which font a face name and point size stand for. Standard library only.

#include <string>
#include <string_view>

namespace funzioni {

// Texts are UTF-8. Bytes that are not strictly valid UTF-8 were written in the single-byte
// Windows code page (a history file brought over from Windows, with accented comments) and are
// read in it, so that "più" shows right either way instead of as replacement marks.
std::u32string DecodeCodePoints(std::string_view bytes);

// The same code points written as UTF-8: a history line in the Windows code page can then join
// other text (an accessible description, say) and still read as it shows in the list.
std::string Utf8Of(std::string_view bytes);

}  // namespace funzioni
