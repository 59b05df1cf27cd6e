// The dialog and its stock controls, offscreen.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <string>
#include <vector>

#include "drawing/DialogServices.h"

namespace funzioni {
namespace {

constexpr int kBoard = 2000;
constexpr int kList = 1460;
constexpr int kBox = 1480;

std::unique_ptr<Dialog> MakeDialog() {
  auto d = std::make_unique<Dialog>("Prova", 0, 0, 400, 300, true);
  d->AddControl(ControlKind::Surface, kBoard, "", 4, 4, 200, 150);
  d->AddControl(ControlKind::TextList, kList, "", 210, 4, 180, 120);
  d->AddControl(ControlKind::TextBox, kBox, "", 210, 130, 180, 22);
  return d;
}

TEST(DialogTest, ControlsSitAtTheirRectangles) {
  auto d = MakeDialog();
  EXPECT_EQ(d->GetControlRect(kBoard), (PixelRect{4, 4, 200, 150}));
  EXPECT_EQ(d->GetControlRect(kList), (PixelRect{210, 4, 180, 120}));
  EXPECT_EQ(d->GetControlRect(kBox), (PixelRect{210, 130, 180, 22}));
  EXPECT_EQ(d->GetControlRect(1), (PixelRect{}));
  EXPECT_EQ(d->Widget()->size(), QSize(400, 300));
}

TEST(DialogTest, IdentifiersOutOfRangeOrReusedAreIgnored) {
  auto d = MakeDialog();
  d->AddControl(ControlKind::Surface, -1, "", 0, 0, 10, 10);
  d->AddControl(ControlKind::Surface, 10001, "", 0, 0, 10, 10);
  d->AddControl(ControlKind::Surface, kBoard, "", 0, 0, 10, 10);
  d->AddControl(ControlKind::Surface, 10000, "", 0, 0, 10, 10);
  EXPECT_FALSE(d->HasControl(-1));
  EXPECT_FALSE(d->HasControl(10001));
  EXPECT_TRUE(d->HasControl(10000));
  EXPECT_EQ(d->GetControlRect(kBoard), (PixelRect{4, 4, 200, 150}));
}

TEST(DialogTest, AttachSurfaceChoosesTheCurrentSurfaceOrNone) {
  auto d = MakeDialog();
  DrawingSurface& board = d->AttachSurface(kBoard);
  EXPECT_EQ(board.GetSurfaceSize(), (PixelSize{200, 150}));
  EXPECT_EQ(&d->CurrentSurface(), &board);
  EXPECT_EQ(d->FindSurface(kBoard), &board);
  DrawingSurface& none = d->AttachSurface(kList);
  EXPECT_EQ(none.GetSurfaceSize(), (PixelSize{0, 0}));
  none.LineTo(10, 10, 0xFF);
  d->RedrawSurface();
  EXPECT_EQ(d->FindSurface(kList), nullptr);
  EXPECT_EQ(d->AttachSurface(kBoard).GetSurfaceSize(), (PixelSize{200, 150}));
}

TEST(DialogTest, StretchesShowTheFaceColourOutsideTheirSourceOnEverySurface) {
  auto d = MakeDialog();  // the board is added before the face is set
  EXPECT_EQ(d->FaceColor(), kDefaultFaceColor);
  d->SetFaceColor(0x7F123456);
  EXPECT_EQ(d->FaceColor(), 0x00123456);  // the colour's own bits only
  d->AddControl(ControlKind::Surface, 1, "", 0, 0, 4, 4);
  for (const int id : {kBoard, 1}) {
    DrawingSurface& s = d->AttachSurface(id);
    s.StretchSurface(DrawingSurface(), 0, 0, 1, 1, 0, 0, 1, 1);
    EXPECT_EQ(s.PixelAt(1, 1), 0x00123456) << id;
  }
}

TEST(DialogTest, UserValuesOfSurfacesAndOtherControls) {
  auto d = MakeDialog();
  d->SetControlUserValue(kBoard, 8, 2000);
  EXPECT_EQ(d->AttachSurface(kBoard).UserValue(8), 2000);
  d->AttachSurface(kBoard).SetUserValue(3, 33);
  EXPECT_EQ(d->GetControlUserValue(kBoard, 3), 33);
  d->SetControlUserValue(kList, 1, 7);
  EXPECT_EQ(d->GetControlUserValue(kList, 1), 7);
  d->SetControlUserValue(kList, 9, 7);
  EXPECT_EQ(d->GetControlUserValue(kList, 9), 0);
  EXPECT_EQ(d->GetControlUserValue(4242, 1), 0);
}

TEST(DialogTest, ListLinesKeepTheirOrderAndOneLineIsSelected) {
  auto d = MakeDialog();
  EXPECT_EQ(d->ListGetSelected(kList), "");
  for (const char* line : {"x^2", "SIN(x)*x^2", "LOG10(x)+1"}) d->ListAdd(kList, line);
  EXPECT_EQ(d->ListCount(kList), 3);
  EXPECT_EQ(d->ListLine(kList, 1), "x^2");
  EXPECT_EQ(d->ListLine(kList, 3), "LOG10(x)+1");
  EXPECT_EQ(d->ListLine(kList, 4), "");
  EXPECT_EQ(d->ListGetSelected(kList), "");
  d->ListSelect(kList, 2);
  EXPECT_EQ(d->ListGetSelected(kList), "SIN(x)*x^2");
  d->ListSelect(kList, 3);
  EXPECT_EQ(d->ListGetSelected(kList), "LOG10(x)+1");
  d->ListSelect(kList, 0);
  EXPECT_EQ(d->ListGetSelected(kList), "");
  d->ListSelect(kList, 2);
  d->ListReset(kList);
  EXPECT_EQ(d->ListCount(kList), 0);
  EXPECT_EQ(d->ListGetSelected(kList), "");
  // List operations on other controls do nothing.
  d->ListAdd(kBox, "no");
  EXPECT_EQ(d->ListCount(kBox), 0);
  EXPECT_EQ(d->GetControlText(kBox), "");
}

// A long line reads back whole, and the list looks exactly as a plain list holding the whole
// lines does.
TEST(DialogTest, LongListLinesReadBackWholeAndLookTheSame) {
  auto d = MakeDialog();
  std::vector<std::string> lines;
  for (const std::size_t repeats : {1u, 300u, 2000u, 9000u}) {
    std::string line;
    for (std::size_t k = 0; k < repeats; ++k) line += "SIN(x)+x\xc3\xa0*";
    lines.push_back(line);
  }
  for (const std::string& line : lines) d->ListAdd(kList, line);
  d->ListSelect(kList, 4);
  EXPECT_EQ(d->ListGetSelected(kList), lines[3]);
  for (std::size_t k = 0; k < lines.size(); ++k) {
    EXPECT_EQ(d->ListLine(kList, static_cast<int>(k + 1)), lines[k]) << k;
  }
  // The same dialog with the whole lines given to the list itself.
  auto plain = MakeDialog();
  auto* plainList = plain->Widget()->findChild<QListWidget*>();
  ASSERT_NE(plainList, nullptr);
  for (const std::string& line : lines) plainList->addItem(QString::fromStdString(line));
  plain->ListSelect(kList, 4);
  EXPECT_EQ(d->Widget()->findChild<QListWidget*>()->grab().toImage(), plainList->grab().toImage());
}

TEST(DialogTest, ListSelectScrollsTheLineIntoView) {
  auto d = MakeDialog();
  for (int i = 1; i <= 200; ++i) d->ListAdd(kList, "riga " + std::to_string(i));
  d->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(d->Widget()->windowHandle()));
  d->ListSelect(kList, 180);
  auto* list = d->Widget()->findChild<QListWidget*>();
  ASSERT_NE(list, nullptr);
  QCoreApplication::processEvents();
  const QRect line = list->visualItemRect(list->item(179));
  EXPECT_TRUE(list->viewport()->rect().contains(line)) << line.y();
  EXPECT_NE(list->verticalScrollBar(), nullptr);
  EXPECT_EQ(list->frameShadow(), QFrame::Sunken);
}

TEST(DialogTest, TextBoxTextAndFocus) {
  auto d = MakeDialog();
  d->SetControlText(kBox, "SIN(x)*x^2");
  EXPECT_EQ(d->GetControlText(kBox), "SIN(x)*x^2");
  d->SetControlText(kBox, "Verr\xC3\xA0");
  EXPECT_EQ(d->GetControlText(kBox), "Verr\xC3\xA0");
  d->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(d->Widget()->windowHandle()));
  d->SetControlFocus(kList);
  EXPECT_EQ(d->FocusedControl(), kList);
  d->SetControlFocus(kBox);
  EXPECT_EQ(d->FocusedControl(), kBox);
  d->SetControlFocus(kBoard);  // surfaces take no keyboard focus
  EXPECT_EQ(d->FocusedControl(), kBox);
}

