#pragma once

// A main dialog with the plotting area, the zoom window, the results list and the coordinates
// line at their identifiers, a fresh plot state (the start state) and an evaluator.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "controls/ControlTable.h"
#include "drawing/DialogServices.h"
#include "evaluator/ExpressionEvaluator.h"
#include "plot/PlotIds.h"
#include "state/PlotState.h"

namespace funzioni::testing {

inline constexpr Color kFineGrid = 0x00505050;
inline constexpr Color kUnitGrid = 0x00646464;
inline constexpr Color kWhite = 0x00FFFFFF;
inline constexpr Color kYellow = 0x0000FFFF;
inline constexpr Color kGrey = 0x00808080;
inline constexpr Color kRed = 0x000000FF;
inline constexpr Color kGreen = 0x0000FF00;
inline constexpr Color kBlack = 0x00000000;

class PlotFixture : public ::testing::Test {
 protected:
  PlotFixture();

  const DrawingSurface& Plot() const { return *dialog.FindSurface(kPlotAreaId); }
  Color At(int x, int y) const { return Plot().PixelAt(x, y); }
  // Every line of the results list, from the first.
  std::vector<std::string> ResultLines() const;
  // All switches off and no formula: only face, grids and axes.
  void SwitchEverythingOff();
  void Redraw();

  Dialog dialog{"funzioni", 0, 0, 974, 720, false};
  ControlTable controls;
  PlotState state;
  ExpressionEvaluator evaluator;
};

}  // namespace funzioni::testing
