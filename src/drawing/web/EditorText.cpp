#include "EditorText.h"

#include <map>
#include <vector>

#include "PageText.h"
#include "drawing/TextRules.h"

namespace funzioni::web {

namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';

struct SplitLines {
  std::vector<std::string_view> lines;
  bool lastEnded = false;  // the last line has a line end (or there are no lines)
};

// Lines separated by CR LF, CR or LF.
SplitLines SplitAtLineEnds(std::string_view bytes) {
  SplitLines split;
  split.lastEnded = true;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      split.lines.push_back(bytes.substr(start));
      split.lastEnded = false;
      break;
    }
    split.lines.push_back(bytes.substr(start, end - start));
    start = end + 1;
    if (bytes[end] == kCr && start < bytes.size() && bytes[start] == kLf) ++start;
  }
  return split;
}

// A line typed in the text area, as bytes the lists read back as the same text.
std::string NewLineBytes(std::string_view utf8) {
  std::string single;
  if (EncodeWindows1252(DecodeCodePoints(utf8), single) && PageText(single) == utf8) {
    return single;
  }
  return std::string(utf8);
}

}  // namespace

std::string EditorTextOf(std::string_view bytes) {
  const SplitLines split = SplitAtLineEnds(bytes);
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < split.lines.size(); ++i) {
    text.append(PageText(split.lines[i]));
    if (i + 1 < split.lines.size() || split.lastEnded) text.push_back(kLf);
  }
  return text;
}

std::string EditorBytesOf(std::string_view original, std::string_view text) {
  if (EditorTextOf(original) == text) return std::string(original);
  std::map<std::string, std::string_view, std::less<>> kept;
  for (const std::string_view line : SplitAtLineEnds(original).lines) {
    kept.emplace(PageText(line), line);
  }
  std::string bytes;
  bytes.reserve(text.size() + text.size() / 8);
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find(kLf, start);
    const std::string_view line = text.substr(start, end - start);
    const auto same = kept.find(line);
    bytes.append(same != kept.end() ? std::string(same->second) : NewLineBytes(line));
    if (end == std::string_view::npos) break;
    bytes.append("\r\n");
    start = end + 1;
  }
  return bytes;
}

}  // namespace funzioni::web
