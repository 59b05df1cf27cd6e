// The platform services that are one rule on every backend: the random numbers, made of the
// backend's entropy (Entropy.h), and the waits that hold no dialog.

#include <cstdint>

#include "Entropy.h"
#include "EventGate.h"
#include "PlatformServices.h"

namespace funzioni {

namespace {

// 53 random bits scaled by 2^-53: always below 1.
double UnitFromBits(std::uint64_t bits) {
  return static_cast<double>(bits >> 11) * 0x1.0p-53;
}

}  // namespace

bool RunAndWait(std::string_view commandLine) {
  return detail::RunAndWaitHolding(nullptr, commandLine);
}

void PauseMilliseconds(int milliseconds) {
  detail::PauseHolding(nullptr, milliseconds);
}

double RandomUnit() {
  return UnitFromBits(detail::EntropyBits());
}

RandomSource::RandomSource() : engine_(detail::EntropyBits()) {}

double RandomSource::RandomUnit() {
  return UnitFromBits(engine_());
}

}  // namespace funzioni
