#include "plot/Curves.h"

#include <algorithm>
#include <array>

#include "drawing/DialogServices.h"
#include "plot/BuiltinDots.h"
#include "plot/FamilyCurves.h"
#include "plot/PlotAccelerator.h"
#include "sampling/BuiltinFunctions.h"
#include "sampling/FormulaSampling.h"
#include "sampling/RunningSum.h"
#include "sampling/WorkerPool.h"

namespace funzioni {

namespace {

constexpr Color kFormulaColor = 0x0000FFFF;  // yellow

constexpr std::array<Color, functionCount + 1> kCurveColors{
    0x00000000,  // slot 0, never read
    0x0000FFFF,  // a.x: yellow
    0x00FF00FF,  // a.x+b: magenta
    0x00808080,  // a.x^2+b: grey
    0x000000FF,  // (a.x+b):(c.x+d): red
    0x000000FF,  // a.sin(x): red
    0x00FF0000,  // a.cos(x): blue
    0x00FFFFFF,  // a.x^3+b: white
    0x00FFFF00,  // 2^a.x: cyan
    0x0000FF00,  // a.x^x: green
    0x00000000,  // sqr(a.x): black
};

// Leaves the current position where setting the formula's last dot would have left it.
void MoveToLastDot(DrawingSurface& surface, const FormulaDots& dots) {
  if (dots.lastPosition) surface.MoveTo(dots.lastPosition->first, dots.lastPosition->second);
}

void PutFormulaDots(DotLayer& layer, const FormulaDots& dots, PixelSize size, Color color) {
  for (const std::uint32_t at : dots.pixels) {
    layer.Put(static_cast<int>(at % size.width), static_cast<int>(at / size.width), color);
  }
}

}  // namespace

Color BuiltinCurveColor(int n) {
  if (n < 1 || n > functionCount) return 0;
  return kCurveColors[n];
}

Color FormulaCurveColor() {
  return kFormulaColor;
}

void PlotBuiltinCurves(Dialog& dialog, int plotId, const PlotState& state) {
  DrawingSurface& surface = dialog.AttachSurface(plotId);
  const PlotMapping mapping = MakePlotMapping(surface.GetSurfaceSize(), state);

  std::array<int, functionCount> shown{};
  std::size_t shownCount = 0;
  for (int n = 1; n <= functionCount; ++n) {
    if (state.curveOn[n] == 1) shown[shownCount++] = n;
  }
  if (shownCount == 0) return;

  ForEachSampleX(BuiltinSampleRule(state), [&](float x) {
    const double column = mapping.Column(x);
    for (std::size_t i = 0; i < shownCount; ++i) {
      const int n = shown[i];
      const std::optional<Extended> y = BuiltinValue(state, n, x);
      // A value that is not finite gives a row that is not finite, which leaves no mark.
      if (y) surface.SetPixel(column, mapping.Row(*y), BuiltinCurveColor(n));
    }
  });
}

void DrawFormulaSamples(DrawingSurface& surface, const PlotMapping& mapping,
                        std::span<const FormulaSample> samples) {
  for (const FormulaSample& sample : samples) {
    if (sample.y) surface.SetPixel(mapping.Column(sample.x), mapping.Row(*sample.y), kFormulaColor);
  }
}

void PlotFormulaCurve(Dialog& dialog, int plotId, const PlotState& state,
                      ExpressionEvaluator& evaluator, std::string_view formula) {
  DrawingSurface& surface = dialog.AttachSurface(plotId);
  const PlotMapping mapping = MakePlotMapping(surface.GetSurfaceSize(), state);
  const std::vector<float> xs = FormulaSampleXs(state);
  const std::vector<FormulaSample> samples = ComputeFormulaSamples(evaluator, formula, xs);
  DrawFormulaSamples(surface, mapping, samples);
  dialog.RedrawSurface();
}

void PlotFormulaCurve(Dialog& dialog, int plotId, const PlotState& state,
                      ExpressionEvaluator& evaluator, PlotAccelerator& accelerator,
                      std::string_view formula) {
  const PixelSize size = dialog.AttachSurface(plotId).GetSurfaceSize();
  const PlotMapping mapping = MakePlotMapping(size, state);
  ShowFormulaDots(
      dialog, plotId,
      accelerator.FormulaCache().Dots(evaluator, accelerator.Sampler(), state, mapping, formula));
}

void ShowFormulaDots(Dialog& dialog, int plotId, const FormulaDots& dots) {
  DrawingSurface& surface = dialog.AttachSurface(plotId);
  const auto width = static_cast<std::uint32_t>(std::max(surface.GetSurfaceSize().width, 1));
  for (const std::uint32_t at : dots.pixels) {
    surface.SetPixel(static_cast<double>(at % width), static_cast<double>(at / width),
                     kFormulaColor);
  }
  MoveToLastDot(surface, dots);
  dialog.RedrawSurface();
}

std::optional<CurveDots> CollectCurveDots(const PlotState& state, PixelSize size,
                                          ExpressionEvaluator& evaluator,
                                          PlotAccelerator& accelerator, DotLayer layer,
                                          StopToken stop) {
  const PlotMapping mapping = MakePlotMapping(size, state);
  FormulaDotCache& cache = accelerator.FormulaCache();
  CurveDots dots;
  dots.layer = std::move(layer);
  dots.formulaShown = !state.currentFormula.empty();
  dots.view = state.view;
  dots.degrees = state.view && UsesAngleFunction(state.currentFormula);
  // The formula and then the curves, each with every thread: the formula's evaluation is far
  // shorter than the curves' rows, so running it beside them would leave its threads idle.
  const FormulaDots* formula = nullptr;
  if (dots.formulaShown) {
    formula =
        &cache.Dots(evaluator, accelerator.Sampler(), state, mapping, state.currentFormula, stop);
    if (stop.stop_requested()) return std::nullopt;
  }
  const std::size_t keptCount = std::min(state.keptFormulas.size(), kMaxKeptFormulas);
  std::array<const FormulaDots*, kMaxKeptFormulas> kept{};
  for (std::size_t i = 0; i < keptCount; ++i) {
    const std::string text = KeptFormulaText(state, state.keptFormulas[i]);
    kept[i] = &accelerator.KeptCaches().At(i).Dots(evaluator, accelerator.Sampler(), state, mapping,
                                                   text, stop);
    if (stop.stop_requested()) return std::nullopt;
  }
  const std::vector<FamilyCurve> family = FamilyCurves(state);
  std::array<const FormulaDots*, kMaxFamilyCurves> familyDots{};
  for (std::size_t i = 0; i < family.size(); ++i) {
    familyDots[i] = &accelerator.KeptCaches().Family(i).Dots(evaluator, accelerator.Sampler(),
                                                             state, mapping, family[i].text, stop);
    if (stop.stop_requested()) return std::nullopt;
  }
  dots.key = KeptKey(state);
  const std::vector<KeptKeyEntry> familyKey = FamilyKey(state);
  dots.key.insert(dots.key.end(), familyKey.begin(), familyKey.end());
  // Built-in dots first and the formula's over them, each pixel set once with its last colour.
  dots.layer.Reset(size.width, size.height);
  if (!accelerator.BuiltinCache().Collect(state, mapping, dots.layer, &accelerator.Sampler().Pool(),
                                          stop)) {
    return std::nullopt;
  }
  // The family under the kept formulas: they are other functions, and stay readable over it.
  for (std::size_t i = 0; i < family.size(); ++i) {
    PutFormulaDots(dots.layer, *familyDots[i], size, family[i].color);
  }
  for (std::size_t i = 0; i < keptCount; ++i) {
    PutFormulaDots(dots.layer, *kept[i], size, KeptCurveColor(i));
  }
  if (formula == nullptr) return dots;
  PutFormulaDots(dots.layer, *formula, size, kFormulaColor);
  dots.formulaLastPosition = formula->lastPosition;
  return dots;
}

void SetCurveDots(Dialog& dialog, int plotId, CurveDots& dots) {
  DrawingSurface& surface = dialog.AttachSurface(plotId);
  dots.layer.FlushTo(surface);
  DrawKeptKey(surface, dots.key);
  if (dots.formulaLastPosition) {
    surface.MoveTo(dots.formulaLastPosition->first, dots.formulaLastPosition->second);
  }
}

}  // namespace funzioni
