#pragma once
// A top-down 32-bit DIB section with premultiplied alpha: the source of every alpha
// blend the skins do, and the buffer every window of the UI paints into before it
// presents (back buffers, the shadow, animation frames).
#include <windows.h>

#include <cstdint>

#include "ui/gdi_owner.h"
#include "ui/gdiplus_image.h"

namespace kbase {

class CVwBitmap {
 public:
  CVwBitmap() = default;
  CVwBitmap(const CVwBitmap&) = delete;
  CVwBitmap& operator=(const CVwBitmap&) = delete;

  // A transparent bitmap of the size; false (and nothing held) when it cannot be made.
  bool Create(int width, int height);
  void Reset();
  // Every pixel back to transparent black.
  void Clear();
  // Draws `source` (its rectangle src) into the rectangle dst of this bitmap with the
  // given GDI+ interpolation mode, replacing what was there.
  bool DrawImage(Gdiplus::GpImage* source, const RECT& dst, const RECT& src, int interpolation);
  // The whole image at the bitmap's size.
  bool FromImage(Gdiplus::GpImage* source, int width, int height, int interpolation);
  // A grey copy: each channel becomes (r*30 + g*59 + b*11) / 100, alpha kept.
  bool MakeGrayFrom(const CVwBitmap& source);

  // AlphaBlend of a source rectangle into a destination rectangle with per-pixel alpha
  // and a constant alpha; the source is clipped to the bitmap, nothing is drawn when the
  // clipped source or the destination is empty.
  bool AlphaBlendTo(HDC dc, const RECT& dst, const RECT& src, int alpha) const;

  bool valid() const { return bitmap_.valid(); }
  int width() const { return width_; }
  int height() const { return height_; }
  uint32_t* bits() const { return bits_; }
  HBITMAP handle() const { return bitmap_.get(); }
  // The pixel at (x, y) after pending GDI drawing, or 0 outside the bitmap.
  uint32_t at(int x, int y) const;

 private:
  ScopedBitmap bitmap_;
  int width_ = 0;
  int height_ = 0;
  uint32_t* bits_ = nullptr;
};

// A memory device context with a bitmap selected for the life of the object.
class BitmapDc {
 public:
  explicit BitmapDc(HBITMAP bitmap) : dc_(::CreateCompatibleDC(nullptr)) {
    if (dc_ != nullptr) old_ = ::SelectObject(dc_, bitmap);
  }
  ~BitmapDc() {
    if (dc_ == nullptr) return;
    ::SelectObject(dc_, old_);
    ::DeleteDC(dc_);
  }
  BitmapDc(const BitmapDc&) = delete;
  BitmapDc& operator=(const BitmapDc&) = delete;

  HDC get() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

}  // namespace kbase
