#include "ui/controls/vw_progress.h"

#include <algorithm>
#include <cstdio>

#include "ui/controls/vw_control_util.h"
#include "ui/utf8_text.h"
#include "ui/vw_canvas.h"
#include "ui/vw_style.h"

namespace kbase {
namespace {

constexpr VwColour kOutline = VwRgb(112, 112, 112);
constexpr VwColour kFill = VwRgb(66, 97, 144);
constexpr VwColour kWhite = VwRgb(255, 255, 255);
constexpr uint32_t kPercentFormat = kVwDtSingleLine | kVwDtVCenter | kVwDtCenter;

}  // namespace

int CVwProgress::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "bgskin")) background_skin_ = value;
  else if (IsName(name, "posskin")) position_skin_ = value;
  else if (IsName(name, "skinposx")) skin_pos_x_ = ParseDecimal(value);
  else if (IsName(name, "min")) min_ = ParseDecimal(value);
  else if (IsName(name, "max")) max_ = ParseDecimal(value);
  else if (IsName(name, "value")) value_ = ParseDecimal(value);
  else if (IsName(name, "showpercent")) show_percent_ = ParseDecimal(value);
  else if (IsName(name, "progressbar")) {
    marquee_ = ParseDecimal(value);
    marquee_offset_ = 0;
    marquee_width_ = 0;
  } else {
    return kVwAttributeUnknown;
  }
  if (!loading) Invalidate();
  return kVwAttributeTaken;
}

double CVwProgress::Fraction() const {
  if (min_ == max_) return 0.0;
  const double low = std::min(min_, max_);
  const double high = std::max(min_, max_);
  const double value = std::clamp(static_cast<double>(value_), low, high);
  return (value - low) / (high - low);
}

VwRect CVwProgress::FilledRect() const {
  const VwRect& r = rect();
  const double f = Fraction();
  if (!position_skin_.empty()) {
    const int inset = std::max(0, std::min(skin_pos_x_, r.width() / 2));
    const int height = ElementSkinSize(position_skin_, dpi()).cy;
    VwRect area{r.left + inset, r.top + (r.height() - height) / 2, r.right - inset, 0};
    area.bottom = area.top + height;
    area.right = area.left + static_cast<int>(std::max(0, area.width()) * f);
    return area;
  }
  VwRect area = r.Deflated(2, 2);
  area.right = area.left + static_cast<int>(std::max(0, area.width()) * f);
  return area;
}

VwRect CVwProgress::AdvanceMarquee() {
  const VwRect inner = rect().Deflated(2, 2);
  if (marquee_offset_ == 0 && marquee_width_ < kMarqueeWidth) {
    marquee_width_ = std::min(kMarqueeWidth, marquee_width_ + kMarqueeStep);
  } else {
    marquee_offset_ += kMarqueeStep;
  }
  if (inner.left + marquee_offset_ >= inner.right) {
    // Gone past the right edge: start again at the left with nothing shown this time.
    marquee_offset_ = 0;
    marquee_width_ = 0;
  }
  const int left = inner.left + marquee_offset_;
  return VwRect{left, inner.top, std::min(inner.right, left + marquee_width_), inner.bottom};
}

std::wstring CVwProgress::BarText() const {
  if (show_percent_ == 0) return std::wstring();
  char text[16];
  std::snprintf(text, sizeof(text), "%d%%", static_cast<int>(Fraction() * 100));
  return WideFromUtf8(text);
}

void CVwProgress::Paint(IVwCanvas& canvas) {
  const VwRect& r = rect();
  if (background_skin_.empty() || !canvas.DrawSkinPlain(background_skin_, r, 0))
    canvas.RoundRect(r, 2, 2, kOutline, 1, kVwColourUnset);

  const std::wstring text = BarText();
  if (!text.empty()) canvas.DrawText(StateTextPaint(text, r, kPercentFormat));

  VwRect filled;
  if (marquee_ != 0) {
    filled = AdvanceMarquee();
    if (!filled.empty()) canvas.RoundRect(filled, 2, 2, kFill, 1, kFill);
  } else {
    filled = FilledRect();
    if (!filled.empty()) {
      if (!position_skin_.empty()) canvas.DrawSkinPlain(position_skin_, filled, 0);
      else canvas.RoundRect(filled, 2, 2, kFill, 1, kFill);
    }
  }

  if (!text.empty() && !filled.empty()) {
    // Over the filled part the text shows in the background colour, so it stays readable.
    VwTextPaint paint = StateTextPaint(text, r, kPercentFormat);
    const VwColour own = own_background();
    paint.colour = own != kVwColourUnset ? own : Style().background != kVwColourUnset ? Style().background : kWhite;
    canvas.SaveState();
    canvas.IntersectClip(filled);
    canvas.DrawText(paint);
    canvas.RestoreState();
  }
}

int CVwProgress::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  switch (message) {
    case kVwMsgPaint:
      if (wparam != 0) Paint(*reinterpret_cast<IVwCanvas*>(wparam));
      return 1;
    case kVwMsgSizeQuery:
      if (lparam != 0) {
        auto* query = reinterpret_cast<VwSizeQuery*>(lparam);
        if (position().count == 4) {
          query->size = PositionedSize(position(), query->inner_width, query->inner_height);
        } else {
          query->size = NaturalTextSize(query->inner_width);
          if (!background_skin_.empty()) query->size.cy = ElementSkinSize(background_skin_, dpi()).cy;
        }
      }
      return 1;
    default:
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
  }
}

int CVwProgressEx::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwProgress::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (IsName(name, "extendtext") && value != nullptr) extend_text_ = WideFromUtf8(value);
  else if (IsName(name, "posimg_left") && value != nullptr) left_image_skin_ = value;
  else return kVwAttributeUnknown;
  if (!loading) Invalidate();
  return kVwAttributeTaken;
}

std::wstring CVwProgressEx::BarText() const {
  std::wstring text = CVwProgress::BarText();
  if (!text.empty() && !extend_text_.empty()) text += L' ';
  return text + extend_text_;
}

void CVwProgressEx::Paint(IVwCanvas& canvas) {
  CVwProgress::Paint(canvas);
  if (left_image_skin_.empty() || marquee_ != 0) return;
  const VwRect filled = FilledRect();
  if (filled.empty()) return;
  // The cap sits at the fill's left end at its own size, centred on the bar.
  const VwSize cap = ElementSkinSize(left_image_skin_, dpi());
  const int top = rect().top + (rect().height() - cap.cy) / 2;
  canvas.DrawSkin(left_image_skin_, VwRect{filled.left, top, filled.left + cap.cx, top + cap.cy}, 0, dpi(), 255);
}

}  // namespace kbase
