#include "ui/controls/vw_check_box.h"

#include <algorithm>

#include "ui/controls/vw_control_group.h"
#include "ui/controls/vw_control_util.h"
#include "ui/vw_canvas.h"
#include "ui/vw_platform.h"
#include "ui/vw_style.h"

namespace kbase {
namespace {

constexpr VwColour kBoxOutline = VwRgb(112, 112, 112);
constexpr VwColour kBoxFace = VwRgb(255, 255, 255);
constexpr VwColour kBoxMark = VwRgb(66, 97, 144);
constexpr VwColour kBoxDisabled = VwRgb(204, 204, 204);

}  // namespace

CVwCheckBox::~CVwCheckBox() {
  if (!group_.empty()) VwControlGroups::Instance().Leave(group_, handle());
}

int CVwCheckBox::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "check")) {
    if (ParseDecimal(value) != 0) ModifyState(kVwStateChecked, 0);
    else ModifyState(0, kVwStateChecked);
    if (!loading) Invalidate();
  } else if (IsName(name, "skin")) {
    skin_ = value;
  } else if (IsName(name, "skin_check")) {
    checked_skin_ = value;
  } else if (IsName(name, "checkbox_size")) {
    box_width_ = ParseDecimal(value);
  } else if (IsName(name, "checkbox_sizeH")) {
    box_height_ = ParseDecimal(value);
  } else if (IsName(name, "text_spacing")) {
    text_spacing_ = ParseDecimal(value);
  } else if (IsName(name, "unique_id")) {
    unique_id_ = ParseDecimal(value);
  } else {
    return kVwAttributeUnknown;
  }
  return kVwAttributeTaken;
}

VwSize CVwCheckBox::BoxSize() const {
  const VwSize picture = ElementSkinSize(checked() && !checked_skin_.empty() ? checked_skin_ : skin_, dpi());
  VwSize size{box_width_ > 0 ? VwScaleForElement(box_width_, dpi()) : picture.cx,
              box_height_ > 0 ? VwScaleForElement(box_height_, dpi()) : picture.cy};
  if (box_width_ > 0 && box_height_ <= 0 && picture.cy <= 0) size.cy = size.cx;
  if (size.cx <= 0) size.cx = VwScaleForElement(kDefaultBoxSize, dpi());
  if (size.cy <= 0) size.cy = size.cx;
  return size;
}

VwRect CVwCheckBox::BoxRect() const {
  const VwRect& r = rect();
  const VwSize box = BoxSize();
  const int top = r.top + (r.height() - box.cy) / 2;
  return VwRect{r.left, top, r.left + box.cx, top + box.cy};
}

void CVwCheckBox::OnClick() {
  const unsigned bit = kVwStateChecked;
  if (checked()) ModifyState(0, bit);
  else ModifyState(bit, 0);
  Invalidate();
}

void CVwCheckBox::DrawPlainBox(IVwCanvas& canvas, const VwRect& box) {
  const bool disabled = IsDisabledInTree();
  canvas.FillRect(box, kBoxFace, 255, false);
  canvas.RoundRect(box, 0, 0, disabled ? kBoxDisabled : kBoxOutline, 1, kBoxFace);
  if (checked()) {
    const int inset = std::max(2, box.width() / 4);
    canvas.FillRect(box.Deflated(inset, inset), disabled ? kBoxDisabled : kBoxMark, 255, false);
  }
}

int CVwCheckBox::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  switch (message) {
    case kVwMsgPaint: {
      if (wparam == 0) return 1;
      auto& canvas = *reinterpret_cast<IVwCanvas*>(wparam);
      const VwRect box = BoxRect();
      const std::string& picture = checked() && !checked_skin_.empty() ? checked_skin_ : skin_;
      const int index = IsDisabledInTree() ? 3 : ButtonStateIndex(state());
      if (picture.empty() || !canvas.DrawSkin(picture, box, index, dpi(), 255)) DrawPlainBox(canvas, box);
      if (!text().empty()) {
        const VwStyle& style = Style();
        VwRect area = rect().Deflated(style.x_margin, style.y_margin);
        area.left = box.right + VwScaleForElement(text_spacing_, dpi());
        canvas.DrawText(StateTextPaint(text(), area, (style.text_mode & ~kVwTextModifyString)));
      }
      return 1;
    }
    case kVwMsgSizeQuery:
      if (lparam != 0) {
        auto* query = reinterpret_cast<VwSizeQuery*>(lparam);
        if (position().count == 4) {
          query->size = PositionedSize(position(), query->inner_width, query->inner_height);
        } else {
          const VwSize box = BoxSize();
          const VwSize label = NaturalTextSize(query->inner_width);
          query->size = {box.cx + (label.cx > 0 ? VwScaleForElement(text_spacing_, dpi()) + label.cx : 0),
                         std::max(box.cy, label.cy)};
        }
      }
      return 1;
    case kVwMsgLButtonUp: {
      VwPoint point;
      if (!IsDisabledInTree() && (!MessagePoint(lparam, &point) || rect().Contains(point.x, point.y))) OnClick();
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
    }
    default:
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
  }
}

int CVwRadioBox::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwCheckBox::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "radiobox_size")) {
    box_width_ = ParseDecimal(value);
    box_height_ = box_width_;
  } else if (IsName(name, "group")) {
    if (!group_.empty()) VwControlGroups::Instance().Leave(group_, handle());
    group_ = value;
    VwControlGroups::Instance().Join(group_, handle());
  } else {
    return kVwAttributeUnknown;
  }
  return kVwAttributeTaken;
}

void CVwRadioBox::OnClick() {
  if (group_.empty()) {
    if (!checked()) {
      ModifyState(kVwStateChecked, 0);
      Invalidate();
    }
    return;
  }
  VwControlGroups::Instance().CheckOnly(group_, this);
}

void CVwRadioBox::DrawPlainBox(IVwCanvas& canvas, const VwRect& box) {
  const bool disabled = IsDisabledInTree();
  canvas.RoundRect(box, box.width(), box.height(), disabled ? kBoxDisabled : kBoxOutline, 1, kBoxFace);
  if (checked()) {
    const int inset = std::max(2, box.width() / 4);
    const VwRect dot = box.Deflated(inset, inset);
    const VwColour mark = disabled ? kBoxDisabled : kBoxMark;
    canvas.RoundRect(dot, dot.width(), dot.height(), mark, 1, mark);
  }
}

}  // namespace kbase
