#pragma once

#include <cstdint>

namespace funzioni {

// A colour is 0x00BBGGRR, red in the low byte. Two negative values carry a meaning where an
// operation says so: -1 a default colour, -2 no fill or a transparent text background.
using Color = std::int32_t;
inline constexpr Color kDefaultColor = -1;
inline constexpr Color kNoFill = -2;
inline constexpr Color kTransparent = -2;

// A dialog's face until its program sets one (Dialog::SetFaceColor), light grey: the default
// background of text and what a stretch shows outside its source.
inline constexpr Color kDefaultFaceColor = 0x00F0F0F0;

// Builds a colour from three components, each clamped to 0..255.
Color Rgb(int red, int green, int blue);

}  // namespace funzioni
