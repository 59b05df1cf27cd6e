#pragma once

// The arithmetic behind the needle meters: dragging, resetting and keypad-stepping the
// parameters a, b, c, d of every built-in function, the zoom and the sampling step. Each
// operation changes its ParamRecord and gives back what the meter must show. Every intermediate
// result is rounded to a 32-bit float, because the records are 32-bit.

#include <optional>
#include <string>

#include "state/PlotState.h"

namespace funzioni {

// Meter identifiers of the main window.
inline constexpr int kParamMeterBaseA = 1000;
inline constexpr int kParamMeterBaseB = 1100;
inline constexpr int kParamMeterBaseC = 1200;
inline constexpr int kParamMeterBaseD = 1300;
inline constexpr int kZoomMeterId = 1400;
inline constexpr int kStepMeterId = 1950;

// What a meter shows: the needle in percent and its caption.
struct MeterLook {
  float needle = 0.0f;
  std::string caption;
};

// A parameter meter: which letter ('a'..'d') of which built-in function (1..functionCount).
struct ParameterMeter {
  char letter = 'a';
  int function = 1;
};

// The parameter whose meter has this identifier (1000 + k for a, 1100 + k for b, 1200 + k for c,
// 1300 + k for d, k = 1..functionCount); nothing for any other identifier.
std::optional<ParameterMeter> ParameterMeterOf(int id);
int ParameterMeterId(ParameterMeter meter);
ParamRecord& ParameterRecord(PlotState& state, ParameterMeter meter);

// Number masks: "0.0" (one decimal, rounded, at least one digit before the point, a minus sign
// when negative) and "0" (a whole number).
std::string FormatOneDecimal(float value);
std::string FormatWhole(float value);

// Parameters: the drag maps the pointer's percentage over the meter onto the range; the reset
// restores the reset value; the keypad adds s steps (s = +1 or -1). All three end in
// UpdateParameter, which clamps the value and gives the needle and "a =" caption.
MeterLook DragParameter(ParamRecord& record, char letter, float percent);
MeterLook ResetParameter(ParamRecord& record, char letter);
MeterLook StepParameter(ParamRecord& record, char letter, int s);
MeterLook UpdateParameter(ParamRecord& record, char letter);

// Zoom: the drag clamps to the range and writes needle / 5 in the caption; the reset and the
// keypad put the value itself on the needle and value / 5 in the caption; the keypad has no
// upper limit.
MeterLook DragZoom(ParamRecord& zoom, float percent);
MeterLook ResetZoom(ParamRecord& zoom);
MeterLook StepZoom(ParamRecord& zoom, int s);

// Step ("passo"): the drag takes the percentage as it is; the keypad keeps it at the minimum or
// more, with no upper limit.
MeterLook DragStep(ParamRecord& step, float percent);
MeterLook ResetStep(ParamRecord& step);
MeterLook StepStep(ParamRecord& step, int s);

}  // namespace funzioni
