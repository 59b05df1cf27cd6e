// The window at the scale chosen for the screen: every window pixel is an even block of device
// pixels, the pointer at any device pixel finds the control it lies in, and drawn text keeps its
// pixel size. The same tests run once per screen set-up (see shell_tests.cmake), each with the
// scale it must come out at in FUNZIONI_EXPECTED_SCALE.
#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "ProgramInfo.h"
#include "ShellFixture.h"
#include "drawing/GuiApplication.h"

namespace funzioni::testing {
namespace {

int ExpectedScale() {
  const char* value = std::getenv("FUNZIONI_EXPECTED_SCALE");
  return value == nullptr ? 1 : std::atoi(value);
}

bool Contains(const PixelRect& r, int x, int y) {
  return x >= r.x && y >= r.y && x < r.x + r.width && y < r.y + r.height;
}

TEST(FittingScale, RoundsTheDesktopFactorAndLowersItUntilTheWindowFits) {
  const PixelSize client{kClientWidth, kClientHeight};
  struct Case {
    double factor;
    PixelSize available;
    int scale;
  };
  const Case cases[] = {
      {1.0, {1920, 1040}, 1},  {1.25, {3840, 2100}, 1}, {1.5, {3840, 2100}, 2},
      {1.75, {3840, 2100}, 2}, {2.0, {3840, 2100}, 2},  {3.0, {3840, 2100}, 2},
      {2.0, {2560, 1400}, 1},  {2.0, {1980, 1536}, 2},  {2.0, {1979, 1536}, 1},
      {2.0, {1980, 1535}, 1},  {3.0, {800, 600}, 1},    {0.5, {3840, 2100}, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FittingScale(c.factor, c.available, client), c.scale)
        << c.factor << " on " << c.available.width << "x" << c.available.height;
  }
}

class WindowScale : public ShellFixture {};

TEST_F(WindowScale, IsTheWholeFactorThatFitsAndEveryWindowPixelAnEvenBlock) {
  Start();
  const int s = ExpectedScale();
  ASSERT_EQ(Handle()->devicePixelRatio(), s);
  const QImage grab = dialog().Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(grab.width(), kClientWidth * s);
  ASSERT_EQ(grab.height(), kClientHeight * s);

  // What each window pixel must show: a surface's own picture, or the face colour. The stock
  // controls draw their text at the device's resolution and are left out.
  std::vector<PixelRect> stock;
  for (const int id : {kResultsListId, kHistoryListId, kFormulaBoxId}) {
    stock.push_back(dialog().GetControlRect(id));
  }
  QImage expected(kClientWidth, kClientHeight, QImage::Format_RGB32);
  const Color face = kFaceColor;
  expected.fill(qRgb(face & 0xFF, (face >> 8) & 0xFF, (face >> 16) & 0xFF));
  for (int id = 0; id <= 10000; ++id) {
    const DrawingSurface* surface = dialog().FindSurface(id);
    if (surface == nullptr) continue;
    const PixelRect r = dialog().GetControlRect(id);
    const std::uint32_t* pixels = surface->ScreenPixels();
    for (int y = 0; y < r.height; ++y) {
      for (int x = 0; x < r.width; ++x) {
        expected.setPixel(r.x + x, r.y + y, pixels[y * r.width + x]);
      }
    }
  }
  int wrong = 0;
  for (int y = 0; y < kClientHeight; ++y) {
    for (int x = 0; x < kClientWidth; ++x) {
      bool isStock = false;
      for (const PixelRect& r : stock) isStock = isStock || Contains(r, x, y);
      if (isStock) continue;
      const QRgb want = expected.pixel(x, y) & 0xFFFFFF;
      for (int dy = 0; dy < s; ++dy) {
        for (int dx = 0; dx < s; ++dx) {
          if ((grab.pixel(x * s + dx, y * s + dy) & 0xFFFFFF) != want) ++wrong;
        }
      }
    }
  }
  EXPECT_EQ(wrong, 0) << "device pixels that differ from their window pixel";
}

TEST_F(WindowScale, PointerAtAnyDevicePixelFindsTheControlItLiesIn) {
  Start();
  const int s = ExpectedScale();
  const int id = kSwitchBaseId + 1;
  const PixelRect r = dialog().GetControlRect(id);
  // A device pixel d reaches the window at d / s, as the window system reports it.
  const auto at = [s](int device) { return static_cast<double>(device) / s; };
  const auto send = [this](QEvent::Type type, double x, double y, Qt::MouseButton button) {
    const QPointF local(x, y);
    QMouseEvent event(type, local, local, Handle()->mapToGlobal(local), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
    QCoreApplication::sendEvent(Handle(), &event);
    Settle(0);
  };
  const int first = r.x * s;
  const int last = (r.x + r.width) * s - 1;
  const double y = at(r.y * s + s / 2);
  struct Case {
    int device;
    bool inside;
  };
  for (const Case c :
       {Case{first - 1, false}, Case{first, true}, Case{last, true}, Case{last + 1, false}}) {
    send(QEvent::MouseMove, at(c.device), y, Qt::NoButton);
    EXPECT_EQ(window().hoverId() == id, c.inside) << "device pixel " << c.device;
  }
  const bool before = window().state().curveOn[1] != 0;
  send(QEvent::MouseButtonPress, at(last), y, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, at(last), y, Qt::LeftButton);
  EXPECT_NE(window().state().curveOn[1] != 0, before) << "a click at its last device pixel";
}

TEST(ScaledText, KeepsItsPixelSize) {
  // Liberation Sans at 13 pixels (10 points at 96 dots), whatever the screen's dots per inch.
  DrawingSurface surface(40, 30);
  surface.ClearSurface(0x00FFFFFF);
  surface.SetSurfaceFont("Arial", 10);
  surface.SetForegroundColor(0);
  surface.SetBackgroundColor(-2);
  surface.MoveTo(5, 5);
  surface.PrintText("H");
  EXPECT_EQ(surface.MeasureText("Ag").height, 15);
  int top = 30, bottom = -1, left = 40, right = -1;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      if (surface.PixelAt(x, y) == 0x00FFFFFF) continue;
      top = std::min(top, y);
      bottom = std::max(bottom, y);
      left = std::min(left, x);
      right = std::max(right, x);
    }
  }
  EXPECT_EQ(bottom - top + 1, 9) << "height of the ink of H";
  EXPECT_EQ(right - left + 1, 7) << "width of the ink of H";
}

}  // namespace
}  // namespace funzioni::testing

int main(int argc, char** argv) {
  // Tests never need a display; a platform given from outside still wins.
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::testing::InitGoogleTest(&argc, argv);
  const funzioni::GuiApplication application(argc, argv, funzioni::kApplicationId,
                                             {funzioni::kClientWidth, funzioni::kClientHeight});
  return RUN_ALL_TESTS();
}
