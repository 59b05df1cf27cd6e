// A finding is reported by abort(), which libFuzzer records together with the input.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace funzioni::fuzz {

// Aborts with the message when the condition does not hold.
inline void Require(bool condition, std::string_view message, std::string_view detail = {}) {
  if (condition) return;
  std::fprintf(stderr, "finding: %.*s [%.*s]\n", static_cast<int>(message.size()), message.data(),
               static_cast<int>(detail.size()), detail.data());
  std::abort();
}

}  // namespace funzioni::fuzz
