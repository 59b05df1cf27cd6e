#include "plot/PlotAccelerator.h"

namespace funzioni {

PlotAccelerator::PlotAccelerator(PlotPath path, unsigned threads)
    : path_(path), sampler_(path == PlotPath::Straightforward ? 1 : threads) {}

void PlotAccelerator::DropCaches() {
  formulaCache_.Drop();
  builtinCache_.Drop();
  background_.Drop();
}

}  // namespace funzioni
