#pragma once
// Text placement rules that do not need a device context: the nudge for the YaHei face's
// tall ascent and the GDI+ string format read from DrawText flags.
#include <cstdint>

#include "ui/vw_geometry.h"

namespace kbase {

// Moves (and, with autofix, grows) the text rectangle of a YaHei base face. base_height
// and font_height are LOGFONT heights (negative for character heights); c is their
// difference, the extra size of the current font.
VwRect YaheiTextRect(const VwRect& rect, uint32_t format, int base_height, int font_height, bool autofix);

// GDI+ string format settings (values of StringAlignment, StringTrimming and the
// StringFormatFlagsLineLimit flag).
struct VwGdiplusTextFormat {
  int alignment = 0;       // 0 near, 1 centre, 2 far
  int line_alignment = 0;  // 0 near, 1 centre, 2 far
  int trimming = 0;        // 0 none, 3 ellipsis character, 4 ellipsis word, 5 ellipsis path
  bool line_limit = false;
};
VwGdiplusTextFormat GdiplusTextFormat(uint32_t text_format, uint32_t text_mode_ex);

}  // namespace kbase
