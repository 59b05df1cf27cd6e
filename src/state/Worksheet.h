#pragma once

// A worksheet: the typed formula, the formulas kept beside it, the parameters' values (with their
// ends and step), the zoom, the step, the moved view and the built-in curves' switches, written as
// the fragment of an address ("#f=x%5E3-k*x%2B9&k=2&keep=x%2B2"), so that a teacher can hand out
// a link. Reading one is strict: a text with anything it does not know or cannot take is refused
// whole, and what it gives is only formulas as text and numbers the window already accepts.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "state/PlotState.h"

namespace funzioni {

// A link is pasted, typed into a command line and carried in an address: far below this.
inline constexpr std::size_t kMaxWorksheetBytes = 64 * 1024;
// The zoom and step meters' keypad has no upper limit; a worksheet takes what a reasonable
// keypad session reaches and keeps every value far inside a 32-bit float.
inline constexpr double kMaxWorksheetMeterValue = 1e6;

struct Worksheet {
  std::string formula;            // as typed, parameter letters and all
  std::vector<std::string> kept;  // at most kMaxKeptFormulas
  FormulaParamTable parameters;   // by the index of kFormulaParameterLetters
  float zoom = 50.0f;             // the zoom meter's value
  float step = 50.0f;             // the step meter's value
  std::optional<PlotView> view;   // a moved view; none: the seed view of the zoom
  std::array<std::uint8_t, functionCount + 1> curveOn{};  // slot 0 unused

  // The start state: nothing typed, every parameter at its start, only curve 3 on.
  Worksheet();
  // Field by field; parameters by value, ends and step (their reset value is the start's).
  friend bool operator==(const Worksheet& a, const Worksheet& b);
};

// The state's worksheet: its typed formula, kept formulas, the parameters the formulas use,
// meters, view and switches.
Worksheet WorksheetOfState(const PlotState& state);

// The fragment, "#f=..." and the fields that differ from the start state, in a fixed order;
// every byte other than letters, digits and "-._~*,()!" percent-encoded.
std::string EncodeWorksheet(const Worksheet& sheet);

// Why a text is no worksheet.
enum class WorksheetFault {
  None,
  NoFragment,   // no "#" in the text
  TooLong,      // more than kMaxWorksheetBytes
  BadField,     // a field without "=", an empty field or a bad percent escape
  UnknownKey,   // a key this program does not know
  RepeatedKey,  // a key given twice ("keep" may come up to kMaxKeptFormulas times)
  BadText,      // a formula with a control character, or a kept one blank or given twice
  BadNumber,    // not a finite number, or outside what its meter takes
  TooManyKept,  // more than kMaxKeptFormulas kept formulas
  NoFormula,    // no "f" field
};

struct WorksheetReading {
  std::optional<Worksheet> sheet;
  WorksheetFault fault = WorksheetFault::None;
  std::string key;  // the field at fault, when there is one
};

// The text as a worksheet: an address or a bare fragment, everything up to the first "#"
// ignored, blanks around it dropped. Fields left out keep their start values; "lang" is the
// page's and is only checked.
WorksheetReading DecodeWorksheet(std::string_view text);

// A text that is meant as a worksheet rather than a formula: it holds a "#", which no formula
// may contain.
bool LooksLikeWorksheet(std::string_view text);

}  // namespace funzioni
