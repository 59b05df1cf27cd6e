// A key typed into the formula box holding a long formula (the desktop's line box, offscreen):
// the key handled, the box repainted, and the text read back as Enter reads it. Each iteration
// types a character at the end and takes it back with Backspace, so the length stays put.
//
//   funzioni_bench_text_box --benchmark_repetitions=10

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>
#include <string>

#include <benchmark/benchmark.h>

#include "BenchSpread.h"
#include "drawing/DialogServices.h"

namespace funzioni::bench {
namespace {

constexpr int kBox = 1480;

// "x^2+" repeated, ending on "x^2": a formula with no space in it, as pasted by the pupil.
std::string LongFormula(int characters) {
  std::string text;
  while (static_cast<int>(text.size()) + 4 <= characters) text += "x^2+";
  text += "x^2";
  return text.substr(0, static_cast<std::size_t>(characters));
}

void Press(QWidget* box, Qt::Key key, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(box, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(box, &release);
}

struct BoxWindow {
  explicit BoxWindow(int characters) {
    dialog.AddControl(ControlKind::TextBox, kBox, "", 606, 536, 362, 22);
    dialog.SetControlFont(kBox, "arial", 20, "");
    dialog.Show();
    dialog.SetControlText(kBox, LongFormula(characters));
    dialog.SetControlFocus(kBox);
    box = dialog.Widget()->findChild<QLineEdit*>();
    box->end(false);
  }
  Dialog dialog{"Prova", 0, 0, 974, 720, false};
  QLineEdit* box = nullptr;
};

void KeyAtTheEnd(benchmark::State& timing) {
  BoxWindow window(static_cast<int>(timing.range(0)));
  for (auto _ : timing) {
    Press(window.box, Qt::Key_Plus, "+");
    window.box->repaint();
    Press(window.box, Qt::Key_Backspace, {});
    window.box->repaint();
  }
  timing.counters["characters"] = static_cast<double>(window.box->text().size());
}
BENCHMARK(KeyAtTheEnd)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Apply(WithSpread);

// The text as Enter reads it (converted to UTF-8 whole).
void TextReadBack(benchmark::State& timing) {
  BoxWindow window(static_cast<int>(timing.range(0)));
  for (auto _ : timing) benchmark::DoNotOptimize(window.dialog.GetControlText(kBox));
}
BENCHMARK(TextReadBack)->Arg(100000)->Unit(benchmark::kMicrosecond)->Apply(WithSpread);

}  // namespace
}  // namespace funzioni::bench

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
