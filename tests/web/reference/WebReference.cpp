// funzioni-web-reference STEPS.json OUT_DIR: the real window, offscreen, follows the steps a
// browser test gives the page, and at each snapshot step writes what it shows: OUT_DIR/NAME.rgba
// (the client area, 974 x 720, 4 bytes a pixel, rows top to bottom) and OUT_DIR/NAME.json (the
// text lists' lines, the text box's text, the stock controls' rectangles, the parts of the
// panels that change with time, the controls as assistive technologies read them and the study
// window's texts); at each export step what the export commands give (see WriteExports). Run it
// in an empty directory: the window keeps its history file there.

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "ReferenceSteps.h"
#include "app/MainWindow.h"
#include "app/StudyPanel.h"
#include "drawing/PrintServices.h"

namespace funzioni::web_reference {

namespace {

constexpr int kPlotWaitMs = 30000;
// The stock controls, which the browser draws its own way, and the panels that show the time of
// day and the ticks since the start.
constexpr std::array<int, 3> kStockControls{kResultsListId, kHistoryListId, kFormulaBoxId};
// The clock keeps its frame; the ticker's frame takes its own colour at the first tick.
struct TimedPanel {
  int id;
  bool frameStays;
};
constexpr std::array<TimedPanel, 2> kTimedPanels{{{kClockPanelId, true}, {kTickerPanelId, false}}};

struct KeyName {
  std::string_view name;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
};
constexpr std::array<KeyName, 27> kKeys{{
    {"KeypadPlus", Qt::Key_Plus, Qt::KeypadModifier},
    {"KeypadMinus", Qt::Key_Minus, Qt::KeypadModifier},
    {"Enter", Qt::Key_Return, Qt::NoModifier},
    {"Escape", Qt::Key_Escape, Qt::NoModifier},
    {"Backspace", Qt::Key_Backspace, Qt::NoModifier},
    {"Tab", Qt::Key_Tab, Qt::NoModifier},
    {"Shift+Tab", Qt::Key_Backtab, Qt::ShiftModifier},
    {"Left", Qt::Key_Left, Qt::NoModifier},
    {"Right", Qt::Key_Right, Qt::NoModifier},
    {"Up", Qt::Key_Up, Qt::NoModifier},
    {"Down", Qt::Key_Down, Qt::NoModifier},
    {"PageUp", Qt::Key_PageUp, Qt::NoModifier},
    {"PageDown", Qt::Key_PageDown, Qt::NoModifier},
    {"Home", Qt::Key_Home, Qt::NoModifier},
    {"End", Qt::Key_End, Qt::NoModifier},
    {"Space", Qt::Key_Space, Qt::NoModifier},
    {"F2", Qt::Key_F2, Qt::NoModifier},
    {"ArrowDown", Qt::Key_Down, Qt::NoModifier},
    {"ArrowUp", Qt::Key_Up, Qt::NoModifier},
    {"Ctrl+Left", Qt::Key_Left, Qt::ControlModifier},
    {"Ctrl+Right", Qt::Key_Right, Qt::ControlModifier},
    {"Ctrl+Up", Qt::Key_Up, Qt::ControlModifier},
    {"Ctrl+Down", Qt::Key_Down, Qt::ControlModifier},
    {"Ctrl+Home", Qt::Key_Home, Qt::ControlModifier},
    {"Ctrl+End", Qt::Key_End, Qt::ControlModifier},
    {"Ctrl+KeypadPlus", Qt::Key_Plus, Qt::KeypadModifier | Qt::ControlModifier},
    {"Ctrl+KeypadMinus", Qt::Key_Minus, Qt::KeypadModifier | Qt::ControlModifier},
}};

// The controls' roles as assistive technologies name them; other nodes are no controls.
constexpr std::array<std::pair<QAccessible::Role, std::string_view>, 7> kRoles{{
    {QAccessible::Slider, "slider"},
    {QAccessible::CheckBox, "check box"},
    {QAccessible::Button, "push button"},
    {QAccessible::StaticText, "label"},
    {QAccessible::Graphic, "image"},
    {QAccessible::List, "list"},
    {QAccessible::EditableText, "text"},
}};

// Every control below the window as a screen reader finds it, in its order: role, name,
// description, the value as text with its number and range (sliders), checked (check boxes).
void AddControls(QAccessibleInterface* node, QJsonArray& controls) {
  for (int i = 0; node != nullptr && i < node->childCount(); ++i) {
    QAccessibleInterface* child = node->child(i);
    if (child == nullptr) continue;
    const auto role = std::find_if(kRoles.begin(), kRoles.end(),
                                   [child](const auto& r) { return r.first == child->role(); });
    if (role == kRoles.end()) {
      AddControls(child, controls);
      continue;
    }
    QJsonObject control{{"role", QString::fromUtf8(role->second.data(),
                                                   static_cast<qsizetype>(role->second.size()))},
                        {"name", child->text(QAccessible::Name)},
                        {"description", child->text(QAccessible::Description)},
                        {"focusable", child->state().focusable != 0}};
    if (QAccessibleValueInterface* value = child->valueInterface()) {
      control.insert("value", child->text(QAccessible::Value));
      control.insert("now", value->currentValue().toDouble());
      control.insert("min", value->minimumValue().toDouble());
      control.insert("max", value->maximumValue().toDouble());
    }
    if (child->role() == QAccessible::CheckBox)
      control.insert("checked", child->state().checked != 0);
    controls.append(control);
  }
}

QJsonArray RectJson(const PixelRect& r) {
  return {r.x, r.y, r.width, r.height};
}

class ReferenceRun {
 public:
  explicit ReferenceRun(std::filesystem::path outDir) : outDir_(std::move(outDir)) {}

