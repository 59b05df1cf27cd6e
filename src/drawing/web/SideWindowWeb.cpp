// The side window in the page: a panel of the page's own (web/study.js) beside the dialog's client
// area, or over part of it when the browser's window has no room beside it. The panel reports the
// user's choices here by its number; they reach the dialog's handler as on the desktop.

#include <emscripten.h>

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "PageBridge.h"
#include "PageShared.h"
#include "drawing/DialogServices.h"
#include "drawing/SideWindow.h"

// clang-format off
EM_JS(void, funzioni_js_side_create, (int side, const char* title, const char* listName,
                                      const char* checkLabel, int width, int height, int coverX,
                                      int coverY, int coverWidth, int coverHeight), {
  FunzioniSide.create(side, UTF8ToString(title), UTF8ToString(listName), UTF8ToString(checkLabel),
                      width, height, [coverX, coverY, coverWidth, coverHeight]);
});
EM_JS(void, funzioni_js_side_destroy, (int side), { FunzioniSide.destroy(side); });
EM_JS(void, funzioni_js_side_show, (int side), { FunzioniSide.show(side); });
EM_JS(void, funzioni_js_side_hide, (int side), { FunzioniSide.hide(side); });
EM_JS(void, funzioni_js_side_heading, (int side, const char* text), {
  FunzioniSide.setHeading(side, UTF8ToString(text));
});
EM_JS(void, funzioni_js_side_reset, (int side), { FunzioniSide.resetLines(side); });
EM_JS(void, funzioni_js_side_add, (int side, const char* text), {
  FunzioniSide.addLine(side, UTF8ToString(text));
});
EM_JS(void, funzioni_js_side_select, (int side, int index), { FunzioniSide.select(side, index); });
EM_JS(void, funzioni_js_side_field, (int side, const char* label, const char* name, int sameRow), {
  FunzioniSide.addField(side, UTF8ToString(label), UTF8ToString(name), sameRow !== 0);
});
EM_JS(int, funzioni_js_side_field_size, (int side, int index), {
  return lengthBytesUTF8(FunzioniSide.fieldText(side, index));
});
EM_JS(void, funzioni_js_side_field_text, (int side, int index, char* out, int size), {
  stringToUTF8(FunzioniSide.fieldText(side, index), out, size);
});
EM_JS(void, funzioni_js_side_set_field, (int side, int index, const char* text), {
  FunzioniSide.setFieldText(side, index, UTF8ToString(text));
});
EM_JS(void, funzioni_js_side_button, (int side, const char* label, const char* name), {
  FunzioniSide.addButton(side, UTF8ToString(label), UTF8ToString(name));
});
EM_JS(void, funzioni_js_side_chart, (int side, const char* json), {
  FunzioniSide.setChart(side, JSON.parse(UTF8ToString(json)));
});
// clang-format on

namespace funzioni {

namespace {

using web::SideAction;

// A text as a JSON string: quotes, backslashes and control characters escaped; UTF-8 as it is.
void AppendJsonText(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      constexpr char kHex[] = "0123456789abcdef";
      out += "\\u00";
      out += kHex[(c >> 4) & 0xF];
      out += kHex[c & 0xF];
    } else {
      out += c;
    }
  }
  out += '"';
}

void AppendJsonTexts(std::string& out, const std::vector<std::string>& texts) {
  out += '[';
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (i > 0) out += ',';
    AppendJsonText(out, texts[i]);
  }
  out += ']';
}

template <typename T>
void AppendJsonNumbers(std::string& out, const std::vector<T>& values) {
  out += '[';
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) out += ',';
    out += std::to_string(static_cast<int>(values[i]));
  }
  out += ']';
}

// The chart as study.js draws it: {name, marks, lines, rows: [{name, cells, points, under, note}]}.
std::string ChartJson(const SideChart& chart) {
  std::string out = "{\"name\":";
  AppendJsonText(out, chart.name);
  out += ",\"marks\":";
  AppendJsonTexts(out, chart.marks);
  out += ",\"lines\":";
  AppendJsonTexts(out, chart.lines);
  out += ",\"rows\":[";
  for (std::size_t i = 0; i < chart.rows.size(); ++i) {
    const SideChartRow& row = chart.rows[i];
    if (i > 0) out += ',';
    out += "{\"name\":";
    AppendJsonText(out, row.name);
    out += ",\"cells\":";
    AppendJsonNumbers(out, row.cells);
    out += ",\"points\":";
    AppendJsonNumbers(out, row.points);
    out += ",\"under\":";
    out += std::to_string(static_cast<int>(row.under));
    out += ",\"note\":";
    AppendJsonText(out, row.note);
    out += '}';
  }
  out += "]}";
  return out;
}

}  // namespace

struct SideWindow::Impl {
  Impl(Dialog& owner, SideWindowCommands ids) : dialog(owner), commands(ids) {}

  Dialog& dialog;
  SideWindowCommands commands;
  int number = 0;
  int fields = 0;
  int buttons = 0;
  std::vector<std::string> lines;
  int current = -1;
  bool shown = false;
  bool checked = false;

  void Post(int command, int code) {
    if (command != 0) dialog.PostEvent({EventKind::Command, command, code});
  }

