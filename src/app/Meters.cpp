#include "app/Meters.h"

#include <algorithm>

#include "app/FormulaParameterValues.h"

namespace funzioni {

// The zoom's and the step's operations take no letter; the parameters' take theirs.
struct MeterRules {
  MeterLook (*drag)(ParamRecord& record, char letter, float percent);
  MeterLook (*reset)(ParamRecord& record, char letter);
  MeterLook (*step)(ParamRecord& record, char letter, int s);
};

namespace {

constexpr MeterRules kZoomRules{
    .drag = [](ParamRecord& zoom, char, float percent) { return DragZoom(zoom, percent); },
    .reset = [](ParamRecord& zoom, char) { return ResetZoom(zoom); },
    .step = [](ParamRecord& zoom, char, int s) { return StepZoom(zoom, s); },
};
constexpr MeterRules kStepRules{
    .drag = [](ParamRecord& step, char, float percent) { return DragStep(step, percent); },
    .reset = [](ParamRecord& step, char) { return ResetStep(step); },
    .step = [](ParamRecord& step, char, int s) { return StepStep(step, s); },
};
constexpr MeterRules kParameterRules{
    .drag = DragParameter,
    .reset = ResetParameter,
    .step = StepParameter,
};

}  // namespace

std::optional<Meters::Found> Meters::Find(int id) const {
  if (id == kZoomMeterId) return Found{&state_.zoomValue, 'a', &kZoomRules};
  if (id == kStepMeterId) return Found{&state_.stepValue, 'a', &kStepRules};
  if (const std::optional<std::size_t> index = FormulaMeterIndexOf(id)) {
    // Only the letters the typed formula uses now have a meter to move.
    const char letter = kFormulaParameterLetters[*index];
    if (UsedFormulaParameters(state_).find(letter) == std::string::npos) return std::nullopt;
    return Found{&state_.formulaParams[*index], letter, &kParameterRules, true};
  }
  const std::optional<ParameterMeter> meter = ParameterMeterOf(id);
  if (!meter) return std::nullopt;
  return Found{&ParameterRecord(state_, *meter), meter->letter, &kParameterRules};
}

MeterLook Meters::Changed(const Found& meter, MeterLook look) {
  // The evaluated formula follows its parameter's new value.
  if (meter.typedFormula) PutFormulaParameters(state_);
  return look;
}

std::optional<Meters::Found> Meters::FindForInput(int id) {
  std::optional<Found> meter = Find(id);
  if (meter && watcher_) watcher_(id);
  return meter;
}

bool Meters::Has(int id) const {
  return Find(id).has_value();
}

std::optional<MeterLook> Meters::Drag(int id, float percent) {
  const std::optional<Found> meter = FindForInput(id);
  if (!meter) return std::nullopt;
  return Changed(*meter, meter->rules->drag(*meter->record, meter->letter, percent));
}

std::optional<MeterLook> Meters::Reset(int id) {
  const std::optional<Found> meter = FindForInput(id);
  if (!meter) return std::nullopt;
  return Changed(*meter, meter->rules->reset(*meter->record, meter->letter));
}

std::optional<MeterLook> Meters::Step(int id, int s) {
  const std::optional<Found> meter = FindForInput(id);
  if (!meter) return std::nullopt;
  return Changed(*meter, meter->rules->step(*meter->record, meter->letter, s));
}

std::optional<MeterLook> Meters::ToEnd(int id, bool top) {
  const std::optional<Found> meter = FindForInput(id);
  if (!meter) return std::nullopt;
  ParamRecord& record = *meter->record;
  record.value = top ? record.maximum : record.minimum;
  return Changed(*meter, meter->rules->step(record, meter->letter, 0));
}

std::optional<MeterLook> Meters::SetValue(int id, double value) {
  const std::optional<Found> meter = FindForInput(id);
  if (!meter) return std::nullopt;
  ParamRecord& record = *meter->record;
  const float inRange = std::clamp(static_cast<float>(value), record.minimum, record.maximum);
  if (meter->rules != &kParameterRules) {
    return Changed(*meter, meter->rules->drag(record, meter->letter, inRange));
  }
  record.value = inRange;
  return Changed(*meter, UpdateParameter(record, meter->letter));
}

}  // namespace funzioni
