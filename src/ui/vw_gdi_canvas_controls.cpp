// The drawing operations of VwGdiCanvas that only the catalogue's controls use: partial,
// grey, tiled, rotated and clipped skins, rounded rectangles, lines, image files,
// registered image objects and icons.
#include <algorithm>
#include <cmath>

#include "ui/controls/vw_memory_images.h"
#include "ui/gdi_owner.h"
#include "ui/gdiplus_image.h"
#include "ui/vw_bitmap.h"
#include "ui/vw_gdi_canvas.h"
#include "ui/vw_skin_pool.h"

namespace kbase {
namespace {

RECT ToRect(const VwRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

Gdiplus::ARGB Argb(VwColour colour, int alpha) {
  const BYTE a = static_cast<BYTE>(std::clamp(alpha, 0, 255));
  return (static_cast<Gdiplus::ARGB>(a) << 24) | ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

// A GDI+ graphics over the DC for the scope, smoothed.
class SmoothGraphics {
 public:
  explicit SmoothGraphics(HDC dc) {
    if (dc == nullptr || !EnsureGdiplus()) return;
    Gdiplus::GpGraphics* raw = nullptr;
    if (gp::GdipCreateFromHDC(dc, &raw) != Gdiplus::Ok) return;
    graphics_.reset(raw);
    gp::GdipSetSmoothingMode(raw, Gdiplus::SmoothingModeAntiAlias);
    gp::GdipSetInterpolationMode(raw, Gdiplus::InterpolationModeHighQuality);
    gp::GdipSetPixelOffsetMode(raw, Gdiplus::PixelOffsetModeHalf);
  }
  Gdiplus::GpGraphics* get() const { return graphics_.get(); }

 private:
  ScopedGpGraphics graphics_;
};

struct GpPathDeleter {
  void operator()(Gdiplus::GpPath* path) const { gp::GdipDeletePath(path); }
};
using ScopedGpPath = std::unique_ptr<Gdiplus::GpPath, GpPathDeleter>;

// A closed rounded-rectangle path (an ellipse when the corners take the whole size).
ScopedGpPath RoundedPath(const VwRect& r, int corner_width, int corner_height) {
  Gdiplus::GpPath* raw = nullptr;
  if (gp::GdipCreatePath(Gdiplus::FillModeAlternate, &raw) != Gdiplus::Ok) return nullptr;
  ScopedGpPath path(raw);
  const float l = static_cast<float>(r.left), t = static_cast<float>(r.top);
  const float w = static_cast<float>(r.width()), h = static_cast<float>(r.height());
  const float cw = std::min(static_cast<float>(corner_width), w), ch = std::min(static_cast<float>(corner_height), h);
  if (cw <= 0 || ch <= 0) {
    gp::GdipAddPathRectangle(raw, l, t, w, h);
    return path;
  }
  gp::GdipAddPathArc(raw, l, t, cw, ch, 180, 90);
  gp::GdipAddPathArc(raw, l + w - cw, t, cw, ch, 270, 90);
  gp::GdipAddPathArc(raw, l + w - cw, t + h - ch, cw, ch, 0, 90);
  gp::GdipAddPathArc(raw, l, t + h - ch, cw, ch, 90, 90);
  gp::GdipClosePathFigure(raw);
  return path;
}

// The skin's frame of `state` stretched to the rectangle's size, as a premultiplied
// 32-bit bitmap the caller then draws through GDI+.
bool RenderFrame(CVwSkinBase* skin, const VwRect& rect, int state, CVwBitmap* bitmap) {
  if (!bitmap->Create(rect.width(), rect.height())) return false;
  ScopedMemoryDc dc(nullptr);
  if (dc.get() == nullptr) return false;
  ScopedSelectObject select(dc.get(), bitmap->handle());
  skin->DrawState(dc.get(), 0, 0, rect.width(), rect.height(), state, false, 255);
  ::GdiFlush();
  return true;
}

// A GDI+ bitmap over a CVwBitmap's pixels (not owning them).
ScopedGpImage WrapBitmap(const CVwBitmap& bitmap) {
  Gdiplus::GpBitmap* raw = nullptr;
  if (gp::GdipCreateBitmapFromScan0(bitmap.width(), bitmap.height(), bitmap.width() * 4, PixelFormat32bppPARGB,
                                    reinterpret_cast<BYTE*>(bitmap.bits()), &raw) != Gdiplus::Ok)
    return nullptr;
  return ScopedGpImage(raw);
}

struct GpAttributesDeleter {
  void operator()(Gdiplus::GpImageAttributes* attributes) const { gp::GdipDisposeImageAttributes(attributes); }
};
using ScopedGpAttributes = std::unique_ptr<Gdiplus::GpImageAttributes, GpAttributesDeleter>;

// Image attributes that multiply alpha by a factor (null for opaque drawing).
ScopedGpAttributes AlphaAttributes(float factor) {
  if (factor >= 1.0f) return nullptr;
  Gdiplus::GpImageAttributes* raw = nullptr;
  if (gp::GdipCreateImageAttributes(&raw) != Gdiplus::Ok) return nullptr;
  ScopedGpAttributes attributes(raw);
  Gdiplus::ColorMatrix matrix{};
  for (int i = 0; i < 5; ++i) matrix.m[i][i] = 1.0f;
  matrix.m[3][3] = std::max(0.0f, factor);
  gp::GdipSetImageAttributesColorMatrix(raw, Gdiplus::ColorAdjustTypeDefault, TRUE, &matrix, nullptr,
                                        Gdiplus::ColorMatrixFlagsDefault);
  return attributes;
}

}  // namespace


bool VwGdiCanvas::DrawSkinPlain(const std::string& skin, const VwRect& rect, int state) {
  CVwSkinBase* found = VwSkinPool::Instance().Find(skin);
  if (found == nullptr) return false;
  found->Draw(dc_, ToRect(rect), state);
  return true;
}

bool VwGdiCanvas::DrawSkinPart(const std::string& skin, const VwRect& dst, const VwRect& src, int state, int alpha) {
  CVwSkinBase* found = VwSkinPool::Instance().Find(skin);
  if (found == nullptr) return false;
  found->DrawFrameAlpha(dc_, ToRect(dst), ToRect(src), state, alpha);
  return true;
}

bool VwGdiCanvas::DrawSkinGray(const std::string& skin, const VwRect& dst, const VwRect& src) {
  CVwSkinBase* found = VwSkinPool::Instance().Find(skin);
  if (found == nullptr) return false;
  found->DrawGray(dc_, ToRect(dst), ToRect(src));
  return true;
}

bool VwGdiCanvas::DrawSkinTiled(const std::string& skin, const VwRect& rect) {
  CVwSkinBase* found = VwSkinPool::Instance().Find(skin);
  if (found == nullptr) return false;
  found->DrawTile(dc_, ToRect(rect));
  return true;
}

bool VwGdiCanvas::DrawSkinRotated(const std::string& skin, const VwRect& rect, int state, double degrees) {
  CVwSkinBase* found = VwSkinPool::Instance().Find(skin);
  if (found == nullptr) return false;
  CVwBitmap frame;
  if (!RenderFrame(found, rect, state, &frame)) return true;
  ScopedGpImage image = WrapBitmap(frame);
  SmoothGraphics graphics(dc_);
  if (image == nullptr || graphics.get() == nullptr) return true;
  const float cx = rect.left + rect.width() / 2.0f;
  const float cy = rect.top + rect.height() / 2.0f;
  gp::GdipTranslateWorldTransform(graphics.get(), cx, cy, Gdiplus::MatrixOrderPrepend);
  gp::GdipRotateWorldTransform(graphics.get(), static_cast<float>(std::fmod(degrees, 360.0)),
                               Gdiplus::MatrixOrderPrepend);
  gp::GdipTranslateWorldTransform(graphics.get(), -cx, -cy, Gdiplus::MatrixOrderPrepend);
  gp::GdipDrawImageRectI(graphics.get(), image.get(), rect.left, rect.top, rect.width(), rect.height());
  return true;
}

bool VwGdiCanvas::DrawSkinPoints(const std::string& skin, const VwPoint points[3], const VwRect& src) {
  CVwSkinBase* found = VwSkinPool::Instance().Find(skin);
  if (found == nullptr) return false;
  const POINT corners[3] = {{points[0].x, points[0].y}, {points[1].x, points[1].y}, {points[2].x, points[2].y}};
  found->DrawPoints(dc_, corners, ToRect(src));
  return true;
}

bool VwGdiCanvas::DrawSkinClipped(const std::string& skin, const VwRect& rect, int state, int shape,
                                  int alpha_percent) {
  CVwSkinBase* found = VwSkinPool::Instance().Find(skin);
  if (found == nullptr) return false;
  CVwBitmap frame;
  if (!RenderFrame(found, rect, state, &frame)) return true;
  ScopedGpImage image = WrapBitmap(frame);
  SmoothGraphics graphics(dc_);
  if (image == nullptr || graphics.get() == nullptr) return true;
  // Shape 1 is the inscribed ellipse; shape 2 a rectangle with corners a quarter of the
  // shorter side.
  const int corner = shape == 1 ? 0 : std::min(rect.width(), rect.height()) / 2;
  ScopedGpPath path = shape == 1 ? RoundedPath(rect, rect.width(), rect.height()) : RoundedPath(rect, corner, corner);
  if (path == nullptr) return true;
  gp::GdipSetClipPath(graphics.get(), path.get(), Gdiplus::CombineModeReplace);
  ScopedGpAttributes attributes = AlphaAttributes(alpha_percent < 0 ? 1.0f : std::min(100, alpha_percent) / 100.0f);
  gp::GdipDrawImageRectRectI(graphics.get(), image.get(), rect.left, rect.top, rect.width(), rect.height(), 0, 0,
                             rect.width(), rect.height(), Gdiplus::UnitPixel, attributes.get(), nullptr, nullptr);
  return true;
}

void VwGdiCanvas::RoundRect(const VwRect& rect, int corner_width, int corner_height, VwColour pen, int pen_width,
                            VwColour fill, bool gdiplus, int pen_alpha, int fill_alpha) {
  if (rect.empty()) return;
  if (gdiplus) {
    SmoothGraphics graphics(dc_);
    if (graphics.get() == nullptr) return;
    ScopedGpPath path = RoundedPath(rect, corner_width, corner_height);
    if (path == nullptr) return;
    if (fill != kVwColourUnset && fill_alpha > 0) {
      Gdiplus::GpSolidFill* brush = nullptr;
      if (gp::GdipCreateSolidFill(Argb(fill, fill_alpha), &brush) == Gdiplus::Ok) {
        gp::GdipFillPath(graphics.get(), brush, path.get());
        gp::GdipDeleteBrush(brush);
      }
    }
    if (pen != kVwColourUnset && pen_width > 0) {
      Gdiplus::GpPen* outline = nullptr;
      if (gp::GdipCreatePen1(Argb(pen, pen_alpha), static_cast<float>(pen_width), Gdiplus::UnitPixel, &outline) ==
          Gdiplus::Ok) {
        gp::GdipDrawPath(graphics.get(), outline, path.get());
        gp::GdipDeletePen(outline);
      }
    }
    return;
  }
  ScopedPen outline(pen != kVwColourUnset ? ::CreatePen(PS_SOLID, std::max(1, pen_width), pen & 0xFFFFFF) : nullptr);
  ScopedBrush brush(fill != kVwColourUnset ? ::CreateSolidBrush(fill & 0xFFFFFF) : nullptr);
  ScopedSelectObject select_pen(dc_, outline.valid() ? static_cast<HGDIOBJ>(outline.get()) : ::GetStockObject(NULL_PEN));
  ScopedSelectObject select_brush(dc_, brush.get());  // unset fill: the DC's current brush
  ::RoundRect(dc_, rect.left, rect.top, rect.right, rect.bottom, corner_width, corner_height);
}

void VwGdiCanvas::Line(VwPoint from, VwPoint to, int width, int style, VwColour colour, int start_cap, int end_cap) {
  if (colour == kVwColourUnset) return;
  const int pen_style = std::clamp(style, 0, 4);
  if (start_cap == 0 && end_cap == 0) {
    ScopedPen pen(::CreatePen(pen_style, std::max(1, width), colour & 0xFFFFFF));
    ScopedSelectObject select(dc_, pen.get());
    ::MoveToEx(dc_, from.x, from.y, nullptr);
    ::LineTo(dc_, to.x, to.y);
    return;
  }
  SmoothGraphics graphics(dc_);
  if (graphics.get() == nullptr) return;
  Gdiplus::GpPen* pen = nullptr;
  if (gp::GdipCreatePen1(Argb(colour, 255), static_cast<float>(std::max(1, width)), Gdiplus::UnitPixel, &pen) !=
      Gdiplus::Ok)
    return;
  gp::GdipSetPenDashStyle(pen, static_cast<Gdiplus::DashStyle>(pen_style));
  gp::GdipSetPenStartCap(pen, static_cast<Gdiplus::LineCap>(std::clamp(start_cap, 0, 3)));
  gp::GdipSetPenEndCap(pen, static_cast<Gdiplus::LineCap>(std::clamp(end_cap, 0, 3)));
  gp::GdipDrawLineI(graphics.get(), pen, from.x, from.y, to.x, to.y);
  gp::GdipDeletePen(pen);
}

bool VwGdiCanvas::DrawImageFile(const std::wstring& path, double left, double top, double width, double height,
                                int subwidth, int sub, int alpha) {
  if (path.empty() || !(width > 0) || !(height > 0)) return false;
  SmoothGraphics graphics(dc_);
  if (graphics.get() == nullptr) return false;
  ScopedGpImage image = DecodeImageFile(path);
  if (image == nullptr) return false;
  const SIZE size = ImageSize(image.get());
  RECT src{0, 0, size.cx, size.cy};
  const int frames = subwidth > 0 ? size.cx / subwidth : 1;
  if (subwidth > 0 && frames >= 2) {
    const int index = ((sub % frames) + frames) % frames;
    src = RECT{index * subwidth, 0, (index + 1) * subwidth, size.cy};
  }
  ScopedGpAttributes attributes = AlphaAttributes(std::clamp(alpha, 0, 255) / 255.0f);
  using Real = Gdiplus::REAL;
  gp::GdipDrawImageRectRect(graphics.get(), image.get(), static_cast<Real>(left), static_cast<Real>(top),
                            static_cast<Real>(width), static_cast<Real>(height), static_cast<Real>(src.left),
                            static_cast<Real>(src.top), static_cast<Real>(src.right - src.left),
                            static_cast<Real>(src.bottom - src.top), Gdiplus::UnitPixel, attributes.get(), nullptr,
                            nullptr);
  return true;
}

bool VwGdiCanvas::DrawMemoryImage(uintptr_t image, const VwRect& rect) {
  if (!IsRegisteredMemoryImage(image)) return false;
  SmoothGraphics graphics(dc_);
  if (graphics.get() == nullptr) return false;
  gp::GdipDrawImageRectI(graphics.get(), reinterpret_cast<Gdiplus::GpImage*>(image), rect.left, rect.top,
                         rect.width(), rect.height());
  return true;
}

bool VwGdiCanvas::DrawIconHandle(uintptr_t icon, const VwRect& rect) {
  if (icon == 0 || rect.empty()) return false;
  return ::DrawIconEx(dc_, rect.left, rect.top, reinterpret_cast<HICON>(icon), rect.width(), rect.height(), 0, nullptr,
                      DI_NORMAL) != FALSE;
}

bool VwGdiCanvas::DrawIconResource(int resource, int oem, const VwRect& rect) {
  if (rect.empty()) return false;
  // Shared icons belong to the system and are never destroyed here.
  HANDLE icon = oem != 0 ? ::LoadImageW(nullptr, MAKEINTRESOURCEW(oem), IMAGE_ICON, rect.width(), rect.height(),
                                        LR_SHARED)
                         : ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_ICON,
                                        rect.width(), rect.height(), LR_SHARED);
  if (icon == nullptr) return false;
  return DrawIconHandle(reinterpret_cast<uintptr_t>(icon), rect);
}

}  // namespace kbase
