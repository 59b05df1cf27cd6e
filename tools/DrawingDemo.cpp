// A small dialog with a surface, a list and a text box, for a look at a real display.
#include <QApplication>
#include <cstdio>

#include "app/FaceColor.h"
#include "drawing/DialogServices.h"
#include "drawing/PlatformServices.h"

int main(int argc, char** argv) {
  using namespace funzioni;
  if (!DisplayAvailable()) {
    std::fprintf(stderr, "%s\n", NoDisplayMessage().c_str());
    return 1;
  }
  PrepareGuiApplication();
  QApplication app(argc, argv);
  Dialog dialog("Prova dei servizi di disegno", 0, 0, 520, 300, true);
  dialog.SetFaceColor(kFaceColor);
  dialog.AddControl(ControlKind::Surface, 2000, "", 4, 4, 300, 240);
  dialog.AddControl(ControlKind::TextList, 1460, "", 310, 4, 200, 180);
  dialog.AddControl(ControlKind::TextBox, 1480, "", 310, 190, 200, 22);
  dialog.SetControlFont(1460, "courier", 14, "");
  dialog.SetControlFont(1480, "arial", 20, "");
  for (const char* line : {"SIN(x)*x^2", "LOG10(x)+1", "x^3-2*x", "COS(x)/x"}) {
    dialog.ListAdd(1460, line);
  }
  dialog.ListSelect(1460, 2);

  auto draw = [&dialog](int tick) {
    DrawingSurface& s = dialog.AttachSurface(2000);
    s.ClearSurface(0x00203020);
    for (int i = 0; i <= 300; i += 20) {
      s.MoveTo(i, 0);
      s.LineTo(i, 240, 0x00406040);
    }
    s.DrawBox(20, 20, 140, 90, 30, 0x0000FFFF, 0x00008000, 0);
    s.DrawBox(160, 20, 280, 90, 0, 0x00FFFFFF, 0x000000FF, 5);
    s.MoveTo(0, 120);
    for (int x = 0; x < 300; ++x) s.SetPixel(x, 160 - 40 * ((x + tick) % 60) / 60.0, 0x0000FFFF);
    s.SetSurfaceFont("Arial", 12, kFontBold);
    s.SetForegroundColor(0x0070F078);
    s.SetBackgroundColor(kTransparent);
    s.MoveTo(20, 200);
    s.PrintText("Grafico di funzioni");
    dialog.RedrawSurface();
  };
  int ticks = 0;
  dialog.SetEventHandler([&](const DialogEvent& e) {
    switch (e.kind) {
      case EventKind::Initialise:
        draw(0);
        dialog.StartTimer(3, 100);
        dialog.SetControlFocus(1480);
        break;
      case EventKind::Timer:
        draw(++ticks);
        break;
      case EventKind::Command:
        std::printf("command %d code %d, text box \"%s\"\n", e.id, e.code,
                    dialog.GetControlText(1480).c_str());
        if (e.id == kCommandCancel) dialog.EndDialog(1);
        break;
      case EventKind::PointerShape:
        // Shows that a held button does not capture the pointer: the control under it changes.
        if (dialog.IsMouseButtonDown(MouseButton::Left)) std::printf("held over %d\n", e.id);
        break;
      case EventKind::ContextMenu:
        std::printf("context menu %d\n", e.id);
        break;
      case EventKind::Paint:
      case EventKind::Destroy:
      case EventKind::Key:
      case EventKind::Access:
        break;
    }
    std::fflush(stdout);
  });
  return dialog.RunModal() == 1 ? 0 : 1;
}
