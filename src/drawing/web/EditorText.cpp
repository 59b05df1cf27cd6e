#include "EditorText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <unordered_map>
#include <utility>
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

// Where the next CR or LF is, from `start`: a plain loop, several times quicker than
// find_first_of over a history of megabytes.
std::size_t NextLineEnd(std::string_view bytes, std::size_t start) {
  for (std::size_t at = start; at < bytes.size(); ++at) {
    if (bytes[at] == kCr || bytes[at] == kLf) return at;
  }
  return std::string_view::npos;
}

// Lines separated by CR LF, CR or LF.
SplitLines SplitAtLineEnds(std::string_view bytes) {
  SplitLines split;
  split.lastEnded = true;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = NextLineEnd(bytes, start);
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

// The text area's lines: separated by LF, the last one absent when the text ends with LF.
std::vector<std::string_view> SplitAtLineFeeds(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find(kLf, start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return lines;
}

// A line typed in the text area, as bytes the lists read back as the same text.
std::string NewLineBytes(std::string_view utf8) {
  std::string single;
  if (EncodeWindows1252(DecodeCodePoints(utf8), single) && PageText(single) == utf8) {
    return single;
  }
  return std::string(utf8);
}

// Both texts' lines as numbers, equal for equal texts, so that lines compare cheaply.
struct NumberedLines {
  std::vector<std::uint32_t> before;
  std::vector<std::uint32_t> after;
};

NumberedLines Numbered(std::span<const std::string_view> before,
                       std::span<const std::string_view> after) {
  std::unordered_map<std::string_view, std::uint32_t> numbers;
  const auto number = [&numbers](std::string_view line) {
    return numbers.emplace(line, static_cast<std::uint32_t>(numbers.size())).first->second;
  };
  NumberedLines numbered;
  numbered.before.reserve(before.size());
  numbered.after.reserve(after.size());
  for (const std::string_view line : before) numbered.before.push_back(number(line));
  for (const std::string_view line : after) numbered.after.push_back(number(line));
  return numbered;
}

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// A stretch of both lists still to be matched: before [b0, b1), after [a0, a1).
struct Stretch {
  std::size_t b0, b1, a0, a1;
};

// Which line of the text before each line of the text after is, when the user left it alone:
// the lines common to both in the same order, as many as can be found (the shortest edit of the
// one list into the other, by Myers's bisection), so that a line is matched by where it stands
// and never merely by its text. Work on the bisection is bounded: past it, a stretch is matched
// by the lines that occur once on each side (in order), and what lies between them again.
class LineMatcher {
 public:
  LineMatcher(std::span<const std::uint32_t> before, std::span<const std::uint32_t> after)
      : before_(before), after_(after), kept_(after.size(), kNone) {}

  std::vector<std::size_t> Match() && {
    std::vector<Stretch> todo{{0, before_.size(), 0, after_.size()}};
    while (!todo.empty()) {
      Stretch s = todo.back();
      todo.pop_back();
      Trim(s);
      if (s.b0 == s.b1 || s.a0 == s.a1) continue;
      if (!Bisect(s, todo)) Anchor(s, todo);
    }
    return std::move(kept_);
  }

 private:
  // The lines both ends of the stretch share are matched and left out.
  void Trim(Stretch& s) {
    while (s.b0 < s.b1 && s.a0 < s.a1 && before_[s.b0] == after_[s.a0]) kept_[s.a0++] = s.b0++;
    while (s.b0 < s.b1 && s.a0 < s.a1 && before_[s.b1 - 1] == after_[s.a1 - 1]) {
      kept_[--s.a1] = --s.b1;
    }
  }

  // Splits the stretch where the forward and the backward search for the shortest edit meet;
  // false when the work allowed runs out first.
  bool Bisect(const Stretch& s, std::vector<Stretch>& todo) {
    const auto n = static_cast<std::ptrdiff_t>(s.b1 - s.b0);
    const auto m = static_cast<std::ptrdiff_t>(s.a1 - s.a0);
    const std::ptrdiff_t maxD = (n + m + 1) / 2;
    // Each round of d costs at least d steps, so the work allowed never reaches past kReach.
    const std::ptrdiff_t reach = std::min(maxD, kReach);
    const std::ptrdiff_t offset = reach + 1;
    std::vector<std::ptrdiff_t> forward(static_cast<std::size_t>(2 * offset + 1), -1);
    std::vector<std::ptrdiff_t> backward(forward.size(), -1);
    forward[offset + 1] = 0;
    backward[offset + 1] = 0;
    const std::ptrdiff_t delta = n - m;
    const bool odd = delta % 2 != 0;
    const auto same = [&](std::ptrdiff_t x, std::ptrdiff_t y) {
      return before_[s.b0 + x] == after_[s.a0 + y];
    };
    const auto sameFromEnd = [&](std::ptrdiff_t x, std::ptrdiff_t y) {
      return before_[s.b1 - 1 - x] == after_[s.a1 - 1 - y];
    };
    const auto split = [&](std::ptrdiff_t x, std::ptrdiff_t y) {
      todo.push_back({s.b0, s.b0 + x, s.a0, s.a0 + y});
      todo.push_back({s.b0 + x, s.b1, s.a0 + y, s.a1});
      return true;
    };
    // Diagonals that ran off the stretch are not searched again.
    std::ptrdiff_t k1start = 0, k1end = 0, k2start = 0, k2end = 0;
    for (std::ptrdiff_t d = 0; d < maxD; ++d) {
      if (d > reach) return Spend(budget_ + 1);
      for (std::ptrdiff_t k1 = -d + k1start; k1 <= d - k1end; k1 += 2) {
        const std::ptrdiff_t at = offset + k1;
        std::ptrdiff_t x1 = (k1 == -d || (k1 != d && forward[at - 1] < forward[at + 1]))
                                ? forward[at + 1]
                                : forward[at - 1] + 1;
        std::ptrdiff_t y1 = x1 - k1;
        const std::ptrdiff_t from = x1;
        while (x1 < n && y1 < m && same(x1, y1)) ++x1, ++y1;
        if (!Spend(x1 - from + 1)) return false;
        forward[at] = x1;
        if (x1 > n) {
          k1end += 2;
        } else if (y1 > m) {
          k1start += 2;
        } else if (odd) {
          const std::ptrdiff_t other = offset + delta - k1;
          if (other >= 0 && other < std::ssize(backward) && backward[other] != -1 &&
              x1 >= n - backward[other]) {
            return split(x1, y1);
          }
        }
      }
      for (std::ptrdiff_t k2 = -d + k2start; k2 <= d - k2end; k2 += 2) {
        const std::ptrdiff_t at = offset + k2;
        std::ptrdiff_t x2 = (k2 == -d || (k2 != d && backward[at - 1] < backward[at + 1]))
                                ? backward[at + 1]
                                : backward[at - 1] + 1;
        std::ptrdiff_t y2 = x2 - k2;
        const std::ptrdiff_t from = x2;
        while (x2 < n && y2 < m && sameFromEnd(x2, y2)) ++x2, ++y2;
        if (!Spend(x2 - from + 1)) return false;
        backward[at] = x2;
        if (x2 > n) {
          k2end += 2;
        } else if (y2 > m) {
          k2start += 2;
        } else if (!odd) {
          const std::ptrdiff_t other = offset + delta - k2;
          if (other >= 0 && other < std::ssize(forward) && forward[other] != -1) {
            const std::ptrdiff_t x1 = forward[other];
            if (x1 >= n - x2) return split(x1, x1 - (other - offset));
          }
        }
      }
    }
    return true;  // nothing in common: every line of the stretch is new
  }

  bool Spend(std::ptrdiff_t work) {
    if (work > budget_) {
      budget_ = 0;
      return false;
    }
    budget_ -= work;
    return true;
  }

  // The lines that occur once in the stretch on each side, longest run in the same order, are
  // matched; the stretches between them are matched again.
  void Anchor(const Stretch& s, std::vector<Stretch>& todo) {
    // A stretch shuffled throughout would be cut into ever smaller ones: past the work allowed,
    // its lines are left to the pairing of moved lines.
    const auto size = static_cast<std::ptrdiff_t>((s.b1 - s.b0) + (s.a1 - s.a0));
    if (size > anchorBudget_) return;
    anchorBudget_ -= size;
    struct Count {
      std::size_t before = 0, after = 0, at = 0;
    };
    std::unordered_map<std::uint32_t, Count> counts;
    for (std::size_t b = s.b0; b < s.b1; ++b) {
      Count& c = counts[before_[b]];
      ++c.before;
      c.at = b;
    }
    std::vector<std::pair<std::size_t, std::size_t>> pairs;  // (after, before), by after
    for (std::size_t a = s.a0; a < s.a1; ++a) {
      const auto found = counts.find(after_[a]);
      if (found != counts.end()) ++found->second.after;
    }
    for (std::size_t a = s.a0; a < s.a1; ++a) {
      const auto found = counts.find(after_[a]);
      if (found == counts.end() || found->second.before != 1 || found->second.after != 1) continue;
      pairs.emplace_back(a, found->second.at);
    }
    const std::vector<std::pair<std::size_t, std::size_t>> anchors = LongestRising(pairs);
    std::size_t b = s.b0, a = s.a0;
    for (const auto& [anchorA, anchorB] : anchors) {
      todo.push_back({b, anchorB, a, anchorA});
      kept_[anchorA] = anchorB;
      b = anchorB + 1;
      a = anchorA + 1;
    }
    if (!anchors.empty()) todo.push_back({b, s.b1, a, s.a1});
  }

  // The longest run of the pairs (in order of their first) whose seconds rise.
  static std::vector<std::pair<std::size_t, std::size_t>> LongestRising(
      const std::vector<std::pair<std::size_t, std::size_t>>& pairs) {
    std::vector<std::size_t> tails;  // index of the pair ending the best run of each length
    std::vector<std::size_t> previous(pairs.size(), kNone);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
      const auto place = std::lower_bound(
          tails.begin(), tails.end(), pairs[i].second,
          [&pairs](std::size_t t, std::size_t value) { return pairs[t].second < value; });
      if (place != tails.begin()) previous[i] = *(place - 1);
      if (place == tails.end()) {
        tails.push_back(i);
      } else {
        *place = i;
      }
    }
    std::vector<std::pair<std::size_t, std::size_t>> run;
    for (std::size_t i = tails.empty() ? kNone : tails.back(); i != kNone; i = previous[i]) {
      run.push_back(pairs[i]);
    }
    std::reverse(run.begin(), run.end());
    return run;
  }

  // About a tenth of a second of the bisection's steps in the page; the anchors then do the rest
  // in time proportional to the lines.
  static constexpr std::ptrdiff_t kBudget = std::ptrdiff_t{1} << 24;
  static constexpr std::ptrdiff_t kReach = std::ptrdiff_t{1} << 12;

  std::span<const std::uint32_t> before_;
  std::span<const std::uint32_t> after_;
  std::vector<std::size_t> kept_;
  std::ptrdiff_t budget_ = kBudget;
  std::ptrdiff_t anchorBudget_ = kBudget / 4;
};

// A line the user moved leaves the lines in common at one place and comes back at another: each
// line still unmatched takes the first unmatched line of the same text, in order, so that it
// keeps its bytes too.
std::vector<std::size_t> WithMovedLines(const NumberedLines& numbered,
                                        std::vector<std::size_t> kept) {
  std::vector<bool> used(numbered.before.size(), false);
  for (const std::size_t b : kept) {
    if (b != kNone) used[b] = true;
  }
  std::unordered_map<std::uint32_t, std::vector<std::size_t>> left;  // latest last
  for (std::size_t b = numbered.before.size(); b-- > 0;) {
    if (!used[b]) left[numbered.before[b]].push_back(b);
  }
  for (std::size_t a = 0; a < kept.size(); ++a) {
    if (kept[a] != kNone) continue;
    const auto found = left.find(numbered.after[a]);
    if (found == left.end() || found->second.empty()) continue;
    kept[a] = found->second.back();
    found->second.pop_back();
  }
  return kept;
}

// Which line before each line after is, when the user left it alone (kNone: typed anew). The
// lines both ends share, the usual edit, are compared as they are; the rest as numbers.
std::vector<std::size_t> KeptLines(std::span<const std::string_view> before,
                                   std::span<const std::string_view> after) {
  std::vector<std::size_t> kept(after.size(), kNone);
  std::size_t head = 0;
  while (head < before.size() && head < after.size() && before[head] == after[head]) {
    kept[head] = head;
    ++head;
  }
  std::size_t tail = 0;
  while (head + tail < before.size() && head + tail < after.size() &&
         before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
    kept[after.size() - 1 - tail] = before.size() - 1 - tail;
    ++tail;
  }
  const auto middleBefore = before.subspan(head, before.size() - head - tail);
  const auto middleAfter = after.subspan(head, after.size() - head - tail);
  if (middleBefore.empty() || middleAfter.empty()) return kept;
  const NumberedLines numbered = Numbered(middleBefore, middleAfter);
  const std::vector<std::size_t> middle =
      WithMovedLines(numbered, LineMatcher(numbered.before, numbered.after).Match());
  for (std::size_t i = 0; i < middle.size(); ++i) {
    if (middle[i] != kNone) kept[head + i] = head + middle[i];
  }
  return kept;
}

// A long line's short line: this many characters from its start and from its end.
constexpr std::size_t kHeadCharacters = 40;
constexpr std::size_t kTailCharacters = 12;
constexpr std::string_view kEllipsis = "\xE2\x80\xA6";

// Bytes below 0x80 read the same in UTF-8 and in the code page: such a line needs no decoding.
// Eight bytes at a time, since a long line is megabytes.
bool IsAscii(std::string_view bytes) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  std::size_t at = 0;
  for (; at + 8 <= bytes.size(); at += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes.data() + at, 8);
    if ((word & kHighBits) != 0) return false;
  }
  for (; at < bytes.size(); ++at) {
    if ((static_cast<unsigned char>(bytes[at]) & 0x80) != 0) return false;
  }
  return true;
}

