// Platform services: pauses, random numbers, time of day, programs and documents.
#include <gtest/gtest.h>

namespace funzioni {
namespace {}  // namespace
}  // namespace funzioni
