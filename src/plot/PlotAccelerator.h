#pragma once

// What makes redrawing fast, kept between redraws by whoever owns the plotting area (the shell):
// the helper threads with their evaluators, the typed formula's dots, the rows of each built-in
// curve, copies of the face, grid and axes, and the buffer that collects the dots. None of it
// changes the picture: each kept result is used only while everything it was computed from is
// unchanged.
//
// A straightforward accelerator keeps nothing and uses one thread: with it the accelerated
// entry points draw exactly as the plain ones do, step by step (the reference for tests).

#include "plot/BuiltinRowCache.h"
#include "plot/DotLayer.h"
#include "plot/FormulaDots.h"
#include "plot/FormulaSampler.h"
#include "plot/PlotBackgroundCache.h"

namespace funzioni {

enum class PlotPath { Accelerated, Straightforward };

class PlotAccelerator {
 public:
  // threads: how many threads evaluate the typed formula and compute the curves, the caller's
  // included; 0 means one per core.
  explicit PlotAccelerator(PlotPath path = PlotPath::Accelerated, unsigned threads = 0);

  bool Straightforward() const { return path_ == PlotPath::Straightforward; }

  // Forgets every kept result (the next redraw computes everything again).
  void DropCaches();

  FormulaSampler& Sampler() { return sampler_; }
  FormulaDotCache& FormulaCache() { return formulaCache_; }
  BuiltinRowCache& BuiltinCache() { return builtinCache_; }
  PlotBackgroundCache& Background() { return background_; }
  DotLayer& Layer() { return layer_; }

 private:
  PlotPath path_;
  FormulaSampler sampler_;
  FormulaDotCache formulaCache_;
  BuiltinRowCache builtinCache_;
  PlotBackgroundCache background_;
  DotLayer layer_;
};

}  // namespace funzioni
