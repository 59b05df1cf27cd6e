#include "GlyphAtlasBuilder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <stdexcept>
#include <tuple>

#include "drawing/DrawingSurface.h"
#include "drawing/TextRenderer.h"

namespace funzioni {

namespace {

constexpr std::uint32_t kPaper = 0xFF000000u;
constexpr std::uint32_t kInk = 0xFFFFFFFFu;
// Unassigned, so no font has it: the renderer draws the font's own missing-glyph box.
constexpr char32_t kUnassigned = 0x0378;
// A stretch of text long enough to show where the decoration lines lie.
constexpr std::string_view kBlankText = "  ";
// Drawn after each glyph to see where the pen went.
constexpr std::string_view kReference = "H";

// The extra characters of the single-byte Windows code page, the minus and dot operators, and
// the Slovene letters that code page lacks (C and c with caron).
constexpr char32_t kExtraCharacters[] = {
    0x010C, 0x010D, 0x0152, 0x0153, 0x0160, 0x0161, 0x0178, 0x017D, 0x017E, 0x0192, 0x02C6,
    0x02DC, 0x2013, 0x2014, 0x2018, 0x2019, 0x201A, 0x201C, 0x201D, 0x201E, 0x2020, 0x2021,
    0x2022, 0x2026, 0x2030, 0x2039, 0x203A, 0x20AC, 0x2122, 0x2212, 0x22C5};

// A text drawn alone on a buffer large enough for anything the font draws.
class Canvas {
 public:
  explicit Canvas(int pixelHeight)
      : pixelHeight_(pixelHeight),
        width_(5 * pixelHeight + 64),
        height_(3 * pixelHeight + 64),
        originX_(pixelHeight + 24),
        originY_(pixelHeight + 24),
        pixels_(static_cast<std::size_t>(width_) * height_) {}

  int PixelHeight() const { return pixelHeight_; }

  void Draw(const FontEntry* font, std::string_view text) {
    std::fill(pixels_.begin(), pixels_.end(), kPaper);
    TextRenderer::Draw(font, text, originX_, originY_, kInk, pixels_.data(), width_, height_);
  }

  // The inked pixels, cropped, placed relative to the origin.
  GlyphImage Crop() const {
    int x0 = width_, y0 = height_, x1 = -1, y1 = -1;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        const std::uint32_t p = At(x, y);
        if (p == kPaper) continue;
        if (p != kInk) throw std::runtime_error("text pixels are not all the text colour");
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
        y0 = std::min(y0, y);
        y1 = std::max(y1, y);
      }
    }
    GlyphImage image;
    if (x1 < 0) return image;
    if (x0 == 0 || y0 == 0 || x1 == width_ - 1 || y1 == height_ - 1)
      throw std::runtime_error("a glyph reaches the edge of the capture buffer");
    image.left = x0 - originX_;
    image.top = y0 - originY_;
    image.width = x1 - x0 + 1;
    image.height = y1 - y0 + 1;
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) image.pixels.push_back(At(x, y) == kInk ? 1 : 0);
    }
    return image;
  }

  // The rows a decoration line covers, checked to run exactly under the text's width.
  AtlasLine Band(int textWidth) const {
    const GlyphImage band = Crop();
    if (band.width == 0) return {};
    const bool solid =
        std::all_of(band.pixels.begin(), band.pixels.end(), [](std::uint8_t p) { return p != 0; });
    if (!solid || band.left != 0 || band.width != textWidth)
      throw std::runtime_error("a decoration line is not a band under the text");
    return {band.top, band.height};
  }

 private:
  std::uint32_t At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }

  int pixelHeight_;
  int width_;
  int height_;
  int originX_;
  int originY_;
  std::vector<std::uint32_t> pixels_;
};

using Points = std::set<std::pair<int, int>>;

// The inked pixels of an image, shifted right by dx.
Points InkOf(const GlyphImage& image, int dx) {
  Points points;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      if (image.pixels[static_cast<std::size_t>(y) * image.width + x] != 0)
        points.emplace(image.left + x + dx, image.top + y);
    }
  }
  return points;
}

// The glyph's pixels with the bands of the lines asked for under its advance.
Points WithLines(const GlyphImage& glyph, const DecorationLines& lines, int decorations) {
  Points points = InkOf(glyph, 0);
  for (const auto& [bit, line] :
       {std::pair{kFontUnderline, lines.underline}, std::pair{kFontStrikeOut, lines.strikeOut}}) {
    if ((decorations & bit) == 0) continue;
    for (int y = line.top; y < line.top + line.rows; ++y) {
      for (int x = 0; x < glyph.advance; ++x) points.emplace(x, y);
    }
  }
  return points;
}

