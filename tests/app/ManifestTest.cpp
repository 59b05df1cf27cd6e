// The installed page's theme colour is the window's face.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "app/FaceColor.h"

namespace funzioni {
namespace {

std::string ManifestText() {
  std::ifstream file(FUNZIONI_MANIFEST_FILE);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(PageManifest, ThemeColourIsTheFaceColour) {
  char rgb[8];
  std::snprintf(rgb, sizeof rgb, "#%02x%02x%02x", kFaceColor & 0xFF, (kFaceColor >> 8) & 0xFF,
                (kFaceColor >> 16) & 0xFF);
  const std::string text = ManifestText();
  ASSERT_FALSE(text.empty()) << FUNZIONI_MANIFEST_FILE;
  EXPECT_NE(text.find("\"theme_color\": \"" + std::string(rgb) + "\""), std::string::npos) << text;
  EXPECT_EQ(text.find('@'), std::string::npos) << text;  // no mark left unfilled
}

}  // namespace
}  // namespace funzioni
