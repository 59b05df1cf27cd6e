// The bits of a value as another type of the same size. Some standard libraries the program is
// built with (emscripten's) lack std::bit_cast; the compiler's builtin is in all of them.
#pragma once

#include <type_traits>

namespace funzioni {

template <typename To, typename From>
constexpr To BitCast(const From& from) noexcept {
  static_assert(sizeof(To) == sizeof(From), "BitCast needs types of the same size");
  static_assert(std::is_trivially_copyable_v<To> && std::is_trivially_copyable_v<From>);
  return __builtin_bit_cast(To, from);
}

}  // namespace funzioni
