// The dialog in the browser: drawn surfaces composed onto the page's canvas, the stock controls
// as page elements, and the page's input turned into the same events, in the same order, as the
// desktop window gives.

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "CanvasPixels.h"
#include "PageAccess.h"
#include "PageBridge.h"
#include "PageEditor.h"
#include "PageShared.h"
#include "PageText.h"
#include "drawing/DialogControls.h"
#include "drawing/DialogCore.h"
#include "drawing/DialogServices.h"
#include "drawing/EventDelivery.h"
#include "drawing/EventGate.h"
#include "drawing/TextRenderer.h"

#ifdef __EMSCRIPTEN__
// clang-format off
EM_JS(int, funzioni_js_page_hidden, (), {
  return typeof document === 'object' && document.hidden ? 1 : 0;
});
// clang-format on
#else
static int funzioni_js_page_hidden() {
  return 0;  // the host tests' page is always shown
}
#endif

namespace funzioni {

namespace {

constexpr int kLeftButton = 0;
constexpr int kRightButton = 2;
constexpr int kLeftHeld = 1;
constexpr int kRightHeld = 2;
// A timer faster than this means work under way (a wake due, an event held back): the page is
// not idle while one runs.
constexpr int kWorkTimerBelowMs = 50;

bool Contains(const PixelRect& r, PixelPoint p) {
  return p.x >= r.x && p.y >= r.y && p.x < r.x + r.width && p.y < r.y + r.height;
}

PixelRect Intersect(const PixelRect& a, const PixelRect& b) {
  const int left = std::max(a.x, b.x);
  const int top = std::max(a.y, b.y);
  const int right = std::min(a.x + a.width, b.x + b.width);
  const int bottom = std::min(a.y + a.height, b.y + b.height);
  if (right <= left || bottom <= top) return {};
  return {left, top, right - left, bottom - top};
}

struct Control : detail::ControlRecord {
  PixelRect rect;
  std::vector<std::uint32_t> shown;  // the surface's picture at its last redraw, canvas order
  bool ringShown = false;            // `shown` has the focus ring over its border
  std::vector<std::string> lines;    // a list's lines, as given
  int selected = -1;                 // a list's selected line
};

// The dialog as the page shows it (Dialog::Impl). Named apart so that the page's own services
// reach its drawn controls (DrawnControlsOf).
struct PageDialog : detail::DialogCore, web::PageInput {
  PageDialog(int width, int height)
      : size{std::max(width, 1), std::max(height, 1)},
        drawn({.post = [this](const DialogEvent& event) { Post(event); },
               .reshow = [this](int id) { ShowSurface(id); },
               .place = [this](int id) { return PlaceOf(id); }}) {}

  PixelSize size;
  detail::ControlTable<Control> controls;
  std::vector<int> order;     // identifiers in the order the controls were added: later ones on top
  std::map<int, int> timers;  // timer identifier -> scheduled call
  std::set<int> busyControls;
  PixelPoint pointer{0, 0};
  int buttons = 0;
  int hovered = 0;
  bool painted = false;
  struct WaitingShow {
    int id = 0;
    bool whole = false;  // the whole picture, not only what changed
  };
  std::vector<WaitingShow> waitingShows;  // in the order they were asked for
  web::PageEditor editor;
  web::DrawnControls drawn;

  detail::ControlRecords& Controls() override { return controls; }
  const detail::ControlRecords& Controls() const override { return controls; }

  Control* Find(int id) { return controls.Find(id); }
  const Control* Find(int id) const { return controls.Find(id); }
  Control* List(int id) { return controls.Find(id, ControlKind::TextList); }
  const Control* List(int id) const { return controls.Find(id, ControlKind::TextList); }

  // The topmost control under a point of the client area; 0 (the face) when none.
  int ControlAt(PixelPoint p) const {
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
      const Control* c = Find(*it);
      if (c != nullptr && Contains(c->rect, p)) return *it;
    }
    return 0;
  }

  // While the page's editor is open the handler is held, as while a program is waited for: the
  // editor covers the window, and the timer's ticks are missed.
  void Deliver(EventKind kind, int id = 0, int code = 0) override {
    if (editor.IsOpen() && kind != EventKind::Destroy) return;
    delivery.Deliver(kind, id, code);
  }