TEST(DialogTest, ControlFontsFitTheirCellHeightAndFace) {
  auto d = MakeDialog();
  d->SetControlFont(kList, "courier", 14, "");
  d->SetControlFont(kBox, "arial", 20, "bold");
  auto* list = d->Widget()->findChild<QListWidget*>();
  auto* box = d->Widget()->findChild<QLineEdit*>();
  ASSERT_NE(list, nullptr);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(list->font().family(), "Liberation Mono");
  EXPECT_EQ(box->font().family(), "Liberation Sans");
  EXPECT_LE(QFontMetrics(list->font()).height(), 14);
  EXPECT_GE(QFontMetrics(list->font()).height(), 12);
  EXPECT_LE(QFontMetrics(box->font()).height(), 20);
  EXPECT_GE(QFontMetrics(box->font()).height(), 18);
  EXPECT_EQ(box->font().weight(), QFont::Bold);
  EXPECT_EQ(list->font().weight(), QFont::Normal);
  EXPECT_TRUE(QFontInfo(box->font()).exactMatch() ||
              QFontInfo(box->font()).family() == "Liberation Sans");
}

TEST(DialogTest, CentredByItsFrameKeepingTheTitleBarOnTheScreen) {
  Dialog d("Funzioni", 0, 0, 400, 300, true);
  EXPECT_EQ(d.Widget()->windowTitle(), "Funzioni");
  d.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(d.Widget()->windowHandle()));
  const QRect screen = d.Widget()->screen()->availableGeometry();
  const QRect frame = d.Widget()->frameGeometry();
  ASSERT_NE(frame, d.Widget()->geometry());  // the offscreen platform frames its windows
  EXPECT_EQ(d.Widget()->size(), QSize(400, 300));
  EXPECT_LE(std::abs((frame.left() - screen.left()) - (screen.right() - frame.right())), 1);
  EXPECT_LE(std::abs((frame.top() - screen.top()) - (screen.bottom() - frame.bottom())), 1);

  Dialog tall("Alta", 0, 0, 300, screen.height() + 100, true);
  tall.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(tall.Widget()->windowHandle()));
  EXPECT_EQ(tall.Widget()->frameGeometry().top(), screen.top());
}

