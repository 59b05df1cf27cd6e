#pragma once

// The rows of the built-in curves' dots kept between redraws, curve by curve. A curve's rows
// depend only on its own four parameters, the zoom, the step and the area's size, so dragging
// one parameter meter computes that one curve again and takes the others from here; a switch
// only changes which kept curves are drawn.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "plot/PlotMapping.h"
#include "sampling/StopToken.h"
#include "state/PlotState.h"

namespace funzioni {

class DotLayer;
class WorkerPool;

class BuiltinRowCache {
 public:
  // Sets the dots of every switched-on curve into the layer, exactly as CollectBuiltinDots does.
  // Rows not kept are computed with the pool's helpers when a pool is given (and free). False
  // when a stop requested through stop ended the work first (the layer is then incomplete).
  bool Collect(const PlotState& state, const PlotMapping& mapping, DotLayer& layer,
               WorkerPool* pool, StopToken stop = {});
  void Drop();

  // How many curves have had their rows computed here.
  long long CurvesComputed() const { return curvesComputed_; }

 private:
  struct SampleKey {
    std::uint32_t zoomBits = 0;
    std::uint32_t stepBits = 0;
    double width = 0;
    double height = 0;
    std::optional<PlotView> view;
    friend bool operator==(const SampleKey&, const SampleKey&) = default;
  };
  using CurveKey = std::array<std::uint32_t, 4>;  // the bits of a, b, c and d

  // The samples whose column lies on the area; false (nothing kept) when there are too many to
  // keep rows for.
  bool PrepareSamples(const PlotState& state, const PlotMapping& mapping);

  std::optional<SampleKey> samplesKey_;
  bool tooMany_ = false;
  std::vector<float> xs_;
  std::vector<int> columns_;
  std::array<std::optional<CurveKey>, functionCount + 1> curveKeys_{};
  std::array<std::vector<int>, functionCount + 1> rows_{};
  long long curvesComputed_ = 0;
};

}  // namespace funzioni