bool StartsCharacter(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

std::size_t CharacterCount(std::string_view utf8) {
  return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), StartsCharacter));
}

std::string_view FirstCharacters(std::string_view utf8, std::size_t count) {
  std::size_t at = 0, seen = 0;
  for (; at < utf8.size(); ++at) {
    if (!StartsCharacter(utf8[at])) continue;
    if (seen == count) break;
    ++seen;
  }
  return utf8.substr(0, at);
}

std::string_view LastCharacters(std::string_view utf8, std::size_t count) {
  std::size_t at = utf8.size(), seen = 0;
  while (at > 0 && seen < count) {
    --at;
    if (StartsCharacter(utf8[at])) ++seen;
  }
  return utf8.substr(at);
}

// The file's lines as the text area shows them, beside their own bytes.
struct ShownLines {
  std::vector<std::string_view> bytes;
  std::vector<std::string> shown;
  std::vector<std::string> lengths;  // a long line's length as shown, else empty
  bool lastEnded = true;
};

// A line as the text area shows it; a long line's length as shown goes to `length`.
std::string ShowLine(std::string_view bytes, std::string_view lengthPattern, std::string& length) {
  const bool ascii = IsAscii(bytes);
  const std::string decoded = ascii ? std::string() : PageText(bytes);
  const std::string_view text = ascii ? bytes : std::string_view(decoded);
  // A character takes at least a byte: a short line needs no counting.
  const std::size_t characters =
      text.size() > kLongLineCharacters && !ascii ? CharacterCount(text) : text.size();
  if (characters <= kLongLineCharacters) return std::string(text);
  length = lengthPattern;
  const std::size_t slot = length.find("{0}");
  if (slot != std::string::npos) length.replace(slot, 3, std::to_string(characters));
  std::string line(FirstCharacters(text, kHeadCharacters));
  line.append(kEllipsis).append(LastCharacters(text, kTailCharacters));
  line.append(" ").append(length);
  return line;
}