  bool Start() {
    window_ = std::make_unique<MainWindow>();
    window_->Show();
    if (!QTest::qWaitForWindowExposed(window_->dialog().Widget())) return false;
    if (!QTest::qWaitFor([this] { return window_->introShown(); }, 5000)) return false;
    return Settle();
  }

  // False when the step could not be done (the reason is printed).
  bool Perform(const Step& step) {
    const QPoint point(step.x, step.y);
    const Qt::MouseButton button = step.button == StepButton::Right    ? Qt::RightButton
                                   : step.button == StepButton::Middle ? Qt::MiddleButton
                                                                       : Qt::LeftButton;
    const Qt::KeyboardModifiers held =
        ((step.held & kStepShift) != 0 ? Qt::ShiftModifier : Qt::NoModifier) |
        ((step.held & kStepCtrl) != 0 ? Qt::ControlModifier : Qt::NoModifier);
    switch (step.kind) {
      case StepKind::Move:
        // With the keys held (a plain move carries none).
        QTest::mouseEvent(QTest::MouseMove, Handle(), Qt::NoButton, held, point);
        break;
      case StepKind::Press:
        QTest::mousePress(Handle(), button, held, point);
        break;
      case StepKind::Release:
        QTest::mouseRelease(Handle(), button, held, point);
        break;
      case StepKind::Wheel:
        Wheel(point, step.notches, held);
        break;
      case StepKind::Click:
        QTest::mouseClick(Handle(), button, Qt::NoModifier, point);
        break;
      case StepKind::DoubleClick:
        QTest::mouseDClick(Handle(), Qt::LeftButton, Qt::NoModifier, point);
        break;
      case StepKind::Key:
        return PressKey(step.text) && Settle();
      case StepKind::Type:
        for (const char c : step.text) QTest::keyClick(Handle(), c);
        break;
      case StepKind::Idle:
        break;
      case StepKind::Restart:
        window_.reset();
        return Start();
      case StepKind::Snapshot:
        return Settle() && WriteSnapshot(step.text);
      case StepKind::Export:
        return Settle() && WriteExports(step.text);
      case StepKind::StudyLine:
        return PressStudyLine(step.line) && Settle();
      case StepKind::StudyCheck:
        return ClickStudyCheck() && Settle();
    }
    return Settle();
  }

