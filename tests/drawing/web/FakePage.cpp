#include "FakePage.h"

#include <algorithm>

#include "drawing/EventGate.h"
#include "drawing/PlatformServices.h"
#include "drawing/TextRenderer.h"
#include "drawing/web/PageAccess.h"
#include "drawing/web/PageBridge.h"
#include "drawing/web/PageShared.h"

namespace funzioni::web {

namespace testing {

FakePage& Page() {
  static FakePage page;
  return page;
}

void ResetPage() {
  const std::map<int, int> pending = Page().timeouts;
  for (const auto& entry : pending) PageScheduler().Cancel(entry.first);
  Page() = FakePage{};
}

void FireTimeouts() {
  const std::map<int, int> due = Page().timeouts;
  for (const auto& entry : due) {
    if (Page().timeouts.erase(entry.first) != 0) PageScheduler().Run(entry.first);
  }
}

}  // namespace testing

using testing::Page;

PageContext& ThePage() {
  static PageContext page;
  return page;
}

void ScheduleTimeout(int number, int delayMs) {
  Page().timeouts[number] = delayMs;
}
void CancelTimeout(int number) {
  Page().timeouts.erase(number);
}
void SetClientSize(PixelSize size) {
  Page().canvasSize = size;
  Page().canvas.assign(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height),
                       0);
}
void SetTitle(std::string_view) {}
void SetFace(Color) {
  std::fill(Page().canvas.begin(), Page().canvas.end(), testing::kFaceWord);
}
void AddTextList(int, PixelRect) {}
void AddTextBox(int id, PixelRect, std::string_view utf8) {
  Page().boxTexts[id] = std::string(utf8);
}
void Blit(const std::uint32_t* rgba, PixelSize size, PixelPoint at, PixelRect part) {
  ++Page().blits;
  const PixelSize canvas = Page().canvasSize;
  for (int y = part.y; y < part.y + part.height; ++y) {
    for (int x = part.x; x < part.x + part.width; ++x) {
      const int cx = at.x + x;
      const int cy = at.y + y;
      if (cx < 0 || cy < 0 || cx >= canvas.width || cy >= canvas.height) continue;
      Page().canvas[static_cast<std::size_t>(cy * canvas.width + cx)] = rgba[y * size.width + x];
      ++Page().blitPixels;
    }
  }
}
void ShowSoon() {
  ++Page().showsAsked;
  if (!Page().holdShows && ThePage().shown != nullptr) ThePage().shown->ShowWaiting();
}
void ListReset(int id) {
  Page().selected.erase(id);
}
void ListAdd(int, std::string_view) {}
void ListSelect(int id, int index) {
  Page().selected[id] = index;
}
std::string BoxText(int id) {
  return Page().boxTexts[id];
}
void SetBoxText(int id, std::string_view utf8) {
  Page().boxTexts[id] = std::string(utf8);
}
void Focus(int id) {
  Page().focused = id;
}
int FocusedControl() {
  return Page().focused;
}
void SetFont(int, std::string_view, int, bool) {}
void SetBusyCursor(bool) {}
void SetDescription(int, std::string_view) {}
void SetAccessibleName(int, std::string_view) {}
void Show() {
  Page().shown = true;
}
void ShowEnded() {
  Page().ended = true;
}
void OpenEditor(std::string_view fileName, std::string_view utf8) {
  Page().editorName = std::string(fileName);
  Page().editorText = std::string(utf8);
}
void SetEditorText(std::string_view utf8) {
  Page().editorText = std::string(utf8);
}
void CloseEditor() {
  Page().editorName.clear();
}
void DownloadBytes(std::string_view bytes, std::string_view fileName) {
  Page().downloads.push_back(std::string(fileName) + ":" + std::string(bytes));
}
std::string PageOwnText(std::string_view italian) {
  return std::string(italian);
}
void AddMirror(int id, AccessibleRole, const MirrorPlace& place) {
  Page().mirrors[id] = {place.position, place.beforeStock};
}
void UpdateMirror(int id, const MirrorState& state) {
  Page().mirrorStates[id] = state;
}
void RefreshMirrorsLater() {
  ++Page().mirrorRefreshesAsked;
  if (!Page().holdMirrorRefresh && ThePage().shown != nullptr)
    ThePage().shown->Drawn().RefreshStale();
}
void SetMirrorOrder(std::span<const int> ids) {
  Page().mirrorOrder.assign(ids.begin(), ids.end());
}
void RemoveMirrors() {
  Page().mirrors.clear();
}
void FocusMirror(int id) {
  Page().focusedMirror = id;
}
int FocusedMirror() {
  return Page().focusedMirror;
}

}  // namespace funzioni::web

namespace funzioni {

namespace detail {

void PauseHolding(HandlerGate* gate, int) {
  const HandlerGate::Hold hold(gate);
  if (web::testing::Page().duringPause) web::testing::Page().duringPause();
}

bool RunAndWaitHolding(HandlerGate*, std::string_view) {
  return false;
}

}  // namespace detail

RandomSource::RandomSource() : engine_(1) {}
double RandomSource::RandomUnit() {
  return 0.5;
}

// The tests draw no text.
struct FontEntry {};
const FontEntry* TextRenderer::SurfaceFont(std::string_view, int, int) {
  return nullptr;
}
PixelSize TextRenderer::CharSize(const FontEntry*) {
  return {};
}
PixelSize TextRenderer::Measure(const FontEntry*, std::string_view) {
  return {};
}
void TextRenderer::Draw(const FontEntry*, std::string_view, int, int, std::uint32_t, std::uint32_t*,
                        int, int) {}

}  // namespace funzioni
