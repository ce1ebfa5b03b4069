#pragma once
// A 32-bit bitmap selected into a memory DC, for painting into and reading pixels back
// (as 0xRRGGBB).
#include <windows.h>

#include <cstdint>
#include <memory>

#include "ui/gdi_owner.h"
#include "ui/vw_bitmap.h"

namespace kbase::test {

class BackBuffer {
 public:
  // `white` clears it to white first (a new DIB section is black).
  BackBuffer(int width, int height, bool white = false) : dc_(nullptr) {
    bitmap_.Create(width, height);
    select_ = std::make_unique<ScopedSelectObject>(dc_.get(), bitmap_.handle());
    if (white) ::PatBlt(dc_.get(), 0, 0, width, height, WHITENESS);
  }
  HDC dc() const { return dc_.get(); }
  uint32_t At(int x, int y) const {
    ::GdiFlush();
    return bitmap_.bits()[static_cast<size_t>(y) * bitmap_.width() + x] & 0xFFFFFF;
  }
  // Pixels inside the rectangle that the predicate accepts.
  template <typename Predicate>
  int CountIf(const RECT& rect, Predicate predicate) const {
    int count = 0;
    for (LONG y = rect.top; y < rect.bottom; ++y)
      for (LONG x = rect.left; x < rect.right; ++x) count += predicate(At(x, y)) ? 1 : 0;
    return count;
  }
  // Pixels of the colour inside the rectangle.
  int Count(const RECT& rect, uint32_t colour) const {
    return CountIf(rect, [colour](uint32_t pixel) { return pixel == colour; });
  }
  // Pixels of the colour on a row between two columns.
  int CountRow(int y, int from, int to, uint32_t colour) const {
    return Count(RECT{from, y, to, y + 1}, colour);
  }
  // Rightmost column with a non-white pixel inside the rectangle, or rect.left - 1.
  int InkRight(const RECT& rect) const {
    for (LONG x = rect.right - 1; x >= rect.left; --x)
      for (LONG y = rect.top; y < rect.bottom; ++y)
        if (At(x, y) != 0xFFFFFF) return x;
    return rect.left - 1;
  }

 private:
  ScopedMemoryDc dc_;
  CVwBitmap bitmap_;
  std::unique_ptr<ScopedSelectObject> select_;
};

}  // namespace kbase::test
