#pragma once

// What a worksheet does to the window's state, before any control shows it: the checks the
// parameters' own menus make, the note for a refused text, the state it leaves, and the exam
// examples the history's menu loads, each a worksheet of its own.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "state/PlotState.h"
#include "state/Worksheet.h"
#include "text/Catalogue.h"

namespace funzioni {

// Notes for the help panel.
inline constexpr std::string_view kSheetRefusedText =
    " Link del foglio non valido:\r\n nulla \xC3\xA8 cambiato.";
inline constexpr std::string_view kSheetFieldRefusedText =
    " Link del foglio non valido ({0}):\r\n nulla \xC3\xA8 cambiato.";
inline constexpr std::string_view kSheetCopiedText = " Link del foglio copiato negli appunti.";
// The formula box's menu entry that copies the link, and the history menu's examples.
inline constexpr std::string_view kCopySheetItem = "Copia il link del foglio";
inline constexpr std::string_view kExamExamplesItem = "Esempi d'esame";

// The text read as a worksheet whose parameter ends the ends' own menu would take; otherwise the
// note to show (in the catalogue's language), and nothing of it is to be applied.
struct SheetOpening {
  std::optional<Worksheet> sheet;
  std::string note;
};
SheetOpening OpenWorksheetText(std::string_view text, const Catalogue& catalogue);

// The state becomes the sheet's: typed formula, kept formulas, parameters, zoom, step, view
// (brought into range as a gesture's is) and switches.
void ApplyWorksheet(PlotState& state, const Worksheet& sheet);

// An example from the state exams' second test, as a worksheet link.
struct ExamExample {
  std::string_view link;
};
std::span<const ExamExample> ExamExamples();
// What the menu shows of a sheet: its formula, the kept ones after ";" and the parameters that
// differ from their start, e.g. "-x^3+k*x+9 ; k*x+9   k=3".
std::string ExampleLabel(const Worksheet& sheet);

}  // namespace funzioni
