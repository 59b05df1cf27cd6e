#include "GlyphAtlas.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <limits>
#include <mutex>
#include <optional>

#include "DrawingSurface.h"
#include "TextRules.h"

namespace funzioni {

namespace {

constexpr std::array<std::uint8_t, 4> kMagic = {'F', 'G', 'A', 2};
// The header's length follows the magic bytes, as four bytes, lowest first.
constexpr std::size_t kLengthBytes = 4;
constexpr std::int64_t kTabStop = 80;
// The desktop's renderer measures a text only up to the string terminator of the C1 controls
// (it keeps variants of a text apart with it), but draws all of it; the terminator's glyph has no
// advance.
constexpr char32_t kTextEnd = 0x9C;
constexpr int kWeightAndSlant = kFontBold | kFontItalic;

// --- The coder ------------------------------------------------------------------------------
//
// After the magic bytes and the header's length come the header and then each font's part, each
// one stream of an adaptive binary range coder: numbers by their length and then their bits, each
// bit with the odds learnt from the bits before it in the same place; glyph pixels with the odds
// of their neighbourhood (the eleven pixels above and to the left). The header holds the code
// points, each font's name, size, metrics and length, and the odds every font's pixels start
// from (learnt from all the fonts' glyphs: shapes repeat across sizes), so that a font's part
// reads on its own and still codes nearly as tightly as one stream would.

constexpr int kOddsBits = 11;
constexpr std::uint16_t kEven = 1 << (kOddsBits - 1);
constexpr int kAdaptShift = 5;
constexpr std::uint32_t kTop = 1u << 24;
constexpr int kMaxNumberBits = 40;
constexpr std::size_t kTreeNodes = 1 << 12;
constexpr int kPixelContextBits = 11;
constexpr std::size_t kPixelContexts = std::size_t{1} << kPixelContextBits;
// Starting odds stay this far from certainty, so that a context can still learn the other way.
constexpr std::uint16_t kLeastOdds = 32;

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
  kPixelOdds,
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
  std::array<std::uint16_t, kPixelContexts> pixels;
};
using PixelOdds = std::array<std::uint16_t, kPixelContexts>;

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
  Writer() = default;
  explicit Writer(const PixelOdds& start) { odds_.pixels = start; }

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

namespace {

// Every glyph's pixels with their neighbourhoods, as the coder sees them.
template <typename PixelFn>
void ForEachPixel(const GlyphImage& glyph, PixelFn pixel) {
  if (glyph.width <= 0) return;
  PaddedGlyph padded(glyph.width, glyph.height);
  for (int y = 0; y < glyph.height; ++y) {
    for (int x = 0; x < glyph.width; ++x) {
      const int ink = glyph.pixels[static_cast<std::size_t>(y) * glyph.width + x] != 0 ? 1 : 0;
      pixel(padded.Context(x, y), ink);
      padded.At(x, y) = static_cast<std::uint8_t>(ink);
    }
  }
}

// The odds of a blank pixel in each neighbourhood over all the atlas's glyphs.
PixelOdds StartingOdds(const AtlasContents& contents) {
  std::vector<std::array<std::uint64_t, 2>> counts(kPixelContexts, {0, 0});
  const auto count = [&](std::size_t context, int ink) { ++counts[context][ink]; };
  for (const FontImage& font : contents.fonts) {
    ForEachPixel(font.missing, count);
    for (const GlyphImage& glyph : font.glyphs) ForEachPixel(glyph, count);
  }
  PixelOdds odds;
  for (std::size_t c = 0; c < kPixelContexts; ++c) {
    const std::uint64_t total = counts[c][0] + counts[c][1];
    const std::uint64_t scaled =
        total == 0 ? kEven : (counts[c][0] * (std::uint64_t{1} << kOddsBits) + total / 2) / total;
    odds[c] = static_cast<std::uint16_t>(
        std::clamp<std::uint64_t>(scaled, kLeastOdds, (1u << kOddsBits) - kLeastOdds));
  }
  return odds;
}

// A font's own part: its decoration lines and its glyphs.
std::vector<std::uint8_t> EncodeShapes(const FontImage& font, const PixelOdds& start) {
  Writer out(start);
  out.Unsigned(kCount, font.lines.size());
  for (const DecorationLines& lines : font.lines) {
    out.Line(lines.underline);
    out.Line(lines.strikeOut);
  }
  int advance = 0;
  out.Glyph(font.missing, advance);
  for (const GlyphImage& glyph : font.glyphs) out.Glyph(glyph, advance);
  return out.Take();
}

}  // namespace

std::vector<std::uint8_t> EncodeGlyphAtlas(const AtlasContents& contents) {
  const PixelOdds start = StartingOdds(contents);
  Writer header;
  header.Unsigned(kCount, contents.codePoints.size());
  char32_t previous = 0;
  for (const char32_t code : contents.codePoints) {
    header.Unsigned(kCodeStep, code - previous);
    previous = code;
  }
  header.Unsigned(kCount, contents.fonts.size());
  std::vector<std::uint8_t> parts;
  for (const FontImage& font : contents.fonts) {
    const std::vector<std::uint8_t> part = EncodeShapes(font, start);
    header.Text(font.family);
    for (const int v :
         {font.pixelHeight, font.style, font.height, font.leading, font.averageWidth}) {
      header.Signed(kFontValue, v);
    }
    header.Unsigned(kCount, part.size());
    parts.insert(parts.end(), part.begin(), part.end());
  }
  for (const std::uint16_t odds : start) header.Unsigned(kPixelOdds, odds);
  const std::vector<std::uint8_t> head = header.Take();
  std::vector<std::uint8_t> bytes(kMagic.begin(), kMagic.end());
  for (std::size_t i = 0; i < kLengthBytes; ++i) {
    bytes.push_back(static_cast<std::uint8_t>(head.size() >> (8 * i)));
  }
  bytes.insert(bytes.end(), head.begin(), head.end());
  bytes.insert(bytes.end(), parts.begin(), parts.end());
  return bytes;
}

// --- Reading ---------------------------------------------------------------------------------

struct AtlasFont::Shapes {
  std::vector<DecorationLines> lines{DecorationLines{}};
  Glyph missing;
  std::vector<Glyph> glyphs;       // one for each of the atlas's code points, or none when damaged
  std::vector<std::uint8_t> bits;  // every glyph's pixels, one bit each
};

struct AtlasFont::Lazy {
  std::once_flag once;
  std::atomic<bool> loaded{false};
  Shapes shapes;
};

namespace {

// What the header says of one font.
struct FontHead {
  std::string family;
  std::array<int, 5> values{};  // pixel height, style, height, leading, average width
  std::size_t length = 0;       // of its part
};

// A stream read front to back; anything out of range fails it.
class StreamReader {
 public:
  explicit StreamReader(std::span<const std::uint8_t> stream) : coder_(stream) {}

