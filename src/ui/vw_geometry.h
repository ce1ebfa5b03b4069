#pragma once
// Rectangles, sizes and points of the element tree, in host-window client pixels.
// Rectangles are half-open like Win32's: right and bottom are outside.
#include <algorithm>

namespace kbase {

struct VwPoint {
  int x = 0;
  int y = 0;
};

struct VwSize {
  int cx = 0;
  int cy = 0;
};

struct VwRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool Intersects(const VwRect& other) const {
    return std::max(left, other.left) < std::min(right, other.right) &&
           std::max(top, other.top) < std::min(bottom, other.bottom);
  }
  VwRect Deflated(int dx, int dy) const { return {left + dx, top + dy, right - dx, bottom - dy}; }
  bool operator==(const VwRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  bool operator!=(const VwRect& o) const { return !(*this == o); }
};

}  // namespace kbase
