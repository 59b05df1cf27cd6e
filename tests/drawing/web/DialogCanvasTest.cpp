// The page's canvas shows every surface as it was last redrawn, the ones added later on top and
// the focus ring over the ringed one, while only the pixels that changed are put there again.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <span>
#include <vector>

#include "FakePage.h"
#include "drawing/DialogServices.h"
#include "drawing/web/CanvasPixels.h"
#include "drawing/web/PageAccess.h"
#include "drawing/web/PageBridge.h"

namespace funzioni {
namespace {

using web::testing::Page;

TEST(UpdateCanvasPixelsTest, FindsTheSmallestRectangleOfWhatChanged) {
  constexpr PixelSize kSize{8, 6};
  struct Row {
    const char* name;
    std::vector<PixelPoint> changed;
    bool keepBorder;
    PixelRect expected;
  };
  const Row rows[] = {
      {"nothing", {}, false, {}},
      {"one pixel", {{3, 2}}, false, {3, 2, 1, 1}},
      {"two corners", {{0, 0}, {7, 5}}, false, {0, 0, 8, 6}},
      {"a column", {{5, 1}, {5, 4}}, false, {5, 1, 1, 4}},
      {"across rows", {{6, 1}, {2, 3}}, false, {2, 1, 5, 3}},
      {"the border kept", {{0, 0}, {7, 3}, {2, 5}}, true, {}},
      {"inside the border kept", {{0, 0}, {1, 1}, {6, 4}}, true, {1, 1, 6, 4}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::uint32_t> picture(kSize.width * kSize.height, 0xFF102030u);
    std::vector<std::uint32_t> shown;
    const PixelRect first = web::UpdateCanvasPixels(picture.data(), kSize, shown, row.keepBorder);
    EXPECT_EQ(first, (PixelRect{0, 0, kSize.width, kSize.height})) << "a new copy is all new";
    for (const PixelPoint p : row.changed) picture[p.y * kSize.width + p.x] = 0xFFAABBCCu;
    const std::vector<std::uint32_t> before = shown;
    EXPECT_EQ(web::UpdateCanvasPixels(picture.data(), kSize, shown, row.keepBorder), row.expected);
    for (int y = 0; y < kSize.height; ++y) {
      for (int x = 0; x < kSize.width; ++x) {
        const bool border = x == 0 || y == 0 || x == kSize.width - 1 || y == kSize.height - 1;
        const std::size_t i = static_cast<std::size_t>(y * kSize.width + x);
        // R and B trade places on the canvas.
        const std::uint32_t want =
            row.keepBorder && border ? before[i] : web::CanvasOrder(picture[i]);
        EXPECT_EQ(shown[i], want) << x << "," << y;
      }
    }
  }
  EXPECT_EQ(web::CanvasOrder(0xFFAABBCCu), 0xFFCCBBAAu);
}

// Pictures of odd and even widths, changed at scattered places, at a row's ends and in pairs of
// words that differ in one half only: the rectangle and the copy are what a pixel-by-pixel look
// finds.
TEST(UpdateCanvasPixelsTest, AgreesWithAPixelByPixelLook) {
  std::mt19937 random(20261210);
  for (const PixelSize size :
       {PixelSize{1, 3}, PixelSize{2, 2}, PixelSize{7, 5}, PixelSize{16, 9}, PixelSize{33, 17}}) {
    for (const bool keepBorder : {false, true}) {
      for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(::testing::Message() << size.width << "x" << size.height << " border "
                                          << keepBorder << " round " << round);
        const auto count = static_cast<std::size_t>(size.width * size.height);
        std::vector<std::uint32_t> picture(count);
        for (auto& word : picture) word = 0xFF000000u | (random() & 0x30303u);
        std::vector<std::uint32_t> shown;
        web::UpdateCanvasPixels(picture.data(), size, shown, keepBorder);
        const int changes = static_cast<int>(random() % 4);
        for (int i = 0; i < changes; ++i) picture[random() % count] ^= 0x10000u << (random() % 8);
        std::vector<std::uint32_t> expected = shown;
        const int edge = keepBorder ? 1 : 0;
        int left = size.width, right = 0, top = size.height, bottom = 0;
        for (int y = edge; y < size.height - edge; ++y) {
          for (int x = edge; x < size.width - edge; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * size.width + x);
            if (web::CanvasOrder(picture[i]) == expected[i]) continue;
            expected[i] = web::CanvasOrder(picture[i]);
            left = std::min(left, x);
            right = std::max(right, x + 1);
            top = std::min(top, y);
            bottom = std::max(bottom, y + 1);
          }
        }
        const PixelRect want =
            top == size.height ? PixelRect{} : PixelRect{left, top, right - left, bottom - top};
        EXPECT_EQ(web::UpdateCanvasPixels(picture.data(), size, shown, keepBorder), want);
        EXPECT_EQ(shown, expected);
      }
    }
  }
}

constexpr int kBelow = 5;  // 100 x 100 at (0, 0)
constexpr int kAbove = 9;  // 100 x 100 at (50, 50), added later: over part of kBelow
constexpr PixelRect kBelowRect{0, 0, 100, 100};
constexpr PixelRect kAboveRect{50, 50, 100, 100};

class DialogCanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    web::testing::ResetPage();
    dialog_ = std::make_unique<Dialog>("prova", 0, 0, 200, 200, true);
    dialog_->AddControl(ControlKind::Surface, kBelow, "", 0, 0, 100, 100);
    dialog_->AddControl(ControlKind::Surface, kAbove, "", 50, 50, 100, 100);
    dialog_->SetEventHandler([](const DialogEvent&) {});
    dialog_->Show();
    web::testing::FireTimeouts();
  }
  void TearDown() override {
    dialog_.reset();
    web::testing::ResetPage();
  }

  // Draws on a surface and shows it; the pixels put on the canvas for it.
  long long Draw(int id, const std::function<void(DrawingSurface&)>& draw) {
    Page().blitPixels = 0;
    draw(dialog_->AttachSurface(id));
    dialog_->RedrawSurface();
    return Page().blitPixels;
  }

  // The canvas's pixel where the surfaces are: the topmost surface's, ring included.
  void ExpectCanvasShowsTheSurfaces() {
    std::vector<std::uint32_t> expected = Page().canvas;
    for (const auto& [id, rect] : {std::pair{kBelow, kBelowRect}, std::pair{kAbove, kAboveRect}}) {
      std::vector<std::uint32_t> pixels = web::CanvasPixels(*dialog_->FindSurface(id));
      if (web::DrawnControlsOf(*dialog_).Ringed(id)) {
        web::DrawFocusRing(pixels, {rect.width, rect.height});
      }
      for (int y = 0; y < rect.height; ++y) {
        for (int x = 0; x < rect.width; ++x) {
          expected[(rect.y + y) * 200 + rect.x + x] = pixels[y * rect.width + x];
        }
      }
    }
    int wrong = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) wrong += expected[i] != Page().canvas[i];
    EXPECT_EQ(wrong, 0) << "canvas pixels unlike the surfaces";
  }

  std::unique_ptr<Dialog> dialog_;
};

