#include "ui/controls/vw_image_ex.h"

#include <algorithm>
#include <cstdlib>

#include "ui/controls/vw_control_util.h"
#include "ui/vw_canvas.h"
#include "ui/vw_platform.h"

namespace kbase {

int CVwSkinnedWindow::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (IsName(name, "skin") && value != nullptr) {
    skin_ = value;
    if (!loading) Invalidate();
    return kVwAttributeTaken;
  }
  return kVwAttributeUnknown;
}

VwSize CVwSkinnedWindow::PictureSize() const { return ElementSkinSize(skin_, dpi()); }

int CVwSkinnedWindow::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  switch (message) {
    case kVwMsgPaint:
      if (wparam != 0 && !skin_.empty()) Paint(*reinterpret_cast<IVwCanvas*>(wparam));
      return 1;
    case kVwMsgSizeQuery:
      AnswerPictureSizeQuery(*this, PictureSize(), lparam);
      return 1;
    default:
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
  }
}

int CVwImageBg::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwSkinnedWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "fill")) fill_ = ParseDecimal(value);
  else if (IsName(name, "cx")) cx_ = ParseDecimal(value);
  else if (IsName(name, "cy")) cy_ = ParseDecimal(value);
  else return kVwAttributeUnknown;
  return kVwAttributeTaken;
}

VwSize CVwImageBg::PictureSize() const {
  if (cx_ > 0 || cy_ > 0) return {VwScaleForElement(std::max(0, cx_), dpi()), VwScaleForElement(std::max(0, cy_), dpi())};
  return CVwSkinnedWindow::PictureSize();
}

void CVwImageBg::Paint(IVwCanvas& canvas) {
  if (fill_ != 0) canvas.DrawSkin(skin_, rect(), 0, dpi(), 255);
  else canvas.DrawSkinTiled(skin_, rect());
}

int CVwImageScroll::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwImageBg::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "hscroll")) hscroll_ = ParseDecimal(value);
  else if (IsName(name, "vscroll")) vscroll_ = ParseDecimal(value);
  else if (IsName(name, "hpos")) hpos_ = ParseDecimal(value);
  else if (IsName(name, "vpos")) vpos_ = ParseDecimal(value);
  else return kVwAttributeUnknown;
  if (!loading) Invalidate();
  return kVwAttributeTaken;
}

VwRect CVwImageScroll::SourceRect() const {
  const VwSize picture = VwPlatform().SkinSize(skin_);
  const int x = hscroll_ != 0 ? std::clamp(hpos_, 0, std::max(0, picture.cx - rect().width())) : 0;
  const int y = vscroll_ != 0 ? std::clamp(vpos_, 0, std::max(0, picture.cy - rect().height())) : 0;
  return VwRect{x, y, std::min(picture.cx, x + rect().width()), std::min(picture.cy, y + rect().height())};
}

void CVwImageScroll::Paint(IVwCanvas& canvas) {
  const VwRect src = SourceRect();
  if (src.empty()) return;
  const VwRect& r = rect();
  canvas.DrawSkinPart(skin_, VwRect{r.left, r.top, r.left + src.width(), r.top + src.height()}, src, 0, 255);
}

int CVwImgGray::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwSkinnedWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (IsName(name, "gray") && value != nullptr) {
    gray_ = ParseDecimal(value);
    if (!loading) Invalidate();
    return kVwAttributeTaken;
  }
  return kVwAttributeUnknown;
}

void CVwImgGray::Paint(IVwCanvas& canvas) {
  if (gray_ == 0) {
    canvas.DrawSkin(skin_, rect(), 0, dpi(), 255);
    return;
  }
  const VwSize picture = VwPlatform().SkinSize(skin_);
  canvas.DrawSkinGray(skin_, rect(), VwRect{0, 0, picture.cx, picture.cy});
}

int CVwImageEx::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwSkinnedWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "alpha")) alpha_ = std::clamp(ParseDecimal(value), 0, 255);
  else if (IsName(name, "sub")) sub_ = ParseDecimal(value);
  else return kVwAttributeUnknown;
  if (!loading) Invalidate();
  return kVwAttributeTaken;
}

void CVwImageEx::Paint(IVwCanvas& canvas) { canvas.DrawSkin(skin_, rect(), sub_, dpi(), alpha_); }

