#include "plot/FormulaDots.h"

#include <cmath>
#include <memory>

#include "evaluator/BitCast.h"
#include "plot/BuiltinDots.h"
#include "plot/Curves.h"
#include "sampling/ChunkSizes.h"
#include "sampling/FormulaSampler.h"
#include "sampling/RunningSum.h"

namespace funzioni {

namespace {

// The dots of samples given a block at a time, in order.
class FormulaDotsBuilder {
 public:
  explicit FormulaDotsBuilder(const PlotMapping& mapping)
      : mapping_(mapping),
        width_(static_cast<int>(mapping.width)),
        height_(static_cast<int>(mapping.height)),
        covered_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_)) {}

  void Add(std::span<const float> xs, std::span<const std::optional<Extended>> values) {
    for (std::size_t i = 0; i < xs.size() && i < values.size(); ++i) {
      if (!values[i]) continue;
      const double column = mapping_.Column(xs[i]);
      const double row = mapping_.Row(*values[i]);
      // A coordinate that is not finite leaves the current position where it was.
      if (!std::isfinite(column) || !std::isfinite(row)) continue;
      dots_.lastPosition = {column, row};
      const std::optional<int> x = PixelOnArea(column, width_);
      const std::optional<int> y = PixelOnArea(row, height_);
      if (!x || !y) continue;
      const std::size_t at = static_cast<std::size_t>(*y) * width_ + static_cast<std::size_t>(*x);
      if (covered_[at]) continue;
      covered_[at] = true;
      dots_.pixels.push_back(static_cast<std::uint32_t>(at));
    }
  }

  FormulaDots Take() { return std::move(dots_); }

 private:
  PlotMapping mapping_;
  int width_;
  int height_;
  std::vector<bool> covered_;
  FormulaDots dots_;
};

}  // namespace

FormulaDots MakeFormulaDots(const PlotMapping& mapping, std::span<const float> xs,
                            std::span<const std::optional<Extended>> values) {
  FormulaDotsBuilder builder(mapping);
  builder.Add(xs, values);
  return builder.Take();
}

FormulaDotCache::FormulaDotCache() = default;
FormulaDotCache::~FormulaDotCache() = default;

FormulaDotCache::Key FormulaDotCache::KeyOf(const PlotState& state, const PlotMapping& mapping,
                                            std::string_view formula) {
  return Key{std::string(formula),
             BitCast<std::uint32_t>(state.zoomValue.value),
             BitCast<std::uint32_t>(state.stepValue.value),
             mapping.width,
             mapping.height,
             state.view};
}

const FormulaDots& FormulaDotCache::Dots(ExpressionEvaluator& own, FormulaSampler& sampler,
                                         const PlotState& state, const PlotMapping& mapping,
                                         std::string_view formula, StopToken stop) {
  Key key = KeyOf(state, mapping, formula);
  if (key_ == key) return dots_;
  key_.reset();
  dots_ = {};
  ++evaluations_;
  SampleWalk walk = FormulaSampleWalk(state);
  FormulaDotsBuilder builder(mapping);
  std::vector<float> xs = walk.Next(kSamplesPerDotBlock);
  do {
    const std::unique_ptr<FormulaJob> job = sampler.Start(formula, std::move(xs), stop);
    const FormulaValues values = job->Join(own);
    if (job->Abandoned() || stop.stop_requested()) return dots_;
    builder.Add(job->Xs(), values);
    xs = walk.Next(kSamplesPerDotBlock);
  } while (!xs.empty());
  dots_ = builder.Take();
  key_ = std::move(key);
  return dots_;
}

void FormulaDotCache::Drop() {
  key_.reset();
}

}  // namespace funzioni
