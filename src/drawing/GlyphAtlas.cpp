#include "GlyphAtlas.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <optional>

#include "DrawingSurface.h"
#include "TextRules.h"

namespace funzioni {

namespace {

constexpr std::array<std::uint8_t, 4> kMagic = {'F', 'G', 'A', 1};
constexpr std::int64_t kTabStop = 80;
// The desktop's renderer measures a text only up to the string terminator of the C1 controls
// (it keeps variants of a text apart with it), but draws all of it; the terminator's glyph has no
// advance.
constexpr char32_t kTextEnd = 0x9C;
constexpr int kWeightAndSlant = kFontBold | kFontItalic;

// --- The coder ------------------------------------------------------------------------------
//
// Everything after the magic bytes is one stream of an adaptive binary range coder: numbers by
// their length and then their bits, each bit with the odds learnt from the bits before it in the
// same place; glyph pixels with the odds of their neighbourhood (the eleven pixels above and to
// the left). Glyph shapes repeat across sizes and characters, so this keeps the atlas small.

constexpr int kOddsBits = 11;
constexpr std::uint16_t kEven = 1 << (kOddsBits - 1);
constexpr int kAdaptShift = 5;
constexpr std::uint32_t kTop = 1u << 24;
constexpr int kMaxNumberBits = 40;
constexpr std::size_t kTreeNodes = 1 << 12;
constexpr int kPixelContextBits = 11;

// What each number of the stream is; each kind learns its own odds.
enum Field : std::size_t {
  kCount,
  kCodeStep,
  kTextByte,
  kFontValue,
  kLineTop,
  kLineRows,
  kLineSet,
  kAdvance,
  kWidth,
  kHeight,
  kLeft,
  kTopRow,
  kFieldCount
};

struct NumberOdds {
  std::array<std::uint16_t, kMaxNumberBits> length;
  std::array<std::uint16_t, kTreeNodes> tree;      // the bits of short numbers, by their prefix
  std::array<std::uint16_t, kMaxNumberBits> deep;  // the bits of long numbers, by position
};

struct Odds {
  Odds() {
    for (NumberOdds& f : fields) {
      f.length.fill(kEven);
      f.tree.fill(kEven);
      f.deep.fill(kEven);
    }
    pixels.fill(kEven);
  }
  std::array<NumberOdds, kFieldCount> fields;
  std::array<std::uint16_t, 1u << kPixelContextBits> pixels;
};

void Learn(std::uint16_t& odds, int bit) {
  if (bit == 0) {
    odds = static_cast<std::uint16_t>(odds + (((1u << kOddsBits) - odds) >> kAdaptShift));
  } else {
    odds = static_cast<std::uint16_t>(odds - (odds >> kAdaptShift));
  }
}

class RangeEncoder {
 public:
  void Bit(std::uint16_t& odds, int bit) {
    const std::uint32_t bound = (range_ >> kOddsBits) * odds;
    if (bit == 0) {
      range_ = bound;
    } else {
      low_ += bound;
      range_ -= bound;
    }
    Learn(odds, bit);
    while (range_ < kTop) {
      range_ <<= 8;
      ShiftLow();
    }
  }
  std::vector<std::uint8_t>& Finish() {
    for (int i = 0; i < 5; ++i) ShiftLow();
    return out_;
  }

 private:
  void ShiftLow() {
    if (low_ < 0xFF000000u || low_ >= (1ull << 32)) {
      const auto carry = static_cast<std::uint8_t>(low_ >> 32);
      std::uint8_t byte = cache_;
      do {
        out_.push_back(static_cast<std::uint8_t>(byte + carry));
        byte = 0xFF;
      } while (--pending_ != 0);
      cache_ = static_cast<std::uint8_t>(low_ >> 24);
    }
    ++pending_;
    low_ = (low_ & 0x00FFFFFFu) << 8;
  }

  std::vector<std::uint8_t> out_;
  std::uint64_t low_ = 0;
  std::uint32_t range_ = 0xFFFFFFFFu;
  std::uint8_t cache_ = 0;
  std::uint64_t pending_ = 1;
};

class RangeDecoder {
 public:
  explicit RangeDecoder(std::span<const std::uint8_t> bytes) : bytes_(bytes) {
    for (int i = 0; i < 5; ++i) code_ = (code_ << 8) | Next();
  }
  int Bit(std::uint16_t& odds) {
    const std::uint32_t bound = (range_ >> kOddsBits) * odds;
    int bit = 0;
    if (code_ < bound) {
      range_ = bound;
    } else {
      code_ -= bound;
      range_ -= bound;
      bit = 1;
    }
    Learn(odds, bit);
    while (range_ < kTop) {
      range_ <<= 8;
      code_ = (code_ << 8) | Next();
    }
    return bit;
  }
  // Whether the stream ran past its bytes (the encoder's last bytes are the most it reads).
  bool Overran() const { return at_ > bytes_.size(); }

