#include "app/SignChart.h"

#include <algorithm>
#include <cmath>

namespace funzioni {

namespace {

using Kind = SignChartItem::Kind;

// Items gathered in the order the rows list them; sorted by x when the row is done.
struct RowBuilder {
  struct Entry {
    SignChartItem item;
    int order;  // a point before the interval that starts at it
  };
  std::vector<Entry> entries;
  bool intervals = false;

  void Interval(double from, double to, int sign) {
    entries.push_back({{Kind::Interval, from, to, sign, false}, 1});
    intervals = true;
  }
  void Point(Kind kind, double x, bool noDerivative = false) {
    entries.push_back({{kind, x, x, 0, noDerivative}, 0});
  }
  void Gap(const StudyGap& gap) { entries.push_back({{Kind::Gap, gap.from, gap.to, 0, false}, 0}); }

  SignChartRow Take() {
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
      return a.item.from != b.item.from ? a.item.from < b.item.from : a.order < b.order;
    });
    SignChartRow row;
    for (const Entry& e : entries) row.items.push_back(e.item);
    row.dense = row.items.size() > SignChart::kMostItems;
    // A row without an interval of either sign is no chart; Shown() reads it from the items.
    return row;
  }
};

bool IsCorner(const FunctionStudy& study, double x) {
  return std::any_of(study.corners.begin(), study.corners.end(),
                     [x](const StudyCorner& c) { return c.x == x; });
}

}  // namespace

bool SignChartRow::Shown() const {
  if (dense) return false;
  return std::any_of(items.begin(), items.end(),
                     [](const SignChartItem& i) { return i.kind == Kind::Interval; });
}

SignChart MakeSignChart(const FunctionStudy& study) {
  RowBuilder f;
  for (const StudySign& s : study.signs) f.Interval(s.from, s.to, s.sign);
  for (const StudyZero& z : study.zeros) f.Point(Kind::Zero, z.x);
  RowBuilder slope;
  for (const StudyInterval& i : study.increasing) slope.Interval(i.from, i.to, 1);
  for (const StudyInterval& i : study.decreasing) slope.Interval(i.from, i.to, -1);
  for (const StudyPoint& p : study.maxima) slope.Point(Kind::Maximum, p.x, IsCorner(study, p.x));
  for (const StudyPoint& p : study.minima) slope.Point(Kind::Minimum, p.x, IsCorner(study, p.x));
  RowBuilder bend;
  for (const StudyInterval& i : study.concaveUp) bend.Interval(i.from, i.to, 1);
  for (const StudyInterval& i : study.concaveDown) bend.Interval(i.from, i.to, -1);
  for (const StudyPoint& p : study.inflections) {
    bend.Point(Kind::Inflection, p.x, IsCorner(study, p.x));
  }
  for (const StudyGap& gap : study.gaps) {
    for (RowBuilder* row : {&f, &slope, &bend}) row->Gap(gap);
  }
  // A pole the values reach on both sides (TAN(x) at 90) has no gap of its own.
  for (const double x : study.asymptotes) {
    const bool inGap = std::any_of(study.gaps.begin(), study.gaps.end(),
                                   [x](const StudyGap& g) { return g.from <= x && x <= g.to; });
    if (inGap) continue;
    for (RowBuilder* row : {&f, &slope, &bend}) row->Point(Kind::Pole, x);
  }
  SignChart chart;
  chart.xMin = study.xMin;
  chart.xMax = study.xMax;
  chart.rows = {f.Take(), slope.Take(), bend.Take()};
  return chart;
}

namespace {

// Ends closer than this share of the range are one mark: the study finds the same point from
// different lists, and an end at the range's edge is no mark at all.
constexpr double kSameMark = 1e-9;
// The study's x are 32-bit numbers: a pole's gap closes on floats a few steps either side of it
// (1.9999995 and 2.0000005 for (x^2-1)/(x-2)); ends this many float steps apart are one point.
constexpr double kSameMarkFloatSteps = 16 * 0x1p-24;

// How close two ends beside x are to be one mark.
double Nearness(double x, double near) {
  return std::max(near, kSameMarkFloatSteps * std::abs(x));
}

SignChartPoint PointAt(const SignChartRow& row, double x, double near) {
  SignChartPoint point = SignChartPoint::None;
  const auto at = [&](double v) { return std::abs(v - x) <= Nearness(x, near); };
  for (const SignChartItem& i : row.items) {
    switch (i.kind) {
      case Kind::Gap:
        if (at(i.from) || at(i.to)) return SignChartPoint::Break;
        break;
      case Kind::Pole:
        if (at(i.from)) return SignChartPoint::Break;
        break;
      case Kind::Interval:
        break;
      case Kind::Zero:
      case Kind::Maximum:
      case Kind::Minimum:
      case Kind::Inflection:
        if (!at(i.from)) break;
        if (i.noDerivative) {
          point = SignChartPoint::NoDerivative;
        } else if (point == SignChartPoint::None) {
          point = SignChartPoint::Zero;
        }
        break;
    }
  }
  return point;
}

int SignAt(const SignChartRow& row, double x) {
  for (const SignChartItem& i : row.items) {
    if (i.kind == Kind::Gap && i.from <= x && x <= i.to) return 0;
  }
  for (const SignChartItem& i : row.items) {
    if (i.kind == Kind::Interval && i.from <= x && x <= i.to) return i.sign;
  }
  return 0;
}

}  // namespace

SignChartGrid GridOf(const SignChart& chart) {
  SignChartGrid grid;
  const double near = kSameMark * std::max(std::abs(chart.xMax - chart.xMin), 1e-300);
  std::vector<double> xs;
  for (const SignChartRow& row : chart.rows) {
    if (!row.Shown()) continue;
    for (const SignChartItem& i : row.items) {
      xs.push_back(i.from);
      xs.push_back(i.to);
    }
  }
  std::sort(xs.begin(), xs.end());
  for (const double x : xs) {
    if (x <= chart.xMin + near || x >= chart.xMax - near) continue;
    if (!grid.marks.empty() && x - grid.marks.back() <= Nearness(x, near)) continue;
    grid.marks.push_back(x);
  }
  for (std::size_t r = 0; r < chart.rows.size(); ++r) {
    const SignChartRow& row = chart.rows[r];
    SignChartGrid::Row& out = grid.rows[r];
    out.shown = row.Shown();
    out.dense = row.dense;
    if (!out.shown) continue;
    for (std::size_t c = 0; c <= grid.marks.size(); ++c) {
      const double from = c == 0 ? chart.xMin : grid.marks[c - 1];
      const double to = c == grid.marks.size() ? chart.xMax : grid.marks[c];
      out.cells.push_back(SignAt(row, (from + to) / 2));
    }
    for (const double x : grid.marks) out.points.push_back(PointAt(row, x, near));
  }
  return grid;
}

}  // namespace funzioni
