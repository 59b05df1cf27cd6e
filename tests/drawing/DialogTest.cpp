// The dialog and its stock controls, offscreen.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QWidget>

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

}  // namespace
}  // namespace funzioni
