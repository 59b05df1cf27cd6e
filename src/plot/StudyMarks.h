#pragma once

// What the study of the function puts on the plotting area while its window is open: a mark at
// each point it found, a dashed line at each vertical asymptote, a ring around the item chosen in
// the window, and the dots of f'(x) when asked for. Drawn over the picture already shown, in
// colours that no curve, grid or axis uses.

#include <optional>
#include <span>

#include "drawing/Color.h"
#include "state/PlotView.h"

namespace funzioni {

class Dialog;

inline constexpr Color kStudyMarkColor = 0x00008CFF;   // orange, Rgb(255, 140, 0)
inline constexpr Color kStudySlopeColor = 0x00C080FF;  // pink, Rgb(255, 128, 192)

struct PlotMark {
  double x = 0;
  double y = 0;
  bool vertical = false;  // a line across the area at x
  bool chosen = false;
};

struct PlotSlopeDot {
  double x = 0;
  double y = 0;
};

struct StudyMarksPicture {
  float zoom = 0;
  std::span<const PlotMark> marks;
  std::span<const PlotSlopeDot> slopes;
  std::optional<PlotView> view;  // the picture's view when a gesture moved it
};

// Draws them on the plotting area `plotId` with the picture's own mapping (the zoom's seed view or
// the moved view) and shows it; the surface's current position is left as it was.
void DrawStudyMarks(Dialog& dialog, int plotId, const StudyMarksPicture& picture);

}  // namespace funzioni