 private:
  std::uint32_t Next() { return at_ < bytes_.size() ? bytes_[at_++] : (++at_, 0u); }

  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
  std::uint32_t code_ = 0;
  std::uint32_t range_ = 0xFFFFFFFFu;
};

// A glyph's pixels, one byte each, in a blank margin: two rows above, three columns to the left
// and two to the right, so that every pixel's neighbourhood reads without checks.
class PaddedGlyph {
 public:
  PaddedGlyph(int width, int height)
      : stride_(static_cast<std::size_t>(width) + 5),
        cells_((static_cast<std::size_t>(height) + 2) * stride_, 0) {}

  std::uint8_t& At(int x, int y) { return cells_[Index(x, y)]; }

  // The pixel's neighbourhood: three to the left, five above, three two rows up.
  std::size_t Context(int x, int y) const {
    const std::uint8_t* r0 = &cells_[Index(x, y)];
    const std::uint8_t* r1 = r0 - stride_;
    const std::uint8_t* r2 = r1 - stride_;
    return static_cast<std::size_t>(r0[-1] << 10 | r0[-2] << 9 | r0[-3] << 8 | r1[-2] << 7 |
                                    r1[-1] << 6 | r1[0] << 5 | r1[1] << 4 | r1[2] << 3 |
                                    r2[-1] << 2 | r2[0] << 1 | r2[1]);
  }

 private:
  std::size_t Index(int x, int y) const {
    return (static_cast<std::size_t>(y) + 2) * stride_ + static_cast<std::size_t>(x) + 3;
  }

  std::size_t stride_;
  std::vector<std::uint8_t> cells_;
};

// --- Writing ---------------------------------------------------------------------------------

class Writer {
 public:
  void Unsigned(Field field, std::uint64_t v) {
    NumberOdds& odds = odds_.fields[field];
    // v + 1 has `length` bits: the length in unary, then the bits under the top one.
    const std::uint64_t n = v + 1;
    int length = 1;
    while (length < kMaxNumberBits && (n >> length) != 0) ++length;
    for (int i = 0; i + 1 < length; ++i) coder_.Bit(odds.length[i], 1);
    if (length < kMaxNumberBits) coder_.Bit(odds.length[length - 1], 0);
    std::size_t node = 1;
    for (int i = length - 2; i >= 0; --i) {
      const int bit = static_cast<int>((n >> i) & 1);
      coder_.Bit(node < kTreeNodes ? odds.tree[node] : odds.deep[i], bit);
      node = node * 2 + static_cast<std::size_t>(bit);
    }
  }
  // Small negative numbers stay short: 0, -1, 1, -2, ... become 0, 1, 2, 3, ...
  void Signed(Field field, std::int64_t v) {
    Unsigned(field, v < 0 ? (static_cast<std::uint64_t>(-(v + 1)) << 1) | 1
                          : static_cast<std::uint64_t>(v) << 1);
  }
  void Text(std::string_view text) {
    Unsigned(kCount, text.size());
    for (const char c : text) Unsigned(kTextByte, static_cast<unsigned char>(c));
  }
  void Line(const AtlasLine& line) {
    Signed(kLineTop, line.top);
    Unsigned(kLineRows, static_cast<std::uint64_t>(line.rows));
  }
  void Glyph(const GlyphImage& glyph, int& previousAdvance) {
    // Advances mostly repeat (in a fixed-pitch face always).
    Signed(kAdvance, static_cast<std::int64_t>(glyph.advance) - previousAdvance);
    previousAdvance = glyph.advance;
    Unsigned(kLineSet, glyph.lines);
    Unsigned(kWidth, static_cast<std::uint64_t>(glyph.width));
    if (glyph.width <= 0) return;
    Unsigned(kHeight, static_cast<std::uint64_t>(glyph.height));
    Signed(kLeft, glyph.left);
    Signed(kTopRow, glyph.top);
    PaddedGlyph padded(glyph.width, glyph.height);
    for (int y = 0; y < glyph.height; ++y) {
      for (int x = 0; x < glyph.width; ++x) {
        const int ink = glyph.pixels[static_cast<std::size_t>(y) * glyph.width + x] != 0 ? 1 : 0;
        coder_.Bit(odds_.pixels[padded.Context(x, y)], ink);
        padded.At(x, y) = static_cast<std::uint8_t>(ink);
      }
    }
  }
  std::vector<std::uint8_t> Take() { return std::move(coder_.Finish()); }

