#pragma once

#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "controls/ControlTable.h"
#include "drawing/DialogServices.h"
#include "drawing/DrawingSurface.h"
#include "support/PixelCount.h"

namespace funzioni::testing {

// A fresh offscreen dialog and control table for every test.
class ControlsTest : public ::testing::Test {
 protected:
  Dialog dialog{"controls", 0, 0, 974, 720, false};
  ControlTable table;

  const DrawingSurface& Surface(int id) const {
    const DrawingSurface* surface = dialog.FindSurface(id);
    EXPECT_NE(surface, nullptr) << "no surface " << id;
    static const DrawingSurface kEmpty;
    return surface != nullptr ? *surface : kEmpty;
  }
  Color Pixel(int id, int x, int y) const { return Surface(id).PixelAt(x, y); }
  std::string Picture(int id) const { return Surface(id).GetSurfacePixels(); }

  // A bare drawing surface, for the frame and face routines.
  DrawingSurface& AddSurface(int id, int width, int height) {
    dialog.AddControl(ControlKind::Surface, id, "", 0, 0, width, height);
    return dialog.AttachSurface(id);
  }

  // A control with the given geometry and look, without caption unless one is given.
  void MakeControl(int id, int width, int height, int frameWidth, std::string_view style,
                   float value, std::int16_t scale, std::string_view caption = "",
                   std::string_view faceColor = "grigio", int faceMode = 2) {
    CreateControl(dialog, table, id, PixelRect{0, 0, width, height},
                  {.frameWidth = frameWidth,
                   .frameColor = "verde",
                   .value = value,
                   .scale = scale,
                   .caption = caption,
                   .textColor = kWhite,
                   .style = style,
                   .faceColor = faceColor,
                   .faceMode = faceMode});
  }

  // Number of pixels of the surface in the given colour.
  int CountColor(int id, Color color) const { return test::CountPixels(Surface(id), color); }
};

}  // namespace funzioni::testing
