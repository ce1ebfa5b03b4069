#include "ui/controls/vw_slider.h"

#include <algorithm>

#include "ui/controls/vw_control_util.h"
#include "ui/vw_canvas.h"
#include "ui/vw_platform.h"

namespace kbase {
namespace {

constexpr int kCodeTracking = 11;
constexpr int kCodeReleased = 12;
constexpr int kPlainThumbWidth = 8;
constexpr VwColour kTrackColour = VwRgb(204, 204, 204);
constexpr VwColour kThumbColour = VwRgb(66, 97, 144);

}  // namespace

int VwSlider::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "sliderpos")) position_ = std::clamp(ParseDecimal(value), 0, kMaxPosition);
  else if (IsName(name, "skinbg")) track_skin_ = value;
  else if (IsName(name, "skin")) thumb_skin_ = value;
  else if (IsName(name, "bgleftmargin")) margin_left_ = ParseDecimal(value);
  else if (IsName(name, "bgrightmargin")) margin_right_ = ParseDecimal(value);
  else if (IsName(name, "bgtopmargin")) margin_top_ = ParseDecimal(value);
  else if (IsName(name, "bgbottommargin")) margin_bottom_ = ParseDecimal(value);
  else return kVwAttributeUnknown;
  if (!loading) Invalidate();
  return kVwAttributeTaken;
}

VwRect VwSlider::TrackRect() const {
  const VwRect& r = rect();
  return VwRect{r.left + margin_left_, r.top + margin_top_, r.right - margin_right_, r.bottom - margin_bottom_};
}

VwRect VwSlider::ThumbRect() const {
  const VwRect track = TrackRect();
  VwSize thumb = ElementSkinSize(thumb_skin_, dpi());
  if (thumb.cx <= 0 || thumb.cy <= 0) thumb = {kPlainThumbWidth, rect().height()};
  const int centre = track.left + static_cast<int>(static_cast<long long>(std::max(0, track.width())) * position_ /
                                                   kMaxPosition);
  const int top = rect().top + (rect().height() - thumb.cy) / 2;
  return VwRect{centre - thumb.cx / 2, top, centre - thumb.cx / 2 + thumb.cx, top + thumb.cy};
}

int VwSlider::PositionAt(int x) const {
  const VwRect track = TrackRect();
  if (track.width() <= 0) return 0;
  const long long offset = std::clamp(x - track.left, 0, track.width());
  return static_cast<int>((offset * kMaxPosition + track.width() / 2) / track.width());
}

void VwSlider::Change(int code, int value) {
  if (value == position_) return;
  if (VwPlatform().SendVetoableChange(host(), code, id(), position_, value)) return;
  position_ = value;
  Invalidate();
}

int VwSlider::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  VwPoint point;
  switch (message) {
    case kVwMsgPaint: {
      if (wparam == 0) return 1;
      auto& canvas = *reinterpret_cast<IVwCanvas*>(wparam);
      const VwRect track = TrackRect();
      if (track_skin_.empty() || !canvas.DrawSkin(track_skin_, track, 0, dpi(), 255)) {
        const int y = track.top + track.height() / 2;
        canvas.FillRect(VwRect{track.left, y - 1, track.right, y + 1}, kTrackColour, 255, false);
      }
      const VwRect thumb = ThumbRect();
      if (thumb_skin_.empty() || !canvas.DrawSkin(thumb_skin_, thumb, ButtonStateIndex(state()), dpi(), 255))
        canvas.RoundRect(thumb, 2, 2, kThumbColour, 1, kThumbColour);
      return 1;
    }
    case kVwMsgSizeQuery:
      AnswerPictureSizeQuery(*this, ElementSkinSize(track_skin_, dpi()), lparam);
      return 1;
    case kVwMsgLButtonDown:
      if (!IsDisabledInTree() && MessagePoint(lparam, &point)) {
        tracking_ = true;
        Change(kCodeTracking, PositionAt(point.x));
      }
      break;
    case kVwMsgMouseMove:
      if (tracking_ && (state() & kVwStatePushed) && MessagePoint(lparam, &point))
        Change(kCodeTracking, PositionAt(point.x));
      break;
    case kVwMsgLButtonUp:
      if (tracking_ && MessagePoint(lparam, &point)) Change(kCodeReleased, PositionAt(point.x));
      tracking_ = false;
      break;
    default:
      break;
  }
  return CVwWindow::ProcessMessage(message, wparam, lparam, result);
}

}  // namespace kbase
