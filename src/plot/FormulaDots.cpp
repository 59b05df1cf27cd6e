#include "plot/FormulaDots.h"

#include <bit>
#include <cmath>

#include "plot/BuiltinDots.h"
#include "plot/Curves.h"
#include "plot/FormulaSampler.h"

namespace funzioni {

FormulaDots MakeFormulaDots(const PlotMapping& mapping, std::span<const float> xs,
                            std::span<const std::optional<long double>> values) {
  const int width = static_cast<int>(mapping.width);
  const int height = static_cast<int>(mapping.height);
  FormulaDots dots;
  std::vector<bool> covered(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (std::size_t i = 0; i < xs.size() && i < values.size(); ++i) {
    if (!values[i]) continue;
    const double column = mapping.Column(xs[i]);
    const double row = mapping.Row(*values[i]);
    // A coordinate that is not finite leaves the current position where it was.
    if (!std::isfinite(column) || !std::isfinite(row)) continue;
    dots.lastPosition = {column, row};
    const std::optional<int> x = PixelOnArea(column, width);
    const std::optional<int> y = PixelOnArea(row, height);
    if (!x || !y) continue;
    const std::size_t at = static_cast<std::size_t>(*y) * width + static_cast<std::size_t>(*x);
    if (covered[at]) continue;
    covered[at] = true;
    dots.pixels.push_back(static_cast<std::uint32_t>(at));
  }
  return dots;
}

FormulaDotCache::FormulaDotCache() = default;
FormulaDotCache::~FormulaDotCache() = default;

FormulaDotCache::Key FormulaDotCache::KeyOf(const PlotState& state, const PlotMapping& mapping,
                                            std::string_view formula) {
  return Key{std::string(formula), std::bit_cast<std::uint32_t>(state.zoomValue.value),
             std::bit_cast<std::uint32_t>(state.stepValue.value), mapping.width, mapping.height};
}

void FormulaDotCache::Prepare(FormulaSampler& sampler, const PlotState& state,
                              const PlotMapping& mapping, std::string_view formula,
                              std::stop_token stop) {
  Key key = KeyOf(state, mapping, formula);
  if (key_ == key) return;
  if (pendingKey_ == key && !pending_->Abandoned()) return;
  pending_.reset();  // an evaluation for other values, or abandoned, is of no use any more
  pendingKey_.reset();
  pending_ = sampler.Start(formula, FormulaSampleXs(state), std::move(stop));
  pendingKey_ = std::move(key);
}

const FormulaDots& FormulaDotCache::Dots(ExpressionEvaluator& own, FormulaSampler& sampler,
                                         const PlotState& state, const PlotMapping& mapping,
                                         std::string_view formula, std::stop_token stop) {
  Key key = KeyOf(state, mapping, formula);
  if (key_ == key) return dots_;
  Prepare(sampler, state, mapping, formula, stop);
  // Taken out first, so that nothing is left pending should the evaluation fail.
  const std::unique_ptr<FormulaJob> job = std::move(pending_);
  pendingKey_.reset();
  key_.reset();
  ++evaluations_;
  const FormulaValues values = job->Join(own);
  if (job->Abandoned() || stop.stop_requested()) {
    dots_ = {};
    return dots_;
  }
  dots_ = MakeFormulaDots(mapping, job->Xs(), values);
  key_ = std::move(key);
  return dots_;
}

void FormulaDotCache::DropAbandoned() {
  if (!pending_ || !pending_->Abandoned()) return;
  pending_.reset();
  pendingKey_.reset();
}

void FormulaDotCache::Drop() {
  pending_.reset();
  pendingKey_.reset();
  key_.reset();
}

}  // namespace funzioni
