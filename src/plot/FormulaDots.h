#pragma once

// The pixels of the typed formula's curve, kept while the formula, the zoom, the step and the
// size of the area stay the same: a parameter or a switch changes none of them, so dragging a
// parameter meter redraws the formula without evaluating it again.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/PlotState.h"
#include "plot/PlotMapping.h"

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
                            std::span<const std::optional<long double>> values);

class FormulaDotCache {
 public:
  // The formula's dots for the state's zoom and step on the mapping's area; evaluated only when
  // one of those or the formula differs from the last call.
  const FormulaDots& Dots(ExpressionEvaluator& own, FormulaSampler& sampler, const PlotState& state,
                          const PlotMapping& mapping, std::string_view formula);
  void Drop() { key_.reset(); }
  // How many calls had to evaluate the formula.
  long long Evaluations() const { return evaluations_; }

 private:
  struct Key {
    std::string formula;
    std::uint32_t zoomBits = 0;
    std::uint32_t stepBits = 0;
    double width = 0;
    double height = 0;
    friend bool operator==(const Key&, const Key&) = default;
  };
  std::optional<Key> key_;
  FormulaDots dots_;
  long long evaluations_ = 0;
};

}  // namespace funzioni
