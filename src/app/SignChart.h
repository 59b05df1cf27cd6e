#pragma once

// The sign chart of f, f' and f'' over the studied range, as Italian textbooks draw it: one row
// each, and in each row the signs over intervals and what the function is at points, in the
// order of x. The study window draws it, and its text lines (StudyReport) are written from it, so
// that what is drawn and what is read are the same items.

#include <array>
#include <cstddef>
#include <vector>

#include "sampling/FunctionStudy.h"

namespace funzioni {

struct SignChartItem {
  enum class Kind {
    Interval,    // a sign over [from, to]
    Zero,        // f is 0
    Maximum,     // f' is 0 (or does not exist, at a corner)
    Minimum,     // as Maximum
    Inflection,  // f'' is 0 (or does not exist, at a corner)
    Gap,         // no value over [from, to] (from == to for a single point)
    Pole         // a vertical asymptote the values reach on both sides
  };
  Kind kind = Kind::Interval;
  double from = 0;
  double to = 0;              // == from for a point
  int sign = 0;               // of an Interval: +1 or -1
  bool noDerivative = false;  // of an extremum or inflection at a corner
  bool operator==(const SignChartItem&) const = default;
};

enum class SignChartRowName { F = 0, Slope = 1, Bend = 2 };

struct SignChartRow {
  // In the order of x; a point before the interval that starts at it.
  std::vector<SignChartItem> items;
  // Too many items to read as a chart (SIN(x*500)): the lines of each kind list them already.
  bool dense = false;
  // Drawn and written: it has an interval of either sign and is not too dense.
  bool Shown() const;
  bool operator==(const SignChartRow&) const = default;
};

// A point of the chart: where a vertical mark crosses every row, and what each row is there.
enum class SignChartPoint { None, Zero, NoDerivative, Break };

struct SignChart {
  // Above this many items a row is too dense to read.
  static constexpr std::size_t kMostItems = 24;

  double xMin = 0;
  double xMax = 0;
  std::array<SignChartRow, 3> rows;  // by SignChartRowName
  const SignChartRow& Row(SignChartRowName name) const {
    return rows[static_cast<std::size_t>(name)];
  }
  bool operator==(const SignChart&) const = default;
};

SignChart MakeSignChart(const FunctionStudy& study);

// The chart laid out for drawing: the x of every point or interval end of the shown rows inside
// the range, in order and once each (the same positions in every row); per row the sign of each
// cell between two marks (cells.size() == marks.size() + 1; 0 where the row has no sign there:
// a gap) and what the row is at each mark.
struct SignChartGrid {
  std::vector<double> marks;
  struct Row {
    bool shown = false;
    bool dense = false;
    std::vector<int> cells;
    std::vector<SignChartPoint> points;
  };
  std::array<Row, 3> rows;
};

SignChartGrid GridOf(const SignChart& chart);

}  // namespace funzioni