 private:
  RangeEncoder coder_;
  Odds odds_;
};

}  // namespace

std::vector<std::uint8_t> EncodeGlyphAtlas(const AtlasContents& contents) {
  Writer out;
  out.Unsigned(kCount, contents.codePoints.size());
  char32_t previous = 0;
  for (const char32_t code : contents.codePoints) {
    out.Unsigned(kCodeStep, code - previous);
    previous = code;
  }
  out.Unsigned(kCount, contents.fonts.size());
  for (const FontImage& font : contents.fonts) {
    out.Text(font.family);
    for (const int v :
         {font.pixelHeight, font.style, font.height, font.leading, font.averageWidth}) {
      out.Signed(kFontValue, v);
    }
    out.Unsigned(kCount, font.lines.size());
    for (const DecorationLines& lines : font.lines) {
      out.Line(lines.underline);
      out.Line(lines.strikeOut);
    }
    int advance = 0;
    out.Glyph(font.missing, advance);
    for (const GlyphImage& glyph : font.glyphs) out.Glyph(glyph, advance);
  }
  std::vector<std::uint8_t> bytes(kMagic.begin(), kMagic.end());
  const std::vector<std::uint8_t> stream = out.Take();
  bytes.insert(bytes.end(), stream.begin(), stream.end());
  return bytes;
}

// --- Reading ---------------------------------------------------------------------------------

// Reads the stream front to back; anything out of range fails the whole atlas.
class AtlasReader {
 public:
  explicit AtlasReader(std::span<const std::uint8_t> stream) : coder_(stream) {}

  bool Read(std::vector<char32_t>& codePoints, std::vector<AtlasFont>& fonts,
            std::vector<std::uint8_t>& bits) {
    const std::size_t codeCount = Limited(kCount, kMaxCodePoints);
    char32_t code = 0;
    for (std::size_t i = 0; ok_ && i < codeCount; ++i) {
      const std::uint64_t step = Limited(kCodeStep, kMaxCodePoints);
      if (step == 0 && i > 0) ok_ = false;  // ascending, no repeats
      code = static_cast<char32_t>(code + step);
      if (code >= kMaxCodePoints) ok_ = false;
      codePoints.push_back(code);
    }
    const std::size_t fontCount = Limited(kCount, kMaxFonts);
    for (std::size_t i = 0; ok_ && i < fontCount; ++i) {
      fonts.push_back(Font(codePoints.size(), bits));
    }
    return ok_ && !coder_.Overran();
  }

 private:
  static constexpr std::uint64_t kMaxCodePoints = 0x110000;
  static constexpr std::uint64_t kMaxFonts = 4096;
  static constexpr std::uint64_t kMaxSide = 4096;
  static constexpr std::uint64_t kMaxLineSets = 256;
  static constexpr std::size_t kMaxBits = std::size_t{1} << 30;

