#include "ui/image_skin.h"

#include <algorithm>
#include <cstring>

#include "ui/gdi_owner.h"
#include "ui/gradient_fill.h"

namespace kbase {
namespace {

bool Is(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

// GDI+ InterpolationModeHighQuality.
constexpr int kHighQuality = 2;

}  // namespace

int CVwImageSkin::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwSkinBase::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (Is(name, "src")) src_ = ParseDecimal(value);
  else if (Is(name, "mode")) {
    if (Is(value, "none")) mode_ = kModeNone;
    else if (Is(value, "mask")) mode_ = kModeMask;
    else if (Is(value, "alpha")) mode_ = kModeAlpha;
    else return kVwAttributeUnknown;
  } else if (Is(name, "maskcolor")) mask_colour_ = ParseColour(value);
  else if (Is(name, "subwidth")) subwidth_ = std::max(0, ParseDecimal(value));
  else if (Is(name, "stretch-x")) stretch_x_ = ParseDecimal(value);
  else if (Is(name, "stretch-y")) stretch_y_ = ParseDecimal(value);
  else return kVwAttributeUnknown;
  return kVwAttributeTaken;
}

bool CVwImageSkin::EnsureLoaded() {
  if (!attempted_) {
    attempted_ = true;
    bitmap_ = VwBmpPool::Instance().Bitmap(src_);
  }
  return bitmap_ != nullptr;
}

SIZE CVwImageSkin::GetSkinSize() {
  BITMAP info{};
  if (bitmap_ == nullptr || ::GetObjectW(bitmap_, sizeof(info), &info) == 0) return SIZE{0, 0};
  return SIZE{subwidth_ > 0 ? subwidth_ : info.bmWidth, std::abs(info.bmHeight)};
}

void CVwImageSkin::Draw(HDC dc, const RECT& rect, int state) {
  if (!EnsureLoaded()) return;
  BITMAP info{};
  if (::GetObjectW(bitmap_, sizeof(info), &info) == 0) return;
  const int height = std::abs(info.bmHeight);
  const int frames = subwidth_ > 0 ? std::max<int>(1, info.bmWidth / subwidth_) : 1;
  const int frame_width = info.bmWidth / frames;
  const int index = state < 0 ? 0 : state % frames;
  const int dst_width = stretch_x_ != 0 ? rect.right - rect.left : frame_width;
  const int dst_height = stretch_y_ != 0 ? rect.bottom - rect.top : height;
  if (dst_width <= 0 || dst_height <= 0) return;
  ScopedMemoryDc memory(dc);
  ScopedSelectObject select(memory.get(), bitmap_);
  const int sx = index * frame_width;
  if (mode_ == kModeMask) {
    ::TransparentBlt(dc, rect.left, rect.top, dst_width, dst_height, memory.get(), sx, 0, frame_width, height,
                     mask_colour_ & 0xFFFFFF);
  } else if (mode_ == kModeAlpha) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::AlphaBlend(dc, rect.left, rect.top, dst_width, dst_height, memory.get(), sx, 0, frame_width, height, blend);
  } else {
    ::StretchBlt(dc, rect.left, rect.top, dst_width, dst_height, memory.get(), sx, 0, frame_width, height, SRCCOPY);
  }
}

int CVwPngBackedSkin::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwSkinBase::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (Is(name, "src")) src_ = ParseDecimal(value);
  else if (Is(name, "left")) left_ = std::max(0, ParseDecimal(value));
  else if (Is(name, "top")) top_ = std::max(0, ParseDecimal(value));
  else if (Is(name, "subwidth")) subwidth_ = std::max(0, ParseDecimal(value));
  else return kVwAttributeUnknown;
  return kVwAttributeTaken;
}

bool CVwPngBackedSkin::EnsureLoaded() {
  if (!attempted_) {
    attempted_ = true;
    image_ = VwPngPool::Instance().Image(src_);
  }
  return image_ != nullptr;
}

SIZE CVwPngBackedSkin::GetSkinSize() {
  if (image_ == nullptr) return SIZE{0, 0};
  const SIZE size = ImageSize(image_.get());
  return SIZE{subwidth_ > 0 ? subwidth_ : size.cx, size.cy};
}

const CVwBitmap* CVwPngBackedSkin::Bitmap() {
  if (!EnsureLoaded()) return nullptr;
  if (!bitmap_.valid()) {
    const SIZE size = ImageSize(image_.get());
    if (!bitmap_.FromImage(image_.get(), size.cx, size.cy, kHighQuality)) return nullptr;
  }
  return &bitmap_;
}

