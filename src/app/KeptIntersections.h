#pragma once

// The study's lines of where the current formula meets the other curves drawn: each formula kept
// drawn and each built-in curve that is on, over the range studied, in the order of x.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/StudyReport.h"
#include "sampling/StopToken.h"
#include "state/PlotState.h"

namespace funzioni {

class ExpressionEvaluator;

// A curve the current formula may meet: its name as the study writes it and the text evaluated.
struct IntersectionPartner {
  std::string name;
  std::string formula;
  friend bool operator==(const IntersectionPartner&, const IntersectionPartner&) = default;
};

// The formulas kept drawn (with the parameters' values in place) and the built-in curves that are
// on, in the order of the key and of the switches.
std::vector<IntersectionPartner> IntersectionPartners(const PlotState& state);

// "Intersezione con x+2: (x ≈ −1, y ≈ 1), attraversamento" (in the catalogue's language), one
// line per point, each marked on
// the plot, all in the order of x; none when nothing meets or there is no formula; empty once a
// stop was requested.
std::vector<StudyLine> IntersectionLines(ExpressionEvaluator& evaluator, const PlotState& state,
                                         StopToken stop = {},
                                         const Catalogue& catalogue = Catalogue());

// What IntersectionLines reads of the state beyond the formula, zoom and view (the kept formulas,
// the parameters' values and the switches), as bytes for the study's codec; decoding refuses
// bytes that are cut short, too long or out of range.
std::string EncodeIntersectionState(const PlotState& state);
bool DecodeIntersectionState(std::string_view bytes, PlotState& state);

}  // namespace funzioni
