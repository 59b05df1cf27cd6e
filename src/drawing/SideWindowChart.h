#pragma once

// A sign chart as a side window draws it under its list: rows of signs over a horizontal line,
// cut by vertical marks at the same x in every row, each mark with its x written above. The
// window only draws what it is given; what is read of it (the screen reader) is its lines.

#include <string>
#include <vector>

namespace funzioni {

// What a row is at a mark: nothing (the line goes on), 0, no value of the derivative (a
// cross), or a break of the domain (a gap or a vertical asymptote: a double bar).
enum class SideChartPoint { None = 0, Zero = 1, Cross = 2, Break = 3 };

// What is drawn under a row's intervals: nothing, the arrows of growth (rising for +), the cups
// of concavity (a cup for +, a cap for -).
enum class SideChartUnder { None = 0, Growth = 1, Bend = 2 };

struct SideChartRow {
  std::string name;                    // "f", "f′"
  std::vector<int> cells;              // per interval between marks: +1, -1, 0 (no sign: no line)
  std::vector<SideChartPoint> points;  // per mark
  SideChartUnder under = SideChartUnder::None;
  std::string note;  // when not empty, written instead of the row (too dense to draw)
};

struct SideChart {
  std::vector<std::string> marks;  // the x written above each mark, in order
  std::vector<SideChartRow> rows;
  std::vector<std::string> lines;  // what the chart reads as
  std::string name;                // what assistive technology calls it
  bool Empty() const { return rows.empty(); }
};

// Where the chart's parts lie in a picture of that width (the desktop's drawing and its tests).
struct SideChartLayout {
  int left = 0;   // where the rows' lines start, after their names
  int right = 0;  // where they end
  std::vector<int> markX;
  std::vector<int> cellX;  // the middle of each cell
  int labelTop = 0;        // the marks' x texts, in two staggered lines from here
  std::vector<int> rowY;   // each row's line
  int height = 0;
};

// A sign lies this far over its row's line; a glyph of the under band this far under it.
inline constexpr int kChartSignLift = 9;
inline constexpr int kChartUnderDrop = 14;
inline constexpr int kChartSignArm = 4;  // half the length of a + or − stroke

SideChartLayout LayOutChart(const SideChart& chart, int width);

}  // namespace funzioni