void CVwPngBackedSkin::Blend(HDC dc, LONG dl, LONG dt, LONG dr, LONG db, int sl, int st, int sr, int sb, int alpha) {
  if (const CVwBitmap* bitmap = Bitmap()) bitmap->AlphaBlendTo(dc, RECT{dl, dt, dr, db}, RECT{sl, st, sr, sb}, alpha);
}

int CVwSkinImgFrame::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwPngBackedSkin::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (Is(name, "crbg")) {
    background_ = ParseColour(value);
    return kVwAttributeTaken;
  }
  if (Is(name, "part")) {
    static const char* const kParts[] = {"all", "top", "middle", "bottom", "left", "center", "right"};
    for (int i = 0; i < 7; ++i) {
      if (Is(value, kParts[i])) {
        part_ = i;
        return kVwAttributeTaken;
      }
    }
  }
  return kVwAttributeUnknown;
}

void CVwSkinImgFrame::Draw(HDC dc, const RECT& rect, int state) {
  const CVwBitmap* bitmap = Bitmap();
  if (bitmap == nullptr) return;
  const int iw = bitmap->width(), ih = bitmap->height();
  const int cl = std::min(left_, iw - 1), ct = std::min(top_, ih - 1);  // the stretched column and row
  const int rw = iw - cl - 1, bh = ih - ct - 1;                          // right and bottom corner sizes
  const LONG L = rect.left, T = rect.top, R = rect.right, B = rect.bottom;
  const bool top = part_ == kAll || part_ == kTop;
  const bool bottom = part_ == kAll || part_ == kBottom;
  const bool left = part_ == kAll || part_ == kLeft || part_ == kMiddle;
  const bool right = part_ == kAll || part_ == kRight || part_ == kMiddle;
  if (top) {
    Blend(dc, L, T, L + cl, T + ct, 0, 0, cl, ct, 255);
    Blend(dc, L + cl, T, R - rw, T + ct, cl, 0, cl + 1, ct, 255);
    Blend(dc, R - rw, T, R, T + ct, cl + 1, 0, iw, ct, 255);
  }
  if (bottom) {
    Blend(dc, L, B - bh, L + cl, B, 0, ct + 1, cl, ih, 255);
    Blend(dc, L + cl, B - bh, R - rw, B, cl, ct + 1, cl + 1, ih, 255);
    Blend(dc, R - rw, B - bh, R, B, cl + 1, ct + 1, iw, ih, 255);
  }
  if (left) Blend(dc, L, T + ct, L + cl, B - bh, 0, ct, cl, ct + 1, 255);
  if (right) Blend(dc, R - rw, T + ct, R, B - bh, cl + 1, ct, iw, ct + 1, 255);
  if ((part_ == kAll || part_ == kCenter) && background_ != kVwColourUnset) {
    const RECT inside{L + cl, T + ct, R - rw, B - bh};
    if (inside.right > inside.left && inside.bottom > inside.top) FillSolid(dc, inside, background_);
  }
}

void CVwSkinImgFrame::DrawState(HDC dc, int left, int top, int right, int bottom, int state, bool dpi, int alpha) {
  Draw(dc, RECT{left, top, right, bottom}, state);
}

void CVwSkinImgHorzExtend::DrawFrameIndex(HDC dc, const RECT& rect, int index, int alpha) {
  const CVwBitmap* bitmap = Bitmap();
  if (bitmap == nullptr) return;
  const int frames = subwidth_ > 0 ? std::max(1, bitmap->width() / subwidth_) : 1;
  const int w = bitmap->width() / frames, h = bitmap->height();
  const int x = (index % frames) * w;
  const int column = std::min(left_, w - 1);
  const int right_width = w - column - 1;
  Blend(dc, rect.left, rect.top, rect.left + column, rect.bottom, x, 0, x + column, h, alpha);
  Blend(dc, rect.left + column, rect.top, rect.right - right_width, rect.bottom, x + column, 0, x + column + 1, h, alpha);
  Blend(dc, rect.right - right_width, rect.top, rect.right, rect.bottom, x + column + 1, 0, x + w, h, alpha);
}

void CVwSkinImgHorzExtend::Draw(HDC dc, const RECT& rect, int state) { DrawState(dc, rect.left, rect.top, rect.right, rect.bottom, state, false, 255); }

void CVwSkinImgHorzExtend::DrawState(HDC dc, int left, int top, int right, int bottom, int state, bool dpi, int alpha) {
  const int index = (state & 0x10) ? 3 : (state & 0x2) ? 2 : (state & 0x1) ? 1 : 0;
  DrawFrameIndex(dc, RECT{left, top, right, bottom}, index, std::clamp(alpha, 0, 255));
}

}  // namespace kbase
