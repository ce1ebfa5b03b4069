#include "ui/controls/vw_owner_event_dlg.h"

#include <algorithm>

#include "ui/controls/vw_control_util.h"
#include "ui/vw_platform.h"

namespace kbase {
namespace {
constexpr int kCodeValueChanging = 11;
}  // namespace

int CVwOwnerEventDlg::LoadChildren(const TiXmlElement* first) {
  const int loaded = CVwDialog::LoadChildren(first);
  for (size_t i = 0; i < child_count(); ++i) child(i)->set_event_listener(this);
  return loaded;
}

void CVwOwnerEventDlg::OnEvent(unsigned message, CVwWindow* element, const VwRect&, VwPoint point) {
  ++events_seen_;
  OnChildEvent(message, element, point);
}

int CVwSliderViewEx::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwOwnerEventDlg::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  // "transparent" is the common attribute; the rest are the slider's.
  if (IsName(name, "current_value")) current_ = ParseDecimal(value);
  else if (IsName(name, "max_value")) max_ = ParseDecimal(value);
  else if (IsName(name, "step_value")) step_ = ParseDecimal(value);
  else if (IsName(name, "enable_mousewhell")) wheel_ = ParseDecimal(value);
  else return kVwAttributeUnknown;
  if (max_ < 0) max_ = 0;
  current_ = std::clamp(current_, 0, max_);
  if (!loading) RepositionChildren();
  return kVwAttributeTaken;
}

int CVwSliderViewEx::ValueAt(int x) const {
  const VwRect& r = rect();
  if (r.width() <= 0 || max_ <= 0) return 0;
  const long long offset = std::clamp(x - r.left, 0, r.width());
  int value = static_cast<int>((offset * max_ + r.width() / 2) / r.width());
  if (step_ > 1) value = (value + step_ / 2) / step_ * step_;
  return std::clamp(value, 0, max_);
}

void CVwSliderViewEx::Change(int value) {
  value = std::clamp(value, 0, max_);
  if (value == current_) return;
  if (VwPlatform().SendVetoableChange(host(), kCodeValueChanging, id(), current_, value)) return;
  current_ = value;
  RepositionChildren();
  Invalidate();
}

void CVwSliderViewEx::RepositionChildren() {
  CVwOwnerEventDlg::RepositionChildren();
  if (child_count() == 0) return;
  // The thumb's centre follows the value.
  CVwWindow* thumb = child(child_count() - 1);
  const VwRect& r = rect();
  VwRect t = thumb->rect();
  const int centre = r.left + (max_ > 0 ? static_cast<int>(static_cast<long long>(std::max(0, r.width())) * current_ / max_) : 0);
  const int width = t.width();
  t.left = centre - width / 2;
  t.right = t.left + width;
  thumb->set_rect(t);
}

void CVwSliderViewEx::OnChildEvent(unsigned message, CVwWindow*, VwPoint point) {
  if (message == kVwMsgLButtonDown || message == kVwMsgLButtonUp) Change(ValueAt(point.x));
}

int CVwSliderViewEx::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  VwPoint point;
  if ((message == kVwMsgLButtonDown || message == kVwMsgLButtonUp) && MessagePoint(lparam, &point))
    Change(ValueAt(point.x));
  if (message == kVwMsgMouseWheel && wheel_ != 0) {
    // wparam carries the wheel delta in its high word, as WM_MOUSEWHEEL does.
    const short delta = static_cast<short>((wparam >> 16) & 0xFFFF);
    Change(current_ + (delta > 0 ? std::max(1, step_) : delta < 0 ? -std::max(1, step_) : 0));
  }
  return CVwOwnerEventDlg::ProcessMessage(message, wparam, lparam, result);
}

}  // namespace kbase
