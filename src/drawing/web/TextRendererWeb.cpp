// Text on a surface in the browser build: the glyphs the desktop's renderer drew when the page
// was built (the glyph atlas that scripts/glyph-atlas writes), placed exactly as it places them.
// A font the atlas lacks falls back to its nearest one (GlyphAtlas::Find).

#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "drawing/DrawingSurface.h"
#include "drawing/GlyphAtlas.h"
#include "drawing/TextRenderer.h"

namespace funzioni {

struct FontEntry {
  const AtlasFont* font = nullptr;
  int decorations = 0;  // kFontUnderline and kFontStrikeOut: lines over the atlas's glyphs
};

namespace {

// The atlas compiled into the page, read once, and the entries handed out for its fonts. Entries
// are added the first time a font and its lines are asked for and never changed or removed, so
// that surfaces can keep plain pointers to them for the whole run.
class AtlasFonts {
 public:
  AtlasFonts() : atlas_(EmbeddedGlyphAtlas()) {}

  const FontEntry* Find(std::string_view faceName, int pointSize, int styleBits) {
    const AtlasFont* font = atlas_.Find(TextRenderer::ResolveFamily(faceName),
                                        TextRenderer::PixelHeightForPoints(pointSize), styleBits);
    if (font == nullptr) return nullptr;
    const int decorations = styleBits & (kFontUnderline | kFontStrikeOut);
    const std::lock_guard<std::mutex> guard(lock_);
    auto& entry = entries_[{font, decorations}];
    if (entry == nullptr) entry = std::make_unique<const FontEntry>(FontEntry{font, decorations});
    return entry.get();
  }

 private:
  GlyphAtlas atlas_;
  std::mutex lock_;
  std::map<std::pair<const AtlasFont*, int>, std::unique_ptr<const FontEntry>> entries_;
};

AtlasFonts& Fonts() {
  static AtlasFonts fonts;
  return fonts;
}

}  // namespace

const FontEntry* TextRenderer::SurfaceFont(std::string_view faceName, int pointSize,
                                           int styleBits) {
  return Fonts().Find(faceName, pointSize, styleBits);
}

PixelSize TextRenderer::CharSize(const FontEntry* font) {
  if (font == nullptr) return {};
  return {font->font->AverageWidth(), font->font->Height() + font->font->Leading()};
}

PixelSize TextRenderer::Measure(const FontEntry* font, std::string_view utf8) {
  if (font == nullptr) return {};
  return MeasureAtlasText(*font->font, utf8);
}

void TextRenderer::Draw(const FontEntry* font, std::string_view utf8, int x, int y,
                        std::uint32_t argb, std::uint32_t* pixels, int width, int height) {
  if (font == nullptr || utf8.empty() || width <= 0 || height <= 0) return;
  DrawAtlasText(*font->font, font->decorations, utf8, {x, y}, argb, {pixels, width, height});
}

}  // namespace funzioni
