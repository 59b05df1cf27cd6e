#include "TextDecoding.h"

#include "TextRules.h"

namespace funzioni {

QString DecodeText(std::string_view bytes) {
  const std::u32string text = DecodeCodePoints(bytes);
  return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace funzioni
