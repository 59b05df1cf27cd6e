// The browser build's text against the desktop's: the atlas made here from the desktop renderer
// must give the same sizes and the same pixels for every font the program uses.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "GlyphAtlasBuilder.h"
#include "drawing/DrawingSurface.h"
#include "drawing/TextRenderer.h"
#include "drawing/TextRules.h"

namespace funzioni {
namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 90;
constexpr std::uint32_t kInk = 0xFF12A4C8u;

// Texts the program draws on its surfaces, and bytes that are not UTF-8.
const std::vector<std::string> kProgramTexts = {
    "a=1.0",
    "b=-10.0",
    "zoom",
    "passo",
    "50%",
    "Tutte spente",
    "Tutte accese",
    "a.x^2+b             ",
    "(a.x+b):(c.x+d)     ",
    "sqr(a.x)",
    "2^a.x",
    "lavagna",
    "Grafico di funzioni",
    "0123456789",
    "x",
    "y",
    "12:34:56",
    "x=-12.34 y=0.00",
    " Aiuto...",
    " Verrà visualizzata e salvata nell'elenco delle",
    " Tastierino numerico: + e - varia il parametro.",
    "www.quilvarsoft.example   -   posta@quilvarsoft.example",
    "pi\xF9 \x80 \x93"
    "virgolette\x94 \x96 \xB0"
    "C",         // Windows code page bytes
    "caff\xC3",  // a cut UTF-8 sequence
    "\xE2\x88\x92\xE2\x8B\x85 \xC2\xB0 \xE2\x80\x9C\xE2\x80\x9D",
    "a\tb\t\tc",
    "\xCD\xB8 \xF4\x8F\xBF\xBD",  // characters no font has
};

std::vector<std::string> RandomTexts(std::span<const char32_t> characters, int count) {
  std::mt19937 random(20261208);
  std::vector<std::string> texts;
  for (int i = 0; i < count; ++i) {
    std::string text;
    const int length = 1 + static_cast<int>(random() % 16);
    for (int k = 0; k < length; ++k) text += Utf8(characters[random() % characters.size()]);
    texts.push_back(text);
  }
  return texts;
}

// A patterned buffer, so that a drawn background would show.
std::vector<std::uint32_t> Paper() {
  std::vector<std::uint32_t> pixels(kWidth * kHeight);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0xFF000000u | (i * 2654435761u);
  return pixels;
}

// The pixels where two pictures differ.
std::vector<PixelPoint> Difference(const std::vector<std::uint32_t>& got,
                                   const std::vector<std::uint32_t>& want) {
  std::vector<PixelPoint> points;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * kWidth + x;
      if (got[i] != want[i]) points.push_back({x, y});
    }
  }
  return points;
}

// Glyphs over 64 pixels the desktop's renderer fills from their outlines each time, and at a few
// pen positions that fill moves a pixel (bold Courier at 65 pixels, "O" at x = 40, 41, 232, ...);
// the atlas keeps the glyph as drawn elsewhere. Such sizes may differ by a pixel a glyph.
std::size_t AllowedDifference(int pixelHeight, std::string_view text) {
  return pixelHeight > 64 ? DecodeCodePoints(text).size() : 0;
}

std::string CodePoints(std::string_view text) {
  std::string out;
  for (const char32_t c : DecodeCodePoints(text)) out += " U+" + std::to_string(c);
  return out;
}

// A few fonts and characters, quick to make: enough for the format and the choice of font. The
// dot operator comes from another face, with other decoration lines.
struct SmallAtlas {
  SmallAtlas() {
    const SurfaceFontRequest fonts[] = {{"Arial", 7, 0},
                                        {"arial", 10, 0},
                                        {"Arial", 9, kFontBold},
                                        {"courier new", 9, 0},
                                        {"courier new", 50, kFontBold}};
    std::vector<char32_t> characters = {U' ', 0x9C, 0xE0, 0x20AC, 0x22C5};
    for (char32_t c = U'A'; c <= U'Z'; ++c) characters.push_back(c);
    std::sort(characters.begin(), characters.end());
    contents = BuildAtlasContents(fonts, characters);
    bytes = EncodeGlyphAtlas(contents);
  }
  AtlasContents contents;
  std::vector<std::uint8_t> bytes;
};

