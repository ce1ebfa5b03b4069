#include "ui/controls/vw_line.h"

#include "ui/controls/vw_control_util.h"
#include "ui/vw_canvas.h"
#include "ui/vw_style.h"

namespace kbase {
namespace {

// Pen styles by name, in GDI's order (PS_SOLID .. PS_DASHDOTDOT); false for others.
bool ParsePenStyle(const char* text, int* style) {
  static const char* const kNames[] = {"solid", "dash", "dot", "dashdot", "dashdotdot"};
  for (int i = 0; i < 5; ++i) {
    if (IsName(text, kNames[i])) {
      *style = i;
      return true;
    }
  }
  return false;
}

}  // namespace

int CVwLine::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "size")) {
    size_ = ParseDecimal(value);
    return kVwAttributeTaken;
  }
  if (IsName(name, "style")) return ParsePenStyle(value, &style_) ? kVwAttributeTaken : kVwAttributeUnknown;
  return kVwAttributeUnknown;
}

int CVwLine::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  if (message != kVwMsgPaint) return CVwWindow::ProcessMessage(message, wparam, lparam, result);
  if (wparam == 0) return 1;
  const VwColour colour = own_background() != kVwColourUnset ? own_background() : Style().background;
  if (colour == kVwColourUnset) return 1;
  const VwRect& r = rect();
  reinterpret_cast<IVwCanvas*>(wparam)->Line({r.left, r.top}, {r.right, r.bottom}, size_, style_, colour);
  return 1;
}

int CVwLineViewEx::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "dashstyle")) dash_style_ = ParseDecimal(value);
  else if (IsName(name, "linecolor")) colour_ = ParseColour(value);
  else if (IsName(name, "hover_linecolor")) hover_colour_ = ParseColour(value);
  else if (IsName(name, "push_linecolor")) pushed_colour_ = ParseColour(value);
  else if (IsName(name, "vertical")) vertical_ = ParseDecimal(value);
  else if (IsName(name, "startcap")) start_cap_ = ParseDecimal(value);
  else if (IsName(name, "endcap")) end_cap_ = ParseDecimal(value);
  else return kVwAttributeUnknown;
  return kVwAttributeTaken;
}

bool CVwLineViewEx::NeedRedrawWhenStateChange() const {
  return hover_colour_ != kVwColourUnset || pushed_colour_ != kVwColourUnset ||
         CVwWindow::NeedRedrawWhenStateChange();
}

VwColour CVwLineViewEx::CurrentColour() const {
  if ((state() & kVwStatePushed) && pushed_colour_ != kVwColourUnset) return pushed_colour_;
  if ((state() & kVwStateHover) && hover_colour_ != kVwColourUnset) return hover_colour_;
  return colour_;
}

int CVwLineViewEx::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  if (message != kVwMsgPaint) return CVwWindow::ProcessMessage(message, wparam, lparam, result);
  if (wparam == 0) return 1;
  const VwRect& r = rect();
  auto* canvas = reinterpret_cast<IVwCanvas*>(wparam);
  const int width = vertical_ != 0 ? r.width() : r.height();
  const int pen = width > 0 ? width : 1;
  if (vertical_ != 0) {
    const int x = r.left + r.width() / 2;
    canvas->Line({x, r.top}, {x, r.bottom}, pen, dash_style_, CurrentColour(), start_cap_, end_cap_);
  } else {
    const int y = r.top + r.height() / 2;
    canvas->Line({r.left, y}, {r.right, y}, pen, dash_style_, CurrentColour(), start_cap_, end_cap_);
  }
  return 1;
}

}  // namespace kbase
