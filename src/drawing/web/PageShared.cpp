#include "PageShared.h"

#include <emscripten.h>

#include <cerrno>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "PageBridge.h"
#include "PageEditor.h"
#include "drawing/Accessibility.h"
#include "drawing/DialogServices.h"

// clang-format off
EM_JS(void, funzioni_js_client_size, (int width, int height), {
  FunzioniPage.setClientSize(width, height);
});
// clang-format on

namespace funzioni::web {

namespace {

// A JSON object of the given members, each "name": value with the value's text as it is given.
class JsonObject {
 public:
  JsonObject& Add(std::string_view name, std::string_view valueText) {
    text_ += text_.size() > 1 ? ",\"" : "\"";
    text_ += name;
    text_ += "\":";
    text_ += valueText;
    return *this;
  }
  JsonObject& Add(std::string_view name, int value) { return Add(name, std::to_string(value)); }
  std::string Text() const { return text_ + "}"; }

 private:
  std::string text_ = "{";
};

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

template <typename Enum>
std::string Codes(std::initializer_list<std::pair<std::string_view, Enum>> members) {
  JsonObject object;
  for (const auto& [name, value] : members) object.Add(name, static_cast<int>(value));
  return object.Text();
}

// The page element's role for each AccessibleRole, by the role's number.
std::string_view PageRole(AccessibleRole role) {
  switch (role) {
    case AccessibleRole::Slider:
      return "slider";
    case AccessibleRole::CheckBox:
      return "checkbox";
    case AccessibleRole::Button:
      return "button";
    case AccessibleRole::StaticText:
      return "text";
    case AccessibleRole::Graphic:
      return "graphic";
  }
  return "text";
}

std::string Roles() {
  std::string list = "[";
  for (int role = 0; role <= static_cast<int>(AccessibleRole::Graphic); ++role) {
    if (role > 0) list += ",";
    list += Quoted(PageRole(static_cast<AccessibleRole>(role)));
  }
  return list + "]";
}

std::string Fonts() {
  JsonObject families;
  for (const FontExtents& font : kPageFonts) {
    families.Add(font.family,
                 JsonObject().Add("ascent", font.ascent).Add("descent", font.descent).Text());
  }
  const std::string print =
      JsonObject().Add("family", Quoted(kPrintFamily)).Add("lineGap", kPrintLineGap).Text();
  return JsonObject()
      .Add("unitsPerEm", kFontUnitsPerEm)
      .Add("families", families.Text())
      .Add("print", print)
      .Text();
}

}  // namespace

std::string PageSharedJson() {
  const std::string commands = JsonObject()
                                   .Add("ok", kCommandOk)
                                   .Add("cancel", kCommandCancel)
                                   .Add("keypadPlus", kCommandKeypadPlus)
                                   .Add("keypadMinus", kCommandKeypadMinus)
                                   .Text();
  const std::string pageState = JsonObject()
                                    .Add("painted", kPagePainted)
                                    .Add("idle", kPageIdle)
                                    .Add("ended", kPageEnded)
                                    .Text();
  // The keys and buttons held with the pointer or the wheel, and a Ctrl on a key's code.
  const std::string held = JsonObject()
                               .Add("shift", kHeldShift)
                               .Add("control", kHeldControl)
                               .Add("middle", kHeldMiddle)
                               .Add("keyWithControl", kKeyWithControl)
                               .Text();
  const std::string background =
      JsonObject().Add("failed", kBackgroundFailed).Add("unusable", kBackgroundUnusable).Text();
  // The browser's names of the keys a drawn control takes.
  const std::string keys = Codes<ControlKey>({{"ArrowLeft", ControlKey::Left},
                                              {"ArrowRight", ControlKey::Right},
                                              {"ArrowUp", ControlKey::Up},
                                              {"ArrowDown", ControlKey::Down},
                                              {"PageUp", ControlKey::PageUp},
                                              {"PageDown", ControlKey::PageDown},
                                              {"Home", ControlKey::Home},
                                              {"End", ControlKey::End},
                                              {" ", ControlKey::Space}});
  return JsonObject()
      .Add("commands", commands)
      .Add("pageState", pageState)
      .Add("held", held)
      .Add("background", background)
      .Add("pointer", Codes<PointerAction>({{"move", PointerAction::Move},
                                            {"press", PointerAction::Press},
                                            {"release", PointerAction::Release}}))
      .Add("editor", Codes<EditorAction>({{"cancel", EditorAction::Cancel},
                                          {"save", EditorAction::Save},
                                          {"replace", EditorAction::Replace},
                                          {"download", EditorAction::Download}}))
      .Add("access", Codes<AccessRequest>({{"press", AccessRequest::Press},
                                           {"toggle", AccessRequest::Toggle},
                                           {"increase", AccessRequest::Increase},
                                           {"decrease", AccessRequest::Decrease},
                                           {"setValue", AccessRequest::SetValue}}))
      .Add("side", Codes<SideAction>({{"chosen", SideAction::Chosen},
                                      {"checked", SideAction::Checked},
                                      {"copy", SideAction::Copy},
                                      {"closed", SideAction::Closed},
                                      {"print", SideAction::Print},
                                      {"field", SideAction::Field}}))
      // The error a close of a file gets when the browser refuses to store it: a full disk's.
      .Add("files", JsonObject().Add("noSpace", ENOSPC).Text())
      .Add("keys", keys)
      .Add("roles", Roles())
      .Add("fonts", Fonts())
      .Text();
}

void SetClientSize(PixelSize size) {
  funzioni_js_client_size(size.width, size.height);
}

}  // namespace funzioni::web

extern "C" {

// What the page's scripts share with the program, as JSON text (shared.js reads it).
EMSCRIPTEN_KEEPALIVE const char* funzioni_page_shared() {
  // Made once: the text never changes.
  static const std::string shared = funzioni::web::PageSharedJson();
  return shared.c_str();
}

}  // extern "C"
