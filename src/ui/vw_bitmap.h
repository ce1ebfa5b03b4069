#pragma once
// A top-down 32-bit DIB section with premultiplied alpha: the source of every alpha
// blend the skins do.
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

  // A transparent bitmap of the size; false when it cannot be made.
  bool Create(int width, int height);
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

 private:
  ScopedBitmap bitmap_;
  int width_ = 0;
  int height_ = 0;
  uint32_t* bits_ = nullptr;
};

}  // namespace kbase
