#include "ui/vw_window.h"

#include <tinyxml.h>

#include <cstring>

#include "ui/element_registry.h"
#include "ui/utf8_text.h"
#include "ui/vw_canvas.h"
#include "ui/vw_dialog.h"
#include "ui/vw_string_table.h"
#include "ui/vw_style.h"
#include "ui/vw_style_table.h"

namespace kbase {
namespace {

bool Is(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

// State index of a skin background: the raw bits, or with "correctdrawbg" the ordered
// meaning 3 disabled, 2 pushed, 1 hover, 0 normal.
int BackgroundStateIndex(unsigned state, bool correct) {
  if (!correct) return static_cast<int>(state);
  if (state & kVwStateDisabled) return 3;
  if (state & kVwStatePushed) return 2;
  if (state & kVwStateHover) return 1;
  return 0;
}

}  // namespace

CVwWindow::CVwWindow() { handle_ = ElementRegistry::Instance().Register(this); }

CVwWindow::~CVwWindow() { ElementRegistry::Instance().Unregister(handle_); }

int CVwWindow::Load(const TiXmlElement& element) {
  const char* inner = element.GetText();
  text_ = SubstituteStringReferences(WideFromUtf8(inner != nullptr ? inner : ""), VwString::Instance());

  position_flags_ = 0;
  CVwObject::Load(element);

  const char* show = element.Attribute("show");
  if (show != nullptr && *show != '\0') {
    if (ParseDecimal(show) == 0) state_ |= kVwStateHidden;
    else state_ &= ~kVwStateHidden;
  }

  if (position_.count != 2 && position_.count != 4) {
    auto size_rule = [](const char* value, unsigned fixed, unsigned content, unsigned fill,
                        int* fixed_value) -> unsigned {
      if (value != nullptr && EqualsAsciiNoCase(value, "full")) return fill;
      const int number = value != nullptr ? ParseDecimal(value) : 0;
      if (number > 0) {
        *fixed_value = number;
        return fixed;
      }
      return content;
    };
    position_flags_ &= ~(kVwWidthBits | kVwHeightBits);
    position_flags_ |= size_rule(element.Attribute("width"), kVwWidthFixed, kVwWidthContent, kVwWidthFill,
                                 &fixed_width_);
    position_flags_ |= size_rule(element.Attribute("height"), kVwHeightFixed, kVwHeightContent, kVwHeightFill,
                                 &fixed_height_);
    if (position_flags_ & (kVwWidthContent | kVwHeightContent)) SizeToContent();
  }
  const char* floating = element.Attribute("float");
  position_flags_ &= ~(kVwFloating | kVwNotFloating);
  position_flags_ |= (floating != nullptr && ParseDecimal(floating) != 0) ? kVwFloating : kVwNotFloating;
  return 1;
}

int CVwWindow::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwObject::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;

