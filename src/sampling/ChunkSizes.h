#pragma once

// How much is computed or read at a time wherever work goes in runs. Each size weighs what is
// paid per run (handing it out, a look at the stop request, a system call) against how long one
// run holds its thread or how much memory it takes.

#include <cstddef>

namespace funzioni {

// Samples of the typed formula a thread takes at a time: large enough that handing out is rare,
// small enough that the threads finish together although failing samples cost less than others.
inline constexpr std::size_t kFormulaSamplesPerChunk = 256;
// Outcomes of a compiled formula held at once, on the stack, while they are turned into values.
inline constexpr std::size_t kPlanOutcomesAtOnce = 256;
// Values of the study computed between two looks at the stop request.
inline constexpr std::size_t kStudyValuesPerLook = 256;
// Samples of the built-in curves a thread takes at a time: enough to make handing them out cheap.
inline constexpr std::size_t kBuiltinSamplesPerRun = 4096;
// Samples whose values or rows are computed before their dots are set (about 2 MB of them): a
// walk of millions of samples at a large zoom holds no more than that at once.
inline constexpr std::size_t kSamplesPerDotBlock = std::size_t{1} << 16;
// Bytes read from a file per system call.
inline constexpr std::size_t kFileReadBytes = std::size_t{1} << 16;

}  // namespace funzioni
