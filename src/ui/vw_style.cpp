#include "ui/vw_style.h"

#include <cstring>

namespace kbase {
namespace {

struct ColourField {
  const char* name;
  VwColour VwStyle::*field;
};
struct FontField {
  const char* name;
  uint16_t VwStyle::*field;
};
struct NumberField {
  const char* name;
  int VwStyle::*field;
};

const ColourField kColours[] = {
    {"crbg", &VwStyle::background},         {"crbghover", &VwStyle::hover_background},
    {"crtext", &VwStyle::text_colour},      {"crhover", &VwStyle::hover_text_colour},
    {"crdisabled", &VwStyle::disabled_text_colour}, {"crpush", &VwStyle::pushed_text_colour},
    {"crshadow", &VwStyle::shadow_colour},
};
const FontField kFonts[] = {
    {"font", &VwStyle::font_id}, {"hoverfont", &VwStyle::hover_font_id}, {"pushfont", &VwStyle::pushed_font_id}};
const NumberField kNumbers[] = {
    {"x-margin", &VwStyle::x_margin},
    {"y-margin", &VwStyle::y_margin},
    {"spacing", &VwStyle::spacing},
    {"linespacing", &VwStyle::line_spacing},
    {"shadow", &VwStyle::shadow},
    {"gdiplus", &VwStyle::gdiplus},
    {"bggdiplus", &VwStyle::background_gdiplus},
    {"gditxtrndhit", &VwStyle::gdi_text_rendering_hint},
    {"alphatxt", &VwStyle::text_alpha},
    {"alphabg", &VwStyle::background_alpha},
    {"gdipluscalctxt", &VwStyle::gdiplus_calc_text},
    {"yhresizedisable", &VwStyle::yahei_resize_disable},
};

}  // namespace

int VwStyle::SetAttribute(const char* attribute, const char* value, bool loading) {
  if (CVwObject::SetAttribute(attribute, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (attribute == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (std::strcmp(attribute, "name") == 0) { name = value; return kVwAttributeTaken; }
  if (std::strcmp(attribute, "skin") == 0) { skin = value; return kVwAttributeTaken; }
  if (std::strcmp(attribute, "textmode") == 0) { text_mode = ParseTextMode(value); return kVwAttributeTaken; }
  if (std::strcmp(attribute, "textmodeex") == 0) { text_mode_ex = ParseTextMode(value); return kVwAttributeTaken; }
  if (std::strcmp(attribute, "margin") == 0) {
    x_margin = y_margin = ParseDecimal(value);
    return kVwAttributeTaken;
  }
  if (std::strcmp(attribute, "cursor") == 0) {
    if (std::strcmp(value, "hand") == 0) cursor = kVwCursorHand;
    else if (std::strcmp(value, "arrow") == 0) cursor = kVwCursorArrow;
    else return kVwAttributeUnknown;
    return kVwAttributeTaken;
  }
  for (const ColourField& f : kColours) {
    if (std::strcmp(attribute, f.name) == 0) { this->*f.field = ParseColour(value); return kVwAttributeTaken; }
  }
  for (const FontField& f : kFonts) {
    if (std::strcmp(attribute, f.name) == 0) { this->*f.field = ParseFontId(value); return kVwAttributeTaken; }
  }
  for (const NumberField& f : kNumbers) {
    if (std::strcmp(attribute, f.name) == 0) { this->*f.field = ParseDecimal(value); return kVwAttributeTaken; }
  }
  return kVwAttributeUnknown;
}

}  // namespace kbase
