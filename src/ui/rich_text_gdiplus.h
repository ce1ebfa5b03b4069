#pragma once
// GDI+ pieces shared by the measuring and the drawing of rich text runs, so that both
// see the same font and the same string format and fractional positions line up.
#include <windows.h>

#include <memory>

#include "ui/gdiplus_image.h"

namespace kbase {

struct GpFontDeleter {
  void operator()(Gdiplus::GpFont* font) const;
};
using ScopedGpFont = std::unique_ptr<Gdiplus::GpFont, GpFontDeleter>;

struct GpStringFormatDeleter {
  void operator()(Gdiplus::GpStringFormat* format) const;
};
using ScopedGpStringFormat = std::unique_ptr<Gdiplus::GpStringFormat, GpStringFormatDeleter>;

// The GDI+ font of the GDI font selected into the DC.
ScopedGpFont GpFontFromDc(HDC dc);
// One unwrapped, unclipped line that counts its trailing spaces.
ScopedGpStringFormat RunStringFormat();
// The box of one line of text drawn from (0, 0).
Gdiplus::RectF MeasureRun(Gdiplus::GpGraphics* graphics, const wchar_t* text, size_t length, Gdiplus::GpFont* font,
                          Gdiplus::GpStringFormat* format);

}  // namespace kbase
