// What the page's first picture costs in the drawing layer: hatched boxes of the plotting area's
// size in each pattern, and opening the glyph atlas (all of it, and as far as one text needs).
//   build/<dir>/bench/funzioni_bench_raster_start --benchmark_repetitions=9
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdint>
#include <vector>

#include "BenchSpread.h"
#include "GlyphAtlasBuilder.h"
#include "drawing/GlyphAtlas.h"
#include "drawing/Raster.h"
#include "drawing/TextRenderer.h"

namespace {

using namespace funzioni;

constexpr int kBoard = 600;

void BM_HatchedBox(benchmark::State& state) {
  std::vector<std::uint32_t> pixels(kBoard * kBoard, 0xFFFFFFFFu);
  raster::Box box;
  box.right = kBoard;
  box.bottom = kBoard;
  box.border = 0xFF000000u;
  box.drawFill = true;
  box.fill = 0xFF0000FFu;
  box.fillStyle = static_cast<int>(state.range(0));
  for (auto _ : state) {
    raster::DrawBox({pixels.data(), kBoard, kBoard}, box);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.SetItemsProcessed(state.iterations() * kBoard * kBoard);
}
BENCHMARK(BM_HatchedBox)->DenseRange(0, 6)->Apply(WithSpread);

// The atlas of every program font, as the page's build writes it.
const std::vector<std::uint8_t>& ProgramAtlas() {
  static const std::vector<std::uint8_t> bytes =
      EncodeGlyphAtlas(BuildAtlasContents(ProgramSurfaceFonts(), AtlasCharacters()));
  return bytes;
}

void BM_AtlasEveryFont(benchmark::State& state) {
  const std::vector<std::uint8_t>& bytes = ProgramAtlas();
  for (auto _ : state) {
    const GlyphAtlas atlas(bytes);
    std::uint32_t pixel = 0;
    for (const AtlasFont& font : atlas.Fonts()) {
      DrawAtlasText(font, 0, "Wg", {0, 0}, 0xFF000000u, {&pixel, 1, 1});
    }
    benchmark::DoNotOptimize(pixel);
  }
  state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_AtlasEveryFont)->Unit(benchmark::kMillisecond)->Apply(WithSpread);

// The atlas opened and one label drawn in the controls' font.
void BM_AtlasOneText(benchmark::State& state) {
  const std::vector<std::uint8_t>& bytes = ProgramAtlas();
  std::vector<std::uint32_t> pixels(200 * 20);
  for (auto _ : state) {
    const GlyphAtlas atlas(bytes);
    const AtlasFont* font =
        atlas.Find(TextRenderer::ResolveFamily("Arial"), TextRenderer::PixelHeightForPoints(8), 0);
    if (font != nullptr)
      DrawAtlasText(*font, 0, "a=1.0", {0, 0}, 0xFF000000u, {pixels.data(), 200, 20});
    benchmark::DoNotOptimize(pixels.data());
  }
}
BENCHMARK(BM_AtlasOneText)->Unit(benchmark::kMillisecond)->Apply(WithSpread);

}  // namespace

int main(int argc, char** argv) {
  // The atlas is drawn by the desktop's text renderer, which needs the application.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