  std::uint64_t Unsigned(Field field) {
    NumberOdds& odds = odds_.fields[field];
    int length = 1;
    while (length < kMaxNumberBits && coder_.Bit(odds.length[length - 1]) == 1) ++length;
    std::uint64_t n = 1;
    std::size_t node = 1;
    for (int i = length - 2; i >= 0; --i) {
      const int bit = coder_.Bit(node < kTreeNodes ? odds.tree[node] : odds.deep[i]);
      n = n * 2 + static_cast<std::uint64_t>(bit);
      node = node * 2 + static_cast<std::size_t>(bit);
    }
    return n - 1;
  }
  std::uint64_t Limited(Field field, std::uint64_t limit) {
    const std::uint64_t v = Unsigned(field);
    if (v > limit || coder_.Overran()) ok_ = false;
    return ok_ ? v : 0;
  }
  // Numbers in the atlas are small; anything beyond a 16-bit range fails.
  int Int(Field field) {
    const std::uint64_t z = Limited(field, 1u << 17);
    return (z & 1) != 0 ? -static_cast<int>(z >> 1) - 1 : static_cast<int>(z >> 1);
  }
  AtlasLine Line() {
    AtlasLine line;
    line.top = Int(kLineTop);
    line.rows = static_cast<int>(Limited(kLineRows, kMaxSide));
    return line;
  }
  AtlasFont::Glyph Glyph(int& previousAdvance, std::vector<std::uint8_t>& bits) {
    AtlasFont::Glyph g;
    g.advance = previousAdvance + Int(kAdvance);
    previousAdvance = g.advance;
    g.lines = static_cast<std::size_t>(Limited(kLineSet, lineSets_ - 1));
    g.width = static_cast<int>(Limited(kWidth, kMaxSide));
    if (g.width == 0 || !ok_) return g;
    g.height = static_cast<int>(Limited(kHeight, kMaxSide));
    g.left = Int(kLeft);
    g.top = Int(kTopRow);
    g.bits = bitCount_;
    if (!ok_ || bitCount_ > kMaxBits) {
      ok_ = false;
      return {};
    }
    PaddedGlyph padded(g.width, g.height);
    for (int y = 0; ok_ && y < g.height; ++y) {
      for (int x = 0; x < g.width; ++x) {
        const int ink = coder_.Bit(odds_.pixels[padded.Context(x, y)]);
        padded.At(x, y) = static_cast<std::uint8_t>(ink);
        if (bitCount_ % 8 == 0) bits.push_back(0);
        if (ink != 0)
          bits.back() = static_cast<std::uint8_t>(bits.back() | (0x80 >> (bitCount_ % 8)));
        ++bitCount_;
      }
      if (coder_.Overran()) ok_ = false;
    }
    return g;
  }
  AtlasFont Font(std::size_t glyphCount, std::vector<std::uint8_t>& bits) {
    AtlasFont font;
    const std::size_t length = Limited(kCount, 255);
    for (std::size_t i = 0; ok_ && i < length; ++i) {
      font.family_.push_back(static_cast<char>(Limited(kTextByte, 255)));
    }
    font.pixelHeight_ = Int(kFontValue);
    font.style_ = Int(kFontValue);
    font.height_ = Int(kFontValue);
    font.leading_ = Int(kFontValue);
    font.averageWidth_ = Int(kFontValue);
    const std::size_t lineSets = Limited(kCount, kMaxLineSets);
    if (lineSets == 0) ok_ = false;  // the font's own lines come first
    for (std::size_t i = 0; ok_ && i < lineSets; ++i) {
      DecorationLines lines;
      lines.underline = Line();
      lines.strikeOut = Line();
      font.lines_.push_back(lines);
    }
    lineSets_ = std::max<std::size_t>(1, lineSets);
    int advance = 0;
    font.missing_ = Glyph(advance, bits);
    for (std::size_t i = 0; ok_ && i < glyphCount; ++i)
      font.glyphs_.push_back(Glyph(advance, bits));
    return font;
  }

  RangeDecoder coder_;
  Odds odds_;
  std::size_t bitCount_ = 0;
  std::size_t lineSets_ = 1;  // of the font being read
  bool ok_ = true;
};

const AtlasFont::Glyph& AtlasFont::GlyphFor(char32_t code) const {
  const auto it = std::lower_bound(codePoints_.begin(), codePoints_.end(), code);
  if (it == codePoints_.end() || *it != code) return missing_;
  return glyphs_[static_cast<std::size_t>(it - codePoints_.begin())];
}

bool AtlasFont::Ink(const Glyph& glyph, int x, int y) const {
  const std::size_t bit = glyph.bits + static_cast<std::size_t>(y) * glyph.width + x;
  return (bits_[bit / 8] & (0x80 >> (bit % 8))) != 0;
}

GlyphAtlas::GlyphAtlas(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kMagic.size() || !std::equal(kMagic.begin(), kMagic.end(), bytes.begin()))
    return;
  AtlasReader reader(bytes.subspan(kMagic.size()));
  if (!reader.Read(codePoints_, fonts_, bits_)) {
    codePoints_.clear();
    fonts_.clear();
    bits_.clear();
    return;
  }
  for (AtlasFont& font : fonts_) {
    font.codePoints_ = codePoints_;
    font.bits_ = bits_;
  }
}

