#pragma once

// The page's script as the browser backend's dialog sees it, for host tests: it records what the
// dialog asks of the page and holds the page's timeouts until the test fires them.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "drawing/web/PageAccess.h"

namespace funzioni::web::testing {

// What the face paints over the fake page's canvas.
inline constexpr std::uint32_t kFaceWord = 0x12345678u;

struct FakePage {
  std::map<int, int> timeouts;  // scheduled call -> delay
  std::map<int, std::string> boxTexts;
  std::map<int, int> selected;  // list -> shown selection
  int focused = 0;
  int blits = 0;
  // The page's show of the pictures waiting comes at once, unless a test holds it.
  bool holdShows = false;
  int showsAsked = 0;
  // The page's canvas as the blits and the face compose it (canvas-order words), and the pixels
  // the blits put there.
  PixelSize canvasSize;
  std::vector<std::uint32_t> canvas;
  long long blitPixels = 0;
  std::string editorName;  // the page's editor, empty while it is closed
  std::string editorText;
  std::vector<std::string> downloads;          // each download's name and bytes: "NAME:BYTES"
  std::map<int, std::pair<int, int>> mirrors;  // drawn control -> its position, the stock after it
  std::map<int, MirrorState> mirrorStates;
  // The page asks for the mirrors' refresh at once, unless a test holds it.
  bool holdMirrorRefresh = false;
  int mirrorRefreshesAsked = 0;
  std::vector<int> mirrorOrder;
  int focusedMirror = 0;
  bool shown = false;
  bool ended = false;
  // Runs while a pause holds the dialog, as the page's input would arrive meanwhile.
  std::function<void()> duringPause;
};

// A fresh page for each test.
FakePage& Page();
void ResetPage();
// Fires the timeouts pending now, in the order they were asked for; those they ask for wait.
void FireTimeouts();

}  // namespace funzioni::web::testing
