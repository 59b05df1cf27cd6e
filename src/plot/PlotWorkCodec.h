#pragma once

// The plot's work and its outcome as bytes, so that they can cross to another instance of the
// program (the browser's background worker) and back. Little-endian, with a version: both sides
// are the same build, and anything else is refused. Decoding never trusts the bytes: a message
// that is cut short, too long, of another version or with a value out of range decodes to
// nothing.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "plot/DotLayer.h"
#include "plot/PlotCompute.h"

namespace funzioni {

std::vector<std::uint8_t> EncodePlotWork(const PlotWork& work);
std::optional<PlotWork> DecodePlotWork(std::span<const std::uint8_t> bytes);

std::vector<std::uint8_t> EncodePlotOutcome(const PlotOutcome& outcome);
// A whole picture's dots are put on the given layer, so that its memory serves again.
std::optional<PlotOutcome> DecodePlotOutcome(std::span<const std::uint8_t> bytes,
                                             DotLayer layer = {});

}  // namespace funzioni