// The glyphs of one font as the renderer draws them alone, beside another glyph, and with the
// decoration lines.
class FontCapture {
 public:
  FontCapture(const SurfaceFontRequest& request, FontImage& image)
      : image_(image), canvas_(std::max(1, image.pixelHeight)) {
    for (const int decorations : {0, kFontUnderline, kFontStrikeOut, kAllLines}) {
      fonts_[decorations] =
          TextRenderer::SurfaceFont(request.face, request.points, request.style | decorations);
    }
    DecorationLines lines;
    lines.underline = BlankLine(kFontUnderline);
    lines.strikeOut = BlankLine(kFontStrikeOut);
    image_.lines.push_back(lines);
    canvas_.Draw(fonts_[0], kReference);
    reference_ = canvas_.Crop();
  }

  GlyphImage Capture(char32_t code) {
    const std::string text = Utf8(code);
    GlyphImage glyph = Draw(0, text);
    glyph.advance = DrawnAdvance(code, glyph, TextRenderer::Measure(fonts_[0], text).width);
    if (InkOf(Draw(kAllLines, text), 0) == WithLines(glyph, image_.lines[0], kAllLines)) {
      return glyph;
    }
    // A glyph from another face: the lines of that face.
    DecorationLines lines;
    lines.underline = GlyphLine(glyph, text, kFontUnderline);
    lines.strikeOut = GlyphLine(glyph, text, kFontStrikeOut);
    const auto known = std::find(image_.lines.begin(), image_.lines.end(), lines);
    glyph.lines = static_cast<std::size_t>(known - image_.lines.begin());
    if (known == image_.lines.end()) image_.lines.push_back(lines);
    return glyph;
  }

 private:
  static constexpr int kAllLines = kFontUnderline | kFontStrikeOut;

  GlyphImage Draw(int decorations, std::string_view text) {
    canvas_.Draw(fonts_[decorations], text);
    return canvas_.Crop();
  }

  AtlasLine BlankLine(int decoration) {
    canvas_.Draw(fonts_[decoration], kBlankText);
    return canvas_.Band(TextRenderer::Measure(fonts_[decoration], kBlankText).width);
  }

  // How far drawing moves the pen after the glyph: what is measured, unless measuring stops at
  // it (the string terminator); then the underline under it and blanks after it shows where the
  // pen went. Checked by drawing the reference glyph after it.
  int DrawnAdvance(char32_t code, const GlyphImage& glyph, int measured) {
    const std::string text = Utf8(code);
    const std::string pair = text + std::string(kReference);
    int advance = measured;
    if (TextRenderer::Measure(fonts_[0], pair).width !=
        measured + TextRenderer::Measure(fonts_[0], kReference).width) {
      const int blanks = TextRenderer::Measure(fonts_[0], kBlankText).width;
      advance = Draw(kFontUnderline, text + std::string(kBlankText)).Right() - blanks;
    }
    Points both = InkOf(glyph, 0);
    both.merge(InkOf(reference_, advance));
    if (both != InkOf(Draw(0, pair), 0))
      throw std::runtime_error("U+" + std::to_string(code) + " does not stand beside other glyphs");
    return advance;
  }

  // The band one line adds under the glyph; rows hidden by the glyph's own ink do not matter.
  AtlasLine GlyphLine(const GlyphImage& glyph, std::string_view text, int decoration) {
    const Points plain = InkOf(glyph, 0);
    const Points drawn = InkOf(Draw(decoration, text), 0);
    AtlasLine line;
    if (glyph.advance == 0) return line;  // the stub drawn under a lone control is left out
    int last = 0;
    for (const auto& point : drawn) {
      if (plain.contains(point)) continue;
      if (line.rows == 0 || point.second < line.top) line.top = point.second;
      last = line.rows == 0 ? point.second : std::max(last, point.second);
      line.rows = last - line.top + 1;
    }
    DecorationLines lines;
    (decoration == kFontUnderline ? lines.underline : lines.strikeOut) = line;
    if (drawn != WithLines(glyph, lines, decoration))
      throw std::runtime_error("a decoration line is not a band under the glyph");
    return line;
  }

  FontImage& image_;
  Canvas canvas_;
  std::array<const FontEntry*, kAllLines + 1> fonts_{};
  GlyphImage reference_;
};