 private:
  QWindow* Handle() const { return window_->dialog().Widget()->windowHandle(); }

  // Until the queued input is handled, the study is computed and the plotting area shows its
  // state.
  bool Settle() {
    QCoreApplication::processEvents();
    const auto idle = [this] { return !window_->study().Busy() && window_->plotIdle(); };
    if (QTest::qWaitFor(idle, kPlotWaitMs)) return true;
    std::cerr << "the plot did not become idle\n";
    return false;
  }

  // The wheel's notches over a point of the client area, with the keys held.
  void Wheel(QPoint point, int notches, Qt::KeyboardModifiers held) {
    QWheelEvent wheel(QPointF(point), QPointF(Handle()->mapToGlobal(point)), QPoint(),
                      QPoint(0, 120 * notches), Qt::NoButton, held, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(Handle(), &wheel);
  }

  // To the window with the keyboard focus, as a user's keys go: the study window's while it has
  // it.
  bool PressKey(std::string_view name) {
    for (const KeyName& key : kKeys) {
      if (key.name != name) continue;
      QWindow* focused = QGuiApplication::focusWindow();
      QTest::keyClick(focused != nullptr ? focused : Handle(), key.key, key.modifiers);
      return true;
    }
    std::cerr << "no key named " << name << '\n';
    return false;
  }

  template <typename Part>
  Part* StudyPart() const {
    QWidget* frame = window_->study().Window().Widget();
    Part* part = frame != nullptr && frame->isVisible() ? frame->findChild<Part*>() : nullptr;
    if (part == nullptr) std::cerr << "the study window is not open\n";
    return part;
  }

  bool PressStudyLine(int line) {
    QListWidget* list = StudyPart<QListWidget>();
    if (list == nullptr) return false;
    if (line < 0 || line >= list->count()) {
      std::cerr << "the study has no line " << line << '\n';
      return false;
    }
    const QRect r = list->visualItemRect(list->item(line));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    return true;
  }

  bool ClickStudyCheck() {
    QCheckBox* check = StudyPart<QCheckBox>();
    if (check == nullptr) return false;
    // On its box: the check box is as wide as the window, its text much shorter.
    QTest::mouseClick(check, Qt::LeftButton, Qt::NoModifier, QPoint(6, check->height() / 2));
    return true;
  }

  // The study window as assistive technology has it; null while it is closed.
  QJsonValue StudyJson() const {
    SideWindow& side = window_->study().Window();
    if (!side.IsShown()) return QJsonValue::Null;
    const QWidget* frame = side.Widget();
    const auto* heading = frame->findChild<QLabel*>();
    const auto* list = frame->findChild<QListWidget*>();
    const auto* check = frame->findChild<QCheckBox*>();
    QJsonArray lines;
    for (int line = 0; line < side.LineCount(); ++line) {
      lines.append(QString::fromStdString(side.Line(line)));
    }
    return QJsonObject{{"title", frame->windowTitle()},  {"heading", heading->text()},
                       {"list", list->accessibleName()}, {"lines", lines},
                       {"current", side.CurrentLine()},  {"check", check->text()},
                       {"checked", side.Checked()}};
  }

  bool WriteSnapshot(const std::string& name) {
    const Dialog& dialog = window_->dialog();
    const QImage picture = dialog.Widget()
                               ->grab(QRect(0, 0, kClientWidth, kClientHeight))
                               .toImage()
                               .convertToFormat(QImage::Format_RGBA8888);
    if (picture.width() != kClientWidth || picture.height() != kClientHeight) {
      std::cerr << "the window shows " << picture.width() << " x " << picture.height() << '\n';
      return false;
    }
    std::ofstream pixels(outDir_ / (name + ".rgba"), std::ios::binary);
    for (int y = 0; y < picture.height(); ++y) {
      pixels.write(reinterpret_cast<const char*>(picture.constScanLine(y)), kClientWidth * 4);
    }
    std::ofstream texts(outDir_ / (name + ".json"), std::ios::binary);
    texts << QJsonDocument(TextsJson()).toJson().toStdString();
    return pixels.good() && texts.good();
  }

  // What the export commands give: the clipboard's text, the saved CSV file and the printed page
  // as a PDF, each answered without a dialog.
  bool WriteExports(const std::string& name) {
    const std::filesystem::path csv = outDir_ / (name + ".csv");
    const std::filesystem::path pdf = outDir_ / (name + ".pdf");
    window_->exportPrompts().askSaveFileName = [csv](const SaveFileRequest&) {
      return std::optional<std::string>(csv.string());
    };
    window_->exportPrompts().print = [pdf](const PrintPage& page) {
      return PrintToPdf(page, pdf.string()) ? PrintResult::Printed : PrintResult::Failed;
    };
    QGuiApplication::clipboard()->clear();
    for (const int command : {kCommandCopyTable, kCommandSaveTable, kCommandPrint}) {
      window_->dialog().SendCommand(command);
      if (!Settle()) return false;
    }
    std::ofstream text(outDir_ / (name + ".txt"), std::ios::binary);
    text << QGuiApplication::clipboard()->text().toStdString();
    return text.good() && std::filesystem::exists(csv) && std::filesystem::exists(pdf);
  }

  QJsonObject TextsJson() const {
    const Dialog& dialog = window_->dialog();
    QJsonObject lists;
    for (const int id : {kResultsListId, kHistoryListId}) {
      QJsonArray lines;
      for (int line = 1; line <= dialog.ListCount(id); ++line) {
        lines.append(QString::fromStdString(dialog.ListLine(id, line)));
      }
      lists.insert(QString::number(id), lines);
    }
    QJsonObject stock;
    for (const int id : kStockControls) {
      stock.insert(QString::number(id), RectJson(dialog.GetControlRect(id)));
    }
    QJsonObject timed;
    for (const TimedPanel& panel : kTimedPanels) {
      const PixelRect r = dialog.GetControlRect(panel.id);
      const ControlRecord* record = window_->controls().Find(panel.id);
      const int inset = panel.frameStays && record != nullptr ? record->frameWidth : 0;
      timed.insert(QString::number(panel.id),
                   RectJson({r.x + inset, r.y + inset, r.width - 2 * inset, r.height - 2 * inset}));
    }
    return {{"title", dialog.Widget()->windowTitle()},
            {"lists", lists},
            {"box", QString::fromStdString(dialog.GetControlText(kFormulaBoxId))},
            {"stockControls", stock},
            {"timedPanels", timed},
            {"controls", Controls()},
            {"study", StudyJson()}};
  }

  QJsonArray Controls() const {
    QJsonArray controls;
    AddControls(QAccessible::queryAccessibleInterface(window_->dialog().Widget()), controls);
    return controls;
  }

  std::filesystem::path outDir_;
  std::unique_ptr<MainWindow> window_;
};

std::optional<std::string> ReadText(const char* path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), {});
}

}  // namespace

int Main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: funzioni-web-reference STEPS.json OUT_DIR\n";
    return 2;
  }
  const std::optional<std::string> json = ReadText(argv[1]);
  if (!json) {
    std::cerr << "cannot read " << argv[1] << '\n';
    return 2;
  }
  const StepList list = ParseSteps(*json);
  if (!list.problem.empty()) {
    std::cerr << argv[1] << ": " << list.problem << '\n';
    return 2;
  }
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Floor);
  QApplication application(argc, argv);
  ReferenceRun run(argv[2]);
  if (!run.Start()) return 1;
  for (std::size_t index = 0; index < list.steps.size(); ++index) {
    if (!run.Perform(list.steps[index])) {
      std::cerr << argv[1] << ": step " << index + 1 << " failed\n";
      return 1;
    }
  }
  return 0;
}

}  // namespace funzioni::web_reference

int main(int argc, char** argv) {
  return funzioni::web_reference::Main(argc, argv);
}