  web::PageEditor& Editor() override { return editor; }
  web::DrawnControls& Drawn() override { return drawn; }

  void Post(const DialogEvent& event) {
    if (finished || editor.IsOpen()) return;
    delivery.DeliverWhole(event);
  }

  // The page's elements follow the order the controls were added in.
  web::MirrorPlace PlaceOf(int id) const {
    web::MirrorPlace place;
    auto it = std::find(order.begin(), order.end(), id);
    if (it == order.end()) return place;
    place.rect = Find(id)->rect;
    place.position = static_cast<int>(it - order.begin());
    for (++it; it != order.end() && place.beforeStock == 0; ++it) {
      if (Find(*it)->kind != ControlKind::Surface) place.beforeStock = *it;
    }
    return place;
  }

  // A surface's new picture goes to the canvas once the program's call under way is done, with
  // the calls it asked for as soon as it ended: at a drag step the plot's worker is handed its
  // work before the canvas is written, and a surface redrawn twice meanwhile is shown once. Only
  // the shown dialog waits (the page asks the shown one).
  void ShowSurface(int id, bool whole = false) {
    if (web::ShownDialog() != this) {
      ShowSurfaceNow(id, whole);
      return;
    }
    auto it = std::find_if(waitingShows.begin(), waitingShows.end(),
                           [id](const WaitingShow& w) { return w.id == id; });
    if (it != waitingShows.end()) {
      it->whole = it->whole || whole;
      return;
    }
    waitingShows.push_back({id, whole});
    if (waitingShows.size() == 1) web::ShowSoon();
  }

  void ShowWaiting() override {
    // Taken first: a picture shown may ask for others (a ring's reshow), which wait again.
    const std::vector<WaitingShow> now = std::exchange(waitingShows, {});
    for (const WaitingShow& w : now) ShowSurfaceNow(w.id, w.whole);
  }

  // Shows a surface's new picture, with the surfaces above it where they overlap. Only the part
  // that changed since it was last shown goes to the canvas again (all of it when `whole`, as
  // after the face was painted over everything).
  void ShowSurfaceNow(int id, bool whole) {
    Control* found = Find(id);
    if (found == nullptr || !found->surface) return;
    Control& c = *found;
    const PixelSize s = c.surface->GetSurfaceSize();
    if (s.width <= 0 || s.height <= 0) return;
    // The ring is the window's, over the picture: never drawn into the surface. While it stays,
    // the border it covers is left as shown.
    const bool ringed = drawn.Ringed(id);
    PixelRect changed =
        web::UpdateCanvasPixels(c.surface->ScreenPixels(), s, c.shown, ringed && c.ringShown);
    if (whole || ringed != c.ringShown) changed = {0, 0, s.width, s.height};
    if (ringed) web::DrawFocusRing(c.shown, s);
    c.ringShown = ringed;
    const PixelRect onCanvas{c.rect.x + changed.x, c.rect.y + changed.y, changed.width,
                             changed.height};
    web::Blit(c.shown.data(), s, {c.rect.x, c.rect.y}, changed);
    auto above = std::find(order.begin(), order.end(), id);
    for (++above; above != order.end() && changed.width > 0; ++above) {
      const Control& other = *Find(*above);
      if (!other.surface || other.shown.empty()) continue;
      const PixelSize os = other.surface->GetSurfaceSize();
      const PixelRect overlap =
          Intersect(onCanvas, {other.rect.x, other.rect.y, os.width, os.height});
      if (overlap.width == 0) continue;
      web::Blit(
          other.shown.data(), os, {other.rect.x, other.rect.y},
          {overlap.x - other.rect.x, overlap.y - other.rect.y, overlap.width, overlap.height});
    }
    drawn.Refresh(id);
  }

