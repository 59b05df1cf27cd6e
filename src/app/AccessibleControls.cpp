// The main window's drawn controls described for screen readers, and the order in which the
// keyboard visits the controls.

#include "app/AccessibleControls.h"

#include <functional>
#include <utility>
#include <vector>

#include "app/ExportActions.h"
#include "app/MainWindow.h"
#include "app/ParameterFamily.h"
#include "drawing/Accessibility.h"
#include "drawing/TextRules.h"
#include "plot/ViewActions.h"

namespace funzioni {

namespace {

constexpr std::string_view kLetters = "abcd";

std::string FunctionText(const PlotState& state, int k) {
  return SpokenText(state.builtinFunctions[k].text);
}

bool Uses(const BuiltinFunction& function, char letter) {
  switch (letter) {
    case 'a':
      return function.usesA == 1;
    case 'b':
      return function.usesB == 1;
    case 'c':
      return function.usesC == 1;
    default:
      return function.usesD == 1;
  }
}

const ParamRecord& RecordOf(const PlotState& state, char letter, int k) {
  switch (letter) {
    case 'b':
      return state.paramB[k];
    case 'c':
      return state.paramC[k];
    case 'd':
      return state.paramD[k];
    default:
      return state.paramA[k];
  }
}

std::string ZoomText(const ParamRecord& zoom) {
  return FormatOneDecimal(static_cast<float>(zoom.value / 5.0));
}

// The words of a text, split at single blanks.
std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  while (!text.empty()) {
    const std::size_t blank = text.find(' ');
    words.push_back(text.substr(0, blank));
    if (blank == std::string_view::npos) break;
    text.remove_prefix(blank + 1);
  }
  return words;
}

}  // namespace

std::string ViewRangesWords(const PlotView& view, const Catalogue& catalogue) {
  // The plot's words, "x da A a B, y da C a D", with their four numbers put into the pattern.
  const std::string italian = ViewRangesText(view);
  const std::vector<std::string_view> words = Words(italian);
  const bool known = words.size() == 10 && words[1] == "da" && words[3] == "a" &&
                     words[4].ends_with(',') && words[6] == "da" && words[8] == "a";
  if (!known) return italian;
  const std::string_view b = words[4].substr(0, words[4].size() - 1);
  return catalogue.Format("x da {0} a {1}, y da {2} a {3}", {words[2], b, words[7], words[9]});
}

std::string SpokenText(std::string_view text) {
  std::string spoken;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.substr(i, 3) == "[<]" || text.substr(i, 3) == "[>]") {
      i += 2;
      continue;
    }
    const char c = text[i];
    const bool blank = c == ' ' || c == '\r' || c == '\n' || c == '\t';
    if (!blank) {
      spoken += c;
    } else if (!spoken.empty() && spoken.back() != ' ') {
      spoken += ' ';
    }
  }
  if (!spoken.empty() && spoken.back() == ' ') spoken.pop_back();
  return spoken;
}

std::string ParameterName(const PlotState& state, char letter, int function,
                          const Catalogue& catalogue) {
  return catalogue.Format("Parametro {0} di {1}",
                          {std::string_view(&letter, 1), FunctionText(state, function)});
}

std::string PlotSummary(const PlotState& state, const Catalogue& catalogue) {
  // A moved view is no zoom's: its ranges say what the picture shows.
  const std::string scale =
      state.view ? catalogue.Format("Vista {0}", {ViewRangesWords(*state.view, catalogue)})
                 : catalogue.Format("Zoom {0}", {ZoomText(state.zoomValue)});
  std::string summary =
      catalogue.Format("{0}, passo {1}. Curve:", {scale, FormatWhole(state.stepValue.value)});
  bool any = false;
  for (int k = 1; k <= functionCount; ++k) {
    if (state.curveOn[k] != 1) continue;
    summary += any ? "; " : " ";
    any = true;
    summary += FunctionText(state, k);
    std::string_view joiner = catalogue.Translate(" con ");
    for (const char letter : kLetters) {
      if (!Uses(state.builtinFunctions[k], letter)) continue;
      const ParamRecord& record = RecordOf(state, letter, k);
      summary += std::string(joiner) + letter + "=" + FormatOneDecimal(record.value);
      joiner = ", ";
    }
  }
  if (!state.currentFormula.empty()) {
    summary += (any ? "; " : " ") + Utf8Of(state.currentFormula);
    any = true;
  }
  summary += any ? "." : catalogue.Translate(" nessuna.");
  const std::string family = FamilySummary(state, catalogue);
  return family.empty() ? summary : summary + " " + family;
}

