// The window as a screen reader and the keyboard see it: the accessible tree, values and actions
// that act as the mouse does, keys on focused controls, and the focus ring.

#include <QAccessible>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <cstdlib>
#include <iostream>
#include <map>

#include "ShellFixture.h"
#include "app/AccessibleControls.h"
#include "app/ExportActions.h"
#include "drawing/DrawingSurface.h"
#include "plot/ZoomWindow.h"

namespace funzioni::testing {
namespace {

struct Node {
  QAccessible::Role role;
  std::string name;
  std::string description;
  std::string value;
  QAccessibleInterface* iface;
};

std::string RoleName(QAccessible::Role role) {
  static const std::map<QAccessible::Role, std::string> kNames = {
      {QAccessible::Slider, "slider"},      {QAccessible::CheckBox, "check box"},
      {QAccessible::Button, "push button"}, {QAccessible::StaticText, "label"},
      {QAccessible::Graphic, "image"},      {QAccessible::List, "list"},
      {QAccessible::EditableText, "text"},  {QAccessible::Client, "filler"},
      {QAccessible::Window, "frame"},       {QAccessible::ScrollBar, "scroll bar"},
      {QAccessible::ListItem, "list item"},
  };
  const auto it = kNames.find(role);
  return it == kNames.end() ? "role " + std::to_string(role) : it->second;
}

class ShellAccessibility : public ShellFixture {
 protected:
  QAccessibleInterface* Of(int id) {
    return QAccessible::queryAccessibleInterface(dialog().ControlWidget(id));
  }
  // Prints the tree as a screen reader reads it, and gives each named node by name.
  std::map<std::string, Node> ReadTree() {
    std::map<std::string, Node> byName;
    Walk(QAccessible::queryAccessibleInterface(dialog().Widget()), 0, byName);
    return byName;
  }
  QImage Shown(int id) { return dialog().ControlWidget(id)->grab().toImage(); }
  QImage Drawn(int id) {
    const DrawingSurface* surface = dialog().FindSurface(id);
    const PixelSize size = surface->GetSurfaceSize();
    return QImage(reinterpret_cast<const uchar*>(surface->ScreenPixels()), size.width, size.height,
                  QImage::Format_RGB32)
        .copy();
  }

