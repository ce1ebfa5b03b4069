#pragma once
// The shared look of elements: colours, fonts, text mode, margins, skin and cursor. An
// element names its style with "class"; the style table holds them by name.
#include <cstdint>
#include <string>

#include "ui/vw_attribute_text.h"
#include "ui/vw_object.h"

namespace kbase {

constexpr int kVwCursorArrow = 32512;
constexpr int kVwCursorHand = 32649;

class VwStyle : public CVwObject {
 public:
  static constexpr const char* kTag = "style";

  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;

  VwColour background = kVwColourUnset;
  VwColour hover_background = kVwColourUnset;
  VwColour text_colour = kVwColourUnset;
  VwColour hover_text_colour = kVwColourUnset;
  VwColour disabled_text_colour = VwRgb(204, 204, 204);
  VwColour pushed_text_colour = kVwColourUnset;
  uint32_t text_mode = kVwDefaultTextMode;
  uint16_t font_id = 0;
  uint16_t hover_font_id = 0;
  uint16_t pushed_font_id = 0;
  int x_margin = 0;
  int y_margin = 0;
  int spacing = 0;
  int line_spacing = 20;
  int cursor = kVwCursorArrow;
  std::string skin;
  int shadow = 0;
  int gdiplus = 0;
  int gdiplus_calc_text = 0;
  int yahei_resize_disable = 0;
  int gdi_text_rendering_hint = 0;
  VwColour shadow_colour = VwRgb(1, 1, 1);
  int background_alpha = 255;
  int text_alpha = 254;
  int background_gdiplus = 0;
  uint32_t text_mode_ex = 0;
  std::string name;
};

}  // namespace kbase