  // As the desktop's list: a new current line is reported, the same one again is not.
  void Choose(int index) {
    const int line = index >= 0 && index < static_cast<int>(lines.size()) ? index : -1;
    if (line == current) return;
    current = line;
    funzioni_js_side_select(number, line);
    if (line >= 0) Post(commands.chosen, line);
  }

  void Report(SideAction action, int code) {
    switch (action) {
      case SideAction::Chosen:
        if (shown) Choose(code);
        return;
      case SideAction::Checked:
        if (checked == (code != 0)) return;
        checked = code != 0;
        Post(commands.checked, checked ? 1 : 0);
        return;
      case SideAction::Copy:
        if (shown) Post(commands.copy, 0);
        return;
      case SideAction::Closed:
        if (!shown) return;
        shown = false;
        funzioni_js_side_hide(number);
        Post(commands.closed, 0);
        return;
      case SideAction::Print:
        if (shown) Post(commands.print, 0);
        return;
      case SideAction::Field:
        // The panel numbers its buttons after its fields.
        if (!shown || code < 0) return;
        if (code < fields) {
          Post(commands.field, code);
        } else if (code < fields + buttons) {
          Post(commands.button, code - fields);
        }
        return;
    }
  }
};

SideWindow::SideWindow(Dialog& owner, const SideWindowLook& look, SideWindowCommands commands)
    : impl_(std::make_unique<Impl>(owner, commands)) {
  web::PageSideWindows& sides = web::ThePage().sides;
  Impl* d = impl_.get();
  d->number = sides.next++;
  sides.byNumber[d->number] = [d](SideAction action, int code) { d->Report(action, code); };
  const PixelRect& c = look.cover;
  funzioni_js_side_create(d->number, look.title.c_str(), look.listName.c_str(),
                          look.checkLabel.c_str(), look.width, look.height, c.x, c.y, c.width,
                          c.height);
  for (const SideField& field : look.fields) {
    funzioni_js_side_field(d->number, field.label.c_str(), field.name.c_str(),
                           field.sameRow ? 1 : 0);
  }
  d->fields = static_cast<int>(look.fields.size());
  for (const SideButton& button : look.buttons) {
    funzioni_js_side_button(d->number, button.label.c_str(), button.name.c_str());
  }
  d->buttons = static_cast<int>(look.buttons.size());
}

SideWindow::~SideWindow() {
  web::ThePage().sides.byNumber.erase(impl_->number);
  funzioni_js_side_destroy(impl_->number);
}

void SideWindow::Show() {
  impl_->shown = true;
  funzioni_js_side_show(impl_->number);
}

void SideWindow::Hide() {
  impl_->shown = false;
  funzioni_js_side_hide(impl_->number);
}

bool SideWindow::IsShown() const {
  return impl_->shown;
}

void SideWindow::SetHeading(std::string_view text) {
  funzioni_js_side_heading(impl_->number, std::string(text).c_str());
}

void SideWindow::SetLines(std::span<const std::string> lines) {
  Impl& d = *impl_;
  d.lines.assign(lines.begin(), lines.end());
  if (d.current >= LineCount()) d.current = -1;
  funzioni_js_side_reset(d.number);
  for (const std::string& line : d.lines) funzioni_js_side_add(d.number, line.c_str());
  funzioni_js_side_select(d.number, d.current);
}

int SideWindow::LineCount() const {
  return static_cast<int>(impl_->lines.size());
}

std::string SideWindow::Line(int index) const {
  return index >= 0 && index < LineCount() ? impl_->lines[index] : std::string();
}

int SideWindow::CurrentLine() const {
  return impl_->current;
}

void SideWindow::SetCurrentLine(int index) {
  impl_->Choose(index);
}

bool SideWindow::Checked() const {
  return impl_->checked;
}

std::string SideWindow::FieldText(int index) const {
  if (index < 0 || index >= impl_->fields) return {};
  const int size = funzioni_js_side_field_size(impl_->number, index);
  std::string text(static_cast<std::size_t>(size) + 1, '\0');
  funzioni_js_side_field_text(impl_->number, index, text.data(), size + 1);
  text.resize(static_cast<std::size_t>(size));
  return text;
}

void SideWindow::SetFieldText(int index, std::string_view text) {
  if (index < 0 || index >= impl_->fields) return;
  funzioni_js_side_set_field(impl_->number, index, std::string(text).c_str());
}

void SideWindow::SetChart(const SideChart& chart) {
  funzioni_js_side_chart(impl_->number, ChartJson(chart).c_str());
}

}  // namespace funzioni

extern "C" {

// What the panel numbered `side` reports: a SideAction with its code (the chosen line's index,
// the check box's state, the field where Enter was pressed).
EMSCRIPTEN_KEEPALIVE void funzioni_page_side(int side, int action, int code) {
  if (action < 0 || action > funzioni::web::kSideActionLast) return;
  const auto& sides = funzioni::web::ThePage().sides.byNumber;
  const auto it = sides.find(side);
  if (it == sides.end()) return;
  // A copy: the report may end the window, and with it the call held in the map.
  const std::function<void(funzioni::SideAction, int)> report = it->second;
  report(static_cast<funzioni::SideAction>(action), code);
}

}  // extern "C"
