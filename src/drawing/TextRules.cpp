#include "TextRules.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "TextRenderer.h"

namespace funzioni {

namespace {

constexpr std::size_t kMaxFaceChars = 31;

// Code points of the bytes 0x80..0x9F in the single-byte Windows code page; the rest of its upper
// half is Latin-1.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The length of the UTF-8 sequence at `at`, 0 when it is not strictly valid.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return 1;
  const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
  if (length == 0 || at + length > text.size()) return 0;
  const auto second = static_cast<unsigned char>(text[at + 1]);
  // No overlong forms, no surrogates, nothing above U+10FFFF.
  const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
  const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
  if (second < low || second > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

bool IsUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = SequenceLength(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

char32_t CodePointAt(std::string_view text, std::size_t at, std::size_t length) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (length == 1) return lead;
  char32_t code = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    code = (code << 6) | (static_cast<unsigned char>(text[at + k]) & 0x3F);
  }
  return code;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::u32string DecodeCodePoints(std::string_view bytes) {
  std::u32string text;
  text.reserve(bytes.size());
  if (IsUtf8(bytes)) {
    for (std::size_t at = 0; at < bytes.size();) {
      const std::size_t length = SequenceLength(bytes, at);
      text.push_back(CodePointAt(bytes, at, length));
      at += length;
    }
    return text;
  }
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    text.push_back(byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte);
  }
  return text;
}

std::string Utf8Of(std::string_view bytes) {
  if (IsUtf8(bytes)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char32_t code : DecodeCodePoints(bytes)) {
    // Windows-1252 gives nothing above U+FFFF: one to three bytes each.
    if (code < 0x80) {
      out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (code >> 6)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (code >> 12)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return out;
}

std::string TextRenderer::ResolveFamily(std::string_view faceName) {
  std::string face(faceName.substr(0, std::min(faceName.size(), kMaxFaceChars)));
  while (!face.empty() && face.back() == ' ') face.pop_back();
  while (!face.empty() && face.front() == ' ') face.erase(face.begin());
  const std::string key = Lower(face);
  if (key.empty() || key == "arial" || key == "helvetica" || key == "ms sans serif")
    return "Liberation Sans";
  if (key == "courier new" || key == "courier") return "Liberation Mono";
  if (key == "times new roman" || key == "times") return "Liberation Serif";
  return face;
}

int TextRenderer::PixelHeightForPoints(int pointSize) {
  if (pointSize == 0) pointSize = 8;
  if (pointSize < 0) pointSize = -pointSize;
  return pointSize * 96 / 72;
}

}  // namespace funzioni
