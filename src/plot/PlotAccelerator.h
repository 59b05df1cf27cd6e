#pragma once

// What makes redrawing fast, kept between redraws by whoever owns the plotting area (the shell):
// the helper threads with their evaluators, the typed formula's dots, the rows of each built-in
// curve, copies of the face, grid and axes, and the buffer that collects the dots. None of it
// changes the picture: each kept result is used only while everything it was computed from is
// unchanged, so the accelerated entry points draw exactly what the plain ones draw (the reference
// for tests).

#include "plot/BuiltinRowCache.h"
#include "plot/DotLayer.h"
#include "plot/FormulaDots.h"
#include "plot/KeptCurves.h"
#include "plot/PlotBackgroundCache.h"
#include "sampling/FormulaSampler.h"

namespace funzioni {

class PlotAccelerator {
 public:
  // threads: how many threads evaluate the typed formula and compute the curves, the caller's
  // included; 0 means one per core.
  explicit PlotAccelerator(unsigned threads = 0);

  // Forgets every kept result (the next redraw computes everything again).
  void DropCaches();

  FormulaSampler& Sampler() { return sampler_; }
  FormulaDotCache& FormulaCache() { return formulaCache_; }
  KeptDotCaches& KeptCaches() { return keptCaches_; }
  BuiltinRowCache& BuiltinCache() { return builtinCache_; }
  PlotBackgroundCache& Background() { return background_; }
  DotLayer& Layer() { return layer_; }

 private:
  // First, so that it goes last: the helper threads of its pool serve the caches' computations
  // (none of which outlives the call that started it).
  FormulaSampler sampler_;
  FormulaDotCache formulaCache_;
  KeptDotCaches keptCaches_;
  BuiltinRowCache builtinCache_;
  PlotBackgroundCache background_;
  DotLayer layer_;
};

}  // namespace funzioni
