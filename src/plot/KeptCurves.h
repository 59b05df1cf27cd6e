#pragma once

// The curves of the formulas kept drawn beside the typed one: their colours, the texts evaluated
// for them, their dots and the key that names them in a corner of the plotting area.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/Color.h"
#include "plot/FormulaDots.h"
#include "sampling/FormulaIntersections.h"
#include "state/KeptFormulas.h"
#include "state/PlotState.h"

namespace funzioni {

class DrawingSurface;

// The colour of the kept formula at a place of the list (0 to kMaxKeptFormulas - 1); the
// places beyond wrap round.
Color KeptCurveColor(std::size_t index);

// One line of the key: the formula as kept, in its curve's colour.
struct KeptKeyEntry {
  std::string text;
  Color color = 0;
  friend bool operator==(const KeptKeyEntry&, const KeptKeyEntry&) = default;
};

std::vector<KeptKeyEntry> KeptKey(const PlotState& state);

// Draws the key in the upper left corner of the surface (nothing for an empty key); leaves the
// foreground colour as it was.
void DrawKeptKey(DrawingSurface& surface, const std::vector<KeptKeyEntry>& key);

// The kept formulas' dots, one cache per place of the list, and the family curves'
// (FamilyCurves.h), one per place of the family; each kept while its text, the zoom, the step and
// the area stay the same, so that dragging the family's own parameter evaluates none of its curves
// again.
class KeptDotCaches {
 public:
  FormulaDotCache& At(std::size_t index) { return caches_[index % caches_.size()]; }
  FormulaDotCache& Family(std::size_t index) { return family_[index % family_.size()]; }
  void Drop() {
    for (FormulaDotCache& cache : caches_) cache.Drop();
    for (FormulaDotCache& cache : family_) cache.Drop();
  }

 private:
  std::array<FormulaDotCache, kMaxKeptFormulas> caches_;
  std::array<FormulaDotCache, kMaxFamilyCurves> family_;
};

}  // namespace funzioni