TEST(DialogTest, MaximisingKeepsTheClientAreaWithItsControlsCentredOnTheFace) {
  auto d = MakeDialog();
  std::vector<std::string> events;
  d->SetEventHandler([&events](const DialogEvent& e) {
    if (e.kind == EventKind::PointerShape) events.push_back("shape " + std::to_string(e.id));
    if (e.kind == EventKind::Command) events.push_back("command " + std::to_string(e.id));
  });
  d->SetFaceColor(0x003C4E3C);
  QWidget* w = d->Widget();
  EXPECT_TRUE(w->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(w->minimumSize(), QSize(400, 300));
  d->Show();
  QWindow* window = w->windowHandle();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  DrawingSurface& board = d->AttachSurface(kBoard);
  board.ClearSurface(0x000000FF);
  d->RedrawSurface();

  w->showMaximized();
  ASSERT_TRUE(QTest::qWaitFor([w] { return w->width() > 400 && w->height() > 300; }, 2000));
  const QPoint client((w->width() - 400) / 2, (w->height() - 300) / 2);
  EXPECT_EQ(d->GetControlRect(kBoard), (PixelRect{4, 4, 200, 150}));
  const QImage shown = w->grab().toImage();
  EXPECT_EQ(shown.pixelColor(client + QPoint(4, 4)), QColor(255, 0, 0));
  EXPECT_EQ(shown.pixelColor(client + QPoint(3, 3)), QColor(0x3C, 0x4E, 0x3C));
  EXPECT_EQ(shown.pixelColor(QPoint(1, 1)), QColor(0x3C, 0x4E, 0x3C));

  // Pointer positions are the client area's, wherever it lies in the window.
  QTest::mouseMove(window, client + QPoint(50, 50));
  EXPECT_EQ(d->GetPointerPosition(), (PixelPoint{50, 50}));
  QTest::mouseClick(window, Qt::LeftButton, {}, client + QPoint(50, 50));
  QTest::mouseMove(window, QPoint(1, 1));
  EXPECT_EQ(d->GetPointerPosition(), (PixelPoint{1 - client.x(), 1 - client.y()}));
  EXPECT_EQ(events, (std::vector<std::string>{"shape 2000", "shape 2000", "command 2000",
                                              "shape 2000", "shape 0"}));

  w->showNormal();
  ASSERT_TRUE(QTest::qWaitFor([w] { return w->size() == QSize(400, 300); }, 2000));
  EXPECT_EQ(w->grab().toImage().pixelColor(QPoint(4, 4)), QColor(255, 0, 0));
}

}  // namespace
}  // namespace funzioni