 private:
  void Walk(QAccessibleInterface* iface, int depth, std::map<std::string, Node>& byName) {
    if (iface == nullptr || depth > 3) return;
    const Node node{iface->role(), iface->text(QAccessible::Name).toStdString(),
                    iface->text(QAccessible::Description).toStdString(),
                    iface->text(QAccessible::Value).toStdString(), iface};
    std::string line = std::string(2 * depth, ' ') + RoleName(node.role) + " \"" + node.name + "\"";
    if (auto* value = iface->valueInterface()) {
      line += " value " + value->currentValue().toString().toStdString() + " \"" + node.value +
              "\" [" + value->minimumValue().toString().toStdString() + ".." +
              value->maximumValue().toString().toStdString() + "]";
    }
    if (iface->role() == QAccessible::CheckBox) {
      line += iface->state().checked ? " checked" : " unchecked";
    }
    if (!node.description.empty()) line += " -- " + node.description;
    if (depth <= 2 && iface->role() != QAccessible::ScrollBar) std::cout << line << "\n";
    if (!node.name.empty()) byName.emplace(node.name, node);
    if (iface->role() == QAccessible::List) return;  // its lines are Qt's
    for (int i = 0; i < iface->childCount(); ++i) Walk(iface->child(i), depth + 1, byName);
  }
};

TEST_F(ShellAccessibility, TreeNamesEveryControl) {
  Start();
  // The clock's first tick names it.
  EXPECT_TRUE(QTest::qWaitFor(
      [this] { return Of(kClockPanelId)->text(QAccessible::Name).size() == 8; }, 5000));
  Settle(0);
  const std::map<std::string, Node> tree = ReadTree();
  struct Expected {
    int id;
    std::string name;
    QAccessible::Role role;
    std::string value;  // the value as text, for sliders
  };
  const Expected kControls[] = {
      {1003, "Parametro a di a.x^2+b", QAccessible::Slider, "1.0"},
      {1304, "Parametro d di (a.x+b):(c.x+d)", QAccessible::Slider, "1.0"},
      {kZoomMeterId, "Zoom", QAccessible::Slider, "10.0"},
      {kStepMeterId, "Passo", QAccessible::Slider, "50"},
      {1501, "a.x", QAccessible::CheckBox, ""},
      {1510, "sqr(a.x)", QAccessible::CheckBox, ""},
      {kAllOffButtonId, "Tutte spente", QAccessible::Button, ""},
      {kAllOnButtonId, "Tutte accese", QAccessible::Button, ""},
      {kHelpPanelId, "Aiuto...", QAccessible::StaticText, ""},
      {kTickerPanelId, TickerText(), QAccessible::StaticText, ""},
      {kZoomWindowId, "Finestra zoom", QAccessible::Graphic, ""},
      {kPlotAreaId, "Lavagna", QAccessible::Graphic, ""},
      {kHistoryListId, "Elenco delle funzioni", QAccessible::List, ""},
      {kResultsListId, "Risultati", QAccessible::List, ""},
      {kFormulaBoxId, "Funzione", QAccessible::EditableText, ""},
  };
  for (const Expected& c : kControls) {
    SCOPED_TRACE(c.name);
    const auto it = tree.find(c.name);
    ASSERT_NE(it, tree.end());
    EXPECT_EQ(it->second.iface, Of(c.id));
    EXPECT_EQ(it->second.role, c.role);
    if (c.role == QAccessible::Slider) {
      EXPECT_EQ(it->second.value, c.value);
    }
    const PixelRect r = dialog().GetControlRect(c.id);
    const QPoint corner = dialog().ControlWidget(c.id)->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(it->second.iface->rect(), QRect(corner, QSize(r.width, r.height)));
  }
  QAccessibleValueInterface* a = Of(1003)->valueInterface();
  EXPECT_EQ(a->minimumValue().toDouble(), -10.0);
  EXPECT_EQ(a->maximumValue().toDouble(), 10.0);
  EXPECT_EQ(tree.at("Parametro a di a.x^2+b").description,
            "Mouse + il tasto sinistro: cambi il valore. Tasto destro resetti il valore del "
            "parametro. Tastierino numerico: + e - varia il parametro.");
  EXPECT_EQ(Of(kClockPanelId)->text(QAccessible::Name).size(), 8);  // hh:mm:ss
  EXPECT_TRUE(Of(1503)->state().checked);
  EXPECT_FALSE(Of(1504)->state().checked);
  EXPECT_EQ(
      tree.at("Lavagna").description,
      "Zoom 10.0, passo 50. Curve: a.x^2+b con a=1.0, b=1.0. " + std::string(kPlotCommandsHint));
  int sliders = 0;
  int checkBoxes = 0;
  for (const auto& [name, node] : tree) {
    sliders += node.role == QAccessible::Slider;
    checkBoxes += node.role == QAccessible::CheckBox;
  }
  EXPECT_EQ(sliders, 18);
  EXPECT_EQ(checkBoxes, 10);
  EXPECT_TRUE(Of(1501)->actionInterface()->actionNames().contains(
      QAccessibleActionInterface::toggleAction()));
}

// Setting a value from outside is a drag to that value: same meter, same curves.
TEST_F(ShellAccessibility, SetValueEqualsDrag) {
  MainWindow& shell = Start();
  for (const int id : {1003, kZoomMeterId, kStepMeterId}) {
    SCOPED_TRACE(id);
    const PixelRect r = dialog().GetControlRect(id);
    Press(Qt::LeftButton, Inside(id, r.width * 3 / 4, r.height / 2));
    Release(Qt::LeftButton, Inside(id, r.width * 3 / 4, r.height / 2));
    const std::string dragged = SurfacePixels(kPlotAreaId);
    const std::string meter = SurfacePixels(id);
    const double value = Of(id)->valueInterface()->currentValue().toDouble();
    Click(Qt::RightButton, CentreOf(id));  // reset
    ASSERT_NE(SurfacePixels(kPlotAreaId), dragged);
    Of(id)->valueInterface()->setCurrentValue(value);
    EXPECT_EQ(SurfacePixels(kPlotAreaId), dragged);
    EXPECT_EQ(SurfacePixels(id), meter);
  }
  Of(1003)->valueInterface()->setCurrentValue(25.0);  // held in the range
  EXPECT_EQ(shell.state().paramA[3].value, 10.0f);
}

// Toggle and Press act as clicks; Increase steps as the keypad does.
TEST_F(ShellAccessibility, ActionsEqualClicks) {
  MainWindow& shell = Start();
  const std::string start = SurfacePixels(kPlotAreaId);
  Of(1505)->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  EXPECT_EQ(shell.state().curveOn[5], 1);
  EXPECT_TRUE(Of(1505)->state().checked);
  const std::string toggled = SurfacePixels(kPlotAreaId);
  Click(Qt::LeftButton, CentreOf(1505));
  EXPECT_EQ(SurfacePixels(kPlotAreaId), start);
  Click(Qt::LeftButton, CentreOf(1505));
  EXPECT_EQ(SurfacePixels(kPlotAreaId), toggled);

  Of(kAllOnButtonId)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  for (int k = 1; k <= functionCount; ++k) EXPECT_EQ(shell.state().curveOn[k], 1);
  Of(kZoomMeterId)->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
  EXPECT_EQ(Caption(kZoomMeterId), "zoom 10.2");
}

TEST_F(ShellAccessibility, KeyboardOperatesFocusedControls) {
  MainWindow& shell = Start();
  Move(CentreOf(1001));  // the keypad's control while nothing drawn has the focus
  Key(Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_EQ(Caption(1001), "a =1.1");

  Key(Qt::Key_Tab);  // from the formula box to the zoom meter
  ASSERT_EQ(dialog().FocusedControl(), kZoomMeterId);
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);
  Key(Qt::Key_PageUp);
  EXPECT_EQ(shell.state().zoomValue.value, 62.0f);
  EXPECT_EQ(Caption(kZoomMeterId), "zoom 12.4");
  Key(Qt::Key_Minus, Qt::KeypadModifier);  // now the focused meter's
  EXPECT_EQ(shell.state().zoomValue.value, 61.0f);
  EXPECT_EQ(Caption(1001), "a =1.1");
  Key(Qt::Key_Home);
  EXPECT_EQ(shell.state().zoomValue.value, 1.0f);

  Key(Qt::Key_Tab);
  Key(Qt::Key_Tab);
  ASSERT_EQ(dialog().FocusedControl(), 1501);
  Key(Qt::Key_Space);
  EXPECT_EQ(shell.state().curveOn[1], 1);
  Key(Qt::Key_Return);
  EXPECT_EQ(shell.state().curveOn[1], 0);
  Key(Qt::Key_Tab);
  ASSERT_EQ(dialog().FocusedControl(), 1001);
  Key(Qt::Key_End);
  EXPECT_EQ(Caption(1001), "a =10.0");
  Key(Qt::Key_Down);
  EXPECT_EQ(Caption(1001), "a =9.9");
  Key(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(dialog().FocusedControl(), 1501);

  // The plotting area's keyboard cursor writes the coordinates line and fills the zoom window.
  dialog().SetControlFocus(kPlotAreaId);
  const std::string blank = SurfacePixels(kZoomWindowId);
  Key(Qt::Key_Right);
  Key(Qt::Key_Up);
  EXPECT_EQ(dialog().GetControlText(kCoordinatesLineId),
            PointerReadoutText(51.0f, 49.0f, shell.state().zoomValue.value));
  EXPECT_NE(SurfacePixels(kZoomWindowId), blank);

  // Enter in the formula box keeps its meaning.
  dialog().SetControlFocus(kFormulaBoxId);
  Type("x");
  Key(Qt::Key_Return);
  EXPECT_EQ(shell.state().currentFormula, "x");
}

// Each drawn control shows exactly its picture while only the mouse is used; after one Tab the
// focused control alone shows a ring.
TEST_F(ShellAccessibility, FocusRingOnlyAfterKeyboard) {
  Start();
  const int ids[] = {kZoomMeterId, kStepMeterId, 1501, 1001, kAllOnButtonId, kPlotAreaId};
  Click(Qt::LeftButton, CentreOf(1502));
  Click(Qt::LeftButton, CentreOf(kAllOnButtonId));
  Click(Qt::LeftButton, CentreOf(kFormulaBoxId));
  for (const int id : ids) EXPECT_EQ(Shown(id), Drawn(id)) << id;

  Key(Qt::Key_Tab);
  const QImage ringed = Shown(kZoomMeterId);
  const QImage drawn = Drawn(kZoomMeterId);
  if (const char* path = std::getenv("FUNZIONI_RING_PICTURE")) ringed.save(path);
  ASSERT_NE(ringed, drawn);
  // Only the outermost pixels differ.
  EXPECT_EQ(ringed.copy(1, 1, drawn.width() - 2, drawn.height() - 2),
            drawn.copy(1, 1, drawn.width() - 2, drawn.height() - 2));
  for (const int id : ids) {
    if (id != kZoomMeterId) {
      EXPECT_EQ(Shown(id), Drawn(id)) << id;
    }
  }
  Click(Qt::LeftButton, CentreOf(kFormulaBoxId));  // the ring goes with the focus
  EXPECT_EQ(Shown(kZoomMeterId), Drawn(kZoomMeterId));
}

}  // namespace
}  // namespace funzioni::testing
