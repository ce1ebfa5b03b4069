#include "ui/controls/vw_list_wnd.h"

#include <algorithm>

#include "ui/controls/vw_control_util.h"
#include "ui/vw_canvas.h"
#include "ui/vw_style.h"

namespace kbase {

int CVwListItem::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwDialog::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "height")) height_ = std::max(0, ParseDecimal(value));
  else if (IsName(name, "viewvisible")) view_visible_ = ParseDecimal(value);
  else return kVwAttributeUnknown;
  return kVwAttributeTaken;
}

int CVwWindowScollBar::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "color_bar")) bar_ = ParseColour(value);
  else if (IsName(name, "color_bar_hv")) bar_hover_ = ParseColour(value);
  else if (IsName(name, "color_bar_border")) border_ = ParseColour(value);
  else if (IsName(name, "rectanglebar")) rectangle_ = ParseDecimal(value);
  else if (IsName(name, "barwidth")) bar_width_ = ParseDecimal(value);
  else if (IsName(name, "permanent_hide")) permanent_hide_ = ParseDecimal(value);
  else return kVwAttributeUnknown;
  return kVwAttributeTaken;
}

void CVwWindowScollBar::SetView(int content, int visible, int offset) {
  content_ = std::max(0, content);
  visible_ = std::max(0, visible);
  offset_ = std::max(0, offset);
}

VwRect CVwWindowScollBar::ThumbRect() const {
  const VwRect& r = rect();
  if (permanent_hide_ != 0 || content_ <= visible_ || content_ <= 0 || r.height() <= 0) return {};
  const long long track = r.height();
  const int length = std::max(4, static_cast<int>(track * visible_ / content_));
  const int top = r.top + static_cast<int>((track - length) * std::min(offset_, content_ - visible_) /
                                           std::max(1, content_ - visible_));
  return VwRect{r.left, top, r.right, top + length};
}

int CVwWindowScollBar::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  switch (message) {
    case kVwMsgPaint: {
      const VwRect thumb = ThumbRect();
      if (wparam == 0 || thumb.empty()) return 1;
      const VwColour fill = (state() & kVwStateHover) && bar_hover_ != kVwColourUnset ? bar_hover_ : bar_;
      const int corner = rectangle_ != 0 ? 0 : thumb.width();
      reinterpret_cast<IVwCanvas*>(wparam)->RoundRect(thumb, corner, corner, border_ != kVwColourUnset ? border_ : fill, 1,
                                                      fill);
      return 1;
    }
    case kVwMsgSizeQuery:
      if (lparam != 0) {
        auto* query = reinterpret_cast<VwSizeQuery*>(lparam);
        query->size = position().count == 4 ? PositionedSize(position(), query->inner_width, query->inner_height)
                                            : VwSize{bar_width(), query->inner_height};
      }
      return 1;
    default:
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
  }
}

int CVwListWnd::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwDialog::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "scrollclass")) scroll_class_ = value;
  else if (IsName(name, "externline")) extern_line_ = std::max(0, ParseDecimal(value));
  else if (IsName(name, "wheelmove")) wheel_move_ = ParseDecimal(value);
  else return kVwAttributeUnknown;
  return kVwAttributeTaken;
}

void CVwListWnd::RepositionChildren() {
  const VwStyle& style = Style();
  const VwRect inner = rect().Deflated(style.x_margin, style.y_margin);
  // Rows first, to learn the content height.
  long long y = 0;
  for (size_t i = 0; i < child_count(); ++i) {
    auto* item = dynamic_cast<CVwListItem*>(child(i));
    if (item == nullptr) continue;
    if (!item->view_visible()) {
      item->set_rect(VwRect{inner.left, inner.top, inner.left, inner.top});
      continue;
    }
    const int height = item->row_height();
    const int top = static_cast<int>(std::clamp<long long>(inner.top + y - offset_, -(1 << 28), 1 << 28));
    LayoutPlacement placement{inner.left, top, inner.width(), height};
    item->SetAttribute("pos", "0,0,-0,-0", true);
    intptr_t result = 0;
    item->ProcessMessage(kVwMsgPositionChanged, 0, reinterpret_cast<intptr_t>(&placement), &result);
    y += height + extern_line_;
  }
  content_ = static_cast<int>(std::min<long long>(y > 0 ? y - extern_line_ : 0, 1 << 28));
  for (size_t i = 0; i < child_count(); ++i) {
    CVwWindow* element = child(i);
    if (dynamic_cast<CVwListItem*>(element) != nullptr) continue;
    auto* bar = dynamic_cast<CVwWindowScollBar*>(element);
    if (bar == nullptr) {
      RepositionChild(element);
      continue;
    }
    if (bar->style_name().empty() && !scroll_class_.empty()) bar->SetAttribute("class", scroll_class_.c_str(), true);
    bar->set_rect(VwRect{inner.right - bar->bar_width(), inner.top, inner.right, inner.bottom});
    bar->SetView(content_, inner.height(), offset_);
  }
}

void CVwListWnd::ScrollTo(int offset) {
  const VwStyle& style = Style();
  const int visible = rect().Deflated(style.x_margin, style.y_margin).height();
  const int clamped = std::clamp(offset, 0, std::max(0, content_ - visible));
  if (clamped == offset_) return;
  offset_ = clamped;
  RepositionChildren();
  Invalidate();
}

int CVwListWnd::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  if (message == kVwMsgMouseWheel) {
    // wparam carries the wheel delta in its high word, as WM_MOUSEWHEEL does.
    const short delta = static_cast<short>((wparam >> 16) & 0xFFFF);
    const int notches = delta / 120 != 0 ? delta / 120 : (delta > 0 ? 1 : delta < 0 ? -1 : 0);
    ScrollTo(offset_ - notches * wheel_move_);
    return 1;
  }
  return CVwDialog::ProcessMessage(message, wparam, lparam, result);
}

int CVwListWnd::RedrawRegion(IVwCanvas& canvas) {
  if (!canvas.InRegion(rect())) return 0;
  canvas.SaveState();
  canvas.IntersectClip(rect());
  CVwDialog::RedrawRegion(canvas);
  canvas.RestoreState();
  return 1;
}

}  // namespace kbase
