#include "controls/ControlRenderer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace funzioni {

namespace {

constexpr int kBackgroundSlot = 8;  // user value: nonzero once the background is cached

struct Box {
  double width;   // w
  double height;  // h
  double frame;   // n
};

void Line(DrawingSurface& s, double x, double y, double dx, double dy, Color color) {
  s.MoveTo(x, y);
  s.LineTo(dx, dy, color, /*relative=*/true);
}

void SolidBox(DrawingSurface& s, double x1, double y1, double x2, double y2, Color border,
              Color fill) {
  s.DrawBox(x1, y1, x2, y2, 0, border, fill, kFillSolid);
}

Color BlueToRed(double k, int i, int green) {
  return Rgb(Nearest(k * i), green, Nearest(255 - k * i));
}

// The value as a whole number, halves to even.
std::string WholeNumber(double value) {
  return std::to_string(Nearest(value));
}

// "%" shows the value in percent, "!" the value in units of the scale; other captions as given.
std::string ReadoutCaption(std::string_view caption, float value, std::int16_t scale) {
  if (caption == "%") return WholeNumber(value) + "%";
  if (caption == "!") return WholeNumber(static_cast<double>(value) * scale / 100);
  return std::string(caption);
}

bool IsHorizontalTickStyle(std::string_view style) {
  return style == styles::kBlueRedBar || style == styles::kRedBar || style == styles::kNeedle ||
         style == styles::kBroadNeedle;
}

bool IsVerticalTickStyle(std::string_view style) {
  return style == styles::kVerticalBlueRedBar || style == styles::kVerticalNeedle ||
         style == styles::kVerticalBroadNeedle;
}

void DrawIndicator(DrawingSurface& s, const Box& b, double v, int scale, std::string_view style,
                   std::string_view faceColor) {
  const double w = b.width;
  const double h = b.height;
  const double n = b.frame;
  if (style == styles::kBlueRedBar) {
    const double k = 255 / w;
    const int last = Nearest(kHundredth * (w - 2 * n - 1) * v);
    for (int i = 0; i <= last; ++i) Line(s, n + i, n, 0, h - 2 * n, BlueToRed(k, i, 15));
  } else if (style == styles::kSegments) {
    if (scale <= 0) return;
    const double k = 255.0 / scale;
    const int last = Nearest(v * (scale - 1) * kHundredth);
    for (int i = 0; i <= last; ++i) {
      const Color c = BlueToRed(k, i, 0);
      SolidBox(s, (w - 2 * n) * i / scale + n, n, n + (w - 2 * n) * (i + 1) / scale, h - n, c, c);
    }
  } else if (style == styles::kRedBar) {
    const double k = 255 / h;
    const double length = kHundredth * (w - 2 * n) * v;
    const int last = Nearest((h - 2 * n) / 2);
    for (int i = 0; i <= last; ++i) {
      const Color c = Rgb(Nearest(155 + k * i), Nearest(k * i), Nearest(k * i));
      Line(s, n, n + i, length, 0, c);
      Line(s, n, h - i - n - 1, length, 0, c);
    }
  } else if (style == styles::kNeedle) {
    Line(s, kHundredth * (w - 2 * n) * v + n, n, 0, h - 2 * n, kRed);
  } else if (style == styles::kBroadNeedle) {
    const double p = kHundredth * (w - 2 * n) * v + n;
    SolidBox(s, p - 6, n, p + 7, h - n, kBlack,
             ShadeColor(faceColor, Nearest((100 - v) * kShadePerPercent)));
    Line(s, p, n + 1, 0, h - 2 * n - 2, kRed);
  } else if (style == styles::kVerticalBlueRedBar) {
    const double k = 255 / h;
    const int last = Nearest(kHundredth * (h - 2 * n) * v);
    for (int i = 0; i <= last; ++i) Line(s, n, h - i - n - 1, w - 2 * n, 0, BlueToRed(k, i, 0));
  } else if (style == styles::kVerticalSegments) {
    if (scale <= 0) return;
    const double k = 255.0 / scale;
    const int last = Nearest(v * (scale - 1) * kHundredth);
    for (int i = 0; i <= last; ++i) {
      const Color c = BlueToRed(k, i, 0);
      SolidBox(s, n, (h - n) - (h - 2 * n) * i / scale, w - n,
               (h - n + 1) - (h - 2 * n) * (i + 1) / scale, c, c);
    }
  } else if (style == styles::kVerticalNeedle) {
    Line(s, n, (h - n) - kHundredth * (h - 2 * n) * v + 1, w - 2 * n, 0, kRed);
  } else if (style == styles::kVerticalBroadNeedle) {
    const double q = (h - n) - kHundredth * (h - 2 * n) * v;
    SolidBox(s, n, q - 5, w - n, q + 8, kBlack,
             ShadeColor(faceColor, Nearest((100 - v) * kShadePerPercent)));
    Line(s, n + 1, q + 1, w - 2 * n - 2, 0, kRed);
  }
}

void DrawTicks(DrawingSurface& s, const Box& b, int scale, std::string_view style) {
  const double w = b.width;
  const double h = b.height;
  const double n = b.frame;
  if (IsHorizontalTickStyle(style)) {
    for (int i = 1; i < scale; ++i) {
      Line(s, (w - 2 * n) / scale * i + n, h - n - 1, 0, -kFifth * h, kTickColor);
    }
  } else if (IsVerticalTickStyle(style)) {
    for (int i = 1; i < scale; ++i) {
      Line(s, n + 1, (h - 2 * n) / scale * i + n, kFifth * (w - 2 * n), 0, kTickColor);
    }
  }
}

}  // namespace

