#include "plot/KeptCurves.h"

#include <algorithm>

#include "drawing/DrawingSurface.h"

namespace funzioni {

namespace {

// Five colours no built-in curve and not the typed formula's yellow, each readable on the dark
// green face and apart from the others (0x00BBGGRR).
constexpr std::array<Color, kMaxKeptFormulas> kKeptColors{
    0x000090FF,  // orange
    0x00D278FF,  // pink
    0x00FFBE5A,  // sky blue
    0x00FF78B4,  // violet
    0x0078AAD2,  // tan
};

// The key's layout in pixels: a line per formula under the corner, a swatch before each text.
constexpr int kKeyMargin = 6;
constexpr int kKeyLineHeight = 14;
constexpr int kKeySwatch = 9;
constexpr int kKeyTextGap = 5;
// Longer texts are cut so that the key keeps to a corner of the area.
constexpr std::size_t kKeyTextLength = 24;
constexpr Color kKeyBackdrop = 0x00203020;
constexpr Color kKeyBorder = 0x00808080;

std::string KeyText(std::string_view formula) {
  if (formula.size() <= kKeyTextLength) return std::string(formula);
  return std::string(formula.substr(0, kKeyTextLength - 3)) + "...";
}

}  // namespace

Color KeptCurveColor(std::size_t index) {
  return kKeptColors[index % kKeptColors.size()];
}

std::vector<KeptKeyEntry> KeptKey(const PlotState& state) {
  std::vector<KeptKeyEntry> key;
  for (std::size_t i = 0; i < state.keptFormulas.size() && i < kMaxKeptFormulas; ++i) {
    key.push_back({KeyText(state.keptFormulas[i]), KeptCurveColor(i)});
  }
  return key;
}

void DrawKeptKey(DrawingSurface& surface, const std::vector<KeptKeyEntry>& key) {
  if (key.empty()) return;
  int widest = 0;
  for (const KeptKeyEntry& entry : key) {
    widest = std::max(widest, surface.MeasureText(entry.text).width);
  }
  const Color foreground = surface.ForegroundColor();
  const double right = kKeyMargin * 2 + kKeySwatch + kKeyTextGap + widest;
  const double bottom = kKeyMargin * 2 + kKeyLineHeight * static_cast<double>(key.size());
  surface.DrawBox(kKeyMargin / 2.0, kKeyMargin / 2.0, right, bottom, 0, kKeyBorder, kKeyBackdrop,
                  kFillSolid);
  for (std::size_t i = 0; i < key.size(); ++i) {
    const double top = kKeyMargin + kKeyLineHeight * static_cast<double>(i);
    const double swatchTop = top + (kKeyLineHeight - kKeySwatch) / 2.0;
    surface.DrawBox(kKeyMargin, swatchTop, kKeyMargin + kKeySwatch, swatchTop + kKeySwatch, 0,
                    key[i].color, key[i].color, kFillSolid);
    surface.SetForegroundColor(key[i].color);
    surface.MoveTo(kKeyMargin + kKeySwatch + kKeyTextGap, top);
    surface.PrintText(key[i].text);
  }
  surface.SetForegroundColor(foreground);
}

}  // namespace funzioni
