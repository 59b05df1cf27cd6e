#pragma once

#include "drawing/Color.h"

namespace funzioni {

// The window's face, Rgb(60, 78, 60): its background, the blank magnifier and meters, what a
// stretch shows outside its source, and the installed page's theme colour (the page's manifest
// is written from this line when the page is built).
inline constexpr Color kFaceColor = 0x003C4E3C;

}  // namespace funzioni