FontImage BuildFont(const SurfaceFontRequest& request, std::span<const char32_t> characters) {
  const FontEntry* font = TextRenderer::SurfaceFont(request.face, request.points, request.style);
  if (font == nullptr) throw std::runtime_error("no fonts without the GUI application");
  FontImage image;
  image.family = TextRenderer::ResolveFamily(request.face);
  image.pixelHeight = TextRenderer::PixelHeightForPoints(request.points);
  image.style = request.style;
  image.height = TextRenderer::Measure(font, "").height;
  const PixelSize charSize = TextRenderer::CharSize(font);
  image.leading = charSize.height - image.height;
  image.averageWidth = charSize.width;
  FontCapture capture(request, image);
  image.missing = capture.Capture(kUnassigned);
  for (const char32_t code : characters) image.glyphs.push_back(capture.Capture(code));
  return image;
}

}  // namespace

std::vector<SurfaceFontRequest> ProgramSurfaceFonts() {
  std::vector<SurfaceFontRequest> fonts = {
      {"Arial", 7, 0},                 // captions of switches and meters (ControlRenderer)
      {"arial", 10, 0},                // the plot's scale numbers and axis letters (PlotBoard)
      {"Arial", 9, kFontBold},         // the ticker (MainWindow's ticker look)
      {"courier new", 9, 0},           // the help panel's lines: its scale (Layout, SetPanelLines)
      {"courier new", 12, kFontBold},  // the board's title "lavagna" (Layout)
  };
  // A panel's text is Courier at its scale / 1.2, rounded halves to even (SetPanelText); the
  // scales of the panels in Layout are 18, 14 and 9 (the 1.2 is a float, so 9 gives 7).
  for (const int scale : {18, 14, 9}) {
    const int points = static_cast<int>(std::nearbyint(scale / static_cast<double>(1.2f)));
    fonts.push_back({"courier new", points, 0});
  }
  // The opening animation's title is bold Courier at s / 2 points for s = 100, 98, ..., 0.
  for (int s = 100; s >= 0; s -= 2) fonts.push_back({"courier new", s / 2, kFontBold});
  return fonts;
}

std::vector<char32_t> AtlasCharacters() {
  std::vector<char32_t> characters;
  // A tab is no glyph: the atlas moves the pen to the next tab stop itself.
  for (char32_t code = 0; code <= 0xFF; ++code) {
    if (code != U'\t') characters.push_back(code);
  }
  characters.insert(characters.end(), std::begin(kExtraCharacters), std::end(kExtraCharacters));
  std::sort(characters.begin(), characters.end());
  return characters;
}

AtlasContents BuildAtlasContents(std::span<const SurfaceFontRequest> fonts,
                                 std::span<const char32_t> characters) {
  AtlasContents contents;
  contents.codePoints.assign(characters.begin(), characters.end());
  std::set<std::tuple<std::string, int, int>> seen;
  for (const SurfaceFontRequest& request : fonts) {
    SurfaceFontRequest plain = request;
    plain.style &= kFontBold | kFontItalic;
    const std::tuple key{TextRenderer::ResolveFamily(plain.face),
                         TextRenderer::PixelHeightForPoints(plain.points), plain.style};
    if (!seen.insert(key).second) continue;
    contents.fonts.push_back(BuildFont(plain, characters));
  }
  return contents;
}

std::string AtlasSource(std::span<const std::uint8_t> bytes, std::string_view note) {
  std::string out =
      "// The glyph atlas of the browser build, written by scripts/glyph-atlas; do not edit.\n";
  out += "// " + std::string(note) + "\n\n";
  out += "#include \"drawing/GlyphAtlas.h\"\n\nnamespace funzioni {\n\nnamespace {\n\n";
  out += "constexpr std::uint8_t kAtlas[" + std::to_string(bytes.size()) + "] = {\n";
  std::string line;
  for (const std::uint8_t b : bytes) {
    const std::string item = std::to_string(b) + ",";
    if (line.size() + item.size() > 99) {
      out += line + "\n";
      line.clear();
    }
    line += item;
  }
  if (!line.empty()) out += line + "\n";
  out += "};\n\n}  // namespace\n\n";
  out += "std::span<const std::uint8_t> EmbeddedGlyphAtlas() {\n  return kAtlas;\n}\n\n";
  out += "}  // namespace funzioni\n";
  return out;
}

std::string Utf8(char32_t code) {
  std::string out;
  const auto put = [&](unsigned v) { out.push_back(static_cast<char>(v)); };
  if (code < 0x80) {
    put(code);
  } else if (code < 0x800) {
    put(0xC0 | (code >> 6));
    put(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    put(0xE0 | (code >> 12));
    put(0x80 | ((code >> 6) & 0x3F));
    put(0x80 | (code & 0x3F));
  } else {
    put(0xF0 | (code >> 18));
    put(0x80 | ((code >> 12) & 0x3F));
    put(0x80 | ((code >> 6) & 0x3F));
    put(0x80 | (code & 0x3F));
  }
  return out;
}

}  // namespace funzioni