  void OnPointer(const web::PointerInput& input) override {
    if (finished) return;
    pointer = input.position;
    buttons = input.buttons;
    if (!Contains({0, 0, size.width, size.height}, pointer)) return;
    const int id = ControlAt(pointer);
    UpdateCursor(id);
    Deliver(EventKind::PointerShape, id, input.held);
    Control* control = Find(id);
    if (control == nullptr) return;
    const bool press = input.action == web::PointerAction::Press;
    const bool doubleClick = press && input.clicks >= 2 && input.clicks % 2 == 0;
    if (control->kind == ControlKind::TextList) {
      // A right press on a text list is only reported: the selection stays.
      if (press && input.button == kLeftButton && input.line >= 0 &&
          input.line < static_cast<int>(control->lines.size())) {
        SelectLine(*control, id, input.line);
        web::Focus(id);
        if (doubleClick) Deliver(EventKind::Command, id, kNotifyListDoubleClick);
      }
    } else if (control->kind == ControlKind::Surface && id > 0 && input.button == kLeftButton &&
               press) {
      Deliver(EventKind::Command, id, doubleClick ? kNotifyDoubleClicked : kNotifyClicked);
    }
    if (input.action == web::PointerAction::Release && input.button == kRightButton) {
      Deliver(EventKind::ContextMenu, id);
    }
  }

  void OnButtons(int held) override { buttons = held; }

  // As the desktop's wheel: reported over the control under the pointer, then left to the page
  // (a list under it still scrolls).
  bool OnWheel(const web::WheelInput& input) override {
    if (finished || !Contains({0, 0, size.width, size.height}, input.position)) return false;
    pointer = input.position;
    const int id = ControlAt(pointer);
    const Control* control = Find(id);
    Post({EventKind::Wheel, id, input.held, input.amount});
    return control != nullptr && control->kind == ControlKind::Surface;
  }

  void OnCommandKey(int command, int code) override {
    if (finished) return;
    Deliver(EventKind::Command, command, code);
  }

  void OnListChoice(int id, int index) override {
    Control* list = List(id);
    if (list != nullptr && index >= 0 && index < static_cast<int>(list->lines.size())) {
      SelectLine(*list, id, index);
    }
  }

  int PageState() const override {
    const bool idle =
        painted && !delivery.Busy() && !web::PageScheduler().HasFastCall(kWorkTimerBelowMs);
    return (painted ? web::kPagePainted : 0) | (idle ? web::kPageIdle : 0) |
           (ended ? web::kPageEnded : 0);
  }

  void SelectLine(Control& list, int id, int index) {
    list.selected = index;
    web::ListSelect(id, index);
  }

  void UpdateCursor(int id) {
    if (id == hovered) return;
    hovered = id;
    web::SetBusyCursor(busyControls.count(id) != 0);
  }

  void Finish() {
    if (finished) return;
    ShowWaiting();
    finished = true;
    delivery.Stop();
    Deliver(EventKind::Destroy);
    for (const auto& entry : timers) web::PageScheduler().Cancel(entry.second);
    timers.clear();
    web::ShowEnded();
  }

  void OnEnded() override { Finish(); }
};

}  // namespace

struct Dialog::Impl final : PageDialog {
  using PageDialog::PageDialog;
};

web::DrawnControls& web::DrawnControlsOf(Dialog& dialog) {
  return static_cast<PageDialog&>(dialog.Core()).drawn;
}

Dialog::Dialog(std::string_view title, int /*x*/, int /*y*/, int width, int height,
               bool /*centred*/)
    : impl_(std::make_unique<Impl>(width, height)), core_(impl_.get()) {
  web::SetClientSize({width, height});
  web::SetTitle(web::PageText(title));
}

Dialog::~Dialog() {
  Impl& d = *impl_;
  d.delivery.SetHandler(nullptr);
  if (d.initialised) d.Finish();
  for (const auto& entry : d.timers) web::PageScheduler().Cancel(entry.second);
  web::PageScheduler().CancelOwned(&d.delivery);
  if (web::ShownDialog() == &d) web::ShownDialog() = nullptr;
}

void Dialog::SetFaceColor(Color color) {
  web::SetFace(impl_->controls.SetFace(color));
  // The face was painted over the whole canvas: the surfaces show again on it.
  for (const int id : impl_->order) {
    if (impl_->Find(id)->surface) impl_->ShowSurface(id, true);
  }
}

void Dialog::SetTextColor(Color /*color*/) {
  // The stock controls keep the page's own colours, as they keep the desktop's.
}