TEST_F(DialogCanvasTest, OnlyWhatChangedGoesToTheCanvas) {
  const Color red = 0x0000FF;
  const Color blue = 0xFF0000;
  struct Row {
    const char* name;
    int id;
    std::function<void(DrawingSurface&)> draw;
    long long pixels;  // put on the canvas
  };
  const Row rows[] = {
      {"one pixel", kBelow, [&](DrawingSurface& s) { s.SetPixel(10, 10, red); }, 1},
      {"the same pixel again", kBelow, [&](DrawingSurface& s) { s.SetPixel(10, 10, red); }, 0},
      // The surface above is put back over the part that changed beneath it.
      {"a pixel under the surface above", kBelow,
       [&](DrawingSurface& s) { s.SetPixel(70, 70, red); }, 2},
      {"ten pixels in a row above", kAbove,
       [&](DrawingSurface& s) {
         for (int x = 10; x < 20; ++x) s.SetPixel(x, 20, blue);
       },
       10},
      {"a box in both corners", kBelow,
       [&](DrawingSurface& s) {
         s.SetPixel(0, 0, blue);
         s.SetPixel(99, 99, blue);
       },
       100 * 100 + 50 * 50},
      {"cleared", kAbove, [&](DrawingSurface& s) { s.ClearSurface(0x123456); }, 100 * 100},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Draw(row.id, row.draw), row.pixels);
    ExpectCanvasShowsTheSurfaces();
  }
}