const AtlasFont* GlyphAtlas::Find(std::string_view family, int pixelHeight, int style) const {
  const int wanted = style & kWeightAndSlant;
  // Lower is nearer: a family mismatch outweighs the weight, the weight the slant, and the
  // slant any difference in height.
  const auto distance = [&](const AtlasFont& font) {
    const std::int64_t height =
        std::abs(static_cast<std::int64_t>(font.PixelHeight()) - pixelHeight);
    return std::array<std::int64_t, 4>{
        font.Family() == family ? 0 : 1, ((font.Style() ^ wanted) & kFontBold) != 0 ? 1 : 0,
        ((font.Style() ^ wanted) & kFontItalic) != 0 ? 1 : 0, height};
  };
  const AtlasFont* best = nullptr;
  for (const AtlasFont& font : fonts_) {
    if (best == nullptr || distance(font) < distance(*best)) best = &font;
  }
  return best;
}

// --- Measuring and drawing -------------------------------------------------------------------

namespace {

// Walks the text's glyphs, calling `glyph(pen, glyph)` for each; returns where the pen ends.
template <typename GlyphFn>
std::int64_t Walk(const AtlasFont& font, std::u32string_view codes, std::int64_t start,
                  GlyphFn glyph) {
  std::int64_t pen = start;
  for (const char32_t code : codes) {
    if (code == U'\t') {
      pen = start + ((pen - start) / kTabStop + 1) * kTabStop;
      continue;
    }
    const AtlasFont::Glyph& g = font.GlyphFor(code);
    glyph(pen, g);
    pen += g.advance;
  }
  return pen;
}

int ClampToInt(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

void FillBand(PixelTarget target, std::int64_t x1, std::int64_t x2, std::int64_t y1,
              std::int64_t y2, std::uint32_t argb) {
  x1 = std::max<std::int64_t>(x1, 0);
  y1 = std::max<std::int64_t>(y1, 0);
  x2 = std::min<std::int64_t>(x2, target.width);
  y2 = std::min<std::int64_t>(y2, target.height);
  if (x2 <= x1) return;
  for (std::int64_t y = y1; y < y2; ++y) {
    std::uint32_t* row = target.pixels + y * target.width;
    std::fill(row + x1, row + x2, argb);
  }
}

void DrawGlyph(const AtlasFont& font, const AtlasFont::Glyph& g, std::int64_t left,
               std::int64_t top, std::uint32_t argb, PixelTarget target) {
  if (g.width == 0) return;
  // Only the part of the bitmap that lies on the target.
  const std::int64_t x0 = std::max<std::int64_t>(0, -left);
  const std::int64_t y0 = std::max<std::int64_t>(0, -top);
  const std::int64_t x1 = std::min<std::int64_t>(g.width, target.width - left);
  const std::int64_t y1 = std::min<std::int64_t>(g.height, target.height - top);
  for (std::int64_t y = y0; y < y1; ++y) {
    const std::int64_t row = (top + y) * target.width + left;
    for (std::int64_t x = x0; x < x1; ++x) {
      if (font.Ink(g, static_cast<int>(x), static_cast<int>(y))) target.pixels[row + x] = argb;
    }
  }
}

}  // namespace

PixelSize MeasureAtlasText(const AtlasFont& font, std::string_view text) {
  const std::u32string decoded = DecodeCodePoints(text);
  const std::u32string_view codes = std::u32string_view(decoded).substr(0, decoded.find(kTextEnd));
  const std::int64_t end = Walk(font, codes, 0, [](std::int64_t, const AtlasFont::Glyph&) {});
  return {ClampToInt(end), font.Height()};
}

void DrawAtlasText(const AtlasFont& font, int decorations, std::string_view text, PixelPoint at,
                   std::uint32_t argb, PixelTarget target) {
  if (target.pixels == nullptr || target.width <= 0 || target.height <= 0) return;
  const std::u32string codes = DecodeCodePoints(text);
  const std::int64_t y = at.y;
  const auto glyph = [&](std::int64_t pen, const AtlasFont::Glyph& g) {
    DrawGlyph(font, g, pen + g.left, y + g.top, argb, target);
    const DecorationLines& lines = font.LinesUnder(g);
    for (const auto& [bit, line] :
         {std::pair{kFontUnderline, lines.underline}, std::pair{kFontStrikeOut, lines.strikeOut}}) {
      if ((decorations & bit) == 0) continue;
      FillBand(target, pen, pen + g.advance, y + line.top, y + line.top + line.rows, argb);
    }
  };
  Walk(font, codes, at.x, glyph);
}

}  // namespace funzioni
