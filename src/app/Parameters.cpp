#include "app/Parameters.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace funzioni {

namespace {

// Each operation's result is stored as a 32-bit float before the next one uses it.
float Stored(double value) {
  return static_cast<float>(value);
}

std::string LetterCaption(char letter) {
  return std::string(1, letter) + " =";
}

MeterLook StepLook(const ParamRecord& step) {
  return {step.value, "passo " + FormatWhole(step.value)};
}

MeterLook ZoomValueLook(const ParamRecord& zoom) {
  return {zoom.value, "zoom " + FormatOneDecimal(Stored(zoom.value / 5.0))};
}

// Rounds |value| to `decimals` places, halves away from zero, and writes it with a leading zero.
std::string FormatFixed(float value, int decimals) {
  const double number = value;
  if (!std::isfinite(number)) return std::isnan(number) ? "NaN" : (number < 0 ? "-Inf" : "Inf");
  const double scale = decimals == 0 ? 1.0 : 10.0;
  // The float's exact value times 10 is exact in double precision, so halves are seen as halves.
  const double units = std::round(std::fabs(number) * scale);
  std::string text = number < 0 ? "-" : "";
  if (decimals == 0) return text + std::to_string(static_cast<long long>(units));
  const auto whole = static_cast<long long>(units / 10.0);
  const auto tenth = static_cast<long long>(units - static_cast<double>(whole) * 10.0);
  return text + std::to_string(whole) + "." + std::to_string(tenth);
}

}  // namespace

std::optional<ParameterMeter> ParameterMeterOf(int id) {
  constexpr std::string_view kLetters = "abcd";
  for (int row = 0; row < 4; ++row) {
    const int k = id - (kParamMeterBaseA + 100 * row);
    if (k >= 1 && k <= functionCount) return ParameterMeter{kLetters[row], k};
  }
  return std::nullopt;
}

int ParameterMeterId(ParameterMeter meter) {
  return kParamMeterBaseA + 100 * (meter.letter - 'a') + meter.function;
}

ParamRecord& ParameterRecord(PlotState& state, ParameterMeter meter) {
  switch (meter.letter) {
    case 'b':
      return state.paramB[meter.function];
    case 'c':
      return state.paramC[meter.function];
    case 'd':
      return state.paramD[meter.function];
    default:
      return state.paramA[meter.function];
  }
}

std::string FormatOneDecimal(float value) {
  return FormatFixed(value, 1);
}
std::string FormatWhole(float value) {
  return FormatFixed(value, 0);
}

MeterLook DragParameter(ParamRecord& record, char letter, float percent) {
  const float fraction = Stored(percent * 0.01);
  const float span = Stored(static_cast<double>(record.maximum) - record.minimum);
  const float offset = Stored(static_cast<double>(fraction) * span);
  record.value = Stored(static_cast<double>(offset) + record.minimum);
  return UpdateParameter(record, letter);
}

MeterLook ResetParameter(ParamRecord& record, char letter) {
  record.value = record.resetValue;
  return UpdateParameter(record, letter);
}

MeterLook StepParameter(ParamRecord& record, char letter, int s) {
  const float change = Stored(static_cast<double>(s) * record.step);
  record.value = Stored(static_cast<double>(record.value) + change);
  return UpdateParameter(record, letter);
}

MeterLook UpdateParameter(ParamRecord& record, char letter) {
  record.value = std::max(std::min(record.value, record.maximum), record.minimum);
  const float offset = Stored(static_cast<double>(record.value) - record.minimum);
  const float scaled = Stored(static_cast<double>(offset) * 100.0);
  const float span = Stored(static_cast<double>(record.maximum) - record.minimum);
  const float needle = Stored(static_cast<double>(scaled) / span);
  return {needle, LetterCaption(letter) + FormatOneDecimal(record.value)};
}

MeterLook DragZoom(ParamRecord& zoom, float percent) {
  const float v = std::max(std::min(percent, zoom.maximum), zoom.minimum);
  zoom.value = v;
  const float offset = Stored(static_cast<double>(v) - zoom.minimum);
  const float scaled = Stored(static_cast<double>(offset) * 100.0);
  const float span = Stored(static_cast<double>(zoom.maximum) - zoom.minimum);
  const float needle = Stored(static_cast<double>(scaled) / span);
  return {needle, "zoom " + FormatOneDecimal(Stored(needle / 5.0))};
}

namespace {

// A keypad step: s steps added, each result stored in 32 bits, held at the minimum only (the
// keypad may go past the maximum).
float KeypadStepped(const ParamRecord& record, int s) {
  const float change = Stored(static_cast<double>(s) * record.step);
  return std::max(Stored(static_cast<double>(record.value) + change), record.minimum);
}

}  // namespace

MeterLook ResetZoom(ParamRecord& zoom) {
  zoom.value = zoom.resetValue;
  return ZoomValueLook(zoom);
}

MeterLook StepZoom(ParamRecord& zoom, int s) {
  zoom.value = KeypadStepped(zoom, s);
  return ZoomValueLook(zoom);
}

MeterLook DragStep(ParamRecord& step, float percent) {
  step.value = percent;
  return StepLook(step);
}

MeterLook ResetStep(ParamRecord& step) {
  step.value = step.resetValue;
  return StepLook(step);
}

MeterLook StepStep(ParamRecord& step, int s) {
  step.value = KeypadStepped(step, s);
  return StepLook(step);
}

}  // namespace funzioni
