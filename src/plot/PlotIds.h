#pragma once

namespace funzioni {

// Controls of the main window that the plot draws on or writes to.
inline constexpr int kPlotAreaId = 2000;         // the 600 x 600 plotting area
inline constexpr int kCoordinatesLineId = 2050;  // the pointer's coordinates (a text panel)
inline constexpr int kZoomWindowId = 1450;       // the 240 x 240 magnifier
inline constexpr int kResultsListId = 1470;      // the results table (a text list)

}  // namespace funzioni
