#pragma once

// The study job's request and outcome as bytes, so that they can cross to the page's background
// instance of the program and back. Little-endian, with a version: both sides are the same
// build, and anything else is refused. Decoding never trusts the bytes: a message cut short, too
// long, of another version or with a value out of range decodes to nothing.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "app/StudyJob.h"

namespace funzioni {

// The request's formula, zoom, step and view (all the study reads of the state) and whether the
// slopes are wanted, and the language of the lines.
std::vector<std::uint8_t> EncodeStudyRequest(const StudyRequest& request);
std::optional<StudyRequest> DecodeStudyRequest(std::span<const std::uint8_t> bytes);

std::vector<std::uint8_t> EncodeStudyOutcome(const StudyOutcome& outcome);
std::optional<StudyOutcome> DecodeStudyOutcome(std::span<const std::uint8_t> bytes);

}  // namespace funzioni
