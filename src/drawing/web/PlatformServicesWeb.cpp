// The platform services in the browser: the page's clock and entropy; no programs to start
// (the rest is PlatformCommon.cpp's).

#include <emscripten.h>

#include <cstdint>

#include "drawing/Entropy.h"
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

namespace detail {

std::uint64_t EntropyBits() {
  std::uint32_t words[2] = {};
  funzioni_js_entropy(words);
  return (static_cast<std::uint64_t>(words[0]) << 32) | words[1];
}

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

bool OpenDocument(std::string_view /*path*/) {
  return false;
}

TimeOfDay CurrentTimeOfDay() {
  const int seconds = funzioni_js_time_of_day();
  return {seconds / 3600, seconds / 60 % 60, seconds % 60};
}

bool DisplayAvailable() {
  return true;
}

std::string NoDisplayMessage() {
  return {};
}

void PrepareGuiApplication() {}

}  // namespace funzioni