ShownLines ShowLines(std::string_view file, std::string_view lengthPattern) {
  SplitLines split = SplitAtLineEnds(file);
  ShownLines lines;
  lines.lastEnded = split.lastEnded;
  lines.shown.reserve(split.lines.size());
  lines.lengths.resize(split.lines.size());
  for (std::size_t i = 0; i < split.lines.size(); ++i) {
    lines.shown.push_back(ShowLine(split.lines[i], lengthPattern, lines.lengths[i]));
  }
  lines.bytes = std::move(split.lines);
  return lines;
}

std::string Joined(const ShownLines& lines) {
  std::size_t size = lines.shown.size();
  for (const std::string& line : lines.shown) size += line.size();
  std::string text;
  text.reserve(size);
  for (std::size_t i = 0; i < lines.shown.size(); ++i) {
    text.append(lines.shown[i]);
    if (i + 1 < lines.shown.size() || lines.lastEnded) text.push_back(kLf);
  }
  return text;
}

// A long line's short line cannot be edited: a line typed anew that still holds a long line's
// length stands for that long line, the first of them not kept elsewhere (the one edited), else
// the first of them (a copy).
void WithLongLines(std::span<const std::string> lengths, std::span<const std::string_view> lines,
                   std::vector<std::size_t>& kept) {
  std::vector<std::size_t> longLines;
  for (std::size_t b = 0; b < lengths.size(); ++b) {
    if (!lengths[b].empty()) longLines.push_back(b);
  }
  if (longLines.empty()) return;
  std::vector<bool> used(lengths.size(), false);
  for (const std::size_t b : kept) {
    if (b != kNone) used[b] = true;
  }
  for (std::size_t a = 0; a < lines.size(); ++a) {
    if (kept[a] != kNone) continue;
    std::size_t copy = kNone;
    for (const std::size_t b : longLines) {
      if (lines[a].find(lengths[b]) == std::string_view::npos) continue;
      if (copy == kNone) copy = b;
      if (used[b]) continue;
      copy = b;
      break;
    }
    if (copy == kNone) continue;
    kept[a] = copy;
    used[copy] = true;
  }
}

}  // namespace

