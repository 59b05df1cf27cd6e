#include "DrawingSurface.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "Raster.h"
#include "TextRenderer.h"

namespace funzioni {

Color Rgb(int red, int green, int blue) {
  const auto clamp = [](int v) { return std::clamp(v, 0, 255); };
  return clamp(red) | (clamp(green) << 8) | (clamp(blue) << 16);
}

namespace {

constexpr Color kDefaultTextColor = 0x00000000;  // black window text
constexpr int kMaxFillStyle = 6;

// The single place where a coordinate becomes a pixel: nearest, halves to even. Values far
// beyond any surface are clamped so that the integer arithmetic of the rasteriser stays exact.
bool ToPixel(double value, std::int64_t& out) {
  if (!std::isfinite(value)) return false;
  constexpr double kLimit = static_cast<double>(raster::kCoordinateLimit);
  out = static_cast<std::int64_t>(std::rint(std::clamp(value, -kLimit, kLimit)));
  return true;
}

int ToInt32(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

void PutLe32(std::string& out, std::uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
  out.push_back(static_cast<char>((v >> 16) & 0xFF));
  out.push_back(static_cast<char>((v >> 24) & 0xFF));
}

std::uint32_t GetLe32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
         (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

}  // namespace

struct DrawingSurface::State {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xFFRRGGBB, ready for the screen
  int x = 0;
  int y = 0;
  Color foreground = kDefaultTextColor;
  Color background = kDefaultFaceColor;
  Color outside = kDefaultFaceColor;  // what a stretch shows outside its source
  std::string faceName = "Arial";
  int pointSize = 8;
  int styleBits = 0;
  const FontEntry* font = nullptr;  // resolved when text is first needed
  bool fontResolved = false;
  int userValues[8] = {};
  std::function<void()> redrawHook;

  raster::Canvas Canvas() { return {pixels.data(), width, height}; }

  const FontEntry* Font() {
    if (!fontResolved) {
      font = TextRenderer::SurfaceFont(faceName, pointSize, styleBits);
      fontResolved = font != nullptr;
    }
    return font;
  }

  // -1 is the foreground colour; any other value keeps its low three bytes.
  std::uint32_t DrawColor(Color color) const {
    return raster::ToArgb(color == kDefaultColor ? foreground : color);
  }
};

DrawingSurface::DrawingSurface() : state_(std::make_unique<State>()) {}

DrawingSurface::DrawingSurface(int width, int height) : state_(std::make_unique<State>()) {
  if (width <= 0 || height <= 0) return;
  state_->width = width;
  state_->height = height;
  state_->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                        raster::ToArgb(0x00FFFFFF));
}

DrawingSurface::~DrawingSurface() = default;

DrawingSurface::DrawingSurface(DrawingSurface&& other) noexcept
    : state_(std::exchange(other.state_, std::make_unique<State>())) {}

DrawingSurface& DrawingSurface::operator=(DrawingSurface&& other) noexcept {
  if (this != &other) state_ = std::exchange(other.state_, std::make_unique<State>());
  return *this;
}

PixelSize DrawingSurface::GetSurfaceSize() const {
  return {state_->width, state_->height};
}

void DrawingSurface::SetForegroundColor(Color color) {
  if (color == kTransparent) return;  // a foreground cannot be transparent: keep the old one
  state_->foreground = color == kDefaultColor ? kDefaultTextColor : (color & 0x00FFFFFF);
}

void DrawingSurface::SetBackgroundColor(Color color) {
  if (color == kDefaultColor) {
    state_->background = kDefaultFaceColor;
  } else if (color == kTransparent) {
    state_->background = kTransparent;
  } else {
    state_->background = color & 0x00FFFFFF;
  }
}

Color DrawingSurface::ForegroundColor() const {
  return state_->foreground;
}
Color DrawingSurface::BackgroundColor() const {
  return state_->background;
}

void DrawingSurface::SetSurfaceFont(std::string_view faceName, int pointSize, int styleBits) {
  state_->faceName = std::string(faceName.substr(0, std::min<std::size_t>(faceName.size(), 31)));
  state_->pointSize = pointSize;
  state_->styleBits = styleBits;
  state_->font = nullptr;
  state_->fontResolved = false;
}

void DrawingSurface::ClearSurface(Color color, int fillStyle) {
  State& s = *state_;
  s.x = 0;
  s.y = 0;
  if (color == kDefaultColor) color = s.background;
  if (color == kTransparent || s.pixels.empty()) return;
  if (fillStyle < 0 || fillStyle > kMaxFillStyle) fillStyle = kFillSolid;
  const std::uint32_t argb = raster::ToArgb(color);
  if (fillStyle == kFillSolid) {
    std::fill(s.pixels.begin(), s.pixels.end(), argb);
    return;
  }
  raster::Canvas canvas = s.Canvas();
  for (int y = 0; y < s.height; ++y) raster::FillSpan(canvas, 0, s.width - 1, y, argb, fillStyle);
}

void DrawingSurface::MoveTo(double x, double y, bool relative) {
  State& s = *state_;
  if (relative) {
    x += s.x;
    y += s.y;
  }
  std::int64_t px = 0;
  std::int64_t py = 0;
  if (!ToPixel(x, px) || !ToPixel(y, py)) return;
  s.x = ToInt32(px);
  s.y = ToInt32(py);
}

void DrawingSurface::LineTo(double x, double y, Color color, bool relative) {
  State& s = *state_;
  if (relative) {
    x += s.x;
    y += s.y;
  }
  std::int64_t px = 0;
  std::int64_t py = 0;
  if (!ToPixel(x, px) || !ToPixel(y, py)) return;
  if (color != kTransparent && !s.pixels.empty()) {
    raster::Canvas canvas = s.Canvas();
    raster::Line(canvas, s.x, s.y, px, py, s.DrawColor(color));
  }
  s.x = ToInt32(px);
  s.y = ToInt32(py);
}

void DrawingSurface::SetPixel(double x, double y, Color color) {
  State& s = *state_;
  std::int64_t px = 0;
  std::int64_t py = 0;
  if (!ToPixel(x, px) || !ToPixel(y, py)) return;
  s.x = ToInt32(px);
  s.y = ToInt32(py);
  if (px < 0 || py < 0 || px >= s.width || py >= s.height || color == kTransparent) return;
  s.pixels[static_cast<std::size_t>(py) * static_cast<std::size_t>(s.width) +
           static_cast<std::size_t>(px)] = s.DrawColor(color);
}

void DrawingSurface::DrawBox(double x1, double y1, double x2, double y2, double corner,
                             Color border, Color fill, int fillStyle) {
  State& s = *state_;
  std::int64_t ax = 0;
  std::int64_t ay = 0;
  std::int64_t bx = 0;
  std::int64_t by = 0;
  if (!ToPixel(x1, ax) || !ToPixel(y1, ay) || !ToPixel(x2, bx) || !ToPixel(y2, by)) return;
  if (s.pixels.empty()) return;
  raster::Box box;
  box.left = std::min(ax, bx);
  box.right = std::max(ax, bx);
  box.top = std::min(ay, by);
  box.bottom = std::max(ay, by);
  box.cornerPercent = std::isfinite(corner) ? std::clamp(corner, 0.0, 100.0) : 0.0;
  box.drawBorder = border != kTransparent;
  box.border = s.DrawColor(border);
  box.drawFill = fill != kNoFill;
  box.fill = fill == kDefaultColor ? box.border : raster::ToArgb(fill);
  if (fill == kDefaultColor && border == kTransparent) box.drawFill = false;
  box.fillStyle = (fillStyle < 0 || fillStyle > kMaxFillStyle) ? kFillSolid : fillStyle;
  raster::Canvas canvas = s.Canvas();
  raster::DrawBox(canvas, box);
}

void DrawingSurface::PrintText(std::string_view text, bool newLine) {
  State& s = *state_;
  const FontEntry* font = s.Font();
  if (!text.empty() && font != nullptr) {
    const PixelSize size = TextRenderer::Measure(font, text);
    if (!s.pixels.empty()) {
      if (s.background != kTransparent) {
        raster::Canvas canvas = s.Canvas();
        raster::FillRect(canvas, s.x, s.y, static_cast<std::int64_t>(s.x) + size.width,
                         static_cast<std::int64_t>(s.y) + size.height,
                         raster::ToArgb(s.background));
      }
      TextRenderer::Draw(font, text, s.x, s.y, raster::ToArgb(s.foreground), s.pixels.data(),
                         s.width, s.height);
    }
    s.x = ToInt32(static_cast<std::int64_t>(s.x) + size.width);
  }
  if (newLine) {
    s.x = 0;
    s.y = ToInt32(static_cast<std::int64_t>(s.y) + TextRenderer::CharSize(font).height);
  }
}

PixelSize DrawingSurface::MeasureText(std::string_view text) const {
  return TextRenderer::Measure(state_->Font(), text);
}

PixelSize DrawingSurface::GetCharSize() const {
  return TextRenderer::CharSize(state_->Font());
}

PixelPoint DrawingSurface::GetCurrentPosition() const {
  return {state_->x, state_->y};
}

void DrawingSurface::StretchSurface(const DrawingSurface& source, double sx1, double sy1,
                                    double sx2, double sy2, double tx1, double ty1, double tx2,
                                    double ty2) {
  State& s = *state_;
  std::int64_t c[8];
  const double in[8] = {sx1, sy1, sx2, sy2, tx1, ty1, tx2, ty2};
  for (int i = 0; i < 8; ++i) {
    if (!ToPixel(in[i], c[i])) return;
  }
  if (s.pixels.empty()) return;
  const State& src = *source.state_;
  // Copying a surface onto itself reads the picture as it was before the copy.
  std::vector<std::uint32_t> copy;
  const std::uint32_t* srcPixels = src.pixels.data();
  if (&src == &s) {
    copy = s.pixels;
    srcPixels = copy.data();
  }
  raster::Stretch(s.Canvas(), raster::ConstCanvas{srcPixels, src.width, src.height},
                  raster::StretchRects{c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]},
                  raster::ToArgb(s.outside));
}

std::string DrawingSurface::GetSurfacePixels() const {
  const State& s = *state_;
  std::string out;
  out.reserve(8 + s.pixels.size() * 4);
  PutLe32(out, static_cast<std::uint32_t>(s.width));
  PutLe32(out, static_cast<std::uint32_t>(s.height));
  out.resize(8 + s.pixels.size() * 4);
  char* p = out.data() + 8;
  for (const std::uint32_t argb : s.pixels) {
    const std::uint32_t rgb = argb & 0x00FFFFFF;
    p[0] = static_cast<char>(rgb & 0xFF);
    p[1] = static_cast<char>((rgb >> 8) & 0xFF);
    p[2] = static_cast<char>((rgb >> 16) & 0xFF);
    p[3] = 0;
    p += 4;
  }
  return out;
}

void DrawingSurface::SetSurfacePixels(std::string_view image) {
  State& s = *state_;
  if (image.size() < 8) return;
  const auto w = static_cast<std::int32_t>(GetLe32(image.data()));
  const auto h = static_cast<std::int32_t>(GetLe32(image.data() + 4));
  if (w < 0 || h < 0) return;
  if ((image.size() - 8) / 4 < static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) return;
  // An image of another size writes the part that overlaps, from the top-left corner.
  const int cols = std::min(w, s.width);
  const int rows = std::min(h, s.height);
  for (int y = 0; y < rows; ++y) {
    const char* row =
        image.data() + 8 + static_cast<std::size_t>(y) * static_cast<std::size_t>(w) * 4;
    std::uint32_t* dst = s.pixels.data() + static_cast<std::size_t>(y) * s.width;
    if constexpr (std::endian::native == std::endian::little) {
      // The words are already in the machine's order: copied as they are (a panel's face is put
      // back this way at every tick of the clock).
      std::memcpy(dst, row, static_cast<std::size_t>(cols) * 4);
      for (int x = 0; x < cols; ++x) dst[x] = 0xFF000000u | (dst[x] & 0x00FFFFFF);
    } else {
      for (int x = 0; x < cols; ++x) dst[x] = 0xFF000000u | (GetLe32(row + x * 4) & 0x00FFFFFF);
    }
  }
}

void DrawingSurface::RedrawSurface() {
  if (state_->redrawHook) state_->redrawHook();
}

void DrawingSurface::SetRedrawHook(std::function<void()> hook) {
  state_->redrawHook = std::move(hook);
}

Color DrawingSurface::PixelAt(int x, int y) const {
  const State& s = *state_;
  if (x < 0 || y < 0 || x >= s.width || y >= s.height) return -1;
  return raster::ToColor(s.pixels[static_cast<std::size_t>(y) * s.width + x]);
}

int DrawingSurface::UserValue(int slot) const {
  if (slot < 1 || slot > 8) return 0;
  return state_->userValues[slot - 1];
}

void DrawingSurface::SetUserValue(int slot, int value) {
  if (slot < 1 || slot > 8) return;
  state_->userValues[slot - 1] = value;
}

void DrawingSurface::SetStretchOutsideColor(Color color) {
  state_->outside = color & 0x00FFFFFF;
}

const std::uint32_t* DrawingSurface::ScreenPixels() const {
  return state_->pixels.data();
}

}  // namespace funzioni