void Dialog::AddControl(ControlKind kind, int id, std::string_view text, int x, int y, int width,
                        int height, int /*style*/) {
  Impl& d = *impl_;
  if (!d.controls.Takes(id)) return;
  Control control;
  control.kind = kind;
  control.text = std::string(text);
  control.rect = {x, y, std::max(width, 0), std::max(height, 0)};
  if (kind == ControlKind::TextList) web::AddTextList(id, control.rect);
  if (kind == ControlKind::TextBox) web::AddTextBox(id, control.rect, web::PageText(text));
  if (kind == ControlKind::Surface) {
    control.surface = d.controls.NewSurface(width, height);
    control.surface->SetRedrawHook([&d, id] { d.ShowSurface(id); });
  }
  d.controls.Add(id, std::move(control));
  d.order.push_back(id);
  // A surface shows its blank picture at once, as a new window control does.
  if (kind == ControlKind::Surface) d.ShowSurface(id);
}

std::string Dialog::GetControlText(int id) const {
  const Control* control = impl_->Find(id);
  if (control == nullptr) return {};
  if (control->kind == ControlKind::TextBox) return web::BoxText(id);
  if (control->kind == ControlKind::Surface) return control->text;
  return {};
}

void Dialog::SetControlText(int id, std::string_view text) {
  Control* control = impl_->Find(id);
  if (control == nullptr) return;
  if (control->kind == ControlKind::TextBox) {
    web::SetBoxText(id, web::PageText(text));
  } else if (control->kind == ControlKind::Surface) {
    control->text = std::string(text);
  }
}

void Dialog::SetControlFocus(int id) {
  const Control* control = impl_->Find(id);
  if (control == nullptr) return;
  // A surface takes the focus only in the keyboard order.
  if (control->kind == ControlKind::Surface) {
    impl_->drawn.Focus(id);
    return;
  }
  web::Focus(id);
}

int Dialog::FocusedControl() const {
  const int stock = web::FocusedControl();
  return stock != 0 ? stock : impl_->drawn.Focused();
}

PixelRect Dialog::GetControlRect(int id) const {
  const Control* control = impl_->Find(id);
  return control == nullptr ? PixelRect{} : control->rect;
}

void Dialog::ListReset(int id) {
  Control* list = impl_->List(id);
  if (list == nullptr) return;
  list->lines.clear();
  list->selected = -1;
  web::ListReset(id);
}

namespace {

// A line far wider than the list is shown by its beginning only: the list cuts it at its width
// all the same. The whole line is kept for reading it back.
constexpr std::size_t kShownPrefix = 2048;

std::string ShownPart(const std::string& utf8) {
  if (utf8.size() <= kShownPrefix) return utf8;
  std::size_t cut = kShownPrefix;
  while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) --cut;
  return utf8.substr(0, cut);
}

}  // namespace

void Dialog::ListAdd(int id, std::string_view text) {
  Control* list = impl_->List(id);
  if (list == nullptr) return;
  list->lines.push_back(web::PageText(text));
  web::ListAdd(id, ShownPart(list->lines.back()));
}

void Dialog::ListSelect(int id, int lineFromOne) {
  Control* list = impl_->List(id);
  if (list == nullptr) return;
  const bool inside = lineFromOne >= 1 && lineFromOne <= static_cast<int>(list->lines.size());
  impl_->SelectLine(*list, id, inside ? lineFromOne - 1 : -1);
}

std::string Dialog::ListGetSelected(int id) const {
  const Control* list = impl_->List(id);
  if (list == nullptr || list->selected < 0) return {};
  return list->lines[static_cast<std::size_t>(list->selected)];
}

int Dialog::ListCount(int id) const {
  const Control* list = impl_->List(id);
  return list == nullptr ? 0 : static_cast<int>(list->lines.size());
}

std::string Dialog::ListLine(int id, int lineFromOne) const {
  const Control* list = impl_->List(id);
  if (list == nullptr || lineFromOne < 1 || lineFromOne > static_cast<int>(list->lines.size())) {
    return {};
  }
  return list->lines[static_cast<std::size_t>(lineFromOne - 1)];
}

void Dialog::SetControlFont(int id, std::string_view faceName, int heightPixels,
                            std::string_view styleWord) {
  const Control* control = impl_->Find(id);
  if (control == nullptr || control->kind == ControlKind::Surface) return;
  // A positive height is the whole character cell (the page finds the largest font whose cell
  // fits), a negative one the font's pixel size.
  web::SetFont(id, TextRenderer::ResolveFamily(faceName), heightPixels,
               detail::IsBoldStyle(styleWord));
}