  struct NumberField {
    const char* name;
    int CVwWindow::*field;
  };
  static const NumberField kNumbers[] = {
      {"id", &CVwWindow::id_},
      {"alphatxt", &CVwWindow::text_alpha_},
      {"transparent", &CVwWindow::transparent_},
      {"headacceptlbtndownmsg", &CVwWindow::head_accept_lbutton_down_},
      {"userdata", &CVwWindow::user_data_},
      {"notify", &CVwWindow::notify_},
      {"forceupdatestyle", &CVwWindow::force_update_style_},
      {"autofixtextrect", &CVwWindow::autofix_text_rect_},
      {"border", &CVwWindow::border_},
      {"correctdrawbg", &CVwWindow::correct_draw_background_},
  };
  for (const NumberField& f : kNumbers) {
    if (Is(name, f.name)) {
      this->*f.field = ParseDecimal(value);
      return kVwAttributeTaken;
    }
  }
  if (Is(name, "class")) style_name_ = value;
  else if (Is(name, "crbg")) background_ = ParseColour(value);
  else if (Is(name, "crtext")) text_colour_ = ParseColour(value);
  else if (Is(name, "font")) font_id_ = ParseFontId(value);
  else if (Is(name, "href")) href_ = WideFromUtf8(value);
  else if (Is(name, "tip")) tool_tip_ = WideFromUtf8(value);
  else if (Is(name, "valign")) return ParseVerticalAlign(value, &vertical_align_) ? kVwAttributeTaken : kVwAttributeUnknown;
  else if (Is(name, "align")) return ParseHorizontalAlign(value, &horizontal_align_) ? kVwAttributeTaken : kVwAttributeUnknown;
  else if (Is(name, "pos")) {
    const double scale = (dpi() && VwPlatform().DpiAware()) ? VwPlatform().DpiRatio() : 1.0;
    position_ = ParseLayoutPosition(value, scale);
    if (position_.count == 2 || position_.count == 4) {
      position_flags_ &= ~(kVwWidthBits | kVwHeightBits);
      position_flags_ |= kVwWidthContent | kVwHeightContent;
    }
    if (!loading) {
      CVwWindow* parent = ElementRegistry::Instance().Find(parent_);
      if (auto* container = dynamic_cast<CVwDialog*>(parent)) container->RepositionChild(this);
    }
  } else {
    return kVwAttributeUnknown;
  }
  return kVwAttributeTaken;
}

void CVwWindow::SetCursor() { VwPlatform().SetCursor(Style().cursor); }

unsigned CVwWindow::ModifyState(unsigned add, unsigned remove) {
  const unsigned old = state_;
  state_ = (state_ | add) & ~remove;
  return old;
}

uint32_t CVwWindow::HitTest(int x, int y, int flag) { return rect_.Contains(x, y) ? handle_ : 0; }

bool CVwWindow::NeedRedrawWhenStateChange() const {
  const VwStyle& style = Style();
  if (!style.skin.empty() && VwPlatform().SkinDependsOnState(style.skin)) return true;
  return style.hover_text_colour != kVwColourUnset || style.hover_background != kVwColourUnset ||
         style.pushed_text_colour != kVwColourUnset || style.hover_font_id != 0 || style.pushed_font_id != 0;
}

int CVwWindow::RedrawRegion(IVwCanvas& canvas) {
  if (!canvas.InRegion(rect_)) return 0;
  DrawBackground(canvas);
  if (paint_hook_ == nullptr || paint_hook_->OnPaint(this, canvas, rect_, 1) != 0) {
    intptr_t result = 0;
    ProcessMessage(kVwMsgPaint, reinterpret_cast<uintptr_t>(&canvas), 0, &result);
    if (paint_hook_ != nullptr) paint_hook_->OnPaint(this, canvas, rect_, 0);
  }
  return 1;
}

void CVwWindow::DrawBackground(IVwCanvas& canvas) {
  if (border_ != 0) canvas.FrameRect(rect_);
  const VwStyle& style = Style();
  if (!style.skin.empty()) {
    canvas.DrawSkin(style.skin, rect_, BackgroundStateIndex(state_, correct_draw_background_ != 0), dpi(), 255);
    return;
  }
  VwColour colour = background_ != kVwColourUnset ? background_ : style.background;
  if ((state_ & kVwStateHover) && style.hover_background != kVwColourUnset) colour = style.hover_background;
  if (colour == kVwColourUnset) return;
  canvas.FillRect(rect_, colour, style.background_alpha, style.background_gdiplus != 0);
}

int CVwWindow::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  switch (message) {
    case kVwMsgPaint:
      if (wparam != 0) PaintText(*reinterpret_cast<IVwCanvas*>(wparam));
      return 1;
    case kVwMsgShow:
      if (lparam == 0) {
        const unsigned hidden_bit = kVwStateHidden;
        if (wparam != 0) ModifyState(0, hidden_bit);
        else ModifyState(hidden_bit, 0);
      }
      return 1;
    case kVwMsgPositionChanged:
      if (lparam != 0) OnPositionChanged(*reinterpret_cast<const LayoutPlacement*>(lparam));
      return 1;
    case kVwMsgSizeQuery:
      if (lparam != 0) {
        auto* query = reinterpret_cast<VwSizeQuery*>(lparam);
        query->size = position_.count == 4 ? PositionedSize(position_, query->inner_width, query->inner_height)
                                           : NaturalTextSize(query->inner_width);
      }
      return 1;
    case kVwMsgMouseMove:
    case kVwMsgMouseLeave:
    case kVwMsgLButtonDown:
    case kVwMsgLButtonUp: {
      if (message == kVwMsgMouseMove && (notify_ & 0x1))
        VwPlatform().SendControlEvent(host_, id_, kVwControlEventMove);
      if (message == kVwMsgMouseLeave && (notify_ & 0x2))
        VwPlatform().SendControlEvent(host_, id_, kVwControlEventLeave);
      if (event_listener_ != nullptr) {
        VwPoint point;
        if (lparam != 0) point = *reinterpret_cast<const VwPoint*>(lparam);
        event_listener_->OnEvent(message, this, rect_, point);
      }
      return 1;
    }
    default:
      return 0;
  }
}