int Nearest(double x) {
  if (std::isnan(x)) return 0;
  constexpr double kMin = std::numeric_limits<int>::min();
  constexpr double kMax = std::numeric_limits<int>::max();
  // Round half to even without depending on the floating-point rounding mode.
  double r = std::round(x);
  if (std::fabs(x - std::trunc(x)) == 0.5) r = 2.0 * std::round(x / 2.0);
  return static_cast<int>(std::clamp(r, kMin, kMax));
}

void DrawControl(Dialog& dialog, ControlTable& table, int id, const ControlLook& look) {
  const ControlRecord* record = table.Find(id);
  if (record == nullptr || dialog.FindSurface(id) == nullptr) return;
  const std::int32_t frameWidth = look.frameWidth;
  const std::int16_t scale = look.scale;
  const std::string_view style = TrimBlanks(look.style);
  const std::string_view faceColor = look.faceColor;

  DrawingSurface& s = dialog.AttachSurface(id);
  const PixelSize size = s.GetSurfaceSize();
  const Box box{static_cast<double>(size.width), static_cast<double>(size.height),
                static_cast<double>(frameWidth)};

  const std::string_view cached = table.Backgrounds().Find(id);
  if (s.UserValue(kBackgroundSlot) != 0 && !cached.empty()) {
    s.SetSurfacePixels(cached);
  } else {
    // The frame colour goes to ShadeColor as stored: a "#" name must start the field.
    const std::string& frameColor = record->frameColor.Padded();
    if (style.empty()) {
      DrawFlatFrame(s, frameWidth, frameColor);
    } else {
      DrawRaisedFrame(s, frameWidth, frameColor);
    }
    DrawFace(dialog, id, frameWidth, faceColor, look.faceMode);
    table.Backgrounds().Store(id, s.GetSurfacePixels());
    s.SetUserValue(kBackgroundSlot, id);  // identifier 0 redraws its background every time
  }

  const std::string shown = ReadoutCaption(look.caption, look.value, scale);
  const double v = look.value;
  if (v > 0) DrawIndicator(s, box, v, scale, style, faceColor);
  if (scale > 0) DrawTicks(s, box, scale, style);
  if (!shown.empty()) {
    s.SetSurfaceFont("Arial", 7, 0);
    DrawCaption(s, shown, look.textColor, 0);
  }
  dialog.RedrawSurface();
}

void DrawFlatFrame(DrawingSurface& s, int n, std::string_view colorName) {
  const PixelSize size = s.GetSurfaceSize();
  for (int i = 0; i < n; ++i) {
    s.DrawBox(i, i, size.width - i, size.height - i, 0,
              ShadeColor(colorName, Nearest(255.0 * i / n)), kNoFill, kFillSolid);
  }
}

void DrawRaisedFrame(DrawingSurface& s, int n, std::string_view colorName) {
  DrawTopLeftEdges(s, n, colorName);
  DrawBottomRightEdges(s, n, colorName);
}

void DrawTopLeftEdges(DrawingSurface& s, int n, std::string_view colorName) {
  const PixelSize size = s.GetSurfaceSize();
  const double w = size.width;
  const double h = size.height;
  for (int i = 0; i < n; ++i) {
    const Color c = ShadeColor(colorName, Nearest(255.0 * i / n));
    Line(s, i, i, 0, h - 2 * i, c);
    Line(s, i, i, w - 2 * i, 0, c);
  }
}