const SmallAtlas& Small() {
  static const SmallAtlas atlas;
  return atlas;
}

TEST(GlyphAtlasTest, ReadsBackWhatWasWritten) {
  const AtlasContents& contents = Small().contents;
  const GlyphAtlas atlas(Small().bytes);
  ASSERT_EQ(atlas.Fonts().size(), contents.fonts.size());
  for (std::size_t f = 0; f < contents.fonts.size(); ++f) {
    const FontImage& want = contents.fonts[f];
    const AtlasFont& got = atlas.Fonts()[f];
    SCOPED_TRACE(want.family + " " + std::to_string(want.pixelHeight));
    EXPECT_EQ(got.Family(), want.family);
    for (std::size_t g = 0; g < want.glyphs.size(); ++g) {
      const GlyphImage& image = want.glyphs[g];
      const AtlasFont::Glyph& glyph = got.GlyphFor(contents.codePoints[g]);
      ASSERT_EQ(glyph.advance, image.advance);
      ASSERT_EQ(glyph.width, image.width);
      ASSERT_EQ(glyph.height, image.height);
      ASSERT_EQ(got.LinesUnder(glyph), want.lines[image.lines]);
      for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
          ASSERT_EQ(got.Ink(glyph, x, y), image.pixels[y * image.width + x] != 0);
        }
      }
    }
  }
}

TEST(GlyphAtlasTest, DamagedBytesGiveAnEmptyAtlas) {
  const std::vector<std::uint8_t>& bytes = Small().bytes;
  struct Row {
    const char* name;
    std::vector<std::uint8_t> bytes;
  };
  std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + bytes.size() / 2);
  std::vector<std::uint8_t> wrongMagic = bytes;
  wrongMagic[0] ^= 1;
  const std::vector<std::uint8_t> lastByteCut(bytes.begin(), bytes.end() - 1);
  std::vector<std::uint8_t> lengthened = bytes;
  lengthened.push_back(0);
  std::vector<std::uint8_t> headerTooLong = bytes;
  headerTooLong[7] = 0xFF;  // the header's length, highest byte
  for (const Row& row : {Row{"empty", {}}, Row{"cut", cut}, Row{"magic", wrongMagic},
                         Row{"last byte cut", lastByteCut}, Row{"a byte added", lengthened},
                         Row{"header longer than the atlas", headerTooLong}}) {
    SCOPED_TRACE(row.name);
    const GlyphAtlas atlas(row.bytes);
    EXPECT_TRUE(atlas.Fonts().empty());
    EXPECT_EQ(atlas.Find("Liberation Sans", 13, 0), nullptr);
  }
}

// Each font's part reads alone, when first drawn or measured: the others stay unread, and damage
// to one part leaves the others' glyphs as they were.
TEST(GlyphAtlasTest, FontsAreReadOnFirstUseAndOnTheirOwn) {
  const AtlasContents& contents = Small().contents;
  const GlyphAtlas atlas(Small().bytes);
  ASSERT_EQ(atlas.Fonts().size(), contents.fonts.size());
  for (const AtlasFont& font : atlas.Fonts()) EXPECT_FALSE(font.Loaded());
  EXPECT_EQ(atlas.Fonts()[1].Height(), contents.fonts[1].height);  // metrics come with the atlas
  EXPECT_EQ(MeasureAtlasText(atlas.Fonts()[1], "AZ").height, contents.fonts[1].height);
  for (std::size_t f = 0; f < atlas.Fonts().size(); ++f) {
    EXPECT_EQ(atlas.Fonts()[f].Loaded(), f == 1) << f;
  }

  // The last font's part is at the end of the atlas: spoil its last bytes.
  std::vector<std::uint8_t> spoilt = Small().bytes;
  for (std::size_t i = spoilt.size() - 40; i < spoilt.size(); ++i) spoilt[i] ^= 0x5A;
  const GlyphAtlas damaged(spoilt);
  ASSERT_EQ(damaged.Fonts().size(), contents.fonts.size());
  for (std::size_t f = 0; f + 1 < contents.fonts.size(); ++f) {
    const GlyphImage& want = contents.fonts[f].glyphs.back();
    const AtlasFont::Glyph& got = damaged.Fonts()[f].GlyphFor(contents.codePoints.back());
    ASSERT_EQ(got.width, want.width) << f;
    ASSERT_EQ(got.height, want.height) << f;
    for (int y = 0; y < want.height; ++y) {
      for (int x = 0; x < want.width; ++x) {
        ASSERT_EQ(damaged.Fonts()[f].Ink(got, x, y), want.pixels[y * want.width + x] != 0);
      }
    }
  }
  // Whatever the spoilt part reads as, drawing with it stays on the target.
  std::vector<std::uint32_t> pixels = Paper();
  DrawAtlasText(damaged.Fonts().back(), kFontUnderline, "ABC\xC3\xA0", {5, 5}, kInk,
                {pixels.data(), kWidth, kHeight});
}

