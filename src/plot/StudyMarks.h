#pragma once

// What the study of the function puts on the plotting area while its window is open: a mark at
// each point it found, a dashed line at each vertical asymptote, a ring around the item chosen in
// the window, the dots of f'(x) when asked for, the tangent (or the two half-tangents) at the x0
// asked for, and the region between the curve and the x axis of the area asked for, hatched. Drawn
// over the picture already shown, in colours that no curve, grid or axis uses.

#include <optional>
#include <span>

#include "drawing/Color.h"
#include "state/PlotView.h"

namespace funzioni {

class Dialog;

inline constexpr Color kStudyMarkColor = 0x00008CFF;     // orange, Rgb(255, 140, 0)
inline constexpr Color kStudySlopeColor = 0x00C080FF;    // pink, Rgb(255, 128, 192)
inline constexpr Color kStudyTangentColor = 0x00C00080;  // violet, Rgb(128, 0, 192)
inline constexpr Color kStudyAreaColor = 0x00A0A000;     // teal, Rgb(0, 160, 160)

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

// A line through (x, y) of that slope: whole (side 0), or only its half left (-1) or right (+1)
// of the point. An infinite slope is vertical: a half goes up or down as the curve leaves the
// point on that side (a slope of +inf rises to the right and falls to the left).
struct PlotRay {
  double x = 0;
  double y = 0;
  double slope = 0;
  int side = 0;
};

struct StudyMarksPicture {
  float zoom = 0;
  std::span<const PlotMark> marks;
  std::span<const PlotSlopeDot> slopes;
  std::optional<PlotView> view;  // the picture's view when a gesture moved it
  std::span<const PlotRay> rays = {};
  std::span<const PlotSlopeDot> area = {};  // f from a to b in order of x: hatched down to the axis
};

// Draws them on the plotting area `plotId` with the picture's own mapping (the zoom's seed view or
// the moved view) and shows it; the surface's current position is left as it was.
void DrawStudyMarks(Dialog& dialog, int plotId, const StudyMarksPicture& picture);

}  // namespace funzioni
