#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "controls/ControlTable.h"

namespace funzioni {
namespace {

struct ShadeCase {
  std::string name;
  int shade;
  Color expected;
};

void PrintTo(const ShadeCase& c, std::ostream* os) {
  *os << '"' << c.name << "\" @" << c.shade;
}

class ShadeColorTest : public ::testing::TestWithParam<ShadeCase> {};

TEST_P(ShadeColorTest, GivesTheTableColour) {
  const ShadeCase& c = GetParam();
  EXPECT_EQ(ShadeColor(c.name, c.shade), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ShadeColorTest,
    ::testing::Values(
        // Plain names darken from their base.
        ShadeCase{"rosso", 0, 0x009B9BFF}, ShadeCase{"verde", 0, 0x009BFF9B},
        ShadeCase{"grigio", 0, 0x00FFFFFF}, ShadeCase{"grigio", 255, 0x00000000},
        ShadeCase{"oro", 0, 0x009BFFFF}, ShadeCase{"oro", 100, 0x00379B9B},
        ShadeCase{"oro", -100, 0x00FFFFFF},  // a negative shade brightens, clamped at 255
        // The button names start above 255, so they darken later.
        ShadeCase{"pulsanterosso", 0, 0x00D2D2FF}, ShadeCase{"pulsanterosso", 100, 0x006E6EFF},
        ShadeCase{"pulsanterosso", 156, 0x003636FE}, ShadeCase{"pulsanteverde", 0, 0x00D2FFD2},
        ShadeCase{"pulsantegrigio", 0, 0x00FFFFFF}, ShadeCase{"pulsantegrigio", 200, 0x00D2D2D2},
        ShadeCase{"pulsanteoro", 0, 0x0037FFFF},
        ShadeCase{"pulsanteoro", 300, 0x00370A6E},  // blue stays at 55 whatever the shade
        // "pulsanteblu" brightens as the shade grows.
        ShadeCase{"pulsanteblu", 0, 0x00000000}, ShadeCase{"pulsanteblu", 255, 0x009B9B37},
        // Names are trimmed and compared without letter case.
        ShadeCase{"  VERDE  ", 0, 0x009BFF9B}, ShadeCase{"Oro", 100, 0x00379B9B},
        ShadeCase{"verde                ", 0, 0x009BFF9B},
        // Empty and unknown names are black at every shade.
        ShadeCase{"", 0, 0}, ShadeCase{"", -200, 0}, ShadeCase{"   ", -50, 0},
        ShadeCase{"blu", 0, 0}, ShadeCase{"verdeoro", 0, 0},
        // "#RRGGBB" as written, darkened the same way.
        ShadeCase{"#FF8000", 0, 0x000080FF}, ShadeCase{"#FF8000", 100, 0x00001C9B},
        ShadeCase{"#ff8000", 0, 0x000080FF}, ShadeCase{"#0A141E", 0, 0x001E140A},
        ShadeCase{" #FF8000", 0, 0},  // the "#" must come first
        // Malformed pairs count as 0; missing pairs too.
        ShadeCase{"#ZZ8000", 0, 0x00008000}, ShadeCase{"#F08G00", 0, 0x000000F0},
        ShadeCase{"#FF80", 0, 0x000080FF}, ShadeCase{"#FF800", 0, 0x000080FF}, ShadeCase{"#", 0, 0},
        ShadeCase{"#FF8000", -300, 0x00FFFFFF},
        // Extreme shades clamp without overflowing.
        ShadeCase{"pulsanteblu", INT_MAX, 0x00FFFFFF},
        ShadeCase{"pulsantegrigio", INT_MIN, 0xFFFFFF}, ShadeCase{"#FFFFFF", INT_MAX, 0},
        ShadeCase{"oro", INT_MIN, 0x00FFFFFF}));

}  // namespace
}  // namespace funzioni
