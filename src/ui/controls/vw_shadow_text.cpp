#include "ui/controls/vw_shadow_text.h"

#include <algorithm>

#include "ui/controls/vw_control_util.h"
#include "ui/vw_canvas.h"
#include "ui/vw_style.h"

namespace kbase {

int CVWShadowText::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "hovershadow")) hover_shadow_ = ParseDecimal(value);
  else if (IsName(name, "normalshadow")) normal_shadow_ = ParseDecimal(value);
  else if (IsName(name, "crshadowalpha")) shadow_alpha_ = std::clamp(ParseDecimal(value), 0, 255);
  else if (IsName(name, "crshaow")) shadow_colour_ = ParseColour(value);
  else return kVwAttributeUnknown;
  return kVwAttributeTaken;
}

bool CVWShadowText::NeedRedrawWhenStateChange() const {
  return hover_shadow_ != normal_shadow_ || CVwWindow::NeedRedrawWhenStateChange();
}

bool CVWShadowText::ShadowShown() const {
  return (state() & kVwStateHover) ? hover_shadow_ != 0 : normal_shadow_ != 0;
}

int CVWShadowText::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  if (message == kVwMsgPaint && wparam != 0 && !text().empty() && ShadowShown()) {
    const VwStyle& style = Style();
    const VwRect area = rect().Deflated(style.x_margin, style.y_margin);
    VwTextPaint shadow = StateTextPaint(text(), VwRect{area.left + 1, area.top + 1, area.right + 1, area.bottom + 1},
                                        style.text_mode & ~kVwTextModifyString);
    shadow.colour = shadow_colour_;
    shadow.alpha = shadow_alpha_;
    reinterpret_cast<IVwCanvas*>(wparam)->DrawText(shadow);
  }
  return CVwWindow::ProcessMessage(message, wparam, lparam, result);
}

}  // namespace kbase
