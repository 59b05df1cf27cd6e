#pragma once

// Drawing surfaces and the operations that draw on them.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "Color.h"
#include "Geometry.h"

namespace funzioni {

// Font style bits of SetSurfaceFont.
inline constexpr int kFontBold = 1;
inline constexpr int kFontItalic = 2;
inline constexpr int kFontUnderline = 4;
inline constexpr int kFontStrikeOut = 8;

// Fill styles of DrawBox and ClearSurface.
inline constexpr int kFillSolid = 0;

class TextRenderer;  // private to the drawing layer

// A buffered pixel picture with its current position, colours, font and eight user values.
// Coordinates are real numbers rounded to nearest, halves to even; drawing off the surface or at
// non-finite coordinates leaves no mark. A default-constructed surface is 0 x 0: every drawing
// operation on it does nothing, which is how "no current surface" behaves.
class DrawingSurface {
 public:
  DrawingSurface();
  DrawingSurface(int width, int height);
  ~DrawingSurface();
  DrawingSurface(DrawingSurface&&) noexcept;
  DrawingSurface& operator=(DrawingSurface&&) noexcept;

  PixelSize GetSurfaceSize() const;
  void SetForegroundColor(Color color);
  void SetBackgroundColor(Color color);
  Color ForegroundColor() const;
  Color BackgroundColor() const;
  void SetSurfaceFont(std::string_view faceName, int pointSize, int styleBits = 0);
  void ClearSurface(Color color = kDefaultColor, int fillStyle = kFillSolid);
  void MoveTo(double x, double y, bool relative = false);
  void LineTo(double x, double y, Color color = kDefaultColor, bool relative = false);
  void SetPixel(double x, double y, Color color = kDefaultColor);
  void DrawBox(double x1, double y1, double x2, double y2, double corner, Color border, Color fill,
               int fillStyle);
  // Text is UTF-8; bytes that are not are read in the single-byte Windows code page.
  void PrintText(std::string_view text, bool newLine = false);
  PixelSize MeasureText(std::string_view text) const;
  PixelSize GetCharSize() const;
  PixelPoint GetCurrentPosition() const;
  void StretchSurface(const DrawingSurface& source, double sx1, double sy1, double sx2, double sy2,
                      double tx1, double ty1, double tx2, double ty2);
  std::string GetSurfacePixels() const;
  void SetSurfacePixels(std::string_view image);

  // Shows the buffered picture (calls the hook the dialog installed, if any).
  void RedrawSurface();
  void SetRedrawHook(std::function<void()> hook);

  // The colour (0x00BBGGRR) of one pixel; -1 outside the surface. For tests and read-back.
  Color PixelAt(int x, int y) const;

  // User values, slots 1..8; other slots read 0 and are not written.
  int UserValue(int slot) const;
  void SetUserValue(int slot, int value);

  // The colour a stretch gives to pixels whose source lies outside the source surface (the
  // face colour of the dialog that holds it, kDefaultFaceColor on its own).
  void SetStretchOutsideColor(Color color);
  // The picture as 0xFFRRGGBB values, width x height, top row first; for the dialog's widgets
  // and for benchmarks.
  const std::uint32_t* ScreenPixels() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace funzioni
