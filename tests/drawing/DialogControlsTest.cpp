// The dialog's control records that both backends keep the same way.
#include <gtest/gtest.h>

#include "drawing/DialogControls.h"

namespace funzioni::detail {
namespace {

TEST(DialogControlsTest, TableTakesEachIdentifierOnceAndFindsByKind) {
  ControlTable<ControlRecord> table;
  EXPECT_FALSE(table.Takes(-1));
  EXPECT_FALSE(table.Takes(kLastControlId + 1));
  ASSERT_TRUE(table.Takes(kLastControlId));
  ControlRecord list;
  list.kind = ControlKind::TextList;
  table.Add(7, std::move(list));
  EXPECT_FALSE(table.Takes(7));
  EXPECT_NE(table.Find(7, ControlKind::TextList), nullptr);
  EXPECT_EQ(table.Find(7, ControlKind::Surface), nullptr);
  // A list is no surface: drawing goes to an empty one.
  EXPECT_EQ(table.Attach(7).GetSurfaceSize().width, 0);
  EXPECT_EQ(table.FindSurface(7), nullptr);
  ControlRecord surface;
  surface.surface = table.NewSurface(30, 20);
  table.Add(8, std::move(surface));
  EXPECT_EQ(&table.Attach(8), table.FindSurface(8));
  EXPECT_EQ(table.Current().GetSurfaceSize().width, 30);
  EXPECT_EQ(table.SetFace(static_cast<Color>(0xFF102030u)), Color{0x00102030});
}

TEST(DialogControlsTest, BoldInAnyCase) {
  EXPECT_TRUE(IsBoldStyle("bold"));
  EXPECT_TRUE(IsBoldStyle("Bold"));
  EXPECT_FALSE(IsBoldStyle("bolder"));
  EXPECT_FALSE(IsBoldStyle(""));
}

}  // namespace
}  // namespace funzioni::detail
