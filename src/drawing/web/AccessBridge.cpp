// The drawn controls' mirrors: the program's side of web/access.js.

#include <emscripten.h>

#include <string>

#include "PageAccess.h"
#include "PageBridge.h"

// clang-format off
EM_JS(void, funzioni_js_add_mirror, (int id, int role, int position, int beforeStock, int x,
                                     int y, int w, int h), {
  FunzioniAccess.add(id, role, position, beforeStock, x, y, w, h);
});
EM_JS(void, funzioni_js_update_mirror, (int id, const char* name, const char* description,
                                        int checked, int ranged, double value, double minimum,
                                        double maximum, double step, const char* text), {
  FunzioniAccess.update(id, UTF8ToString(name), UTF8ToString(description), checked,
                        ranged !== 0 ? {value: value, minimum: minimum, maximum: maximum,
                                        step: step, text: UTF8ToString(text)} : null);
});
EM_JS(void, funzioni_js_refresh_mirrors_later, (), { FunzioniAccess.refreshLater(); });
EM_JS(void, funzioni_js_mirror_order, (const int* ids, int count), {
  FunzioniAccess.setOrder(Array.from(HEAP32.subarray(ids >> 2, (ids >> 2) + count)));
});
EM_JS(void, funzioni_js_remove_mirrors, (), { FunzioniAccess.removeAll(); });
EM_JS(void, funzioni_js_focus_mirror, (int id), { FunzioniAccess.focus(id); });
EM_JS(int, funzioni_js_focused_mirror, (), { return FunzioniAccess.focused(); });
// clang-format on

namespace funzioni::web {

void AddMirror(int id, AccessibleRole role, const MirrorPlace& place) {
  const PixelRect& r = place.rect;
  funzioni_js_add_mirror(id, static_cast<int>(role), place.position, place.beforeStock, r.x, r.y,
                         r.width, r.height);
}

void UpdateMirror(int id, const MirrorState& state) {
  const AccessibleRange range = state.range.value_or(AccessibleRange{});
  funzioni_js_update_mirror(id, state.name.c_str(), state.description.c_str(), state.checked,
                            state.range ? 1 : 0, range.value, range.minimum, range.maximum,
                            range.step, range.text.c_str());
}

void RefreshMirrorsLater() {
  funzioni_js_refresh_mirrors_later();
}

void SetMirrorOrder(std::span<const int> ids) {
  funzioni_js_mirror_order(ids.data(), static_cast<int>(ids.size()));
}

void RemoveMirrors() {
  funzioni_js_remove_mirrors();
}

void FocusMirror(int id) {
  funzioni_js_focus_mirror(id);
}

int FocusedMirror() {
  return funzioni_js_focused_mirror();
}

}  // namespace funzioni::web

extern "C" {

// The mirrors of the drawn controls shown anew take what changed.
EMSCRIPTEN_KEEPALIVE void funzioni_page_mirrors_refresh() {
  if (funzioni::web::PageInput* dialog = funzioni::web::ShownDialog()) {
    dialog->Drawn().RefreshStale();
  }
}

// The focus ring goes to drawn control id (0: none shows it).
EMSCRIPTEN_KEEPALIVE void funzioni_page_ring(int id) {
  if (funzioni::web::PageInput* dialog = funzioni::web::ShownDialog()) {
    dialog->Drawn().ShowRingOn(id);
  }
}

// A key (a ControlKey) on a drawn control's mirror with the focus.
EMSCRIPTEN_KEEPALIVE void funzioni_page_control_key(int id, int key) {
  if (funzioni::web::PageInput* dialog = funzioni::web::ShownDialog()) {
    dialog->Drawn().OnKey(id, key);
  }
}

// What a screen reader asked of a drawn control's mirror (an AccessRequest, with its value).
EMSCRIPTEN_KEEPALIVE void funzioni_page_control_request(int id, int request, double value) {
  if (funzioni::web::PageInput* dialog = funzioni::web::ShownDialog()) {
    dialog->Drawn().OnRequest(id, request, value);
  }
}

}  // extern "C"