PixelPoint Dialog::GetPointerPosition() const {
  return impl_->pointer;
}

bool Dialog::IsMouseButtonDown(MouseButton button) const {
  return (impl_->buttons & (button == MouseButton::Left ? kLeftHeld : kRightHeld)) != 0;
}

void Dialog::StartTimer(int timerId, int periodMs) {
  Impl& d = *impl_;
  StopTimer(timerId);
  const int period = std::max(periodMs, 1);
  auto tick = [&d, timerId] { d.Deliver(EventKind::Timer, timerId); };
  // A timer of no period is work wanted at once (a redraw): its first tick comes as soon as the
  // task under way has ended, as the desktop's comes once the events already queued are handled.
  d.timers[timerId] = periodMs <= 0 ? web::PageScheduler().StartSoon(&d.timers, period, tick)
                                    : web::PageScheduler().Start(&d.timers, period, period, tick);
}

void Dialog::StopTimer(int timerId) {
  auto it = impl_->timers.find(timerId);
  if (it == impl_->timers.end()) return;
  web::PageScheduler().Cancel(it->second);
  impl_->timers.erase(it);
}

void Dialog::SetBusyPointer(int id, bool busy) {
  Impl& d = *impl_;
  if (d.Find(id) == nullptr) return;
  if (busy) {
    d.busyControls.insert(id);
  } else {
    d.busyControls.erase(id);
  }
  if (id == d.hovered) web::SetBusyCursor(busy);
}

void Dialog::PauseThen(int milliseconds, std::function<void()> then) {
  // A hidden page shows no frames, and its browser runs its timeouts seldom: it waits in place.
  if (funzioni_js_page_hidden() != 0) {
    PauseMilliseconds(milliseconds);
    if (then) then();
    return;
  }
  Impl& d = *impl_;
  // The hold lives as long as the call scheduled: until `then` has run, or the dialog has gone.
  auto hold = std::make_shared<detail::HandlerGate::Hold>(&d.delivery.Gate());
  web::PageScheduler().Start(&d.delivery, std::max(milliseconds, 0), 0,
                             [hold = std::move(hold), then = std::move(then)] {
                               if (then) then();
                             });
}

void Dialog::RunThen(std::string_view commandLine, std::function<void(bool started)> ended) {
  Impl& d = *impl_;
  const std::optional<std::string> file = web::PageEditor::FileOfCommand(commandLine);
  if (!file || d.editor.IsOpen() || d.finished) {
    if (ended) ended(RunAndWait(commandLine));
    return;
  }
  d.editor.Start(*file, [ended = std::move(ended)] {
    if (ended) ended(true);
  });
}

void Dialog::SetEventHandler(std::function<void(const DialogEvent&)> handler) {
  Impl& d = *impl_;
  if (!handler) {
    d.delivery.SetHandler(nullptr);
    return;
  }
  // The page is ready once the first paint has been handled (the opening picture is drawn
  // there).
  d.delivery.SetHandler([&d, handler = std::move(handler)](const DialogEvent& event) {
    handler(event);
    if (event.kind == EventKind::Paint) d.painted = true;
  });
}

void Dialog::SetControlDescription(int id, std::string_view text) {
  if (impl_->Find(id) != nullptr) web::SetDescription(id, web::PageText(text));
}

int Dialog::RunModal() {
  Impl& d = *impl_;
  Show();
#ifdef __EMSCRIPTEN__
  if (!d.ended) {
    // The page runs on after main: its events drive the dialog, which (like everything main
    // made) stays alive.
    emscripten_exit_with_live_runtime();
  }
#endif
  d.Finish();
  return d.result;
}

void Dialog::Show() {
  Impl& d = *impl_;
  // Pictures still waiting in the dialog shown until now are not left behind.
  if (web::ShownDialog() != nullptr && web::ShownDialog() != &d) web::ShownDialog()->ShowWaiting();
  web::ShownDialog() = &d;
  if (!d.waitingShows.empty()) web::ShowSoon();
  if (!d.initialised) {
    d.initialised = true;
    d.Deliver(EventKind::Initialise);
    if (d.ended) return;
  }
  web::Show();
  d.delivery.QueuePaint();
}

void Dialog::PostEvent(const DialogEvent& event) {
  impl_->Post(event);
}

}  // namespace funzioni
