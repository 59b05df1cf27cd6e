#include "app/ParameterMeters.h"

#include "app/FormulaParameterValues.h"
#include "app/Parameters.h"
#include "controls/ControlTable.h"
#include "drawing/Accessibility.h"
#include "drawing/Color.h"
#include "drawing/DialogServices.h"

namespace funzioni {

namespace {

// The free strip under the step meter (586 + 20) and over the switches (622), as wide as the
// step meter: six slots, the built-in parameters' meter height.
constexpr int kStripLeft = 606;
constexpr int kStripTop = 606;
constexpr int kSlotPitch = 61;  // 6 x 61 - 2 = 364, the step meter's width
constexpr int kSlotWidth = 59;
constexpr int kSlotHeight = 16;

}  // namespace

PixelRect FormulaMeterRect(std::size_t index) {
  return {kStripLeft + kSlotPitch * static_cast<int>(index), kStripTop, kSlotWidth, kSlotHeight};
}

void ParameterMeters::Follow(const PlotState& state) {
  const std::string used = FormulaParameterLetters(state.typedFormula);
  if (used == shown_) return;
  for (std::size_t i = 0; i < kFormulaParameterCount; ++i) {
    const char letter = kFormulaParameterLetters[i];
    const bool wanted = used.find(letter) != std::string::npos;
    const bool showing = shown_.find(letter) != std::string::npos;
    if (wanted && !showing) Make(i, state);
    if (!wanted && showing) Blank(FormulaMeterId(i));
  }
  shown_ = used;
  Reorder();
}

void ParameterMeters::Make(std::size_t index, const PlotState& state) {
  const int id = FormulaMeterId(index);
  const char letter = kFormulaParameterLetters[index];
  if (!dialog_.HasControl(id)) {
    // The built-in parameters' meters, as the layout makes them.
    CreateControl(dialog_, controls_, id, FormulaMeterRect(index),
                  {.frameWidth = 0,
                   .frameColor = "verde",
                   .value = 50.0f,
                   .scale = 10,
                   .textColor = kWhite,
                   .style = "ori_ago",
                   .faceColor = "grigio",
                   .faceMode = 2});
    const ParamRecord* record = &state.formulaParams[index];
    ControlDescription about;
    about.role = AccessibleRole::Slider;
    // A blanked meter stays known to assistive technology: its name says it is not in use.
    about.name = [this, letter] {
      const bool shown = shown_.find(letter) != std::string::npos;
      const std::string name(1, letter);
      return shown ? name : controls_.catalogue().Format("{0} (non in uso)", {name});
    };
    about.description = [this, letter] {
      return controls_.catalogue().Format(
          "Parametro {0} della funzione scritta. F3: estremi, passo e animazione.",
          {std::string_view(&letter, 1)});
    };
    about.range = [record] {
      return AccessibleRange{record->value, record->minimum, record->maximum, record->step,
                             FormatOneDecimal(record->value)};
    };
    DescribeControl(dialog_, id, std::move(about));
  }
  // A copy of the record: showing it changes nothing.
  ParamRecord record = state.formulaParams[index];
  const MeterLook look = UpdateParameter(record, letter);
  UpdateControl(dialog_, controls_, id, look.needle, look.caption);
}

void ParameterMeters::Blank(int id) {
  dialog_.AttachSurface(id).ClearSurface(dialog_.FaceColor());
  dialog_.RedrawSurface();
}

void ParameterMeters::Reorder() {
  std::vector<int> order;
  order.reserve(baseOrder_.size() + shown_.size());
  for (const int id : baseOrder_) {
    order.push_back(id);
    if (id != kStepMeterId) continue;
    for (const char letter : shown_)
      order.push_back(FormulaMeterId(*FormulaParameterIndex(letter)));
  }
  SetKeyboardOrder(dialog_, order);
}

}  // namespace funzioni
