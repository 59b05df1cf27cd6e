#include "PageAccess.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "PageText.h"

namespace funzioni::web {

namespace {

constexpr std::uint32_t kRingBlack = 0xFF000000u;
constexpr std::uint32_t kRingWhite = 0xFFFFFFFFu;
constexpr int kRingDotPeriod = 3;  // one white pixel, two black ones

std::string Ask(const std::function<std::string()>& function) {
  return function ? PageText(function()) : std::string();
}

// The requests an assistive technology can make of each kind of control, as on the desktop.
bool Allowed(AccessibleRole role, AccessRequest request) {
  switch (request) {
    case AccessRequest::Press:
      return role == AccessibleRole::Button;
    case AccessRequest::Toggle:
      return role == AccessibleRole::CheckBox;
    case AccessRequest::Increase:
    case AccessRequest::Decrease:
    case AccessRequest::SetValue:
      return role == AccessibleRole::Slider;
  }
  return false;
}

bool SameRange(const AccessibleRange& a, const AccessibleRange& b) {
  return a.value == b.value && a.minimum == b.minimum && a.maximum == b.maximum &&
         a.step == b.step && a.text == b.text;
}

}  // namespace

bool MirrorState::operator==(const MirrorState& other) const {
  if (name != other.name || description != other.description || checked != other.checked ||
      range.has_value() != other.range.has_value()) {
    return false;
  }
  return !range || SameRange(*range, *other.range);
}

void DrawnControls::Describe(int id, ControlDescription about) {
  Entry& entry = entries_[id];
  entry.about = std::move(about);
  AddMirror(id, entry.about.role, hooks_.place(id));
  entry.shown = StateOf(entry);
  UpdateMirror(id, entry.shown);
  if (std::find(order_.begin(), order_.end(), id) != order_.end()) SetMirrorOrder(order_);
}

void DrawnControls::Forget() {
  entries_.clear();
  RemoveMirrors();
  ShowRingOn(0);
}

void DrawnControls::SetKeyboardOrder(std::span<const int> ids) {
  order_.assign(ids.begin(), ids.end());
  SetMirrorOrder(order_);
}

void DrawnControls::Refresh(int id) {
  if (entries_.count(id) == 0 || std::find(stale_.begin(), stale_.end(), id) != stale_.end()) {
    return;
  }
  stale_.push_back(id);
  if (stale_.size() == 1) RefreshMirrorsLater();
}

void DrawnControls::RefreshStale() {
  for (const int id : std::exchange(stale_, {})) {
    auto it = entries_.find(id);
    if (it == entries_.end()) continue;
    MirrorState now = StateOf(it->second);
    if (now == it->second.shown) continue;
    it->second.shown = std::move(now);
    UpdateMirror(id, it->second.shown);
  }
}

bool DrawnControls::Focusable(int id) const {
  return entries_.count(id) != 0 && std::find(order_.begin(), order_.end(), id) != order_.end();
}

void DrawnControls::Focus(int id) const {
  if (Focusable(id)) FocusMirror(id);
}

int DrawnControls::Focused() const {
  const int id = FocusedMirror();
  return entries_.count(id) != 0 ? id : 0;
}

void DrawnControls::ShowRingOn(int id) {
  const int ringed = entries_.count(id) != 0 ? id : 0;
  if (ringed == ringed_) return;
  const int old = ringed_;
  ringed_ = ringed;
  if (old != 0) hooks_.reshow(old);
  if (ringed != 0) hooks_.reshow(ringed);
}

void DrawnControls::OnKey(int id, int key) const {
  // Ctrl with an arrow, Home or End comes marked, as the desktop passes it on.
  const bool withControl = (key & kKeyWithControl) != 0;
  const int plain = key & ~kKeyWithControl;
  const int last = static_cast<int>(withControl ? ControlKey::End : ControlKey::Space);
  if (entries_.count(id) == 0 || plain < static_cast<int>(ControlKey::Left) || plain > last ||
      (withControl && (plain == static_cast<int>(ControlKey::PageUp) ||
                       plain == static_cast<int>(ControlKey::PageDown)))) {
    return;
  }
  hooks_.post({EventKind::Key, id, key});
}

void DrawnControls::OnRequest(int id, int request, double value) const {
  const auto it = entries_.find(id);
  if (it == entries_.end() || request < static_cast<int>(AccessRequest::Press) ||
      request > static_cast<int>(AccessRequest::SetValue) || !std::isfinite(value)) {
    return;
  }
  if (!Allowed(it->second.about.role, static_cast<AccessRequest>(request))) return;
  hooks_.post({EventKind::Access, id, request, value});
}

MirrorState DrawnControls::StateOf(const Entry& entry) const {
  const ControlDescription& about = entry.about;
  MirrorState state;
  state.name = Ask(about.name);
  state.description = Ask(about.description);
  if (about.role == AccessibleRole::CheckBox) {
    state.checked = about.checked && about.checked() ? 1 : 0;
  }
  if (about.role == AccessibleRole::Slider && about.range) {
    state.range = about.range();
    state.range->text = PageText(state.range->text);
  }
  return state;
}

void DrawFocusRing(std::span<std::uint32_t> pixels, PixelSize size) {
  const int w = size.width;
  const int h = size.height;
  if (w < 2 || h < 2 || pixels.size() < static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) {
    return;
  }
  // The border walked clockwise from the top left corner, which is reached again at the end: the
  // pen's last dot there is the one that shows.
  const int perimeter = 2 * (w - 1) + 2 * (h - 1);
  for (int p = 0; p <= perimeter; ++p) {
    int x = 0;
    int y = 0;
    if (p < w - 1) {
      x = p;
    } else if (p < w - 1 + h - 1) {
      x = w - 1;
      y = p - (w - 1);
    } else if (p < 2 * (w - 1) + h - 1) {
      x = w - 1 - (p - (w - 1 + h - 1));
      y = h - 1;
    } else {
      y = h - 1 - (p - (2 * (w - 1) + h - 1));
    }
    pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
           static_cast<std::size_t>(x)] = p % kRingDotPeriod == 1 ? kRingWhite : kRingBlack;
  }
}

}  // namespace funzioni::web
