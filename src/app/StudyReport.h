#pragma once

// The study of the typed formula as the study window writes it: a heading that says what was
// studied, then one line per item found, each naming its kind in the catalogue's language with its
// values, or one line for a kind with nothing in the visible range. Each kind of line is one
// pattern of the catalogue, whose Italian text is the line as written in Italian. The same lines
// are what the screen reader reads, what the copy key puts on the clipboard and what the printed
// page carries.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/SignChart.h"
#include "sampling/FunctionStudy.h"
#include "sampling/StudyCalculus.h"
#include "text/Catalogue.h"

namespace funzioni {

inline constexpr std::string_view kStudyWindowTitle = "Studio della funzione";
inline constexpr std::string_view kStudyNoneVisible = "nessuno nell'intervallo visibile";

// Where an item lies on the plane: a point, or a vertical line (an asymptote).
struct StudyMark {
  double x = 0;
  double y = 0;
  bool vertical = false;
};

struct StudyLine {
  std::string text;
  std::optional<StudyMark> mark;  // none for a kind with nothing, a gap or an interval of sign
};

// A value as the window writes it: 4 significant digits, no exponent, the minus sign U+2212,
// and 0 for a magnitude below a ten-thousandth of the half-range (what 32-bit values leave of a
// point at the origin).
std::string StudyNumber(double value, double halfRange);

// "Studio numerico di f(x) = SIN(x)*x per x da −10 a 10, angoli in gradi".
std::string StudyHeading(std::string_view formula, double xMin, double xMax,
                         const Catalogue& catalogue = Catalogue());
// While the study of the current formula is still being computed, or there is no formula.
inline constexpr std::string_view kStudyPendingHeading = "Studio in corso...";
inline constexpr std::string_view kStudyNoFormulaHeading =
    "Nessuna funzione da studiare: scrivi una formula e premi Invio.";

std::vector<StudyLine> StudyLines(const FunctionStudy& study,
                                  const Catalogue& catalogue = Catalogue());

// A tangent drawn through (x, y): across the whole plot (side 0), or a half-tangent to the left
// (-1) or to the right (+1) of the point. An infinite slope is a vertical line (side 0) or a
// vertical half-line, upwards or downwards as the curve goes from the point on that side.
struct StudyRay {
  double x = 0;
  double y = 0;
  double slope = 0;
  int side = 0;
};

struct TangentReport {
  std::vector<StudyLine> lines;
  std::vector<StudyRay> rays;
};

// "Tangente in x₀ ≈ 1: y ≈ 2·x − 1"; at a corner or a cusp the two half-tangents; where there is
// none, why (and the half-tangent of the side that has one).
TangentReport ReportTangent(const StudyTangent& tangent, double halfRange,
                            const Catalogue& catalogue = Catalogue());
// "Integrale da 0 a 3 ≈ 9 (errore ≤ ...)" and "Area da 0 a 3 ≈ 9 (errore ≤ ...)", or one line
// that says why neither was computed.
std::vector<StudyLine> ReportIntegral(const StudyIntegral& integral, double a, double b,
                                      double halfRange, const Catalogue& catalogue = Catalogue());

// The heading and the lines, each ended by LF.
std::string StudyClipboardText(std::string_view heading, const std::vector<StudyLine>& lines);

}  // namespace funzioni