std::string EditorTextOf(std::string_view bytes, std::string_view length) {
  return Joined(ShowLines(bytes, length));
}

std::string EditorBytesOf(std::string_view original, std::string_view text,
                          std::string_view length) {
  return EditorFile(original, length).BytesOf(text);
}

EditorFile::EditorFile(std::string_view bytes, std::string_view length) : original_(bytes) {
  ShownLines lines = ShowLines(bytes, length);
  text_ = Joined(lines);
  bytes_ = std::move(lines.bytes);
  shown_ = std::move(lines.shown);
  lengths_ = std::move(lines.lengths);
}

std::string EditorFile::BytesOf(std::string_view text) const {
  if (text == text_) return std::string(original_);
  const std::vector<std::string_view> shown(shown_.begin(), shown_.end());
  const std::vector<std::string_view> lines = SplitAtLineFeeds(text);
  std::vector<std::size_t> kept = KeptLines(shown, lines);
  WithLongLines(lengths_, lines, kept);
  std::string bytes;
  bytes.reserve(original_.size() + text.size() + text.size() / 8);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (kept[i] != kNone) {
      bytes.append(bytes_[kept[i]]);
    } else {
      bytes.append(NewLineBytes(lines[i]));
    }
    if (i + 1 < lines.size() || text.ends_with(kLf)) bytes.append("\r\n");
  }
  return bytes;
}

}  // namespace funzioni::web
