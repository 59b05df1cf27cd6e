#pragma once

// What the main window's drawn controls tell a screen reader, in words.

#include <string>
#include <string_view>

#include "state/PlotState.h"
#include "text/Catalogue.h"

namespace funzioni {

// A panel's or help text as one spoken line: CR LF and runs of blanks become one blank, and the
// alignment marks "[<]" / "[>]" are dropped.
std::string SpokenText(std::string_view text);

// "Parametro a di a.x^2+b", in the catalogue's language.
std::string ParameterName(const PlotState& state, char letter, int function,
                          const Catalogue& catalogue = Catalogue());

// What the plotting area shows, e.g. "Zoom 10.0, passo 50. Curve: a.x^2+b con a=1.0, b=1.0;
// SIN(x)*x^2."; in a moved view "Vista x da -1800 a 1800, y da -1.5 a 1.5, passo 50. Curve: ...".
std::string PlotSummary(const PlotState& state, const Catalogue& catalogue = Catalogue());

// A moved view's ranges in words, "x da -1800 a 1800, y da -1.5 a 1.5", in the catalogue's
// language.
std::string ViewRangesWords(const PlotView& view, const Catalogue& catalogue);

}  // namespace funzioni
