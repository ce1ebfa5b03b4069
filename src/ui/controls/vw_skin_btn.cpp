#include "ui/controls/vw_skin_btn.h"

#include <algorithm>

#include "ui/controls/vw_control_util.h"
#include "ui/vw_canvas.h"
#include "ui/vw_platform.h"

namespace kbase {

int CVwSkinBtnWnd::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (IsName(name, "skin") && value != nullptr) {
    skin_ = value;
    return kVwAttributeTaken;
  }
  return kVwAttributeUnknown;
}

int CVwSkinBtnWnd::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  switch (message) {
    case kVwMsgPaint:
      if (wparam != 0 && !skin_.empty())
        reinterpret_cast<IVwCanvas*>(wparam)->DrawSkin(skin_, rect(), ButtonStateIndex(state()), dpi(), 255);
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);  // the text over it
    case kVwMsgSizeQuery:
      AnswerPictureSizeQuery(*this, ElementSkinSize(skin_, dpi()), lparam);
      return 1;
    default:
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
  }
}

int CVwImgbtnsized::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "skin")) skin_ = value;
  else if (IsName(name, "skinmid")) middle_skin_ = value;
  else if (IsName(name, "left")) left_ = ParseDecimal(value);
  else return kVwAttributeUnknown;
  return kVwAttributeTaken;
}

void CVwImgbtnsized::Paint(IVwCanvas& canvas) {
  const VwRect& r = rect();
  const int index = ButtonStateIndex(state());
  const VwSize frame = VwPlatform().SkinSize(skin_);
  const int side = std::clamp(left_, 0, std::min(frame.cx / 2, r.width() / 2));
  if (!skin_.empty() && side > 0) {
    canvas.DrawSkinPart(skin_, VwRect{r.left, r.top, r.left + side, r.bottom}, VwRect{0, 0, side, frame.cy}, index,
                        255);
    canvas.DrawSkinPart(skin_, VwRect{r.right - side, r.top, r.right, r.bottom},
                        VwRect{frame.cx - side, 0, frame.cx, frame.cy}, index, 255);
  }
  const VwRect middle{r.left + side, r.top, r.right - side, r.bottom};
  if (!middle_skin_.empty()) canvas.DrawSkin(middle_skin_, middle, index, dpi(), 255);
  else if (!skin_.empty())
    canvas.DrawSkinPart(skin_, middle, VwRect{side, 0, frame.cx - side, frame.cy}, index, 255);
  PaintText(canvas);
}

int CVwImgbtnsized::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  switch (message) {
    case kVwMsgPaint:
      if (wparam != 0) Paint(*reinterpret_cast<IVwCanvas*>(wparam));
      return 1;
    case kVwMsgSizeQuery:
      AnswerPictureSizeQuery(*this, ElementSkinSize(skin_, dpi()), lparam);
      return 1;
    default:
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
  }
}

}  // namespace kbase
