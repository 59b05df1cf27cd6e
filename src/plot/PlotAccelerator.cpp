#include "plot/PlotAccelerator.h"

namespace funzioni {

PlotAccelerator::PlotAccelerator(unsigned threads) : sampler_(threads) {}

void PlotAccelerator::DropCaches() {
  formulaCache_.Drop();
  keptCaches_.Drop();
  builtinCache_.Drop();
  background_.Drop();
}

}  // namespace funzioni
