#include "ui/controls/vw_round_rect.h"

#include <algorithm>

#include "ui/controls/vw_control_util.h"
#include "ui/vw_canvas.h"
#include "ui/vw_style.h"

namespace kbase {

int CVwRoundRect::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "rndwidht")) corner_width_ = std::max(0, ParseDecimal(value));
  else if (IsName(name, "rndheight")) corner_height_ = std::max(0, ParseDecimal(value));
  else return kVwAttributeUnknown;
  return kVwAttributeTaken;
}

VwColour CVwRoundRect::FillColour() const {
  const VwStyle& style = Style();
  VwColour colour = own_background() != kVwColourUnset ? own_background() : style.background;
  if ((state() & kVwStateHover) && style.hover_background != kVwColourUnset) colour = style.hover_background;
  return colour;
}

void CVwRoundRect::DrawBackground(IVwCanvas& canvas) {
  const VwColour fill = FillColour();
  const VwColour outline = own_text_colour() != kVwColourUnset ? own_text_colour() : Style().text_colour;
  if (fill == kVwColourUnset && outline == kVwColourUnset) return;
  // Without a fill colour the inside stays as it is: outline only.
  if (fill == kVwColourUnset) {
    canvas.RoundRect(rect(), corner_width_, corner_height_, outline, 1, kVwColourUnset, true, 255, 0);
    return;
  }
  canvas.RoundRect(rect(), corner_width_, corner_height_, outline != kVwColourUnset ? outline : fill, 1, fill);
}

int CVwRoundRectPath::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwRoundRect::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "bdrawbg")) draw_background_ = ParseDecimal(value);
  else if (IsName(name, "crline")) line_ = ParseColour(value);
  else if (IsName(name, "crlinealpha")) line_alpha_ = std::clamp(ParseDecimal(value), 0, 255);
  else if (IsName(name, "linesize")) line_size_ = std::max(0, ParseDecimal(value));
  else return kVwAttributeUnknown;
  return kVwAttributeTaken;
}

void CVwRoundRectPath::DrawBackground(IVwCanvas& canvas) {
  const VwColour fill = draw_background_ != 0 ? FillColour() : kVwColourUnset;
  const int fill_alpha = fill != kVwColourUnset ? Style().background_alpha : 0;
  const VwColour line = line_size_ > 0 ? line_ : kVwColourUnset;
  if (fill == kVwColourUnset && line == kVwColourUnset) return;
  canvas.RoundRect(rect(), corner_width_, corner_height_, line, line_size_, fill, true, line_alpha_, fill_alpha);
}

}  // namespace kbase
