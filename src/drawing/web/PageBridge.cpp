#include "PageBridge.h"

#include "PageEditor.h"

#include <emscripten.h>

#include <string>

// The script's functions (web/page.js defines FunzioniPage before the program starts).
// clang-format off
EM_JS(void, funzioni_js_schedule, (int number, int delay), {
  FunzioniPage.schedule(number, delay);
});
EM_JS(void, funzioni_js_unschedule, (int number), { FunzioniPage.unschedule(number); });
EM_JS(void, funzioni_js_title, (const char* text), { FunzioniPage.setTitle(UTF8ToString(text)); });
EM_JS(void, funzioni_js_face, (int r, int g, int b), { FunzioniPage.setFace(r, g, b); });
EM_JS(void, funzioni_js_add_list, (int id, int x, int y, int w, int h), {
  FunzioniPage.addList(id, x, y, w, h);
});
EM_JS(void, funzioni_js_add_box, (int id, int x, int y, int w, int h, const char* text), {
  FunzioniPage.addBox(id, x, y, w, h, UTF8ToString(text));
});
EM_JS(void, funzioni_js_blit, (const void* rgba, int w, int h, int x, int y, int px, int py,
                               int pw, int ph), {
  FunzioniPage.blit(rgba, w, h, x, y, px, py, pw, ph);
});
EM_JS(void, funzioni_js_show_soon, (), { FunzioniPage.showSoon(); });
EM_JS(void, funzioni_js_list_reset, (int id), { FunzioniPage.listReset(id); });
EM_JS(void, funzioni_js_list_add, (int id, const char* text), {
  FunzioniPage.listAdd(id, UTF8ToString(text));
});
EM_JS(void, funzioni_js_list_select, (int id, int index), { FunzioniPage.listSelect(id, index); });
EM_JS(int, funzioni_js_box_text_size, (int id), {
  return lengthBytesUTF8(FunzioniPage.boxText(id));
});
EM_JS(void, funzioni_js_box_text, (int id, char* out, int size), {
  stringToUTF8(FunzioniPage.boxText(id), out, size);
});
EM_JS(void, funzioni_js_set_box_text, (int id, const char* text), {
  FunzioniPage.setBoxText(id, UTF8ToString(text));
});
EM_JS(void, funzioni_js_focus, (int id), { FunzioniPage.focus(id); });
EM_JS(int, funzioni_js_focused, (), { return FunzioniPage.focused(); });
EM_JS(void, funzioni_js_font, (int id, const char* family, int pixels, int bold), {
  FunzioniPage.setFont(id, UTF8ToString(family), pixels, bold !== 0);
});
EM_JS(void, funzioni_js_busy_cursor, (int busy), { FunzioniPage.setBusyCursor(busy !== 0); });
EM_JS(void, funzioni_js_description, (int id, const char* text), {
  FunzioniPage.setDescription(id, UTF8ToString(text));
});
EM_JS(void, funzioni_js_name, (int id, const char* text), {
  FunzioniPage.setName(id, UTF8ToString(text));
});
EM_JS(void, funzioni_js_show, (), { FunzioniPage.show(); });
EM_JS(void, funzioni_js_ended, (), { FunzioniPage.showEnded(); });
// The editor's text by its size: a file's line may hold a byte 0, where UTF8ToString would stop.
EM_JS(void, funzioni_js_open_editor, (const char* name, const char* text, int size), {
  FunzioniPage.openEditor(UTF8ToString(name),
                          new TextDecoder().decode(HEAPU8.slice(text, text + size)));
});
EM_JS(void, funzioni_js_editor_text, (const char* text, int size), {
  FunzioniPage.setEditorText(new TextDecoder().decode(HEAPU8.slice(text, text + size)));
});
EM_JS(void, funzioni_js_close_editor, (), { FunzioniPage.closeEditor(); });
EM_JS(int, funzioni_js_page_text_size, (const char* italian), {
  return lengthBytesUTF8(FunzioniPage.text(UTF8ToString(italian)));
});
EM_JS(void, funzioni_js_page_text, (const char* italian, char* out, int size), {
  stringToUTF8(FunzioniPage.text(UTF8ToString(italian)), out, size);
});
EM_JS(void, funzioni_js_download, (const void* bytes, int size, const char* name), {
  FunzioniPage.downloadBytes(bytes, size, UTF8ToString(name));
});
// clang-format on