TEST_F(DialogCanvasTest, TheRingAndTheFaceShowOverWhatIsKept) {
  web::DrawnControls& drawn = web::DrawnControlsOf(*dialog_);
  ControlDescription about;
  about.role = AccessibleRole::Slider;
  drawn.Describe(kBelow, about);
  Page().blitPixels = 0;
  drawn.ShowRingOn(kBelow);
  EXPECT_EQ(Page().blitPixels, 100 * 100 + 50 * 50) << "the ring comes with the whole picture";
  ExpectCanvasShowsTheSurfaces();
  // Beneath the ring's border a change shows nothing; inside it, it shows.
  EXPECT_EQ(Draw(kBelow, [](DrawingSurface& s) { s.SetPixel(0, 40, 0x00FF00); }), 0);
  EXPECT_EQ(Draw(kBelow, [](DrawingSurface& s) { s.SetPixel(1, 40, 0x00FF00); }), 1);
  ExpectCanvasShowsTheSurfaces();
  drawn.ShowRingOn(0);
  ExpectCanvasShowsTheSurfaces();
  EXPECT_NE(Page().canvas[40 * 200], web::CanvasOrder(0xFF000000u)) << "the ring is gone";
  // The face is painted over the whole canvas: every surface is put back whole.
  Page().blitPixels = 0;
  dialog_->SetFaceColor(0x808080);
  EXPECT_EQ(Page().blitPixels, 2 * 100 * 100 + 50 * 50);
  ExpectCanvasShowsTheSurfaces();
  EXPECT_EQ(Page().canvas[199 * 200], web::testing::kFaceWord);
}

// The shown dialog's pictures wait for the page's show: redrawn twice meanwhile, a surface goes
// to the canvas once, with its last picture; the face painted over everything brings every
// surface back whole; the dialog's end shows what still waits.
TEST_F(DialogCanvasTest, RedrawnPicturesWaitForThePagesShow) {
  Page().holdShows = true;
  const int asked = Page().showsAsked;
  Page().blits = 0;
  Page().blitPixels = 0;
  DrawingSurface& below = dialog_->AttachSurface(kBelow);
  below.SetPixel(10, 10, 0x0000FF);
  dialog_->RedrawSurface();
  below.SetPixel(11, 10, 0x0000FF);
  dialog_->RedrawSurface();
  EXPECT_EQ(Page().blits, 0) << "nothing goes to the canvas before the page's show";
  EXPECT_GT(Page().showsAsked, asked);
  web::ThePage().shown->ShowWaiting();
  EXPECT_EQ(Page().blits, 1) << "one blit for both redraws";
  EXPECT_EQ(Page().blitPixels, 2);
  ExpectCanvasShowsTheSurfaces();
  web::ThePage().shown->ShowWaiting();
  EXPECT_EQ(Page().blits, 1) << "a show with nothing waiting puts nothing on the canvas";

  below.SetPixel(12, 10, 0x0000FF);
  dialog_->RedrawSurface();
  dialog_->SetFaceColor(0x808080);
  Page().blitPixels = 0;
  web::ThePage().shown->ShowWaiting();
  EXPECT_EQ(Page().blitPixels, 2 * 100 * 100 + 50 * 50) << "after the face, every surface whole";
  ExpectCanvasShowsTheSurfaces();

  dialog_->AttachSurface(kAbove).SetPixel(60, 60, 0xFF0000);
  dialog_->RedrawSurface();
  dialog_.reset();
  EXPECT_EQ(Page().canvas[110 * 200 + 110], web::CanvasOrder(0xFF0000FFu))
      << "the dialog's end shows the picture still waiting";
}

// A slider's mirror asks the control for its state after the frame, not at each picture: shown
// twice meanwhile, the page is asked once, and the mirror then takes the last state; a control no
// longer described by then is passed over.
TEST_F(DialogCanvasTest, MirrorsTakeTheStateOfControlsShownAnewWhenThePageAsks) {
  web::DrawnControls& drawn = web::DrawnControlsOf(*dialog_);
  double value = 1;
  int asked = 0;
  ControlDescription about;
  about.role = AccessibleRole::Slider;
  about.range = [&] {
    ++asked;
    return AccessibleRange{value, 0, 10, 1, "v"};
  };
  drawn.Describe(kBelow, about);
  ASSERT_EQ(Page().mirrorStates[kBelow].range->value, 1);
  Page().holdMirrorRefresh = true;
  const int refreshes = Page().mirrorRefreshesAsked;
  asked = 0;
  for (const double v : {2.0, 3.0}) {
    value = v;
    Draw(kBelow, [](DrawingSurface& s) { s.SetPixel(5, 5, 0x00FF00); });
  }
  EXPECT_EQ(asked, 0) << "the control is not asked while its pictures are shown";
  EXPECT_EQ(Page().mirrorRefreshesAsked, refreshes + 1);
  EXPECT_EQ(Page().mirrorStates[kBelow].range->value, 1);
  drawn.RefreshStale();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(Page().mirrorStates[kBelow].range->value, 3);
  drawn.RefreshStale();
  EXPECT_EQ(asked, 1) << "nothing left to refresh";

  Draw(kBelow, [](DrawingSurface& s) { s.SetPixel(6, 5, 0x00FF00); });
  drawn.Forget();
  drawn.RefreshStale();
  EXPECT_EQ(asked, 1) << "a control no longer described is not asked";
}

}  // namespace
}  // namespace funzioni
