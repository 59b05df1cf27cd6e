#pragma once

// The drawn controls in the page's accessibility tree, and the keyboard among them. Each described
// control has a mirror in the page (web/access.js): a real element, out of sight, with the role,
// name, description, value and range the app gives, which takes the keyboard focus for the drawn
// control and turns the keys and the screen reader's actions on it into the dialog's events. The
// drawn control with the focus shows the desktop's focus ring once the keyboard has moved the
// focus. Private to the drawing layer's browser backend.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "drawing/Accessibility.h"
#include "drawing/DialogServices.h"
#include "drawing/Geometry.h"

namespace funzioni::web {

// What a mirror shows of its control, in the page's texts (UTF-8).
struct MirrorState {
  std::string name;
  std::string description;
  int checked = -1;  // check boxes: 0 or 1
  std::optional<AccessibleRange> range;

  bool operator==(const MirrorState& other) const;
};

// Where a mirror goes: over its control, and among the page's elements in the order the controls
// were added (position), before the first stock control added after it (0: none).
struct MirrorPlace {
  PixelRect rect;
  int position = 0;
  int beforeStock = 0;
};

// What the drawn controls need of their dialog.
struct DrawnControlsHooks {
  std::function<void(const DialogEvent& event)> post;  // as Dialog::PostEvent
  std::function<void(int id)> reshow;  // the surface's picture again, with or without the ring
  std::function<MirrorPlace(int id)> place;
};

class DrawnControls {
 public:
  explicit DrawnControls(DrawnControlsHooks hooks) : hooks_(std::move(hooks)) {}

  void Describe(int id, ControlDescription about);
  void Forget();
  void SetKeyboardOrder(std::span<const int> ids);
  // The control showed a new picture: its mirror takes what changed, once the page asks
  // (RefreshStale, after the frame that shows the picture: asking the control for its texts
  // is no part of the picture's way to the screen).
  void Refresh(int id);
  void RefreshStale();
  // In the keyboard order and described: it can take the focus.
  bool Focusable(int id) const;
  void Focus(int id) const;
  int Focused() const;  // the drawn control whose mirror has the focus, 0 if none
  bool Ringed(int id) const { return id != 0 && id == ringed_; }

  // From the page: the focus ring goes to control id (0: none); a key or a request reached a
  // mirror.
  void ShowRingOn(int id);
  void OnKey(int id, int key) const;
  void OnRequest(int id, int request, double value) const;

 private:
  struct Entry {
    ControlDescription about;
    MirrorState shown;
  };
  MirrorState StateOf(const Entry& entry) const;

  DrawnControlsHooks hooks_;
  std::map<int, Entry> entries_;
  std::vector<int> stale_;  // shown anew since the page last asked, in that order
  std::vector<int> order_;
  int ringed_ = 0;
};

// The desktop's focus ring over a drawn control's picture (RGBA words, width x height): its
// outermost pixels black, every third of them white along the border, clockwise from the top left
// corner as the desktop's dotted pen goes.
void DrawFocusRing(std::span<std::uint32_t> pixels, PixelSize size);

// A dialog's drawn controls' mirrors, for the page's own services (web/DialogWeb.cpp).
DrawnControls& DrawnControlsOf(Dialog& dialog);

// The page's side (web/access.js).
void AddMirror(int id, AccessibleRole role, const MirrorPlace& place);
void UpdateMirror(int id, const MirrorState& state);
// Asks the page for RefreshStale after its next frame.
void RefreshMirrorsLater();
void SetMirrorOrder(std::span<const int> ids);
void RemoveMirrors();
void FocusMirror(int id);
int FocusedMirror();

}  // namespace funzioni::web
