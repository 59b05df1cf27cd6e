// The platform services in the browser: the page's clock and entropy; no programs to start.

#include <emscripten.h>

#include <cstdint>

#include "drawing/EventGate.h"
#include "drawing/PlatformServices.h"

// clang-format off
EM_JS(int, funzioni_js_time_of_day, (), {
  const now = new Date();
  return now.getHours() * 3600 + now.getMinutes() * 60 + now.getSeconds();
});
EM_JS(void, funzioni_js_entropy, (std::uint32_t* out), {
  const words = new Uint32Array(2);
  crypto.getRandomValues(words);
  HEAPU32[out >> 2] = words[0];
  HEAPU32[(out >> 2) + 1] = words[1];
});
// clang-format on

namespace funzioni {

namespace {

// 53 random bits scaled by 2^-53: always below 1.
double UnitFromBits(std::uint64_t bits) {
  return static_cast<double>(bits >> 11) * 0x1.0p-53;
}

std::uint64_t EntropyBits() {
  std::uint32_t words[2] = {};
  funzioni_js_entropy(words);
  return (static_cast<std::uint64_t>(words[0]) << 32) | words[1];
}

}  // namespace

namespace detail {

bool RunAndWaitHolding(HandlerGate* /*gate*/, std::string_view /*commandLine*/) {
  return false;  // a page starts no programs
}

// The page cannot sleep: the pause is waited out, and the windows show what was drawn meanwhile
// once it ends. Nothing reaches the handler meanwhile, as on the desktop.
void PauseHolding(HandlerGate* gate, int milliseconds) {
  if (milliseconds <= 0) return;
  const HandlerGate::Hold hold(gate);
  const double end = emscripten_get_now() + milliseconds;
  while (emscripten_get_now() < end) {
  }
}

}  // namespace detail

bool RunAndWait(std::string_view commandLine) {
  return detail::RunAndWaitHolding(nullptr, commandLine);
}

bool OpenDocument(std::string_view /*path*/) {
  return false;
}

TimeOfDay CurrentTimeOfDay() {
  const int seconds = funzioni_js_time_of_day();
  return {seconds / 3600, seconds / 60 % 60, seconds % 60};
}

void PauseMilliseconds(int milliseconds) {
  detail::PauseHolding(nullptr, milliseconds);
}

double RandomUnit() {
  return UnitFromBits(EntropyBits());
}

RandomSource::RandomSource() : engine_(EntropyBits()) {}

double RandomSource::RandomUnit() {
  return UnitFromBits(engine_());
}

bool DisplayAvailable() {
  return true;
}

std::string NoDisplayMessage() {
  return {};
}

void PrepareGuiApplication() {}

}  // namespace funzioni
