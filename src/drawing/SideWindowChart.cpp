// The sign chart drawn on the desktop, with QPainter, as a textbook draws it: equal steps between
// the marks (their order matters, not their distance), + and − over the line of each interval, 0
// at zeros, a cross where a derivative does not exist and a double bar at gaps and poles, and
// under the rows of f′ and f″ the arrows of growth and the cups of concavity.

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <climits>

#include "SideWindowChartView.h"

namespace funzioni {

namespace {

constexpr int kNameWidth = 30;  // "f″" with room to spare
constexpr int kMargin = 12;
constexpr int kLabelLine = 15;  // one line of the marks' x texts; there are two, staggered
constexpr int kAboveLine = 20;  // room for a sign over a row's line
constexpr int kUnderBand = 26;  // room for an arrow or a cup under it
constexpr int kBelowLine = 10;  // under a row without either
constexpr int kBarHalf = 12;    // half the height of a double bar, and its half gap is 2
constexpr int kGlyphHalf = 6;   // half the width of an arrow or a cup

QString Utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int Spread(int left, int span, int steps, double at) {
  return left + static_cast<int>(span * at / steps + 0.5);
}

void DrawSign(QPainter& p, int x, int y, int sign) {
  p.drawLine(x - kChartSignArm, y, x + kChartSignArm, y);
  if (sign > 0) p.drawLine(x, y - kChartSignArm, x, y + kChartSignArm);
}

void DrawUnder(QPainter& p, int x, int y, int sign, SideChartUnder under) {
  if (under == SideChartUnder::Growth) {
    const int rise = sign > 0 ? -1 : 1;
    const QPoint from(x - kGlyphHalf, y - rise * kGlyphHalf);
    const QPoint to(x + kGlyphHalf, y + rise * kGlyphHalf);
    p.drawLine(from, to);
    // The head: two short strokes back from the tip.
    p.drawLine(to, to + QPoint(-5, 0));
    p.drawLine(to, to + QPoint(0, -rise * 5));
    return;
  }
  const QRect box(x - kGlyphHalf, y - kGlyphHalf, 2 * kGlyphHalf, 2 * kGlyphHalf);
  // Qt's angles run counter-clockwise from three o'clock in 16ths of a degree.
  p.drawArc(box, sign > 0 ? 180 * 16 : 0, 180 * 16);
}

void DrawPoint(QPainter& p, int x, int y, SideChartPoint point) {
  switch (point) {
    case SideChartPoint::None:
      return;
    case SideChartPoint::Zero: {
      const QRect box(x - 6, y - 8, 12, 16);
      p.fillRect(box, Qt::white);
      p.drawText(box, Qt::AlignCenter, QStringLiteral("0"));
      return;
    }
    case SideChartPoint::Cross:
      p.drawLine(x - 5, y - 5, x + 5, y + 5);
      p.drawLine(x - 5, y + 5, x + 5, y - 5);
      return;
    case SideChartPoint::Break:
      p.fillRect(QRect(x - 1, y - kBarHalf, 3, 2 * kBarHalf), Qt::white);
      p.drawLine(x - 2, y - kBarHalf, x - 2, y + kBarHalf);
      p.drawLine(x + 2, y - kBarHalf, x + 2, y + kBarHalf);
      return;
  }
}

// The marks' x texts over them, each on the first of two lines where it clears the one before.
void DrawLabels(QPainter& p, const SideChart& chart, const SideChartLayout& layout) {
  std::array<int, 2> lastRight = {INT_MIN, INT_MIN};
  const QFontMetrics metrics = p.fontMetrics();
  for (std::size_t i = 0; i < chart.marks.size(); ++i) {
    const QString text = Utf8(chart.marks[i]);
    const int width = metrics.horizontalAdvance(text);
    const int left = layout.markX[i] - width / 2;
    const int line = left > lastRight[0] + 3        ? 0
                     : left > lastRight[1] + 3      ? 1
                     : lastRight[0] <= lastRight[1] ? 0
                                                    : 1;
    lastRight[line] = left + width;
    p.drawText(QRect(left, layout.labelTop + line * kLabelLine, width, kLabelLine), Qt::AlignCenter,
               text);
  }
}

}  // namespace

SideChartLayout LayOutChart(const SideChart& chart, int width) {
  SideChartLayout layout;
  layout.left = kNameWidth + 6;
  layout.right = std::max(layout.left + 1, width - kMargin);
  const int steps = static_cast<int>(chart.marks.size()) + 1;
  const int span = layout.right - layout.left;
  for (int i = 0; i + 1 < steps; ++i)
    layout.markX.push_back(Spread(layout.left, span, steps, i + 1));
  for (int i = 0; i < steps; ++i) layout.cellX.push_back(Spread(layout.left, span, steps, i + 0.5));
  layout.labelTop = 2;
  int y = layout.labelTop + 2 * kLabelLine;
  for (const SideChartRow& row : chart.rows) {
    y += kAboveLine;
    layout.rowY.push_back(y);
    y += row.note.empty() && row.under != SideChartUnder::None ? kUnderBand : kBelowLine;
  }
  layout.height = y + 4;
  return layout;
}

SideChartView::SideChartView(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::NoFocus);
  hide();
}

