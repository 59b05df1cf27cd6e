#pragma once

// The backend's entropy, from which the platform services' random numbers are made
// (PlatformCommon.cpp): the system's random device on the desktop, the browser's crypto in the
// page.

#include <cstdint>

namespace funzioni::detail {

std::uint64_t EntropyBits();

}  // namespace funzioni::detail
