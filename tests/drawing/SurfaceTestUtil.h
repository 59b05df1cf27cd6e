#pragma once

#include <set>
#include <string>
#include <vector>

#include "drawing/DrawingSurface.h"
#include "support/PixelCount.h"

namespace funzioni::test {

inline constexpr Color kWhite = 0x00FFFFFF;
inline constexpr Color kBlack = 0x00000000;
inline constexpr Color kRed = 0x000000FF;
inline constexpr Color kGreen = 0x0000FF00;
inline constexpr Color kBlue = 0x00FF0000;

// A surface cleared to white with a known foreground.
inline DrawingSurface WhiteSurface(int width, int height) {
  DrawingSurface s(width, height);
  s.ClearSurface(kWhite);
  s.SetForegroundColor(kBlack);
  return s;
}

// The pixels of a colour, as "x,y" strings, in row order.
inline std::vector<std::string> PixelsOf(const DrawingSurface& s, Color color) {
  std::vector<std::string> out;
  const PixelSize size = s.GetSurfaceSize();
  for (int y = 0; y < size.height; ++y) {
    for (int x = 0; x < size.width; ++x) {
      if (s.PixelAt(x, y) == color) out.push_back(std::to_string(x) + "," + std::to_string(y));
    }
  }
  return out;
}

inline std::set<Color> ColoursIn(const DrawingSurface& s) {
  std::set<Color> out;
  const PixelSize size = s.GetSurfaceSize();
  for (int y = 0; y < size.height; ++y) {
    for (int x = 0; x < size.width; ++x) out.insert(s.PixelAt(x, y));
  }
  return out;
}

// Rows of the surface as text: '#' for the colour, '.' for anything else.
inline std::vector<std::string> Picture(const DrawingSurface& s, Color color) {
  std::vector<std::string> rows;
  const PixelSize size = s.GetSurfaceSize();
  for (int y = 0; y < size.height; ++y) {
    std::string row;
    for (int x = 0; x < size.width; ++x) row += s.PixelAt(x, y) == color ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

}  // namespace funzioni::test