void MainWindow::DescribeControls() {
  Dialog& dialog = *dialog_;
  const PlotState& state = state_;
  const Catalogue& catalogue = catalogue_;
  using Text = std::function<std::string()>;
  const auto describe = [](AccessibleRole role, Text name, Text description = {}) {
    ControlDescription about;
    about.role = role;
    about.name = std::move(name);
    about.description = std::move(description);
    return about;
  };
  const auto help = [&catalogue](int id) -> Text {
    return [&catalogue, id] { return SpokenText(catalogue.Translate(HelpTextFor(id))); };
  };
  const auto shown = [&dialog](int id) -> Text {
    return [&dialog, id] { return SpokenText(dialog.GetControlText(id)); };
  };
  const auto fixed = [&catalogue](std::string_view italian) -> Text {
    return [text = std::string(catalogue.Translate(italian))] { return text; };
  };
  const auto slider = [&](int id, Text name, std::function<AccessibleRange()> range) {
    ControlDescription about = describe(AccessibleRole::Slider, std::move(name), help(id));
    about.range = std::move(range);
    DescribeControl(dialog, id, std::move(about));
  };

  std::vector<int> order = {kPlotAreaId,    kAllOffButtonId, kAllOnButtonId, kResultsListId,
                            kHistoryListId, kFormulaBoxId,   kZoomMeterId,   kStepMeterId};
  for (int k = 1; k <= functionCount; ++k) {
    const int switchId = kSwitchBaseId + k;
    ControlDescription about = describe(
        AccessibleRole::CheckBox, [&state, k] { return FunctionText(state, k); }, help(switchId));
    about.checked = [&state, k] { return state.curveOn[k] == 1; };
    DescribeControl(dialog, switchId, std::move(about));
    order.push_back(switchId);
    for (const char letter : kLetters) {
      const int id = ParameterMeterId({letter, k});
      if (!dialog.HasControl(id)) continue;
      const std::string name = ParameterName(state, letter, k, catalogue);
      slider(
          id, [name] { return name; },
          [&state, letter, k] {
            const ParamRecord& r = RecordOf(state, letter, k);
            return AccessibleRange{r.value, r.minimum, r.maximum, r.step,
                                   FormatOneDecimal(r.value)};
          });
      order.push_back(id);
    }
  }
  slider(kZoomMeterId, fixed("Zoom"), [&state] {
    const ParamRecord& r = state.zoomValue;
    return AccessibleRange{r.value, r.minimum, r.maximum, r.step, ZoomText(r)};
  });
  slider(kStepMeterId, fixed("Passo"), [&state] {
    const ParamRecord& r = state.stepValue;
    return AccessibleRange{r.value, r.minimum, r.maximum, r.step, FormatWhole(r.value)};
  });
  for (const auto& [id, name] :
       {std::pair{kAllOffButtonId, "Tutte spente"}, std::pair{kAllOnButtonId, "Tutte accese"}}) {
    DescribeControl(dialog, id, describe(AccessibleRole::Button, fixed(name)));
  }
  DescribeControl(dialog, kHelpPanelId, describe(AccessibleRole::StaticText, shown(kHelpPanelId)));
  DescribeControl(dialog, kTickerPanelId, describe(AccessibleRole::StaticText, fixed(tickerText_)));
  // The clock is read when asked, never announced at each tick.
  ControlDescription clock = describe(AccessibleRole::StaticText, shown(kClockPanelId));
  clock.announceChanges = false;
  DescribeControl(dialog, kClockPanelId, std::move(clock));
  const Text coordinates = [&dialog, &catalogue] {
    const std::string text = SpokenText(dialog.GetControlText(kCoordinatesLineId));
    return text.empty() ? std::string(catalogue.Translate("Coordinate")) : text;
  };
  DescribeControl(dialog, kCoordinatesLineId,
                  describe(AccessibleRole::StaticText, coordinates, help(kCoordinatesLineId)));
  DescribeControl(dialog, kZoomWindowId,
                  describe(AccessibleRole::Graphic, fixed("Finestra zoom"), help(kZoomWindowId)));
  DescribeControl(dialog, kPlotAreaId,
                  describe(AccessibleRole::Graphic, fixed("Lavagna"), [&state, &catalogue] {
                    return PlotSummary(state, catalogue) + " " +
                           std::string(catalogue.Translate(kPlotCommandsHint));
                  }));
  NameStockControl(dialog, kHistoryListId, catalogue.Translate("Elenco delle funzioni"));
  NameStockControl(dialog, kResultsListId, catalogue.Translate("Risultati"));
  NameStockControl(dialog, kFormulaBoxId, catalogue.Translate("Funzione"));
  keyboardOrder_ = order;
  SetKeyboardOrder(dialog, order);
}

}  // namespace funzioni