void SideChartView::SetChart(SideChart chart) {
  chart_ = std::move(chart);
  setAccessibleName(Utf8(chart_.name));
  QStringList lines;
  for (const std::string& line : chart_.lines) lines << Utf8(line);
  setAccessibleDescription(lines.join(QLatin1Char('\n')));
  if (chart_.Empty()) {
    hide();
    return;
  }
  setFixedHeight(LayOutChart(chart_, std::max(width(), 1)).height);
  show();
  update();
}

void SideChartView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Paint(painter, width());
}

void SideChartView::Paint(QPainter& p, int width) const {
  const SideChartLayout layout = LayOutChart(chart_, width);
  p.fillRect(QRect(0, 0, width, layout.height), Qt::white);
  p.setPen(QPen(Qt::gray, 1, Qt::DashLine));
  const int top = layout.labelTop + 2 * kLabelLine;
  for (const int x : layout.markX) p.drawLine(x, top, x, layout.height - 2);
  p.setPen(QPen(Qt::black, 1));
  DrawLabels(p, chart_, layout);
  for (std::size_t r = 0; r < chart_.rows.size(); ++r) {
    const SideChartRow& row = chart_.rows[r];
    const int y = layout.rowY[r];
    p.setPen(QPen(Qt::black, 1));
    p.drawText(QRect(0, y - 10, kNameWidth, 20), Qt::AlignRight | Qt::AlignVCenter, Utf8(row.name));
    if (!row.note.empty()) {
      p.drawText(QRect(layout.left, y - 10, width - layout.left, 20),
                 Qt::AlignLeft | Qt::AlignVCenter, Utf8(row.note));
      continue;
    }
    p.setPen(QPen(Qt::black, 2));
    for (std::size_t c = 0; c < row.cells.size() && c < layout.cellX.size(); ++c) {
      if (row.cells[c] == 0) continue;
      const int from = c == 0 ? layout.left : layout.markX[c - 1];
      const int to = c == layout.markX.size() ? layout.right : layout.markX[c];
      p.drawLine(from, y, to, y);
      DrawSign(p, layout.cellX[c], y - kChartSignLift, row.cells[c]);
      if (row.under != SideChartUnder::None) {
        p.setRenderHint(QPainter::Antialiasing, true);
        DrawUnder(p, layout.cellX[c], y + kChartUnderDrop, row.cells[c], row.under);
        p.setRenderHint(QPainter::Antialiasing, false);
      }
    }
    for (std::size_t m = 0; m < row.points.size() && m < layout.markX.size(); ++m) {
      DrawPoint(p, layout.markX[m], y, row.points[m]);
    }
  }
}

}  // namespace funzioni