 protected:
  static constexpr std::uint64_t kMaxSide = 4096;
  static constexpr std::uint64_t kMaxLength = std::uint64_t{1} << 30;

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
  bool Good() const { return ok_ && !coder_.Overran(); }

  RangeDecoder coder_;
  Odds odds_;
  bool ok_ = true;
};

class HeaderReader : public StreamReader {
 public:
  using StreamReader::StreamReader;

  bool Read(std::vector<char32_t>& codePoints, std::vector<FontHead>& fonts,
            std::vector<std::uint16_t>& pixelOdds) {
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
      FontHead font;
      const std::size_t length = Limited(kCount, 255);
      for (std::size_t k = 0; ok_ && k < length; ++k) {
        font.family.push_back(static_cast<char>(Limited(kTextByte, 255)));
      }
      for (int& v : font.values) v = Int(kFontValue);
      font.length = Limited(kCount, kMaxLength);
      fonts.push_back(std::move(font));
    }
    for (std::size_t c = 0; ok_ && c < kPixelContexts; ++c) {
      const std::uint64_t odds = Limited(kPixelOdds, (1u << kOddsBits) - 1);
      if (odds == 0) ok_ = false;  // a bit the coder could never write
      pixelOdds.push_back(static_cast<std::uint16_t>(odds));
    }
    return Good();
  }

 private:
  static constexpr std::uint64_t kMaxCodePoints = 0x110000;
  static constexpr std::uint64_t kMaxFonts = 4096;
};

class ShapesReader : public StreamReader {
 public:
  ShapesReader(std::span<const std::uint8_t> stream, std::span<const std::uint16_t> pixelOdds)
      : StreamReader(stream) {
    std::copy(pixelOdds.begin(), pixelOdds.end(), odds_.pixels.begin());
  }

  bool Read(std::size_t glyphCount, AtlasFont::Shapes& shapes) {
    const std::size_t lineSets = Limited(kCount, kMaxLineSets);
    if (lineSets == 0) ok_ = false;  // the font's own lines come first
    shapes.lines.clear();
    for (std::size_t i = 0; ok_ && i < lineSets; ++i) {
      DecorationLines lines;
      lines.underline = Line();
      lines.strikeOut = Line();
      shapes.lines.push_back(lines);
    }
    lineSets_ = std::max<std::size_t>(1, lineSets);
    int advance = 0;
    shapes.missing = Glyph(advance, shapes.bits);
    for (std::size_t i = 0; ok_ && i < glyphCount; ++i) {
      shapes.glyphs.push_back(Glyph(advance, shapes.bits));
    }
    return Good();
  }

