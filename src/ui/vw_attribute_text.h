#pragma once
// Value syntaxes shared by layout, style and skin attributes. Every reader accepts
// hostile text: a malformed value reads as 0 and nothing reads past the terminator.
#include <cstdint>
#include <string>

namespace kbase {

// A COLORREF-compatible colour: red in the low byte, then green, then blue.
using VwColour = uint32_t;
constexpr VwColour kVwColourUnset = 0xFFFFFFFFu;

constexpr VwColour VwRgb(int red, int green, int blue) {
  return static_cast<VwColour>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

// Decimal integer as C's atoi reads it (leading blanks, sign, digits up to the first
// other character), clamped to the int range; no digits read as 0.
int ParseDecimal(const char* text);
inline int ParseDecimal(const std::string& text) { return ParseDecimal(text.c_str()); }

// colour := hexpair hexpair hexpair   (red, green, blue; no prefix; either case)
// A pair holding a non-hex character, or cut short, reads as 0.
VwColour ParseColour(const char* text);

// font-id := hexdigit{0,4}   bit 0x1 italic, 0x2 underline, 0x4 bold; the high byte is a
// signed pixel delta added to the base size. Reading stops at the first non-hex
// character or after four digits.
uint16_t ParseFontId(const char* text);

// Font ids and their LOGFONT-style height: base height minus the signed high byte.
constexpr int kVwBaseFontHeight = -12;
inline int FontIdHeight(uint16_t font_id, int base_height = kVwBaseFontHeight) {
  return base_height - static_cast<int8_t>(font_id >> 8);
}
inline bool FontIdBold(uint16_t font_id) { return (font_id & 0x4) != 0; }
inline bool FontIdUnderline(uint16_t font_id) { return (font_id & 0x2) != 0; }
inline bool FontIdItalic(uint16_t font_id) { return (font_id & 0x1) != 0; }

// DrawText format flags written in hexadecimal; DT_MODIFYSTRING (0x10000) is always
// removed, because the text of an element must never be rewritten by a paint.
constexpr uint32_t kVwTextModifyString = 0x10000;
uint32_t ParseTextMode(const char* text);

// DrawText flags the element code needs without windows.h.
enum VwTextFlags : uint32_t {
  kVwDtCenter = 0x1,
  kVwDtRight = 0x2,
  kVwDtVCenter = 0x4,
  kVwDtBottom = 0x8,
  kVwDtWordBreak = 0x10,
  kVwDtSingleLine = 0x20,
  kVwDtCalcRect = 0x400,
  kVwDtPathEllipsis = 0x4000,
  kVwDtEndEllipsis = 0x8000,
  kVwDtWordEllipsis = 0x40000,
};
constexpr uint32_t kVwDefaultTextMode = kVwDtSingleLine | kVwDtBottom;  // 0x28

// Element alignments; false for a word outside the list.
constexpr int kVwAlignTop = 0;
constexpr int kVwAlignMiddle = 0x1000;
constexpr int kVwAlignBottom = 0x2000;
constexpr int kVwAlignLeft = 0;
constexpr int kVwAlignCenter = 0x4000;
constexpr int kVwAlignRight = 0x8000;
bool ParseVerticalAlign(const char* text, int* align);
bool ParseHorizontalAlign(const char* text, int* align);

// Case-insensitive ASCII comparison, for words such as "full".
bool EqualsAsciiNoCase(const char* a, const char* b);

}  // namespace kbase
