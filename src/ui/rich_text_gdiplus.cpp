#include "ui/rich_text_gdiplus.h"

#include <climits>

namespace kbase {

void GpFontDeleter::operator()(Gdiplus::GpFont* font) const {
  if (font != nullptr) gp::GdipDeleteFont(font);
}

void GpStringFormatDeleter::operator()(Gdiplus::GpStringFormat* format) const {
  if (format != nullptr) gp::GdipDeleteStringFormat(format);
}

ScopedGpFont GpFontFromDc(HDC dc) {
  Gdiplus::GpFont* font = nullptr;
  if (gp::GdipCreateFontFromDC(dc, &font) != Gdiplus::Ok) return nullptr;
  return ScopedGpFont(font);
}

ScopedGpStringFormat RunStringFormat() {
  Gdiplus::GpStringFormat* format = nullptr;
  const INT flags = Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsNoClip |
                    Gdiplus::StringFormatFlagsMeasureTrailingSpaces;
  if (gp::GdipCreateStringFormat(flags, LANG_NEUTRAL, &format) != Gdiplus::Ok) return nullptr;
  gp::GdipSetStringFormatTrimming(format, Gdiplus::StringTrimmingNone);
  return ScopedGpStringFormat(format);
}

Gdiplus::RectF MeasureRun(Gdiplus::GpGraphics* graphics, const wchar_t* text, size_t length, Gdiplus::GpFont* font,
                          Gdiplus::GpStringFormat* format) {
  Gdiplus::RectF bounds(0, 0, 0, 0);
  if (length == 0 || length > INT_MAX) return bounds;
  const Gdiplus::RectF layout(0, 0, 1.0e6f, 1.0e6f);
  gp::GdipMeasureString(graphics, text, static_cast<INT>(length), font, &layout, format, &bounds, nullptr, nullptr);
  return bounds;
}

}  // namespace kbase
