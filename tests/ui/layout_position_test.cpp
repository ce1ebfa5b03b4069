// The "pos" grammar, item evaluation and the child rectangle arithmetic.
#include <gtest/gtest.h>

#include "ui/layout_position.h"

namespace kbase {
namespace {

struct PositionCase {
  const char* name;
  const char* pos;
  VwRect container;  // already deflated by the container's margins
  unsigned flags;    // of the child, as Load leaves them
  VwSize natural;
  VwRect expected;
};

// Runs the same steps RepositionChild does for one child.
VwRect Place(const PositionCase& c, double scale = 1.0) {
  const LayoutPosition position = ParseLayoutPosition(c.pos, scale);
  const LayoutPlacement placement = PlaceInContainer(position, c.container);
  const VwSize size = position.count == 4 ? PositionedSize(position, placement.inner_width, placement.inner_height)
                                          : c.natural;
  return ChildRectangle(placement, size, c.flags, 40, 30);
}

constexpr unsigned kContent = kVwWidthContent | kVwHeightContent;

TEST(LayoutPosition, PlacesChildrenLikeTheLayouts) {
  const PositionCase cases[] = {
      {"fills the container", "0,0,-0,-0", {5, 5, 195, 95}, kContent, {}, {5, 5, 195, 95}},
      {"corner and size", "10,20,w100,h30", {0, 0, 300, 200}, kContent, {}, {10, 20, 110, 50}},
      {"w and h are relative to the container too", "10,20,w100,h30", {50, 60, 300, 200}, kContent, {}, {60, 80, 160, 110}},
      {"far edge corner", "-60,0", {0, 0, 200, 100}, kContent, {16, 16}, {140, 0, 156, 16}},
      {"close button", "-32,0", {0, 0, 400, 32}, kContent, {32, 32}, {368, 0, 400, 32}},
      {"fifty left of the centre", "|-50,0", {0, 0, 200, 100}, kContent, {10, 10}, {50, 0, 60, 10}},
      {"centre plus", "|50,|0", {0, 0, 200, 100}, kContent, {10, 10}, {150, 50, 160, 60}},
      {"odd width centre is the lower half", "|0,0", {0, 0, 101, 50}, kContent, {1, 1}, {50, 0, 51, 1}},
      {"odd width with an offset container", "|0,0", {10, 0, 21, 50}, kContent, {1, 1}, {15, 0, 16, 1}},
      {"negative span centre truncates toward zero", "|0,0", {0, 0, -3, 50}, kContent, {}, {-1, 0, -1, 0}},
      {"footer line", "0,-40,-0,-0", {0, 0, 300, 200}, kContent, {}, {0, 160, 300, 200}},
      {"progress bar", "20,43,-20,46", {0, 0, 400, 100}, kContent, {}, {20, 43, 380, 46}},
      {"far item left of the near one stands", "100,0,-150,10", {0, 0, 200, 100}, kContent, {}, {100, 0, 50, 10}},
      {"one item is no position", "30", {7, 9, 200, 100}, kContent, {12, 5}, {7, 9, 19, 14}},
      {"three items are no position", "30,40,50", {7, 9, 200, 100}, kContent, {12, 5}, {7, 9, 19, 14}},
      {"five items are no position", "1,2,3,4,5", {7, 9, 200, 100}, kContent, {12, 5}, {7, 9, 19, 14}},
      {"blanks before items", " 10, 20, -0, -0", {0, 0, 50, 50}, kContent, {}, {10, 20, 50, 50}},
      {"malformed numbers read as 0", "x,y", {3, 4, 50, 50}, kContent, {9, 9}, {3, 4, 12, 13}},
      {"w on the first item reads as 0", "w10,5", {0, 0, 50, 50}, kContent, {1, 1}, {0, 5, 1, 6}},
      {"fixed width without items", "", {0, 0, 300, 200}, kVwWidthFixed | kVwHeightContent, {5, 6}, {0, 0, 40, 6}},
      {"fill both without items", "", {10, 10, 300, 200}, kVwWidthFill | kVwHeightFill, {5, 6}, {10, 10, 300, 200}},
      {"fill width keeps the corner offset", "", {10, 10, 300, 200}, kVwWidthFill | kVwHeightFixed, {}, {10, 10, 300, 40}},
  };
  for (const PositionCase& c : cases) {
    EXPECT_EQ(Place(c), c.expected) << c.name;
  }
}

TEST(LayoutPosition, ParsesFlagsAndExtents) {
  const LayoutPosition p = ParseLayoutPosition("|-5,-6,w7,h8");
  ASSERT_EQ(p.count, 4);
  EXPECT_TRUE(p.items[0].center);
  EXPECT_TRUE(p.items[0].far_edge);
  EXPECT_EQ(p.items[0].value, 5);
  EXPECT_FALSE(p.items[1].center);
  EXPECT_TRUE(p.items[1].far_edge);
  EXPECT_EQ(p.items[2].value, 12);  // 7 + first item's 5
  EXPECT_EQ(p.items[3].value, 14);  // 8 + second item's 6
  EXPECT_EQ(ParseLayoutPosition("").count, 0);
  EXPECT_EQ(ParseLayoutPosition(",").count, 2);
  EXPECT_EQ(ParseLayoutPosition(nullptr).count, 0);
}

TEST(LayoutPosition, ScalesEveryValueAndTruncates) {
  const LayoutPosition p = ParseLayoutPosition("10,-21,w101,h3", 1.5);
  ASSERT_EQ(p.count, 4);
  EXPECT_EQ(p.items[0].value, 15);
  EXPECT_EQ(p.items[1].value, 31);   // 21 * 1.5 = 31.5
  EXPECT_EQ(p.items[2].value, 166);  // (101 + 10) * 1.5 = 166.5
  EXPECT_EQ(p.items[3].value, 36);   // (3 + 21) * 1.5
  const LayoutPosition negative = ParseLayoutPosition("-3,|-5", 1.25);
  EXPECT_EQ(negative.items[0].value, 3);
  EXPECT_EQ(negative.items[1].value, 6);  // 6.25
}

TEST(LayoutPosition, HostileValuesDoNotOverflow) {
  const PositionCase c{"huge", "2147483647,-2147483647,w2147483647,h2147483647", {-100, -100, 100, 100},
                       kContent, {}, {}};
  const VwRect rect = Place(c);
  EXPECT_LE(rect.left, rect.right + 0LL + 4294967296LL);  // just must not trap under UBSan
  EXPECT_EQ(ParseLayoutPosition("99999999999999999999,0").items[0].value, 2147483647);
}

}  // namespace
}  // namespace kbase
