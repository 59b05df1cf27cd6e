#pragma once

// The pointer's coordinates under the plotting area and the magnifier beside it.

#include <string>

#include "state/PlotState.h"

namespace funzioni {

class ControlTable;
class Dialog;

// A coordinate written with the mask "###.##": rounded to two decimals, both always written,
// a 0 before the point below 1 in magnitude, no blanks ("-20.00", "0.50", "-0.25", "0.00").
std::string CoordinateText(double value);

// "x=... y=..." for the pointer at px%, py% of the plotting area (y grows upwards in the text).
std::string PointerReadoutText(float percentX, float percentY, float zoom);
// The same for the state's view: the seed view's arithmetic, or a moved view's edges.
std::string PointerReadoutText(float percentX, float percentY, const PlotState& state);

// Writes the pointer's coordinates on the coordinates line (a text panel of the table).
void ShowPointerReadout(Dialog& dialog, const ControlTable& table, const PlotState& state,
                        float percentX, float percentY);

// Shows the 121 x 121 pixels of the plotting area around the pointer stretched onto the whole
// zoom window (0..240), with a raised gold frame. The part of the square that lies outside the
// plotting area shows the dialog's face colour.
void ShowZoomWindow(Dialog& dialog, float percentX, float percentY);

// Blanks the zoom window to the dialog's face colour.
void ClearZoomWindow(Dialog& dialog);

}  // namespace funzioni
