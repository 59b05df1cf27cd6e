#pragma once

// Text drawn from glyphs that the desktop's own renderer drew beforehand (scripts/glyph-atlas):
// the atlas's byte format, and measuring and drawing a string from it with the pixels and sizes
// the desktop gives. Standard library only, so that the browser build can use it.
//
// Glyphs stand side by side: every one is a fixed bitmap at a fixed place from the pen, and the
// pen moves by whole-pixel advances (full hinting, no kerning, no ligatures). A tab moves the pen
// to the next multiple of 80 pixels from the start of the text; U+009C ends what is measured.
// Underline and strike-out are bands of rows under each glyph's advance (none under a tab); a
// glyph that comes from another face has that face's bands.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Geometry.h"

namespace funzioni {

// The rows of a decoration line, counted from the top of the text.
struct AtlasLine {
  int top = 0;
  int rows = 0;
  friend bool operator==(const AtlasLine&, const AtlasLine&) = default;
};

struct DecorationLines {
  AtlasLine underline;
  AtlasLine strikeOut;
  friend bool operator==(const DecorationLines&, const DecorationLines&) = default;
};

// One glyph as the desktop drew it; the bitmap's top-left corner is at (left, top) from the pen
// position at the top of the text. Pixels are 0 or 1, row by row.
struct GlyphImage {
  int advance = 0;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
  std::size_t lines = 0;  // which of the font's decoration lines lie under it
  int Right() const { return left + width; }
  friend bool operator==(const GlyphImage&, const GlyphImage&) = default;
};

// What the atlas keeps of one font. The style holds only kFontBold and kFontItalic: underline
// and strike-out are the lines, drawn over the same glyphs.
struct FontImage {
  std::string family;
  int pixelHeight = 0;
  int style = 0;
  int height = 0;
  int leading = 0;
  int averageWidth = 0;
  std::vector<DecorationLines> lines;  // the font's own first
  GlyphImage missing;                  // drawn for a character the atlas lacks
  std::vector<GlyphImage> glyphs;      // one for each of the atlas's code points, in their order
};

struct AtlasContents {
  std::vector<char32_t> codePoints;  // ascending
  std::vector<FontImage> fonts;
};

// The atlas as bytes: bitmaps cropped to their ink, range-coded, each font on its own so that it
// can be read alone.
std::vector<std::uint8_t> EncodeGlyphAtlas(const AtlasContents& contents);

// A pixel buffer of 0xFFRRGGBB values, width x height, top row first.
struct PixelTarget {
  std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
};

// One font of an atlas. Its name, size and metrics are read with the atlas; its glyphs the first
// time they are asked for (a page's first picture needs a few of the atlas's fonts), on any thread.
class AtlasFont {
 public:
  struct Glyph {
    int advance = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::size_t bits = 0;  // where the bitmap starts in the font's bits
    std::size_t lines = 0;
  };

  AtlasFont();
  AtlasFont(AtlasFont&&) noexcept;
  AtlasFont& operator=(AtlasFont&&) noexcept;
  ~AtlasFont();

  std::string_view Family() const { return family_; }
  int PixelHeight() const { return pixelHeight_; }
  int Style() const { return style_; }
  int Height() const { return height_; }
  int Leading() const { return leading_; }
  int AverageWidth() const { return averageWidth_; }
  const DecorationLines& LinesUnder(const Glyph& glyph) const;
  const Glyph& GlyphFor(char32_t code) const;
  // Pixel (x, y) of a glyph's bitmap; the glyph is one GlyphFor gave.
  bool Ink(const Glyph& glyph, int x, int y) const;
  // Whether the glyphs have been read (the font was drawn or measured).
  bool Loaded() const;
  // The glyphs once read (GlyphAtlas.cpp).
  struct Shapes;

 private:
  friend class GlyphAtlas;
  struct Lazy;
  const Shapes& Load() const;

  std::span<const std::uint8_t> stream_;      // the font's part of the atlas
  std::span<const std::uint16_t> pixelOdds_;  // where its pixels' odds start
  std::span<const char32_t> codePoints_;
  std::string family_;
  int pixelHeight_ = 0;
  int style_ = 0;
  int height_ = 0;
  int leading_ = 0;
  int averageWidth_ = 0;
  std::unique_ptr<Lazy> lazy_;
};

class GlyphAtlas {
 public:
  // Reads an atlas that EncodeGlyphAtlas wrote (the bytes are copied). Bytes that do not read as
  // a whole atlas give an empty one, which finds no font; a font whose own part is damaged is
  // found but has no glyphs.
  explicit GlyphAtlas(std::span<const std::uint8_t> bytes);

  std::span<const AtlasFont> Fonts() const { return fonts_; }
  // The font of that family, pixel height and style (bold and italic bits), or the nearest the
  // atlas has: the same family first, then the same weight, the same slant, the nearest height.
  const AtlasFont* Find(std::string_view family, int pixelHeight, int style) const;

 private:
  std::vector<std::uint8_t> bytes_;
  std::vector<char32_t> codePoints_;
  std::vector<std::uint16_t> pixelOdds_;
  std::vector<AtlasFont> fonts_;
};

// Width and height the text covers (the font's height, also for an empty text).
PixelSize MeasureAtlasText(const AtlasFont& font, std::string_view text);
// Draws the text's glyph pixels (and the lines that `decorations`, kFontUnderline and
// kFontStrikeOut, ask for) with the text's top-left corner at `at`; what falls outside the
// target is left out.
void DrawAtlasText(const AtlasFont& font, int decorations, std::string_view text, PixelPoint at,
                   std::uint32_t argb, PixelTarget target);

// The atlas compiled into the program: the source that scripts/glyph-atlas writes defines it.
std::span<const std::uint8_t> EmbeddedGlyphAtlas();

}  // namespace funzioni
