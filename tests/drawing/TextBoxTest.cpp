// The single-line text box: what reaches it by paste, keys or an input method stays one line
// of printable text, and its selection outlives the focus.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QWindow>
#include <functional>

#include "drawing/DialogServices.h"

namespace funzioni {
namespace {

constexpr int kList = 1460;
constexpr int kBox = 1480;

class TextBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog_.AddControl(ControlKind::TextList, kList, "", 10, 10, 180, 120);
    dialog_.AddControl(ControlKind::TextBox, kBox, "", 10, 140, 180, 22);
    dialog_.SetEventHandler([this](const DialogEvent& e) {
      if (e.kind == EventKind::Command) commands_.push_back(e.id);
    });
    dialog_.Show();
    window_ = dialog_.Widget()->windowHandle();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_));
    box_ = dialog_.Widget()->findChild<QLineEdit*>();
    ASSERT_NE(box_, nullptr);
    dialog_.SetControlFocus(kBox);
  }

  Dialog dialog_{"Prova", 0, 0, 200, 170, true};
  QWindow* window_ = nullptr;
  QLineEdit* box_ = nullptr;
  std::vector<int> commands_;
};

struct InsertCase {
  const char* name;
  QString before;
  int cursor;  // the selection runs from here to the end when selectAll is set
  bool selectAll;
  QString inserted;
  QString after;
  int cursorAfter;
};

TEST_F(TextBoxTest, OnlyTheFirstLineOfAnInsertionIsKeptWithoutControlCharacters) {
  const InsertCase cases[] = {
      {"two lines", "SIN()", 4, false, "x^2\r\nCOS(x)\r\n", "SIN(x^2)", 7},
      {"same letter around the cursor", "ab", 1, false, "b\nX", "abb", 2},
      {"selection replaced by an empty line", "x^2", 0, true, "\nCOS(x)", "", 0},
      {"control characters", "", 0, false, QString("x\t+\x01 1\x7F") + QChar(0x9B), "x+ 1", 4},
      {"line separator", "1+", 2, false, QString("x") + QChar::LineSeparator + "y", "1+x", 3},
  };
  using Insert = std::function<void(const QString&)>;
  const std::pair<const char*, Insert> ways[] = {
      {"paste",
       [this](const QString& text) {
         QGuiApplication::clipboard()->setText(text);
         QTest::keyClick(window_, Qt::Key_V, Qt::ControlModifier);
       }},
      {"keys",  // an input tool that sends several characters in one key event
       [this](const QString& text) {
         QTest::sendKeyEvent(QTest::Click, window_, Qt::Key_unknown, text, Qt::NoModifier);
       }},
      {"input method",
       [this](const QString& text) {
         QInputMethodEvent commit;
         commit.setCommitString(text);
         QCoreApplication::sendEvent(box_, &commit);
       }},
  };
  for (const auto& [way, insert] : ways) {
    for (const InsertCase& c : cases) {
      // A key event's text is typed only when it starts with a printable character.
      if (std::string_view(way) == "keys" && !c.inserted.front().isPrint()) continue;
      dialog_.SetControlText(kBox, c.before.toStdString());
      if (c.selectAll) {
        box_->selectAll();
      } else {
        box_->setCursorPosition(c.cursor);
      }
      insert(c.inserted);
      EXPECT_EQ(box_->text().toStdString(), c.after.toStdString()) << way << ": " << c.name;
      EXPECT_EQ(box_->cursorPosition(), c.cursorAfter) << way << ": " << c.name;
    }
  }
  // Enter then sends one formula of one line.
  dialog_.SetControlText(kBox, "");
  QGuiApplication::clipboard()->setText("x^2\nx^3\n");
  QTest::keyClick(window_, Qt::Key_V, Qt::ControlModifier);
  QTest::keyClick(window_, Qt::Key_Return);
  EXPECT_EQ(dialog_.GetControlText(kBox), "x^2");
  EXPECT_EQ(commands_, (std::vector<int>{kCommandOk}));
}

