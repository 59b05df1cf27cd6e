#pragma once

// Makes the glyph atlas of the browser build with the desktop's own text renderer: every glyph
// of every font the program draws with, as that renderer draws it. Needs the GUI application.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/GlyphAtlas.h"

namespace funzioni {

// A font as the program asks for it on a surface.
struct SurfaceFontRequest {
  std::string_view face;
  int points = 0;
  int style = 0;
};

// Every surface font of the program, once each (some come from the sizes of its controls).
std::vector<SurfaceFontRequest> ProgramSurfaceFonts();
// The characters the atlas holds, ascending.
std::vector<char32_t> AtlasCharacters();

// The glyphs and sizes of these fonts for these characters; fonts that stand for the same face,
// pixel height, weight and slant are kept once. Throws std::runtime_error when the renderer does
// something the atlas cannot hold (grey pixels, glyphs that do not stand side by side).
AtlasContents BuildAtlasContents(std::span<const SurfaceFontRequest> fonts,
                                 std::span<const char32_t> characters);

// A C++ source that defines EmbeddedGlyphAtlas() over these bytes.
std::string AtlasSource(std::span<const std::uint8_t> bytes, std::string_view note);

// The character's UTF-8 bytes.
std::string Utf8(char32_t code);

}  // namespace funzioni
