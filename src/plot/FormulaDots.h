#pragma once

#include "evaluator/Extended.h"

// The pixels of the typed formula's curve, kept while the formula, the zoom, the step and the
// size of the area stay the same: a parameter or a switch changes none of them, so dragging a
// parameter meter redraws the formula without evaluating it again. The samples are evaluated a
// block at a time and folded into the pixels, so that memory stays bounded however far the
// keypad takes the zoom.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "plot/PlotMapping.h"
#include "sampling/StopToken.h"
#include "state/PlotState.h"

namespace funzioni {

class ExpressionEvaluator;
class FormulaSampler;

struct FormulaDots {
  // Each pixel the curve covers, once, as row * width + column. The dots are all one colour, so
  // the order in which they are set does not matter.
  std::vector<std::uint32_t> pixels;
  // Where the last sample that had a value left the surface's current position (the column and
  // row before rounding), as setting its dot would; empty when no sample had one.
  std::optional<std::pair<double, double>> lastPosition;
};

// The dots of the formula's samples on an area of the mapping's size.
FormulaDots MakeFormulaDots(const PlotMapping& mapping, std::span<const float> xs,
                            std::span<const std::optional<Extended>> values);

class FormulaDotCache {
 public:
  FormulaDotCache();
  ~FormulaDotCache();
  FormulaDotCache(const FormulaDotCache&) = delete;
  FormulaDotCache& operator=(const FormulaDotCache&) = delete;

  // The formula's dots: the kept ones when the formula, the zoom, the step and the area's size
  // are those they were computed for; otherwise evaluated now, on the sampler's helpers and the
  // calling thread (every job ends within the call). No dots (and nothing kept) once a stop was
  // requested through stop before the evaluation ended.
  const FormulaDots& Dots(ExpressionEvaluator& own, FormulaSampler& sampler, const PlotState& state,
                          const PlotMapping& mapping, std::string_view formula,
                          StopToken stop = {});

  void Drop();
  // How many times the formula was evaluated.
  long long Evaluations() const { return evaluations_; }

 private:
  struct Key {
    std::string formula;
    std::uint32_t zoomBits = 0;
    std::uint32_t stepBits = 0;
    double width = 0;
    double height = 0;
    std::optional<PlotView> view;
    friend bool operator==(const Key&, const Key&) = default;
  };
  static Key KeyOf(const PlotState& state, const PlotMapping& mapping, std::string_view formula);

  std::optional<Key> key_;
  FormulaDots dots_;
  long long evaluations_ = 0;
};

}  // namespace funzioni