namespace funzioni::web {

void ScheduleTimeout(int number, int delayMs) {
  funzioni_js_schedule(number, delayMs);
}

void CancelTimeout(int number) {
  funzioni_js_unschedule(number);
}

PageContext& ThePage() {
  // The page has one script and one program: its exports need one place to find what it keeps.
  static PageContext page;
  return page;
}

void SetTitle(std::string_view utf8) {
  funzioni_js_title(std::string(utf8).c_str());
}

void SetFace(Color color) {
  funzioni_js_face(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

void AddTextList(int id, PixelRect r) {
  funzioni_js_add_list(id, r.x, r.y, r.width, r.height);
}

void AddTextBox(int id, PixelRect r, std::string_view utf8) {
  funzioni_js_add_box(id, r.x, r.y, r.width, r.height, std::string(utf8).c_str());
}

void Blit(const std::uint32_t* rgba, PixelSize size, PixelPoint at, PixelRect part) {
  funzioni_js_blit(rgba, size.width, size.height, at.x, at.y, part.x, part.y, part.width,
                   part.height);
}

void ShowSoon() {
  funzioni_js_show_soon();
}

void ListReset(int id) {
  funzioni_js_list_reset(id);
}

void ListAdd(int id, std::string_view utf8) {
  funzioni_js_list_add(id, std::string(utf8).c_str());
}

void ListSelect(int id, int index) {
  funzioni_js_list_select(id, index);
}

std::string BoxText(int id) {
  const int size = funzioni_js_box_text_size(id);
  std::string text(static_cast<std::size_t>(size) + 1, '\0');
  funzioni_js_box_text(id, text.data(), size + 1);
  text.resize(static_cast<std::size_t>(size));
  return text;
}

void SetBoxText(int id, std::string_view utf8) {
  funzioni_js_set_box_text(id, std::string(utf8).c_str());
}

void Focus(int id) {
  funzioni_js_focus(id);
}

int FocusedControl() {
  return funzioni_js_focused();
}

void SetFont(int id, std::string_view family, int pixels, bool bold) {
  funzioni_js_font(id, std::string(family).c_str(), pixels, bold ? 1 : 0);
}

void SetBusyCursor(bool busy) {
  funzioni_js_busy_cursor(busy ? 1 : 0);
}

void SetDescription(int id, std::string_view utf8) {
  funzioni_js_description(id, std::string(utf8).c_str());
}

void SetAccessibleName(int id, std::string_view utf8) {
  funzioni_js_name(id, std::string(utf8).c_str());
}

void Show() {
  funzioni_js_show();
}

void ShowEnded() {
  funzioni_js_ended();
}

void OpenEditor(std::string_view fileName, std::string_view utf8) {
  funzioni_js_open_editor(std::string(fileName).c_str(), utf8.data(),
                          static_cast<int>(utf8.size()));
}

void SetEditorText(std::string_view utf8) {
  funzioni_js_editor_text(utf8.data(), static_cast<int>(utf8.size()));
}

void CloseEditor() {
  funzioni_js_close_editor();
}

void DownloadBytes(std::string_view bytes, std::string_view fileName) {
  funzioni_js_download(bytes.data(), static_cast<int>(bytes.size()), std::string(fileName).c_str());
}

std::string PageOwnText(std::string_view italian) {
  const std::string key(italian);
  const int size = funzioni_js_page_text_size(key.c_str());
  std::string text(static_cast<std::size_t>(size) + 1, '\0');
  funzioni_js_page_text(key.c_str(), text.data(), size + 1);
  text.resize(static_cast<std::size_t>(size));
  return text;
}

}  // namespace funzioni::web

extern "C" {

// The page's timeout for a scheduled call.
EMSCRIPTEN_KEEPALIVE void funzioni_page_call(int number) {
  funzioni::web::PageScheduler().Run(number);
}

// The pictures redrawn by the calls just ended go to the canvas.
EMSCRIPTEN_KEEPALIVE void funzioni_page_show_waiting() {
  if (funzioni::web::PageInput* dialog = funzioni::web::ShownDialog()) dialog->ShowWaiting();
}

// A mouse event over the client area (see PointerInput).
EMSCRIPTEN_KEEPALIVE void funzioni_page_pointer(int action, int x, int y, int button, int buttons,
                                                int clicks, int line, int held) {
  if (funzioni::web::PageInput* dialog = funzioni::web::ShownDialog()) {
    dialog->OnPointer({static_cast<funzioni::web::PointerAction>(action),
                       {x, y},
                       button,
                       buttons,
                       clicks,
                       line,
                       funzioni::web::PointerHeld(held)});
  }
}

// The wheel over the client area: notches, positive away from the user. 1 when the page is to
// keep the browser's own scrolling and zooming from it.
EMSCRIPTEN_KEEPALIVE int funzioni_page_wheel(int x, int y, int held, double notches) {
  funzioni::web::PageInput* dialog = funzioni::web::ShownDialog();
  const std::optional<funzioni::web::WheelInput> wheel =
      funzioni::web::WheelOf({x, y}, held, notches);
  if (dialog == nullptr || !wheel) return 0;
  return dialog->OnWheel(*wheel) ? 1 : 0;
}

// Two fingers pinched around (x, y): ratio is their distance after over before.
EMSCRIPTEN_KEEPALIVE void funzioni_page_pinch(int x, int y, double ratio) {
  funzioni::web::PageInput* dialog = funzioni::web::ShownDialog();
  const std::optional<funzioni::web::WheelInput> pinch = funzioni::web::PinchOf({x, y}, ratio);
  if (dialog != nullptr && pinch) dialog->OnWheel(*pinch);
}

EMSCRIPTEN_KEEPALIVE void funzioni_page_buttons(int buttons) {
  if (funzioni::web::PageInput* dialog = funzioni::web::ShownDialog()) dialog->OnButtons(buttons);
}

// withControl: Ctrl was held (only the keypad's + and - take it).
EMSCRIPTEN_KEEPALIVE void funzioni_page_command_key(int command, int withControl) {
  if (funzioni::web::PageInput* dialog = funzioni::web::ShownDialog()) {
    dialog->OnCommandKey(command, withControl != 0 ? funzioni::kKeyWithControl : 0);
  }
}

EMSCRIPTEN_KEEPALIVE void funzioni_page_list_choice(int id, int index) {
  if (funzioni::web::PageInput* dialog = funzioni::web::ShownDialog()) {
    dialog->OnListChoice(id, index);
  }
}

// The page's editor: its input buffer of `size` bytes, which the page fills before an action.
EMSCRIPTEN_KEEPALIVE char* funzioni_page_editor_input(int size) {
  funzioni::web::PageInput* dialog = funzioni::web::ShownDialog();
  if (dialog == nullptr || size < 0) return nullptr;
  return dialog->Editor().Input(static_cast<std::size_t>(size));
}

// One of the editor's buttons (an EditorAction); 0 when the file could not be written.
EMSCRIPTEN_KEEPALIVE int funzioni_page_editor_act(int action) {
  funzioni::web::PageInput* dialog = funzioni::web::ShownDialog();
  if (dialog == nullptr || action < 0 || action > 3) return 1;
  return dialog->Editor().Act(static_cast<funzioni::web::EditorAction>(action)) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int funzioni_page_state() {
  const funzioni::web::PageInput* dialog = funzioni::web::ShownDialog();
  return dialog == nullptr ? 0 : dialog->PageState();
}

}  // extern "C"
