#include "ui/vw_bitmap.h"

#include <algorithm>

namespace kbase {

void CVwBitmap::Reset() {
  bitmap_.Reset();
  width_ = height_ = 0;
  bits_ = nullptr;
}

void CVwBitmap::Clear() {
  if (bits_ == nullptr) return;
  ::GdiFlush();
  std::fill(bits_, bits_ + static_cast<size_t>(width_) * height_, 0u);
}

uint32_t CVwBitmap::at(int x, int y) const {
  if (bits_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  ::GdiFlush();
  return bits_[static_cast<size_t>(y) * width_ + x];
}

bool CVwBitmap::Create(int width, int height) {
  Reset();
  if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > 64LL * 1024 * 1024) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) {
    if (bitmap != nullptr) ::DeleteObject(bitmap);
    return false;
  }
  bitmap_.Reset(bitmap);
  width_ = width;
  height_ = height;
  bits_ = static_cast<uint32_t*>(bits);
  std::fill(bits_, bits_ + static_cast<size_t>(width) * height, 0u);
  return true;
}

bool CVwBitmap::DrawImage(Gdiplus::GpImage* source, const RECT& dst, const RECT& src, int interpolation) {
  if (!valid() || source == nullptr || !EnsureGdiplus()) return false;
  ::GdiFlush();
  // A GDI+ bitmap over the DIB's own pixels, so GDI+ writes premultiplied pixels in place.
  Gdiplus::GpBitmap* target = nullptr;
  if (gp::GdipCreateBitmapFromScan0(width_, height_, width_ * 4, PixelFormat32bppPARGB,
                                    reinterpret_cast<BYTE*>(bits_), &target) != Gdiplus::Ok)
    return false;
  ScopedGpImage target_owner(target);
  Gdiplus::GpGraphics* raw = nullptr;
  if (gp::GdipGetImageGraphicsContext(target, &raw) != Gdiplus::Ok) return false;
  ScopedGpGraphics graphics(raw);
  gp::GdipSetCompositingMode(raw, Gdiplus::CompositingModeSourceCopy);
  gp::GdipSetInterpolationMode(raw, static_cast<Gdiplus::InterpolationMode>(interpolation));
  gp::GdipSetPixelOffsetMode(raw, Gdiplus::PixelOffsetModeHalf);
  // Clamp sampling at the source edges so stretched frames do not pull in transparency.
  Gdiplus::GpImageAttributes* attributes = nullptr;
  gp::GdipCreateImageAttributes(&attributes);
  if (attributes != nullptr) gp::GdipSetImageAttributesWrapMode(attributes, Gdiplus::WrapModeTileFlipXY, 0, FALSE);
  const Gdiplus::GpStatus status = gp::GdipDrawImageRectRectI(
      raw, source, dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top, src.left, src.top,
      src.right - src.left, src.bottom - src.top, Gdiplus::UnitPixel, attributes, nullptr, nullptr);
  if (attributes != nullptr) gp::GdipDisposeImageAttributes(attributes);
  return status == Gdiplus::Ok;
}

bool CVwBitmap::FromImage(Gdiplus::GpImage* source, int width, int height, int interpolation) {
  const SIZE size = ImageSize(source);
  if (size.cx <= 0 || size.cy <= 0 || !Create(width, height)) return false;
  return DrawImage(source, RECT{0, 0, width, height}, RECT{0, 0, size.cx, size.cy}, interpolation);
}

bool CVwBitmap::MakeGrayFrom(const CVwBitmap& source) {
  if (!source.valid() || !Create(source.width_, source.height_)) return false;
  ::GdiFlush();
  const size_t count = static_cast<size_t>(width_) * height_;
  for (size_t i = 0; i < count; ++i) {
    const uint32_t pixel = source.bits_[i];
    const uint32_t b = pixel & 0xFF, g = (pixel >> 8) & 0xFF, r = (pixel >> 16) & 0xFF;
    const uint32_t grey = (r * 30 + g * 59 + b * 11) / 100;
    bits_[i] = (pixel & 0xFF000000u) | (grey << 16) | (grey << 8) | grey;
  }
  return true;
}

bool CVwBitmap::AlphaBlendTo(HDC dc, const RECT& dst, const RECT& src, int alpha) const {
  if (!valid() || dc == nullptr) return false;
  RECT clipped{std::max<LONG>(src.left, 0), std::max<LONG>(src.top, 0), std::min<LONG>(src.right, width_),
               std::min<LONG>(src.bottom, height_)};
  if (clipped.right <= clipped.left || clipped.bottom <= clipped.top) return false;
  if (dst.right <= dst.left || dst.bottom <= dst.top) return false;
  ScopedMemoryDc memory(dc);
  if (memory.get() == nullptr) return false;
  ScopedSelectObject select(memory.get(), bitmap_.get());
  BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(std::clamp(alpha, 0, 255)), AC_SRC_ALPHA};
  return ::AlphaBlend(dc, dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top, memory.get(), clipped.left,
                      clipped.top, clipped.right - clipped.left, clipped.bottom - clipped.top, blend) != FALSE;
}

}  // namespace kbase
