#pragma once

// Painting of a control: the cached static background (frame and face) and, over it, the
// indicator of the value, the tick marks and the caption. The frame, face and caption routines
// are shared with the text panels and the plotting board.
//
// Frame and caption routines draw on the surface they are given (the caller has attached it);
// DrawFace attaches the surface itself.

#include <cstdint>
#include <string_view>

#include "controls/ControlTable.h"
#include "drawing/DialogServices.h"
#include "drawing/DrawingSurface.h"

namespace funzioni {

// The integer nearest to x, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
int Nearest(double x);

// The decimal constants of the drawings are single-precision numbers; their small error decides
// where halves fall (0.01 x 95 x 50 = 47.4999989 puts a needle on pixel 47).
inline constexpr double kHundredth = static_cast<double>(0.01f);
inline constexpr double kTenth = static_cast<double>(0.1f);
inline constexpr double kFifth = static_cast<double>(0.2f);
inline constexpr double kShadePerPercent = static_cast<double>(2.55f);

inline constexpr Color kTickColor = 0x006BCD6B;  // Rgb(107, 205, 107)

// Paints the control with identifier id and shows it. The first drawing caches frame and face;
// later ones restore the cache and draw only indicator, ticks and caption.
struct ControlLook {
  std::int32_t frameWidth = 0;
  float value = 0;
  std::int16_t scale = 0;  // ticks, and the readout's format
  std::string_view caption{};
  Color textColor = 0;
  std::string_view style{};  // the indicator ("ori_ago", "ori_rosso", ...); empty: a flat frame
  std::string_view faceColor{};
  std::int32_t faceMode = 0;
};
void DrawControl(Dialog& dialog, ControlTable& table, int id, const ControlLook& look);

// n nested rectangle outlines, the outermost brightest.
void DrawFlatFrame(DrawingSurface& surface, int n, std::string_view colorName);
// DrawTopLeftEdges then DrawBottomRightEdges: a raised frame.
void DrawRaisedFrame(DrawingSurface& surface, int n, std::string_view colorName);
void DrawTopLeftEdges(DrawingSurface& surface, int n, std::string_view colorName);
void DrawBottomRightEdges(DrawingSurface& surface, int n, std::string_view colorName);

// Shades the inside of a frame of width n (modes 0..5; others draw nothing). Attaches the
// surface; does not show it.
void DrawFace(Dialog& dialog, int id, int n, std::string_view colorName, int mode);

// Writes one line centred on the surface; a leading "[<]" aligns it left, "[>]" right. A shadow
// colour above 0 is drawn first, two pixels right and down.
void DrawCaption(DrawingSurface& surface, std::string_view text, Color color, Color shadow);
int CenterTextX(const DrawingSurface& surface, std::string_view text);
int CenterTextY(const DrawingSurface& surface, std::string_view text);

}  // namespace funzioni