TEST(GlyphAtlasTest, FontsTheAtlasLacksFallBackToTheNearest) {
  const GlyphAtlas atlas(Small().bytes);
  struct Row {
    std::string_view family;
    int pixelHeight, style;
    std::string_view wantFamily;
    int wantHeight, wantStyle;
  };
  for (const Row& row : {
           Row{"Liberation Sans", 13, kFontBold | kFontUnderline, "Liberation Sans", 12, kFontBold},
           Row{"Liberation Sans", 14, kFontItalic, "Liberation Sans", 13, 0},
           Row{"Liberation Mono", 70, kFontBold, "Liberation Mono", 66, kFontBold},
           Row{"Comic", 9, 0, "Liberation Sans", 9, 0},
       }) {
    const AtlasFont* font = atlas.Find(row.family, row.pixelHeight, row.style);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->Family(), row.wantFamily);
    EXPECT_EQ(font->PixelHeight(), row.wantHeight);
    EXPECT_EQ(font->Style(), row.wantStyle);
  }
}

// Every program font, plain and with both lines: sizes and pixels as the desktop's, also where
// the text runs off each edge of the buffer.
TEST(GlyphAtlasTest, DrawsAndMeasuresAsTheDesktop) {
  const std::vector<SurfaceFontRequest> requests = ProgramSurfaceFonts();
  const GlyphAtlas atlas(EncodeGlyphAtlas(BuildAtlasContents(requests, AtlasCharacters())));
  std::vector<std::string> texts = kProgramTexts;
  for (std::string& text : RandomTexts(AtlasCharacters(), 40)) texts.push_back(std::move(text));
  for (const SurfaceFontRequest& request : requests) {
    for (const int decorations : {0, kFontUnderline | kFontStrikeOut}) {
      const int style = request.style | decorations;
      const std::string name = std::string(request.face) + " " + std::to_string(request.points) +
                               " style " + std::to_string(style);
      SCOPED_TRACE(name);
      const FontEntry* desktop = TextRenderer::SurfaceFont(request.face, request.points, style);
      const AtlasFont* web = atlas.Find(TextRenderer::ResolveFamily(request.face),
                                        TextRenderer::PixelHeightForPoints(request.points), style);
      ASSERT_NE(web, nullptr);
      EXPECT_EQ(TextRenderer::CharSize(desktop),
                (PixelSize{web->AverageWidth(), web->Height() + web->Leading()}));
      for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        const PixelSize size = TextRenderer::Measure(desktop, text);
        ASSERT_EQ(MeasureAtlasText(*web, text), size);
        for (const PixelPoint at :
             {PixelPoint{3, 2}, PixelPoint{-7, -size.height / 2},
              PixelPoint{kWidth - size.width / 2, kHeight - size.height / 2}}) {
          std::vector<std::uint32_t> want = Paper();
          std::vector<std::uint32_t> got = Paper();
          TextRenderer::Draw(desktop, text, at.x, at.y, kInk, want.data(), kWidth, kHeight);
          DrawAtlasText(*web, decorations, text, at, kInk, {got.data(), kWidth, kHeight});
          const std::vector<PixelPoint> wrong = Difference(got, want);
          ASSERT_LE(wrong.size(), AllowedDifference(web->PixelHeight(), text))
              << "at " << at.x << ", " << at.y << ":" << CodePoints(text) << "; first at "
              << wrong[0].x << ", " << wrong[0].y;
        }
      }
    }
  }
}

}  // namespace
}  // namespace funzioni
