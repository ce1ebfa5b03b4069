#pragma once
// The "pos" attribute of layout elements and the placement arithmetic built on it.
//
//   pos   := item ( "," item ){0,3}        only 2 or 4 items take effect
//   item  := blank* [ "|" ] [ "-" ] [ "w" | "h" ] decimal
//            "|"  the value counts from the centre of the span
//            "-"  the value counts back from the far edge (with "|": left of/above centre)
//            "w"  third item only: the first item's value is added (a width)
//            "h"  fourth item only: the second item's value is added (a height)
//
// Items 1 and 2 give the left-top corner within the container's inner rectangle; items 3
// and 4, when present, the right-bottom corner, evaluated against the inner size.
#include <functional>

#include "ui/vw_geometry.h"

namespace kbase {

struct LayoutItem {
  bool center = false;
  bool far_edge = false;
  int value = 0;
};

struct LayoutPosition {
  int count = 0;  // 0, 2 or 4
  LayoutItem items[4];
};

// Position flags of an element.
enum VwPositionFlags : unsigned {
  kVwWidthFixed = 0x1,
  kVwWidthContent = 0x2,
  kVwWidthFill = 0x4,
  kVwHeightFixed = 0x10,
  kVwHeightContent = 0x20,
  kVwHeightFill = 0x40,
  kVwNotFloating = 0x100,
  kVwFloating = 0x200,
  kVwWidthBits = kVwWidthFixed | kVwWidthContent | kVwWidthFill,
  kVwHeightBits = kVwHeightFixed | kVwHeightContent | kVwHeightFill,
};

// Parses "pos"; every value is multiplied by scale (1.0 leaves it) and truncated toward
// zero. Counts other than 2 and 4 give an empty position.
LayoutPosition ParseLayoutPosition(const char* text, double scale = 1.0);

// One item against the span [start, end].
int EvaluateLayoutItem(const LayoutItem& item, int start, int end);

// The placement a container hands a child: the child's corner and the inner size.
struct LayoutPlacement {
  int x = 0;
  int y = 0;
  int inner_width = 0;
  int inner_height = 0;
};

// Corner of a child inside the container's inner rectangle (inner top-left without items).
LayoutPlacement PlaceInContainer(const LayoutPosition& position, const VwRect& inner);

// Size of a child with four items, evaluated against [0, inner size].
VwSize PositionedSize(const LayoutPosition& position, int inner_width, int inner_height);

// The child's rectangle from its placement: the size (from four items or the natural
// size), then the fill and fixed rules of the flags.
VwRect ChildRectangle(const LayoutPlacement& placement, VwSize size, unsigned flags,
                      int fixed_width, int fixed_height);

}  // namespace kbase
