#include "ui/controls/vw_image_wnd.h"

#include <algorithm>

#include "ui/controls/vw_control_group.h"
#include "ui/controls/vw_control_util.h"
#include "ui/utf8_text.h"
#include "ui/vw_canvas.h"
#include "ui/vw_platform.h"

namespace kbase {
namespace {

// clipparam := number ( "," number ){0,19}   further numbers are ignored
std::vector<int> ParseClipParams(const char* text) {
  std::vector<int> values;
  const char* p = text;
  while (p != nullptr && *p != '\0' && values.size() < static_cast<size_t>(CVwImageWnd::kMaxClipParams)) {
    values.push_back(ParseDecimal(p));
    p = std::strchr(p, ',');
    if (p != nullptr) ++p;
  }
  return values;
}

}  // namespace

CVwImageWnd::~CVwImageWnd() {
  if (!group_.empty()) VwControlGroups::Instance().Leave(group_, handle());
}

int CVwImageWnd::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "skin")) skin_ = value;
  else if (IsName(name, "ico")) icon_skin_ = value;
  else if (IsName(name, "ico_top")) icon_top_ = ParseDecimal(value);
  else if (IsName(name, "caption")) caption_ = WideFromUtf8(value);
  else if (IsName(name, "caption_top")) caption_top_ = ParseDecimal(value);
  else if (IsName(name, "mask")) mask_skin_ = value;
  else if (IsName(name, "sub")) sub_ = ParseDecimal(value);
  else if (IsName(name, "cliptype")) clip_type_ = ParseDecimal(value);
  else if (IsName(name, "clipparam")) clip_params_ = ParseClipParams(value);
  else if (IsName(name, "alpha")) alpha_ = ParseDecimal(value);
  else if (IsName(name, "group")) {
    if (!group_.empty()) VwControlGroups::Instance().Leave(group_, handle());
    group_ = value;
    VwControlGroups::Instance().Join(group_, handle());
  } else {
    return kVwAttributeUnknown;
  }
  return kVwAttributeTaken;
}

void CVwImageWnd::DrawImage(IVwCanvas& canvas, int state_index) {
  if (skin_.empty()) return;
  const VwRect& r = rect();
  switch (clip_type_) {
    case 1:
    case 2:
      canvas.DrawSkinClipped(skin_, r, state_index, clip_type_, alpha_);
      return;
    case 3: {
      // Three corners of the parallelogram as offsets from the rectangle's left-top:
      // upper-left, upper-right, lower-left; missing numbers keep the rectangle's corners.
      const int defaults[6] = {0, 0, r.width(), 0, 0, r.height()};
      int v[6];
      for (int i = 0; i < 6; ++i) v[i] = i < static_cast<int>(clip_params_.size()) ? clip_params_[i] : defaults[i];
      const VwPoint points[3] = {{r.left + v[0], r.top + v[1]}, {r.left + v[2], r.top + v[3]},
                                 {r.left + v[4], r.top + v[5]}};
      const VwSize frame = VwPlatform().SkinSize(skin_);
      const int x = frame.cx * std::max(0, state_index);
      canvas.DrawSkinPoints(skin_, points, VwRect{x, 0, x + frame.cx, frame.cy});
      return;
    }
    default:
      canvas.DrawSkin(skin_, r, state_index, dpi(), 255);
      return;
  }
}

int CVwImageWnd::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  switch (message) {
    case kVwMsgPaint:
      if (wparam != 0) DrawImage(*reinterpret_cast<IVwCanvas*>(wparam), sub_);
      return 1;
    case kVwMsgSizeQuery:
      AnswerPictureSizeQuery(*this, ElementSkinSize(skin_, dpi()), lparam);
      return 1;
    default:
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
  }
}

int CVwImageBtnWnd::StateIndex() {
  const unsigned s = state();
  if (!group_.empty() && VwControlGroups::Instance().AnyChecked(group_)) {
    if (s & (kVwStateChecked | kVwStatePushed)) return 2;
    return (s & kVwStateHover) ? 1 : 0;
  }
  return ButtonStateIndex(s);
}

void CVwImageBtnWnd::Paint(IVwCanvas& canvas) {
  DrawImage(canvas, StateIndex());
  const VwRect& r = rect();
  if (!icon_skin_.empty()) {
    const VwSize icon = ElementSkinSize(icon_skin_, dpi());
    const int left = r.left + (r.width() - icon.cx) / 2;
    const int top = icon_top_ >= 1 ? r.top + icon_top_ : r.top + (r.height() - icon.cy) / 2;
    canvas.DrawSkin(icon_skin_, VwRect{left, top, left + icon.cx, top + icon.cy}, 0, dpi(), 255);
  }
  if (!mask_skin_.empty() && !(state() & (kVwStateChecked | kVwStateHover)))
    canvas.DrawSkin(mask_skin_, r, 0, dpi(), 255);
  if (!caption_.empty()) {
    VwTextMeasure how;
    how.font_id = StateTextPaint(caption_, r, 0).font_id;
    how.dpi = dpi();
    how.format = kVwDtSingleLine;
    const VwSize extent = VwPlatform().MeasureText(caption_, how);
    VwRect area{r.left, r.top + caption_top_, r.right, r.top + caption_top_ + extent.cy};
    if (extent.cx > r.width()) {
      const int grow = (extent.cx - r.width() + 1) / 2;
      area.left -= grow;
      area.right += grow;
    }
    canvas.DrawText(StateTextPaint(caption_, area, kVwDtSingleLine | kVwDtCenter));
  }
}

void CVwImageBtnWnd::OnRelease(intptr_t lparam) {
  if (group_.empty()) return;
  VwPoint point;
  // A release outside the button (the press was dragged away) changes nothing.
  if (MessagePoint(lparam, &point) && !rect().Contains(point.x, point.y)) return;
  if (state() & kVwStateChecked) {
    ModifyState(0, kVwStateChecked);
    Invalidate();
    return;
  }
  VwControlGroups::Instance().CheckOnly(group_, this);
}

int CVwImageBtnWnd::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  switch (message) {
    case kVwMsgPaint:
      if (wparam != 0) Paint(*reinterpret_cast<IVwCanvas*>(wparam));
      return 1;
    case kVwMsgLButtonUp:
      OnRelease(lparam);
      return CVwImageWnd::ProcessMessage(message, wparam, lparam, result);
    default:
      return CVwImageWnd::ProcessMessage(message, wparam, lparam, result);
  }
}

}  // namespace kbase
