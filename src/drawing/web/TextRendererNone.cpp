// The surfaces' text while the page is built without the glyph atlas (web/TextRendererWeb.cpp):
// no font, so text measures nothing and draws nothing, and everything else still works.

#include "drawing/TextRenderer.h"

namespace funzioni {

struct FontEntry {};

const FontEntry* TextRenderer::SurfaceFont(std::string_view, int, int) {
  return nullptr;
}

PixelSize TextRenderer::CharSize(const FontEntry*) {
  return {};
}

PixelSize TextRenderer::Measure(const FontEntry*, std::string_view) {
  return {};
}

void TextRenderer::Draw(const FontEntry*, std::string_view, int, int, std::uint32_t,
                        std::uint32_t*, int, int) {}

}  // namespace funzioni
