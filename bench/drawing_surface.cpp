// Speed of the drawing surface for the operations a full redraw repeats most.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <string>

#include "drawing/DrawingSurface.h"

namespace {

using funzioni::DrawingSurface;

constexpr int kBoard = 600;

void BM_ClearSurface600(benchmark::State& state) {
  DrawingSurface s(kBoard, kBoard);
  int colour = 0;
  for (auto _ : state) {
    s.ClearSurface(colour++ & 0xFFFFFF);
    benchmark::DoNotOptimize(s.PixelAt(0, 0));
  }
  state.SetItemsProcessed(state.iterations() * kBoard * kBoard);
}
BENCHMARK(BM_ClearSurface600);

void BM_HatchedBox600(benchmark::State& state) {
  DrawingSurface s(kBoard, kBoard);
  for (auto _ : state) {
    s.DrawBox(0, 0, kBoard, kBoard, 10, 0x00FFFFFF, 0x000000FF, 5);
    benchmark::DoNotOptimize(s.PixelAt(1, 1));
  }
}
BENCHMARK(BM_HatchedBox600);

// The background cache of a control: read the picture back and write it again.
void BM_PixelsRoundTrip600(benchmark::State& state) {
  DrawingSurface s(kBoard, kBoard);
  s.ClearSurface(0x00336699);
  for (auto _ : state) {
    const std::string image = s.GetSurfacePixels();
    s.SetSurfacePixels(image);
    benchmark::DoNotOptimize(image.data());
  }
}
BENCHMARK(BM_PixelsRoundTrip600);

void BM_StretchCopy600(benchmark::State& state) {
  DrawingSurface source(kBoard, kBoard);
  DrawingSurface target(kBoard, kBoard);
  source.ClearSurface(0x00123456);
  for (auto _ : state) {
    target.StretchSurface(source, 0, 0, kBoard - 1, kBoard - 1, 0, 0, kBoard - 1, kBoard - 1);
    benchmark::DoNotOptimize(target.PixelAt(5, 5));
  }
}
BENCHMARK(BM_StretchCopy600);

void BM_SetPixel80000(benchmark::State& state) {
  DrawingSurface s(kBoard, kBoard);
  for (auto _ : state) {
    for (int i = 0; i < 80000; ++i) {
      s.SetPixel((i * 7) % kBoard + 0.25, (i / 133) % kBoard, 0x0000FFFF);
    }
    benchmark::DoNotOptimize(s.PixelAt(3, 3));
  }
  state.SetItemsProcessed(state.iterations() * 80000);
}
BENCHMARK(BM_SetPixel80000);

// Short lines as the controls' faces and the grid use them.
void BM_LineTo600Lines(benchmark::State& state) {
  DrawingSurface s(kBoard, kBoard);
  for (auto _ : state) {
    for (int i = 0; i < kBoard; ++i) {
      s.MoveTo(0, i);
      s.LineTo(kBoard, 0, 0x00FF00FF, true);
    }
    benchmark::DoNotOptimize(s.PixelAt(3, 3));
  }
  state.SetItemsProcessed(state.iterations() * kBoard);
}
BENCHMARK(BM_LineTo600Lines);

void BM_PrintText(benchmark::State& state) {
  DrawingSurface s(kBoard, 40);
  s.SetSurfaceFont("Arial", 9);
  s.SetBackgroundColor(funzioni::kTransparent);
  for (auto _ : state) {
    s.MoveTo(5, 5);
    s.PrintText(" Mouse + il tasto sinistro: cambi il valore.");
  }
}
BENCHMARK(BM_PrintText);

}  // namespace

int main(int argc, char** argv) {
  // Text needs the GUI application; no display is needed.
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
