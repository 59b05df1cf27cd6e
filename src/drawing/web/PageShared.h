#pragma once

// What the page's scripts and the program must agree on: the codes each side sends the other,
// the bits of the page's state, the font metrics the page lays text out with. The program hands
// them to the scripts as one object (funzioni_page_shared, read by shared.js), so that no script
// writes one of these numbers itself. Private to the drawing layer's browser backend.

#include <array>
#include <string>
#include <string_view>

#include "drawing/Geometry.h"

namespace funzioni::web {

// Bits of the page's state (funzioni_page_state), which the page and its tests wait on.
inline constexpr int kPagePainted = 1;  // the first paint was handled
inline constexpr int kPageIdle = 2;     // nothing is under way
inline constexpr int kPageEnded = 4;    // the dialog has ended

// What a side window's panel (study.js) reports to funzioni_page_side, with a code: the chosen
// line's index, the check box's state, the field where Enter was pressed.
enum class SideAction { Chosen = 0, Checked = 1, Copy = 2, Closed = 3, Print = 4, Field = 5 };
inline constexpr int kSideActionLast = static_cast<int>(SideAction::Field);

// What background.js gives funzioni_background_arrived instead of a reply's size.
inline constexpr int kBackgroundFailed = -1;    // the request aborted its instance
inline constexpr int kBackgroundUnusable = -2;  // the instance cannot run at all

// A family's vertical metrics in font units (kFontUnitsPerEm to the em), as its files have them:
// the page lays out text by them whichever metric-compatible font the browser picks.
struct FontExtents {
  std::string_view family;  // lower case, as the page looks it up
  int ascent = 0;
  int descent = 0;
};

inline constexpr int kFontUnitsPerEm = 2048;
inline constexpr std::array<FontExtents, 3> kPageFonts{{
    {"liberation sans", 1854, 434},
    {"liberation mono", 1705, 615},
    {"liberation serif", 1825, 443},
}};
// The printed page's family, one of kPageFonts, and the gap its files put between lines (in font
// units): the printed lines are spaced as the desktop's printer spaces them.
inline constexpr std::string_view kPrintFamily = "liberation sans";
inline constexpr int kPrintLineGap = 67;

// Everything above, with the dialog's own command codes and the enumerations the scripts send,
// as one JSON object.
std::string PageSharedJson();

// The client area and its canvas at the dialog's size: the page knows the size from here only.
void SetClientSize(PixelSize size);

}  // namespace funzioni::web
