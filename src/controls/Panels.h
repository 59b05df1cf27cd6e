#pragma once

// Passive surfaces: text panels (one centred line or several lines), the ticker whose text
// slides down one pixel per call, and the background of the plotting board.

#include <cstdint>
#include <string_view>

#include "controls/ControlTable.h"
#include "drawing/DialogServices.h"
#include "drawing/Geometry.h"

namespace funzioni {

inline constexpr Color kPanelShadowColor = 0x00558255;  // Rgb(85, 130, 85)
inline constexpr Color kGridColor = 0x00646464;

struct PanelLook {
  std::int32_t frameWidth = 0;
  std::string_view frameColor{};
  std::int32_t scale = 0;  // the font size basis
  Color textColor = 0;
  std::string_view style{};
  std::string_view faceColor{};
  std::int32_t faceMode = 0;
};

// Creates and draws an empty panel; returns the surface's actual size (0 x 0 when the control
// could not be made).
PixelSize CreatePanel(Dialog& dialog, ControlTable& table, int id, PixelRect rect,
                      const PanelLook& look);

// Shows one centred line ("[<]" / "[>]" align it left / right); empty text clears the panel.
void SetPanelText(Dialog& dialog, const ControlTable& table, int id, std::string_view text);

// Shows lines separated by CR LF, each starting frameWidth pixels from the edges; empty text
// clears the panel.
void SetPanelLines(Dialog& dialog, const ControlTable& table, int id, std::string_view text);

// How the ticker is drawn: its flat frame, its face and its text (bold Arial).
struct TickerLook {
  int frameWidth = 0;
  std::string_view frameColor{};
  std::string_view faceColor{};
  int faceMode = 0;
  Color textColor = 0;
  int fontSize = 0;
};

// Moves the ticker text one pixel down (the offset lives in user value 5 and wraps after
// frameWidth + height calls) and redraws face, text and frame.
void ScrollPanelText(Dialog& dialog, int id, std::string_view text, const TickerLook& look);

// Draws the board background whole and shows it: gold frame, sunken face, a grid every
// gridPercent of the inner height (none for 0 or 1), the centred title and, for value > 0, two
// red curtains each covering value / 2 percent of the inner width.
struct BoardLook {
  int frameWidth = 0;
  float value = 0;  // how far the curtains are closed, in percent
  std::int16_t gridPercent = 0;
  std::string_view title{};
  int fontSize = 0;
  Color titleColor = 0;
  std::string_view faceColor{};
};
void DrawBoard(Dialog& dialog, int id, const BoardLook& look);

}  // namespace funzioni
