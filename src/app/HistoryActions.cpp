// The history list and the formula box: entering a formula, picking a line, editing the file.

#include <array>

#include "app/MainWindow.h"
#include "controls/Panels.h"
#include "drawing/PlatformServices.h"
#include "plot/Curves.h"
#include "plot/ResultsTable.h"

namespace funzioni {

namespace {

const std::string& HistoryPath() {
  static const std::string path(kHistoryFileName);
  return path;
}

// Code points of the bytes 0x80..0x9F in the single-byte Windows code page; the rest of its upper
// half is Latin-1.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
      ++at;
      continue;
    }
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || at + length > text.size()) return false;
    const auto second = static_cast<unsigned char>(text[at + 1]);
    // No overlong forms, no surrogates, nothing above U+10FFFF.
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (second < low || second > high) return false;
    for (std::size_t k = 2; k < length; ++k) {
      if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) return false;
    }
    at += length;
  }
  return true;
}

void AppendUtf8(std::string& text, char32_t code) {
  if (code < 0x80) {
    text.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    text.push_back(static_cast<char>(0xC0 | (code >> 6)));
    text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    text.push_back(static_cast<char>(0xE0 | (code >> 12)));
    text.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

// A file line as the list shows it. The window's texts are UTF-8; a line that is not was written
// in the single-byte Windows code page (a history file brought over from Windows, with accented
// comments), and is shown in that code page instead of as replacement marks.
std::string ListText(std::string_view line) {
  if (IsUtf8(line)) return std::string(line);
  std::string text;
  for (const char c : line) {
    const auto byte = static_cast<unsigned char>(c);
    AppendUtf8(text, byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte);
  }
  return text;
}

}  // namespace

void MainWindow::LoadHistory() {
  // A missing or unreadable file simply gives an empty list.
  const std::string bytes = ReadFileBytes(HistoryPath()).value_or(std::string());
  for (const std::string& line : SplitHistoryLines(bytes)) {
    dialog_->ListAdd(kHistoryListId, ListText(line));
  }
  const int count = dialog_->ListCount(kHistoryListId);
  if (count > 0) dialog_->ListSelect(kHistoryListId, count);
}

void MainWindow::AcceptFormula() {
  const std::string formula = dialog_->GetControlText(kFormulaBoxId);
  state_.currentFormula = formula;
  ShowFormulaResults(*dialog_, state_, evaluator_, plotAccelerator_, formula);
  PlotFormulaCurve(*dialog_, kPlotId, state_, evaluator_, plotAccelerator_, formula);
  const bool saved = AppendHistoryLine(HistoryPath(), formula);
  dialog_->ListReset(kHistoryListId);
  LoadHistory();
  // The formula is drawn and tabulated all the same; the user learns that the file missed it.
  if (!saved) ShowNote(kHistoryNotSavedText);
}

bool MainWindow::PickHistoryLine(int notificationCode) {
  if (notificationCode != kNotifyListDoubleClick) return false;
  const std::string formula = FormulaOfHistoryLine(dialog_->ListGetSelected(kHistoryListId));
  state_.currentFormula = formula;
  ShowFormulaResults(*dialog_, state_, evaluator_, plotAccelerator_, formula);
  PlotFormulaCurve(*dialog_, kPlotId, state_, evaluator_, plotAccelerator_, formula);
  return true;
}

void MainWindow::EditHistory() {
  const std::string command = ChooseEditorCommand(kHistoryFileName, ProcessEditorEnvironment());
  // The editor keeps the handler busy until it ends; the window is still repainted meanwhile,
  // and closing it leaves the editor running on its own.
  const bool ran = !command.empty() && dialog_->RunAndWait(command);
  dialog_->ListReset(kHistoryListId);
  LoadHistory();
  if (!ran) ShowNote(kEditorMissingText);
}

}  // namespace funzioni
