#pragma once

// How the page's text editor shows a file of 8-bit text in its text area and writes it back.
// The text area knows only line feeds, so a file's own line ends (CR LF, CR or LF) cannot all
// survive it: the bytes of what the user left alone are kept instead.

#include <string>
#include <string_view>

namespace funzioni::web {

// The text area's text (UTF-8) for the file's bytes: a line break at each CR LF, CR or LF, and
// each line read as the lists read it (UTF-8, else the single-byte Windows code page).
std::string EditorTextOf(std::string_view bytes);

// The bytes to write for the text area's text, given the bytes it was made from: those very
// bytes when the text is unchanged. Otherwise every line ends with CR LF (the last one only when
// the text ends with a line break); a line the user left alone keeps its own bytes, whatever
// other lines read the same: lines are matched by where they stand (the shortest edit of the old
// lines into the new, moved lines then paired in order), never merely by their text. A new line
// is written in the Windows code page when that reads back as the same text, else in UTF-8.
std::string EditorBytesOf(std::string_view original, std::string_view text);

}  // namespace funzioni::web
