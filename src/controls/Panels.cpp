#include "controls/Panels.h"

#include <cstdint>
#include <string>

#include "controls/ControlRenderer.h"

namespace funzioni {

namespace {

constexpr double kPointsPerScale = static_cast<double>(1.2f);  // panel font = scale / 1.2
constexpr double kHalfHundredth = static_cast<double>(0.005f);
constexpr int kScrollSlot = 5;  // user value holding the ticker's offset

// A panel with a face colour has a raised frame; one without is sunken: black top and left.
void DrawPanelFrame(DrawingSurface& s, int n, std::string_view frameColor,
                    std::string_view faceColor) {
  if (!TrimBlanks(faceColor).empty()) {
    DrawRaisedFrame(s, n, frameColor);
    return;
  }
  DrawTopLeftEdges(s, n, "");
  DrawBottomRightEdges(s, n, frameColor);
}

// The panel's own sunken face: boxes down to a fifth of the height, each lighter than the last.
void DrawSunkenPanelFace(DrawingSurface& s, int n, std::string_view faceColor) {
  const PixelSize size = s.GetSurfaceSize();
  const double w = size.width;
  const double h = size.height;
  const bool named = !TrimBlanks(faceColor).empty();
  for (int f = 0; f <= kFifth * h; ++f) {
    Color c;
    if (named) {
      c = ShadeColor(faceColor, Nearest(205 - f * 600 / h));
    } else {
      const int t = Nearest(f * 600 / h);
      c = Rgb(t, t + 45, t);
    }
    s.DrawBox(f + n, f + n, w - n, h - n, 0, c, c, kFillSolid);
  }
}

// Attaches the panel's surface and puts its cached background back; nullptr when id is not a
// panel of this dialog.
const ControlRecord* AttachPanel(Dialog& dialog, const ControlTable& table, int id) {
  const ControlRecord* record = table.Find(id);
  if (record == nullptr || dialog.FindSurface(id) == nullptr) return nullptr;
  DrawingSurface& s = dialog.AttachSurface(id);
  const std::string_view cached = table.Backgrounds().Find(id);
  if (!cached.empty()) s.SetSurfacePixels(cached);
  return record;
}

}  // namespace

PixelSize CreatePanel(Dialog& dialog, ControlTable& table, int id, PixelRect rect,
                      const PanelLook& look) {
  const std::int32_t frameWidth = look.frameWidth;
  const std::string_view frameColor = look.frameColor;
  const std::string_view faceColor = look.faceColor;
  ControlRecord* record = table.Find(id);
  if (record == nullptr) return {};
  CreateControlSurface(dialog, id, rect);
  if (dialog.FindSurface(id) == nullptr) return {};

  DrawingSurface& s = dialog.AttachSurface(id);
  const PixelSize size = s.GetSurfaceSize();
  DrawPanelFrame(s, frameWidth, frameColor, faceColor);

  record->frameWidth = frameWidth;
  record->frameColor = frameColor;
  record->scale = static_cast<std::int16_t>(look.scale);
  record->textColor = look.textColor;
  record->style = look.style;
  record->faceColor = faceColor;
  record->faceMode = look.faceMode;

  if (look.faceMode == 3) {
    DrawSunkenPanelFace(s, frameWidth, faceColor);
  } else {
    DrawFace(dialog, id, frameWidth, faceColor, look.faceMode);
  }
  table.Backgrounds().Store(id, s.GetSurfacePixels());
  dialog.RedrawSurface();
  SetPanelText(dialog, table, id, "");
  return size;
}

void SetPanelText(Dialog& dialog, const ControlTable& table, int id, std::string_view text) {
  const ControlRecord* record = AttachPanel(dialog, table, id);
  if (record == nullptr) return;
  dialog.SetControlText(id, text);  // what the panel says, for screen readers
  DrawingSurface& s = dialog.CurrentSurface();
  if (!text.empty()) {
    s.SetSurfaceFont("courier new", Nearest(record->scale / kPointsPerScale), 0);
    DrawCaption(s, text, record->textColor, kPanelShadowColor);
    // The frame goes over the text, so that a long text never covers it.
    // The frame colour as stored, like the name CreatePanel was given; the face colour
    // trimmed, so that a panel made without one keeps its sunken frame.
    DrawPanelFrame(s, record->frameWidth, record->frameColor.Padded(), record->faceColor.Trimmed());
  }
  dialog.RedrawSurface();
}

void SetPanelLines(Dialog& dialog, const ControlTable& table, int id, std::string_view text) {
  const ControlRecord* record = AttachPanel(dialog, table, id);
  if (record == nullptr) return;
  dialog.SetControlText(id, text);  // what the panel says, for screen readers
  DrawingSurface& s = dialog.CurrentSurface();
  if (!text.empty()) {
    const int n = record->frameWidth;
    s.SetSurfaceFont("courier new", record->scale, 0);
    s.SetForegroundColor(record->textColor);
    s.SetBackgroundColor(kTransparent);
    s.MoveTo(n, n);
    constexpr std::string_view kLineBreak = "\r\n";
    for (;;) {
      const std::size_t end = text.find(kLineBreak);
      const std::string_view line = text.substr(0, end);
      if (line.empty()) {
        // An empty line still takes its line height.
        s.MoveTo(0, s.GetCurrentPosition().y + s.GetCharSize().height);
      } else {
        s.PrintText(line, true);
      }
      const PixelPoint at = s.GetCurrentPosition();
      s.MoveTo(at.x + n, at.y);
      if (end == std::string_view::npos) break;
      text.remove_prefix(end + kLineBreak.size());
    }
  }
  dialog.RedrawSurface();
}

void ScrollPanelText(Dialog& dialog, int id, std::string_view text, const TickerLook& look) {
  if (!IsControlId(id) || dialog.FindSurface(id) == nullptr) return;
  const int frameWidth = look.frameWidth;
  DrawingSurface& s = dialog.AttachSurface(id);
  const PixelSize size = s.GetSurfaceSize();
  DrawFace(dialog, id, frameWidth, look.faceColor, look.faceMode);  // erases the previous text
  s.SetSurfaceFont("Arial", look.fontSize, kFontBold);
  s.SetForegroundColor(look.textColor);
  s.SetBackgroundColor(kTransparent);
  const int textHeight = s.MeasureText(text).height;

  // The text enters above the inner top edge and wraps after frame width + height steps.
  const std::int64_t period = static_cast<std::int64_t>(frameWidth) + size.height;
  int offset = 0;
  if (period > 0) {
    const std::int64_t next = static_cast<std::int64_t>(s.UserValue(kScrollSlot)) + 1;
    offset = static_cast<int>(((next % period) + period) % period);
  }
  s.MoveTo(CenterTextX(s, text), static_cast<double>(offset) - textHeight + frameWidth);
  s.PrintText(text, true);
  DrawFlatFrame(s, frameWidth, look.frameColor);
  dialog.RedrawSurface();
  s.SetUserValue(kScrollSlot, offset);
}

void DrawBoard(Dialog& dialog, int id, const BoardLook& look) {
  if (!IsControlId(id) || dialog.FindSurface(id) == nullptr) return;
  const int frameWidth = look.frameWidth;
  const std::string_view title = look.title;
  DrawingSurface& s = dialog.AttachSurface(id);
  const PixelSize size = s.GetSurfaceSize();
  const double w = size.width;
  const double h = size.height;
  const double n = frameWidth;

  DrawRaisedFrame(s, frameWidth, "oro");
  DrawFace(dialog, id, frameWidth, look.faceColor, 3);

  if (look.gridPercent > 1) {
    // Square cells: the step comes from the inner height for both directions. A board too low
    // for a positive step gets no grid.
    const double step = (h - 2 * n - 1) * look.gridPercent / 100;
    if (step > 0) {
      for (double y = 0; y <= h - 1; y += step) {
        s.MoveTo(n, y + n);
        s.LineTo(w - 2 * n, 0, kGridColor, true);
      }
      for (double x = 0; x <= w - 2 * n - 1; x += step) {
        s.MoveTo(x + n, n);
        s.LineTo(0, h - 2 * n, kGridColor, true);
      }
    }
  }

  if (!title.empty()) {
    s.SetSurfaceFont("courier new", look.fontSize, kFontBold);
    s.SetForegroundColor(look.titleColor);
    s.SetBackgroundColor(kTransparent);
    s.MoveTo(CenterTextX(s, title), CenterTextY(s, title));
    s.PrintText(title, true);
  }

  const double v = look.value;
  if (v > 0) {
    // Two red curtains, dark at the top and bottom rows and lighter toward the middle.
    const double k = 155 / h;
    const double length = kHalfHundredth * (w - 2 * n) * v;
    const double rightBottomLength = kHalfHundredth * (w - 2 * n + 1) * v;
    for (int f = 0; f <= (h - 2 * n) / 2; ++f) {
      const Color c = Rgb(Nearest(155 + f * k), Nearest(f * k), Nearest(f * k));
      const double top = f + n;
      const double bottom = h - f - n - 1;
      s.MoveTo(n, top);
      s.LineTo(length + 1, 0, c, true);
      s.MoveTo(n, bottom);
      s.LineTo(length + 1, 0, c, true);
      s.MoveTo(w - n - 1, top);
      s.LineTo(-length, 0, c, true);
      s.MoveTo(w - n - 1, bottom);
      s.LineTo(-rightBottomLength, 0, c, true);
    }
  }
  dialog.RedrawSurface();
}

}  // namespace funzioni
