#pragma once

// How the page's text editor shows a file of 8-bit text in its text area and writes it back.
// The text area knows only line feeds, so a file's own line ends (CR LF, CR or LF) cannot all
// survive it: the bytes of what the user left alone are kept instead.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace funzioni::web {

// A line longer than this many characters shows as one short line standing for it: the
// browser's text area takes seconds to show, and a second a key to edit, lines of a megabyte,
// and nobody edits a formula of thousands of characters by hand.
inline constexpr std::size_t kLongLineCharacters = 2000;
// How a long line shows: its first and last characters around an ellipsis, then its length in
// characters through this text of the catalogue.
inline constexpr std::string_view kLongLineLength = "({0} caratteri)";

// The text area's text (UTF-8) for the file's bytes: a line break at each CR LF, CR or LF, and
// each line read as the lists read it (UTF-8, else the single-byte Windows code page); a long
// line as its short line, with `length` (kLongLineLength in the program's language).
std::string EditorTextOf(std::string_view bytes, std::string_view length = kLongLineLength);

// The bytes to write for the text area's text, given the bytes it was made from: those very
// bytes when the text is unchanged. Otherwise every line ends with CR LF (the last one only when
// the text ends with a line break); a line the user left alone keeps its own bytes, whatever
// other lines read the same: lines are matched by where they stand (the shortest edit of the old
// lines into the new, moved lines then paired in order), never merely by their text. A new line
// is written in the Windows code page when that reads back as the same text, else in UTF-8.
// A long line's short line is that line's bytes: left alone, moved or copied, and even edited
// (it cannot be edited, only deleted whole), as long as it still holds the long line's length.
std::string EditorBytesOf(std::string_view original, std::string_view text,
                          std::string_view length = kLongLineLength);

// A file read once for the editor: its text as shown, and the bytes for a text written back, as
// EditorTextOf and EditorBytesOf give them, without reading the file's lines again at each save
// (a history of megabytes). It looks at the bytes it was made from, which must outlive it.
class EditorFile {
 public:
  EditorFile(std::string_view bytes, std::string_view length);
  EditorFile(const EditorFile&) = delete;
  EditorFile& operator=(const EditorFile&) = delete;

  const std::string& Text() const { return text_; }
  std::string BytesOf(std::string_view text) const;

 private:
  std::string_view original_;
  std::vector<std::string_view> bytes_;  // each line's own bytes
  std::vector<std::string> shown_;       // each line as the text area shows it
  std::vector<std::string> lengths_;     // a long line's length as shown, else empty
  std::string text_;
};

}  // namespace funzioni::web
