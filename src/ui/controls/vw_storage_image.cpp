#include "ui/controls/vw_storage_image.h"

#include <algorithm>
#include <cmath>

#include "ui/controls/vw_control_util.h"
#include "ui/controls/vw_icon_wnd.h"
#include "ui/utf8_text.h"
#include "ui/vw_canvas.h"
#include "ui/vw_platform.h"

namespace kbase {

int CVwStorageImage::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "filepath")) path_ = WideFromUtf8(value);
  else if (IsName(name, "subwidth")) subwidth_ = ParseDecimal(value);
  else if (IsName(name, "sub")) sub_ = ParseDecimal(value);
  else return kVwAttributeUnknown;
  if (!loading) Invalidate();
  return kVwAttributeTaken;
}

int CVwStorageImage::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  switch (message) {
    case kVwMsgPaint:
      if (wparam != 0 && !path_.empty()) {
        const VwRect& r = rect();
        reinterpret_cast<IVwCanvas*>(wparam)->DrawImageFile(path_, r.left, r.top, r.width(), r.height(), subwidth_,
                                                            sub_, alpha_);
      }
      return 1;
    case kVwMsgSizeQuery:
      if (lparam != 0) {
        auto* query = reinterpret_cast<VwSizeQuery*>(lparam);
        VwSize picture;
        double width = 0, height = 0;
        if (!path_.empty() && VwPlatform().ImageFileSize(path_, &width, &height))
          picture = {static_cast<int>(std::lround(width)), static_cast<int>(std::lround(height))};
        if (subwidth_ > 0 && picture.cx / subwidth_ >= 2) picture.cx = subwidth_;
        picture = {VwScaleForElement(picture.cx, dpi()), VwScaleForElement(picture.cy, dpi())};
        query->size = PictureNaturalSize(*this, picture, NaturalTextSize(query->inner_width), query->inner_width,
                                         query->inner_height);
      }
      return 1;
    default:
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
  }
}

int CVwStorageImageEx::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwStorageImage::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (IsName(name, "alpha") && value != nullptr) {
    alpha_ = std::clamp(ParseDecimal(value), 0, 255);
    if (!loading) Invalidate();
    return kVwAttributeTaken;
  }
  return kVwAttributeUnknown;
}

int CVwMemoryImage::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (IsName(name, "mempointer") && value != nullptr) {
    image_ = ParseHandleNumber(value);
    if (!loading) Invalidate();
    return kVwAttributeTaken;
  }
  return kVwAttributeUnknown;
}

int CVwMemoryImage::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  if (message == kVwMsgPaint) {
    if (wparam != 0 && image_ != 0) reinterpret_cast<IVwCanvas*>(wparam)->DrawMemoryImage(image_, rect());
    return 1;
  }
  return CVwWindow::ProcessMessage(message, wparam, lparam, result);
}

}  // namespace kbase
