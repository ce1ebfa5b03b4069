#include "ui/vw_text_layout.h"

#include <algorithm>
#include <cstdlib>

#include "ui/vw_attribute_text.h"

namespace kbase {

VwRect YaheiTextRect(const VwRect& rect, uint32_t format, int base_height, int font_height, bool autofix) {
  VwRect out = rect;
  const long long c = static_cast<long long>(base_height) - font_height;
  const long long base = std::llabs(static_cast<long long>(base_height));
  auto clamp = [](long long v) { return static_cast<int>(std::clamp<long long>(v, -1000000000LL, 1000000000LL)); };
  if (format & kVwDtBottom) {
    const int up = clamp(2 * c + 2);
    out.top = clamp(static_cast<long long>(out.top) - up);
    out.bottom = clamp(static_cast<long long>(out.bottom) - up);
    if (autofix) {
      const long long min_height = base + 3 * c + 4;
      if (out.height() < min_height) out.bottom = clamp(out.top + min_height);
      const long long min_bottom = static_cast<long long>(rect.top) + base + c + 3;
      if (out.bottom < min_bottom) out.bottom = clamp(min_bottom);
    }
  } else if (!(format & kVwDtVCenter)) {
    const int up = clamp(3 * c + 3);
    out.top = clamp(static_cast<long long>(out.top) - up);
    out.bottom = clamp(static_cast<long long>(out.bottom) - up);
  }
  return out;
}

VwGdiplusTextFormat GdiplusTextFormat(uint32_t text_format, uint32_t text_mode_ex) {
  VwGdiplusTextFormat format;
  if (text_format & kVwDtCenter) format.alignment = 1;
  if (text_format & kVwDtVCenter) format.line_alignment = 1;
  if (text_format & kVwDtEndEllipsis) format.trimming = 3;
  if (text_format & kVwDtWordEllipsis) format.trimming = 4;
  if (text_format & kVwDtPathEllipsis) format.trimming = 5;
  if (text_mode_ex & 0x20) format.line_limit = true;
  if (text_mode_ex & 0x2) format.alignment = 2;
  if (text_mode_ex & 0x1) format.alignment = 1;
  if (text_mode_ex & 0x4) format.line_alignment = 1;
  if (text_mode_ex & 0x8) format.line_alignment = 2;
  return format;
}

}  // namespace kbase