void DrawBottomRightEdges(DrawingSurface& s, int n, std::string_view colorName) {
  const PixelSize size = s.GetSurfaceSize();
  const double w = size.width;
  const double h = size.height;
  for (int i = n; i >= 1; --i) {
    const Color c = ShadeColor(colorName, Nearest((n - i) * 255.0 / n));
    Line(s, w - i, i - 1, 0, h - 2 * i + 1, c);
    Line(s, i, h - i, w - 2 * i + 1, 0, c);
  }
}

void DrawFace(Dialog& dialog, int id, int frameWidth, std::string_view colorName, int mode) {
  DrawingSurface& s = dialog.AttachSurface(id);
  const PixelSize size = s.GetSurfaceSize();
  const double w = size.width;
  const double h = size.height;
  const double n = frameWidth;
  const auto rowShade = [&](int j) { return ShadeColor(colorName, Nearest(255 - 255 * j / h)); };
  switch (mode) {
    case 0:  // horizontal cylinder: rows from the top and bottom edges toward the middle
      for (int j = frameWidth + 1; j <= Nearest(h / 2); ++j) {
        Line(s, n, j - 1, w - 2 * n, 0, rowShade(j));
        Line(s, n, h - j, w - 2 * n, 0, rowShade(j));
      }
      break;
    case 1:  // light at the top, dark at the bottom
      for (int j = frameWidth + 1; j <= h - n; ++j) Line(s, n, h - j, w - 2 * n, 0, rowShade(j));
      break;
    case 2:  // vertical cylinder: columns from the sides toward the middle
      for (int j = frameWidth + 1; j <= Nearest(w / 2 + 1); ++j) {
        const Color c = ShadeColor(colorName, Nearest(255 - 255 * j / w));
        Line(s, j - 1, n, 0, h - 2 * n, c);
        Line(s, w - j, n, 0, h - 2 * n, c);
      }
      break;
    case 3: {  // sunken: ever smaller, lighter boxes toward the bottom right
      // Only an empty name gives the green face; a blank one is an unknown name, black.
      const bool named = !colorName.empty();
      const int last = Nearest(kTenth * std::min(w, h));
      for (int j = 0; j <= last; ++j) {
        Color c;
        if (named) {
          c = ShadeColor(colorName, Nearest(205 - j * 600 / h));
        } else {
          const int t = Nearest(j * 600 / h);
          c = Rgb(t, t + 45, t);
        }
        SolidBox(s, j + n, j + n, w - n, h - n, c, c);
      }
      break;
    }
    case 4:  // dark at the top, light at the bottom
      for (int j = frameWidth + 1; j <= h - n; ++j) Line(s, n, j - 1, w - 2 * n, 0, rowShade(j));
      break;
    case 5:  // vertical channel: light sides, darker middle
      for (int j = frameWidth + 1; j <= Nearest(w / 2 + 1); ++j) {
        const Color c = ShadeColor(colorName, Nearest(255 - 255 * (w - n - 1 - j) / w));
        Line(s, j - 1, n, 0, h - 2 * n, c);
        Line(s, w - j, n, 0, h - 2 * n, c);
      }
      break;
    default:
      break;
  }
}

void DrawCaption(DrawingSurface& s, std::string_view text, Color color, Color shadow) {
  int x = CenterTextX(s, text);
  const int y = CenterTextY(s, text);
  if (text.starts_with("[<]")) {
    text.remove_prefix(3);
    x = 0;
  } else if (text.starts_with("[>]")) {
    // x was centred with the marker included, so the text ends one marker short of the edge.
    text.remove_prefix(3);
    x *= 2;
  }
  if (shadow > 0) {
    s.MoveTo(x + 2, y + 2);
    s.SetForegroundColor(shadow);
    s.SetBackgroundColor(kTransparent);
    s.PrintText(text, true);
  }
  s.MoveTo(x, y);
  s.SetForegroundColor(color);
  s.SetBackgroundColor(kTransparent);
  s.PrintText(text, true);
}

int CenterTextX(const DrawingSurface& s, std::string_view text) {
  return Nearest((s.GetSurfaceSize().width - s.MeasureText(text).width) / 2.0);
}

int CenterTextY(const DrawingSurface& s, std::string_view text) {
  static_cast<void>(text);  // every line is as high as the font's line
  return Nearest((s.GetSurfaceSize().height - s.GetCharSize().height) / 2.0);
}

}  // namespace funzioni