void CVwWindow::OnPositionChanged(const LayoutPlacement& placement) {
  rect_.left = placement.x;
  rect_.top = placement.y;
  VwSizeQuery query;
  query.inner_width = placement.inner_width;
  query.inner_height = placement.inner_height;
  intptr_t result = 0;
  ProcessMessage(kVwMsgSizeQuery, 0, reinterpret_cast<intptr_t>(&query), &result);
  rect_ = ChildRectangle(placement, query.size, position_flags_, fixed_width_, fixed_height_);
}

void CVwWindow::SizeToContent() {
  LayoutPlacement placement;
  placement.x = rect_.left;
  placement.y = rect_.top;
  intptr_t result = 0;
  ProcessMessage(kVwMsgPositionChanged, 0, reinterpret_cast<intptr_t>(&placement), &result);
}

VwSize CVwWindow::NaturalTextSize(int inner_width) const {
  if (text_.empty()) return {};
  const VwStyle& style = Style();
  const uint16_t font = font_id_ != 0 ? font_id_ : style.font_id;
  VwTextMeasure how;
  how.font_id = font;
  how.dpi = dpi();
  how.format = style.text_mode & ~0xFu;
  how.width = inner_width;
  how.gdiplus = style.gdiplus_calc_text != 0;
  VwSize size = VwPlatform().MeasureText(text_, how);
  size.cx += 2 * style.x_margin;
  size.cy += 2 * style.y_margin;
  return size;
}

void CVwWindow::PaintText(IVwCanvas& canvas) {
  const VwStyle& style = Style();
  if (text_format_ == 0 || force_update_style_ != 0) text_format_ = style.text_mode & ~kVwTextModifyString;
  if (text_.empty()) return;
  canvas.DrawText(StateTextPaint(text_, rect_.Deflated(style.x_margin, style.y_margin), text_format_));
}

VwTextPaint CVwWindow::StateTextPaint(const std::wstring& text, const VwRect& rect, uint32_t format) const {
  const VwStyle& style = Style();
  VwTextPaint paint;
  paint.text = text;
  paint.rect = rect;
  paint.format = format;
  paint.dpi = dpi();
  paint.style = &style;
  paint.autofix_text_rect = autofix_text_rect_ != 0;
  paint.transparent_background = true;
  paint.font_id = font_id_ != 0 ? font_id_ : style.font_id;
  paint.colour = text_colour_ != kVwColourUnset ? text_colour_ : style.text_colour;
  bool pushed_font = false;
  bool pushed_colour = false;
  if (IsDisabledInTree()) {
    paint.colour = style.disabled_text_colour;
  } else {
    if ((state_ & kVwStatePushed)) {
      if (style.pushed_font_id != 0) { paint.font_id = style.pushed_font_id; pushed_font = true; }
      if (style.pushed_text_colour != kVwColourUnset) { paint.colour = style.pushed_text_colour; pushed_colour = true; }
    }
    if ((state_ & kVwStateHover)) {
      if (!pushed_font && style.hover_font_id != 0) paint.font_id = style.hover_font_id;
      if (!pushed_colour && style.hover_text_colour != kVwColourUnset) paint.colour = style.hover_text_colour;
    }
  }
  paint.alpha = text_alpha_ >= 0 ? text_alpha_ : style.text_alpha;
  return paint;
}

const VwStyle& CVwWindow::Style() const { return VwStyleTable::Instance().Find(style_name_); }

bool CVwWindow::IsVisibleInTree() const {
  if (hidden()) return false;
  ElementRegistry& registry = ElementRegistry::Instance();
  // The depth bound keeps a corrupted parent chain from looping.
  uint32_t parent = parent_;
  for (int depth = 0; parent != 0 && depth < 4096; ++depth) {
    const CVwWindow* element = registry.Find(parent);
    if (element == nullptr) break;
    if (element->hidden()) return false;
    parent = element->parent_;
  }
  return true;
}

bool CVwWindow::IsDisabledInTree() const {
  if (state_ & kVwStateDisabled) return true;
  ElementRegistry& registry = ElementRegistry::Instance();
  uint32_t parent = parent_;
  for (int depth = 0; parent != 0 && depth < 4096; ++depth) {
    const CVwWindow* element = registry.Find(parent);
    if (element == nullptr) break;
    if (element->state_ & kVwStateDisabled) return true;
    parent = element->parent_;
  }
  return false;
}

void CVwWindow::Invalidate() {
  if (host_ == nullptr || !IsVisibleInTree()) return;
  VwPlatform().RequestRedraw(host_, handle_, rect_);
}

}  // namespace kbase
