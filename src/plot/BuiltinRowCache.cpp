#include "plot/BuiltinRowCache.h"

#include <algorithm>
#include <span>

#include "evaluator/BitCast.h"
#include "plot/BuiltinDots.h"
#include "plot/Curves.h"
#include "plot/DotLayer.h"
#include "sampling/BuiltinFunctions.h"
#include "sampling/ChunkSizes.h"
#include "sampling/RunningSum.h"
#include "sampling/WorkerPool.h"

namespace funzioni {

namespace {

// Rows are kept for up to this many samples per curve (2 MB each); beyond, as at a zoom far
// past 100, every redraw computes them afresh in bounded blocks.
constexpr std::size_t kMostSamplesKept = 1 << 19;

std::array<std::uint32_t, 4> ParameterBits(const PlotState& state, int n) {
  return {
      BitCast<std::uint32_t>(state.paramA[n].value), BitCast<std::uint32_t>(state.paramB[n].value),
      BitCast<std::uint32_t>(state.paramC[n].value), BitCast<std::uint32_t>(state.paramD[n].value)};
}

}  // namespace

bool BuiltinRowCache::PrepareSamples(const PlotState& state, const PlotMapping& mapping) {
  const SampleKey key{BitCast<std::uint32_t>(state.zoomValue.value),
                      BitCast<std::uint32_t>(state.stepValue.value), mapping.width, mapping.height,
                      state.view};
  if (samplesKey_ == key) return !tooMany_;
  samplesKey_.reset();
  curveKeys_.fill(std::nullopt);
  xs_.clear();
  columns_.clear();
  tooMany_ = false;
  const int width = static_cast<int>(mapping.width);
  ForEachSampleX(BuiltinSampleRule(state), [&](float x) {
    if (tooMany_) return;
    // A sample whose column lies off the area leaves no mark at all.
    const std::optional<int> column = PixelOnArea(mapping.Column(x), width);
    if (!column) return;
    if (xs_.size() == kMostSamplesKept) {
      tooMany_ = true;
      return;
    }
    xs_.push_back(x);
    columns_.push_back(*column);
  });
  if (tooMany_) {
    xs_ = {};
    columns_ = {};
  }
  samplesKey_ = key;
  return !tooMany_;
}

bool BuiltinRowCache::Collect(const PlotState& state, const PlotMapping& mapping, DotLayer& layer,
                              WorkerPool* pool, StopToken stop) {
  const ShownCurves curves = ListShownCurves(state);
  if (curves.count == 0) return true;
  if (!PrepareSamples(state, mapping)) return CollectBuiltinDots(state, mapping, layer, pool, stop);

  // The curves whose parameters changed since their rows were kept, computed in runs of samples
  // that go to whichever thread asks next.
  const std::size_t count = xs_.size();
  std::vector<int> stale;
  for (std::size_t k = 0; k < curves.count; ++k) {
    const int n = curves.numbers[k];
    if (curveKeys_[n] == ParameterBits(state, n)) continue;
    curveKeys_[n].reset();
    rows_[n].resize(count);
    stale.push_back(n);
  }
  const std::size_t runs = (count + kBuiltinSamplesPerRun - 1) / kBuiltinSamplesPerRun;
  const auto computeRun = [&](std::size_t part, unsigned) {
    if (stop.stop_requested()) return;
    const int n = stale[part / runs];
    const std::size_t first = part % runs * kBuiltinSamplesPerRun;
    const std::size_t size = std::min(kBuiltinSamplesPerRun, count - first);
    BuiltinRows(state, mapping)
        .Rows(n, std::span<const float>(xs_).subspan(first, size),
              std::span<int>(rows_[n]).subspan(first, size));
  };
  const std::size_t parts = stale.size() * runs;
  if (pool != nullptr && parts > 1) {
    pool->Run(parts, computeRun);
  } else {
    for (std::size_t part = 0; part < parts; ++part) computeRun(part, 0);
  }
  // Rows left half computed stay marked stale.
  if (stop.stop_requested()) return false;
  for (const int n : stale) curveKeys_[n] = ParameterBits(state, n);
  curvesComputed_ += static_cast<long long>(stale.size());

  // The dots in drawing order: sample by sample, function by function.
  std::array<const int*, functionCount> rowsOf{};
  for (std::size_t k = 0; k < curves.count; ++k) rowsOf[k] = rows_[curves.numbers[k]].data();
  for (std::size_t i = 0; i < count; ++i) {
    for (std::size_t k = 0; k < curves.count; ++k) {
      const int row = rowsOf[k][i];
      if (row != BuiltinRows::kNoRow) layer.Put(columns_[i], row, curves.colors[k]);
    }
  }
  return true;
}

void BuiltinRowCache::Drop() {
  samplesKey_.reset();
  curveKeys_.fill(std::nullopt);
}

}  // namespace funzioni