TEST_F(TextBoxTest, TextSetFromTheProgramKeepsItsFirstLine) {
  dialog_.SetControlText(kBox, "SIN(x)\r\nCOS(x)");
  EXPECT_EQ(dialog_.GetControlText(kBox), "SIN(x)");
  Dialog other("Prova", 0, 0, 100, 40, false);
  other.AddControl(ControlKind::TextBox, kBox, "x^2\n1", 0, 0, 100, 22);
  EXPECT_EQ(other.GetControlText(kBox), "x^2");
}

TEST_F(TextBoxTest, KeepsItsSelectionShownWhenItLosesTheFocus) {
  dialog_.SetControlText(kBox, "SIN(x)*x^2");
  QTest::keyClick(window_, Qt::Key_End);
  for (int i = 0; i < 3; ++i) QTest::keyClick(window_, Qt::Key_Left, Qt::ShiftModifier);
  ASSERT_EQ(box_->selectedText().toStdString(), "x^2");
  auto highlighted = [this] {
    const QColor mark = box_->palette().color(QPalette::Highlight);
    const QImage shown = box_->grab().toImage();
    int count = 0;
    for (int y = 0; y < shown.height(); ++y) {
      for (int x = 0; x < shown.width(); ++x) count += shown.pixelColor(x, y) == mark ? 1 : 0;
    }
    return count;
  };
  ASSERT_GT(highlighted(), 20);

  // Away by the program, and by a click on the list.
  dialog_.SetControlFocus(kList);
  EXPECT_EQ(dialog_.FocusedControl(), kList);
  auto* list = dialog_.Widget()->findChild<QListWidget*>();
  QTest::mouseClick(window_, Qt::LeftButton, {},
                    list->viewport()->mapTo(dialog_.Widget(), QPoint(20, 20)));
  EXPECT_EQ(box_->selectedText().toStdString(), "x^2");
  EXPECT_EQ(box_->cursorPosition(), 7);  // it was selected leftwards
  EXPECT_GT(highlighted(), 20);

  // Back in the box, typing replaces the selection.
  dialog_.SetControlFocus(kBox);
  QTest::keyClick(window_, Qt::Key_Y);
  EXPECT_EQ(dialog_.GetControlText(kBox), "SIN(x)*y");
}

// Longer than QLineEdit's own limit of 32,767 characters: the box holds a long formula whole,
// however it got there, and edits it at the caret as a short one.
TEST_F(TextBoxTest, ALongFormulaIsHeldWholeAndEditedAtTheCaret) {
  QString formula;
  while (formula.size() < 100000) formula += "x^2+";
  formula.chop(1);  // 99,999 characters, ending on "x^2"
  using Put = std::function<void(const QString&)>;
  const std::pair<const char*, Put> ways[] = {
      {"set by the program",
       [this](const QString& text) { dialog_.SetControlText(kBox, text.toStdString()); }},
      {"pasted",
       [this](const QString& text) {
         dialog_.SetControlText(kBox, "");
         QGuiApplication::clipboard()->setText(text);
         QTest::keyClick(window_, Qt::Key_V, Qt::ControlModifier);
       }},
      {"input method",
       [this](const QString& text) {
         dialog_.SetControlText(kBox, "");
         QInputMethodEvent commit;
         commit.setCommitString(text);
         QCoreApplication::sendEvent(box_, &commit);
       }},
  };
  for (const auto& [way, put] : ways) {
    put(formula);
    EXPECT_EQ(dialog_.GetControlText(kBox), formula.toStdString()) << way;
    // Typed at the end, then at the start, then a selection from the caret to the end replaced.
    QTest::keyClick(window_, Qt::Key_End);
    QTest::keyClicks(box_, "-1");
    EXPECT_EQ(box_->cursorPosition(), formula.size() + 2) << way;
    QTest::keyClick(window_, Qt::Key_Home);
    QTest::keyClick(window_, Qt::Key_2);
    EXPECT_EQ(box_->cursorPosition(), 1) << way;
    EXPECT_EQ(dialog_.GetControlText(kBox), ("2" + formula + "-1").toStdString()) << way;
    box_->setCursorPosition(4);
    QTest::keyClick(window_, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(box_->selectedText().size(), formula.size() - 1) << way;
    QTest::keyClick(window_, Qt::Key_Y);
    EXPECT_EQ(dialog_.GetControlText(kBox), "2x^2y") << way;
  }
}

}  // namespace
}  // namespace funzioni
