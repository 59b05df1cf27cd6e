#include "PageText.h"

#include "drawing/TextRules.h"

namespace funzioni::web {

namespace {

constexpr std::string_view kHexDigits = "0123456789abcdef";

}  // namespace

std::string PageText(std::string_view bytes) {
  return Utf8Of(bytes);
}

std::string JsonString(std::string_view utf8) {
  std::string quoted = "\"";
  for (const char c : utf8) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      // A control character (a translation's line break) cannot stand as it is in JSON.
      quoted += "\\u00";
      quoted += kHexDigits[static_cast<unsigned char>(c) >> 4];
      quoted += kHexDigits[static_cast<unsigned char>(c) & 0xf];
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

}  // namespace funzioni::web