 private:
  static constexpr std::uint64_t kMaxLineSets = 256;

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
    if (!ok_ || bitCount_ > kMaxLength) {
      ok_ = false;
      return {};
    }
    PaddedGlyph padded(g.width, g.height);
    bits.resize((bitCount_ + static_cast<std::size_t>(g.width) * g.height + 7) / 8, 0);
    for (int y = 0; ok_ && y < g.height; ++y) {
      for (int x = 0; x < g.width; ++x) {
        const int ink = coder_.Bit(odds_.pixels[padded.Context(x, y)]);
        padded.At(x, y) = static_cast<std::uint8_t>(ink);
        if (ink != 0) bits[bitCount_ / 8] |= static_cast<std::uint8_t>(0x80 >> (bitCount_ % 8));
        ++bitCount_;
      }
      if (coder_.Overran()) ok_ = false;
    }
    return g;
  }

  std::size_t bitCount_ = 0;
  std::size_t lineSets_ = 1;
};

}  // namespace

AtlasFont::AtlasFont() : lazy_(std::make_unique<Lazy>()) {}
AtlasFont::AtlasFont(AtlasFont&&) noexcept = default;
AtlasFont& AtlasFont::operator=(AtlasFont&&) noexcept = default;
AtlasFont::~AtlasFont() = default;

const AtlasFont::Shapes& AtlasFont::Load() const {
  std::call_once(lazy_->once, [this] {
    Shapes shapes;
    ShapesReader reader(stream_, pixelOdds_);
    // A damaged part leaves the font without glyphs: its texts take their places but show nothing.
    if (reader.Read(codePoints_.size(), shapes)) lazy_->shapes = std::move(shapes);
    lazy_->loaded.store(true, std::memory_order_release);
  });
  return lazy_->shapes;
}

bool AtlasFont::Loaded() const {
  return lazy_->loaded.load(std::memory_order_acquire);
}

const DecorationLines& AtlasFont::LinesUnder(const Glyph& glyph) const {
  const Shapes& shapes = Load();
  return shapes.lines[std::min(glyph.lines, shapes.lines.size() - 1)];
}

const AtlasFont::Glyph& AtlasFont::GlyphFor(char32_t code) const {
  const Shapes& shapes = Load();
  const auto it = std::lower_bound(codePoints_.begin(), codePoints_.end(), code);
  if (it == codePoints_.end() || *it != code || shapes.glyphs.size() != codePoints_.size())
    return shapes.missing;
  return shapes.glyphs[static_cast<std::size_t>(it - codePoints_.begin())];
}

bool AtlasFont::Ink(const Glyph& glyph, int x, int y) const {
  // The glyph came from GlyphFor, which read the shapes: no need to ask again for every pixel.
  const std::vector<std::uint8_t>& bits = lazy_->shapes.bits;
  const std::size_t bit = glyph.bits + static_cast<std::size_t>(y) * glyph.width + x;
  return (bits[bit / 8] & (0x80 >> (bit % 8))) != 0;
}

GlyphAtlas::GlyphAtlas(std::span<const std::uint8_t> bytes) {
  const std::size_t start = kMagic.size() + kLengthBytes;
  if (bytes.size() < start || !std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) return;
  std::size_t headLength = 0;
  for (std::size_t i = 0; i < kLengthBytes; ++i) {
    headLength |= static_cast<std::size_t>(bytes[kMagic.size() + i]) << (8 * i);
  }
  const std::span<const std::uint8_t> rest = bytes.subspan(start);
  if (headLength > rest.size()) return;
  std::vector<FontHead> heads;
  HeaderReader header(rest.first(headLength));
  if (!header.Read(codePoints_, heads, pixelOdds_)) {
    codePoints_.clear();
    pixelOdds_.clear();
    return;
  }
  // The fonts' parts fill the rest exactly: a cut or lengthened atlas is refused whole.
  std::size_t partsLength = 0;
  for (const FontHead& head : heads) partsLength += head.length;
  if (partsLength != rest.size() - headLength) {
    codePoints_.clear();
    pixelOdds_.clear();
    return;
  }
  bytes_.assign(rest.begin() + static_cast<std::ptrdiff_t>(headLength), rest.end());
  std::size_t at = 0;
  for (FontHead& head : heads) {
    AtlasFont font;
    font.stream_ = std::span<const std::uint8_t>(bytes_).subspan(at, head.length);
    at += head.length;
    font.pixelOdds_ = pixelOdds_;
    font.codePoints_ = codePoints_;
    font.family_ = std::move(head.family);
    font.pixelHeight_ = head.values[0];
    font.style_ = head.values[1];
    font.height_ = head.values[2];
    font.leading_ = head.values[3];
    font.averageWidth_ = head.values[4];
    fonts_.push_back(std::move(font));
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
