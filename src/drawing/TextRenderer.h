#pragma once

// Text on a surface: fonts resolved once through fontconfig and kept for the whole run, glyphs
// drawn without anti-aliasing so that every text pixel is exactly the text colour.

#include <cstdint>
#include <string>
#include <string_view>

#include "Geometry.h"

namespace funzioni {

// One resolved font with the metrics the surface needs. Entries live as long as the program.
struct FontEntry;

class TextRenderer {
 public:
  // A surface font: face name as the program writes it, size in points (0 means 8), style bits.
  static const FontEntry* SurfaceFont(std::string_view faceName, int pointSize, int styleBits);

  // Average character width and line height (height plus external leading).
  static PixelSize CharSize(const FontEntry* font);
  // Width and height that Draw covers for this text.
  static PixelSize Measure(const FontEntry* font, std::string_view utf8);
  // Draws glyph pixels only (no background) with the top-left corner at (x, y) on a buffer of
  // 0xFFRRGGBB pixels.
  static void Draw(const FontEntry* font, std::string_view utf8, int x, int y, std::uint32_t argb,
                   std::uint32_t* pixels, int width, int height);

  // The rules below are shared with the browser build (TextRules.cpp).
  // The face that stands in for a face name the program uses ("arial" -> Liberation Sans).
  static std::string ResolveFamily(std::string_view faceName);
  // Pixel height of the character for a point size at the fixed 96 dots per inch.
  static int PixelHeightForPoints(int pointSize);
};

}  // namespace funzioni