int CVwImageEx2::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwImageEx::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "stretch")) stretch_ = ParseDecimal(value);
  else if (IsName(name, "topdraw")) top_draw_ = ParseDecimal(value);
  else return kVwAttributeUnknown;
  return kVwAttributeTaken;
}

void CVwImageEx2::Paint(IVwCanvas& canvas) {
  if (stretch_ != 0) {
    CVwImageEx::Paint(canvas);
    return;
  }
  const VwRect& r = rect();
  const VwSize frame = ElementSkinSize(skin_, dpi());
  const int left = r.left + (r.width() - frame.cx) / 2;
  const int top = top_draw_ != 0 ? r.top : r.top + (r.height() - frame.cy) / 2;
  canvas.DrawSkin(skin_, VwRect{left, top, left + frame.cx, top + frame.cy}, sub_, dpi(), alpha_);
}

int CVwImageRotale::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwSkinnedWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "angle")) {
    // Whole and fractional degrees; anything unreadable is 0.
    char* end = nullptr;
    const double angle = std::strtod(value, &end);
    angle_ = (end != value && angle == angle && angle > -1e6 && angle < 1e6) ? angle : 0.0;
  } else if (IsName(name, "sub")) {
    sub_ = ParseDecimal(value);
  } else {
    return kVwAttributeUnknown;
  }
  if (!loading) Invalidate();
  return kVwAttributeTaken;
}

void CVwImageRotale::Paint(IVwCanvas& canvas) { canvas.DrawSkinRotated(skin_, rect(), sub_, angle_); }

int CVwExpendImg::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwSkinnedWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "skinalpha")) alpha_ = std::clamp(ParseDecimal(value), 0, 255);
  else if (IsName(name, "margin_left")) margin_left_ = ParseDecimal(value);
  else if (IsName(name, "margin_right")) margin_right_ = ParseDecimal(value);
  else if (IsName(name, "margin_top")) margin_top_ = ParseDecimal(value);
  else if (IsName(name, "margin_bottom")) margin_bottom_ = ParseDecimal(value);
  else if (IsName(name, "stretch")) stretch_ = ParseDecimal(value);
  else return kVwAttributeUnknown;
  return kVwAttributeTaken;
}

void CVwExpendImg::Paint(IVwCanvas& canvas) {
  const VwSize picture = VwPlatform().SkinSize(skin_);
  const VwRect& r = rect();
  if (stretch_ == 0) {
    const VwRect src{0, 0, std::min(picture.cx, r.width()), std::min(picture.cy, r.height())};
    canvas.DrawSkinPart(skin_, VwRect{r.left, r.top, r.left + src.width(), r.top + src.height()}, src, 0, alpha_);
    return;
  }
  VwNinePart parts[9];
  const int count = NineParts(r, picture, margin_left_, margin_top_, margin_right_, margin_bottom_, parts);
  for (int i = 0; i < count; ++i) canvas.DrawSkinPart(skin_, parts[i].dst, parts[i].src, 0, alpha_);
}

int NineParts(const VwRect& target, VwSize source, int left, int top, int right, int bottom, VwNinePart parts[9]) {
  if (target.empty() || source.cx <= 0 || source.cy <= 0) return 0;
  auto fit = [](int* a, int* b, int limit) {
    *a = std::max(0, *a);
    *b = std::max(0, *b);
    if (*a + *b > limit) {
      *a = std::min(*a, limit);
      *b = limit - *a;
    }
  };
  fit(&left, &right, std::min(source.cx, target.width()));
  fit(&top, &bottom, std::min(source.cy, target.height()));
  const int sx[4] = {0, left, source.cx - right, source.cx};
  const int sy[4] = {0, top, source.cy - bottom, source.cy};
  const int dx[4] = {target.left, target.left + left, target.right - right, target.right};
  const int dy[4] = {target.top, target.top + top, target.bottom - bottom, target.bottom};
  int count = 0;
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      const VwRect dst{dx[column], dy[row], dx[column + 1], dy[row + 1]};
      const VwRect src{sx[column], sy[row], sx[column + 1], sy[row + 1]};
      if (dst.empty() || src.empty()) continue;
      parts[count++] = {dst, src};
    }
  }
  return count;
}

}  // namespace kbase
