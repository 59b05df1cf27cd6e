#pragma once

// The desktop's drawing of a side window's sign chart (SideWindowChart.h): a widget that takes no
// focus, so the window's Tab order stays the list's, the fields' and the check box's; the screen
// reader reads its name and, as its description, the chart's lines.

#include <QWidget>

#include "SideWindowChart.h"

class QPainter;

namespace funzioni {

class SideChartView : public QWidget {
 public:
  explicit SideChartView(QWidget* parent);

  // Hidden for an empty chart; otherwise as high as its rows need.
  void SetChart(SideChart chart);
  const SideChart& Chart() const { return chart_; }
  // The chart in a picture of that width (the widget's paint, and tests).
  void Paint(QPainter& painter, int width) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  SideChart chart_;
};

}  // namespace funzioni
