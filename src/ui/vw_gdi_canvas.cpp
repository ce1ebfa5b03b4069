#include "ui/vw_gdi_canvas.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "common/win/scoped_module.h"
#include "ui/gdi_owner.h"
#include "ui/gdiplus_image.h"
#include "ui/gradient_fill.h"
#include "ui/rich_text_gdiplus.h"
#include "ui/vw_font_pool.h"
#include "ui/vw_skin_pool.h"
#include "ui/vw_style.h"
#include "ui/vw_text_layout.h"

namespace kbase {
namespace {

using DrawShadowTextFn = int(WINAPI*)(HDC, LPCWSTR, UINT, RECT*, DWORD, COLORREF, COLORREF, int, int);

DrawShadowTextFn ShadowTextFunction() {
  // Loaded once and kept for the process.
  static ScopedModule library(::LoadLibraryW(L"comctl32.dll"));
  static DrawShadowTextFn function = library.Function<DrawShadowTextFn>("DrawShadowText");
  return function;
}

RECT ToRect(const VwRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

Gdiplus::ARGB Argb(VwColour colour, int alpha) {
  const BYTE a = static_cast<BYTE>(std::clamp(alpha, 0, 255));
  return (static_cast<Gdiplus::ARGB>(a) << 24) | ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

}  // namespace

VwGdiCanvas::VwGdiCanvas(HDC dc, HRGN region) : dc_(dc), region_(region) {}

bool VwGdiCanvas::InRegion(const VwRect& rect) {
  if (region_ == nullptr) return true;
  const RECT r = ToRect(rect);
  return ::RectInRegion(region_, &r) != FALSE;
}

void VwGdiCanvas::SaveState() { ::SaveDC(dc_); }

void VwGdiCanvas::RestoreState() { ::RestoreDC(dc_, -1); }

void VwGdiCanvas::FrameRect(const VwRect& rect) {
  ScopedSelectObject brush(dc_, ::GetStockObject(NULL_BRUSH));
  ::Rectangle(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

void VwGdiCanvas::FillRect(const VwRect& rect, VwColour colour, int alpha, bool gdiplus) {
  if (rect.empty()) return;
  if (!gdiplus || !EnsureGdiplus()) {
    FillSolid(dc_, ToRect(rect), colour);
    return;
  }
  Gdiplus::GpGraphics* raw = nullptr;
  if (gp::GdipCreateFromHDC(dc_, &raw) != Gdiplus::Ok) return;
  ScopedGpGraphics graphics(raw);
  Gdiplus::GpSolidFill* brush = nullptr;
  if (gp::GdipCreateSolidFill(Argb(colour, alpha), &brush) != Gdiplus::Ok) return;
  gp::GdipFillRectangleI(raw, brush, rect.left, rect.top, rect.width(), rect.height());
  gp::GdipDeleteBrush(brush);
}

bool VwGdiCanvas::DrawSkin(const std::string& skin, const VwRect& rect, int state, bool dpi, int alpha) {
  CVwSkinBase* found = VwSkinPool::Instance().Find(skin);
  if (found == nullptr) return false;
  found->DrawState(dc_, rect.left, rect.top, rect.right, rect.bottom, state, dpi, alpha);
  return true;
}

void VwGdiCanvas::DrawText(const VwTextPaint& text) {
  if (text.text.empty()) return;
  VwFontPool& fonts = VwFontPool::Instance();
  HFONT font = fonts.Font(text.font_id, text.dpi);
  const VwStyle* style = text.style;
  VwRect area = text.rect;
  if (fonts.IsYaheiFace() && (style == nullptr || style->yahei_resize_disable != 1)) {
    area = YaheiTextRect(area, text.format, fonts.BaseHeightFor(text.dpi), fonts.LogFontFor(text.font_id, text.dpi).lfHeight,
                         text.autofix_text_rect);
  }
  RECT rect = ToRect(area);
  if (style != nullptr && style->gdiplus != 0 && EnsureGdiplus()) {
    DrawTextGdiplus(text, rect, font);
    return;
  }
  const int saved = ::SaveDC(dc_);
  if (font != nullptr) ::SelectObject(dc_, font);
  ::SetTextColor(dc_, text.colour == kVwColourUnset ? 0 : (text.colour & 0xFFFFFF));
  if (text.transparent_background) ::SetBkMode(dc_, TRANSPARENT);
  const UINT format = text.format & ~0x10000u;
  bool drawn = false;
  if (style != nullptr && style->shadow != 0) {
    if (DrawShadowTextFn shadow = ShadowTextFunction()) {
      drawn = shadow(dc_, text.text.c_str(), static_cast<UINT>(text.text.size()), &rect, format,
                     text.colour == kVwColourUnset ? 0 : (text.colour & 0xFFFFFF), style->shadow_colour & 0xFFFFFF, 2,
                     2) > 0;
    }
  }
  if (!drawn) ::DrawTextW(dc_, text.text.c_str(), static_cast<int>(text.text.size()), &rect, format);
  ::RestoreDC(dc_, saved);
}

void VwGdiCanvas::DrawTextGdiplus(const VwTextPaint& text, const RECT& rect, HFONT font) {
  Gdiplus::GpGraphics* raw = nullptr;
  if (gp::GdipCreateFromHDC(dc_, &raw) != Gdiplus::Ok) return;
  ScopedGpGraphics graphics(raw);
  gp::GdipSetTextRenderingHint(raw, static_cast<Gdiplus::TextRenderingHint>(text.style->gdi_text_rendering_hint));
  Gdiplus::GpFont* gp_font = nullptr;
  const int saved = ::SaveDC(dc_);
  if (font != nullptr) ::SelectObject(dc_, font);
  gp::GdipCreateFontFromDC(dc_, &gp_font);
  ::RestoreDC(dc_, saved);
  if (gp_font == nullptr) return;
  const VwGdiplusTextFormat settings = GdiplusTextFormat(text.format, text.style->text_mode_ex);
  Gdiplus::GpStringFormat* format = nullptr;
  gp::GdipCreateStringFormat(settings.line_limit ? Gdiplus::StringFormatFlagsLineLimit : 0, LANG_NEUTRAL, &format);
  if (format != nullptr) {
    gp::GdipSetStringFormatAlign(format, static_cast<Gdiplus::StringAlignment>(settings.alignment));
    gp::GdipSetStringFormatLineAlign(format, static_cast<Gdiplus::StringAlignment>(settings.line_alignment));
    gp::GdipSetStringFormatTrimming(format, static_cast<Gdiplus::StringTrimming>(settings.trimming));
  }
  Gdiplus::GpSolidFill* brush = nullptr;
  const int alpha = text.alpha >= 255 ? 254 : text.alpha;
  gp::GdipCreateSolidFill(Argb(text.colour == kVwColourUnset ? 0 : text.colour, alpha), &brush);
  Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(rect.left), static_cast<Gdiplus::REAL>(rect.top),
                        static_cast<Gdiplus::REAL>(rect.right - rect.left),
                        static_cast<Gdiplus::REAL>(rect.bottom - rect.top));
  if (brush != nullptr)
    gp::GdipDrawString(raw, text.text.c_str(), static_cast<INT>(text.text.size()), gp_font, &layout, format, brush);
  if (brush != nullptr) gp::GdipDeleteBrush(brush);
  if (format != nullptr) gp::GdipDeleteStringFormat(format);
  gp::GdipDeleteFont(gp_font);
}

void VwGdiCanvas::IntersectClip(const VwRect& rect) {
  ::IntersectClipRect(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

void VwGdiCanvas::DrawTextRun(const VwTextRun& run) {
  if (run.text.empty() || run.text.size() > INT_MAX) return;
  const int saved = ::SaveDC(dc_);
  HFONT font = VwFontPool::Instance().Font(run.font_id, run.dpi);
  if (font != nullptr) ::SelectObject(dc_, font);
  const VwColour colour = run.colour == kVwColourUnset ? 0 : (run.colour & 0xFFFFFF);
  if (run.gdiplus && EnsureGdiplus()) {
    Gdiplus::GpGraphics* raw = nullptr;
    if (gp::GdipCreateFromHDC(dc_, &raw) == Gdiplus::Ok) {
      ScopedGpGraphics graphics(raw);
      ScopedGpFont gp_font = GpFontFromDc(dc_);
      ScopedGpStringFormat format = RunStringFormat();
      Gdiplus::GpSolidFill* brush = nullptr;
      if (gp_font != nullptr && format != nullptr && gp::GdipCreateSolidFill(Argb(colour, 255), &brush) == Gdiplus::Ok) {
        const Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(run.x), static_cast<Gdiplus::REAL>(run.y), 1.0e6f,
                                    1.0e6f);
        gp::GdipDrawString(raw, run.text.c_str(), static_cast<INT>(run.text.size()), gp_font.get(), &layout,
                           format.get(), brush);
        gp::GdipDeleteBrush(brush);
      }
    }
  } else {
    ::SetTextColor(dc_, colour);
    ::SetBkMode(dc_, TRANSPARENT);
    ::SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    ::TextOutW(dc_, static_cast<int>(std::lround(run.x)), static_cast<int>(std::lround(run.y)), run.text.c_str(),
               static_cast<int>(run.text.size()));
  }
  ::RestoreDC(dc_, saved);
}

}  // namespace kbase
