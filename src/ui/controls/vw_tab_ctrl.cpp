#include "ui/controls/vw_tab_ctrl.h"

#include <tinyxml.h>

#include <algorithm>

#include "ui/controls/vw_control_util.h"
#include "ui/utf8_text.h"
#include "ui/vw_canvas.h"
#include "ui/vw_platform.h"
#include "ui/vw_style.h"
#include "ui/vw_style_table.h"

namespace kbase {
namespace {

constexpr int kCodeTabChanging = 5;
constexpr int kCodeTabItemEvent = 10;
constexpr VwColour kPlainHeader = VwRgb(230, 230, 230);
constexpr VwColour kPlainSelected = VwRgb(255, 255, 255);

}  // namespace

int CVwTab::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwDialog::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "title")) title_ = WideFromUtf8(value);
  else if (IsName(name, "hide")) hide_ = ParseDecimal(value);
  else return kVwAttributeUnknown;
  return kVwAttributeTaken;
}

int CVwTabCtrl::Load(const TiXmlElement& element) {
  CVwWindow::Load(element);
  DestroyChildren();
  for (const TiXmlElement* item = element.FirstChildElement(); item != nullptr; item = item->NextSiblingElement()) {
    if (std::strcmp(item->Value(), CVwTab::kTag) != 0) continue;  // only pages belong here
    auto page = std::make_unique<CVwTab>();
    page->set_control_creator(creator_);
    page->set_parent(handle());
    page->set_dpi(dpi());
    page->SetContainer(host());
    page->Load(*item);
    children_.push_back(std::move(page));
  }
  Select(cursel_);
  return 1;
}

int CVwTabCtrl::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwContainerWnd::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "cursel")) {
    cursel_ = ParseDecimal(value);
    if (!loading) {
      Select(cursel_);
      Invalidate();
    }
  } else if (IsName(name, "tabwidth")) tab_width_ = ParseDecimal(value);
  else if (IsName(name, "tabheight")) tab_height_ = ParseDecimal(value);
  else if (IsName(name, "tabpos")) tab_pos_ = ParseDecimal(value);
  else if (IsName(name, "tabspacing")) tab_spacing_ = ParseDecimal(value);
  else if (IsName(name, "vertfont")) vertical_ = ParseDecimal(value);
  else if (IsName(name, "tabskin")) tab_skin_ = value;
  else if (IsName(name, "frameskin")) frame_skin_ = value;
  else if (IsName(name, "iconskin")) icon_skin_ = value;
  else if (IsName(name, "splitterskin")) splitter_skin_ = value;
  else if (IsName(name, "framepos")) frame_pos_ = ParseLayoutPosition(value);
  else if (IsName(name, "icon-x")) icon_x_ = ParseDecimal(value);
  else if (IsName(name, "icon-y")) icon_y_ = ParseDecimal(value);
  else if (IsName(name, "text-x")) text_x_ = ParseDecimal(value);
  else if (IsName(name, "text-y")) text_y_ = ParseDecimal(value);
  else if (IsName(name, "tabtext")) text_class_ = value;
  else if (IsName(name, "Selfont")) selected_font_ = ParseFontId(value);
  else if (IsName(name, "tabalign")) {
    if (!ParseHorizontalAlign(value, &align_)) return kVwAttributeUnknown;
  } else {
    return kVwAttributeUnknown;
  }
  return kVwAttributeTaken;
}

CVwTab* CVwTabCtrl::tab(size_t index) const { return dynamic_cast<CVwTab*>(child(index)); }

VwRect CVwTabCtrl::HeaderRect(size_t index) const {
  const CVwTab* page = tab(index);
  if (page == nullptr || page->tab_hidden()) return {};
  const VwRect& r = rect();
  const int width = std::max(0, tab_width_);
  const int height = std::max(0, tab_height_);
  int shown = 0;
  int before = 0;
  for (size_t i = 0; i < tab_count(); ++i) {
    if (tab(i) == nullptr || tab(i)->tab_hidden()) continue;
    if (i < index) ++before;
    ++shown;
  }
  const int step_x = width + tab_spacing_;
  const int step_y = height + tab_spacing_;
  if (vertical_ != 0) {
    const int top = r.top + before * step_y;
    return VwRect{r.left, top, r.left + width, top + height};
  }
  const int total = shown > 0 ? shown * step_x - tab_spacing_ : 0;
  int start = r.left;
  if (align_ == kVwAlignCenter) start = r.left + (r.width() - total) / 2;
  else if (align_ == kVwAlignRight) start = r.right - total;
  const int left = start + before * step_x;
  const int top = tab_pos_ == 1 ? r.bottom - height : r.top;
  return VwRect{left, top, left + width, top + height};
}

VwRect CVwTabCtrl::FrameRect() const {
  const VwRect& r = rect();
  if (frame_pos_.count == 4) {
    const LayoutPlacement corner = PlaceInContainer(frame_pos_, r);
    const VwSize size = PositionedSize(frame_pos_, r.width(), r.height());
    return VwRect{corner.x, corner.y, corner.x + size.cx, corner.y + size.cy};
  }
  if (vertical_ != 0) return VwRect{r.left + tab_width_, r.top, r.right, r.bottom};
  if (tab_pos_ == 1) return VwRect{r.left, r.top, r.right, r.bottom - tab_height_};
  return VwRect{r.left, r.top + tab_height_, r.right, r.bottom};
}

int CVwTabCtrl::HeaderAt(int x, int y) const {
  for (size_t i = 0; i < tab_count(); ++i) {
    if (HeaderRect(i).Contains(x, y)) return static_cast<int>(i);
  }
  return -1;
}

void CVwTabCtrl::Select(int index) {
  if (tab_count() == 0) return;
  cursel_ = std::clamp(index, 0, static_cast<int>(tab_count()) - 1);
  for (size_t i = 0; i < tab_count(); ++i) {
    intptr_t result = 0;
    child(i)->ProcessMessage(kVwMsgShow, static_cast<int>(i) == cursel_ ? 1 : 0, 0, &result);
  }
}

void CVwTabCtrl::LayoutPages() {
  const VwRect frame = FrameRect();
  for (size_t i = 0; i < tab_count(); ++i) {
    LayoutPlacement placement{frame.left, frame.top, frame.width(), frame.height()};
    child(i)->SetAttribute("pos", "0,0,-0,-0", true);
    intptr_t result = 0;
    child(i)->ProcessMessage(kVwMsgPositionChanged, 0, reinterpret_cast<intptr_t>(&placement), &result);
  }
}

uint32_t CVwTabCtrl::HitTest(int x, int y, int flag) {
  if (!rect().Contains(x, y)) return 0;
  if (HeaderAt(x, y) >= 0) return handle();
  return CVwContainerWnd::HitTest(x, y, flag);
}

void CVwTabCtrl::PaintHeaders(IVwCanvas& canvas) {
  const VwStyle& text_style = VwStyleTable::Instance().Find(text_class_);
  bool first = true;
  for (size_t i = 0; i < tab_count(); ++i) {
    const VwRect header = HeaderRect(i);
    if (header.empty()) continue;
    const bool selected = static_cast<int>(i) == cursel_;
    if (!first && !splitter_skin_.empty()) {
      const VwSize split = ElementSkinSize(splitter_skin_, dpi());
      const int x = header.left - (tab_spacing_ + split.cx) / 2;
      canvas.DrawSkin(splitter_skin_, VwRect{x, header.top, x + split.cx, header.bottom}, 0, dpi(), 255);
    }
    first = false;
    const int index = selected ? 2 : static_cast<int>(i) == hovered_ ? 1 : 0;
    if (tab_skin_.empty() || !canvas.DrawSkin(tab_skin_, header, index, dpi(), 255)) {
      canvas.FillRect(header, selected ? kPlainSelected : kPlainHeader, 255, false);
      canvas.FrameRect(header);
    }
    if (!icon_skin_.empty()) {
      const VwSize icon = ElementSkinSize(icon_skin_, dpi());
      const int top = icon_y_ >= 0 ? header.top + icon_y_ : header.top + (header.height() - icon.cy) / 2;
      canvas.DrawSkin(icon_skin_, VwRect{header.left + icon_x_, top, header.left + icon_x_ + icon.cx, top + icon.cy},
                      static_cast<int>(i), dpi(), 255);
    }
    VwTextPaint paint;
    paint.text = tab(i)->title();
    paint.rect = VwRect{header.left + text_x_, header.top + text_y_, header.right, header.bottom};
    paint.format = (text_x_ == 0 && text_y_ == 0) ? (kVwDtSingleLine | kVwDtCenter | kVwDtVCenter)
                                                  : (text_style.text_mode & ~kVwTextModifyString);
    paint.dpi = dpi();
    paint.style = &text_style;
    paint.font_id = selected && selected_font_ != 0 ? selected_font_ : text_style.font_id;
    paint.colour = static_cast<int>(i) == hovered_ && text_style.hover_text_colour != kVwColourUnset
                       ? text_style.hover_text_colour
                       : text_style.text_colour;
    if (IsDisabledInTree()) paint.colour = text_style.disabled_text_colour;
    paint.alpha = text_style.text_alpha;
    canvas.DrawText(paint);
  }
}

int CVwTabCtrl::RedrawRegion(IVwCanvas& canvas) {
  if (!canvas.InRegion(rect())) return 0;
  DrawBackground(canvas);
  if (!frame_skin_.empty()) canvas.DrawSkin(frame_skin_, FrameRect(), 0, dpi(), 255);
  PaintHeaders(canvas);
  canvas.SaveState();
  for (size_t i = 0; i < tab_count(); ++i) {
    if (!child(i)->hidden()) child(i)->RedrawRegion(canvas);
  }
  canvas.RestoreState();
  return 1;
}

int CVwTabCtrl::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  VwPoint point;
  switch (message) {
    case kVwMsgPositionChanged:
      CVwContainerWnd::ProcessMessage(message, wparam, lparam, result);
      LayoutPages();
      return 1;
    case kVwMsgShow:
      CVwWindow::ProcessMessage(message, wparam, lparam, result);
      // Pages other than the selected one stay hidden whatever the control does.
      for (size_t i = 0; i < tab_count(); ++i) {
        intptr_t ignored = 0;
        child(i)->ProcessMessage(kVwMsgShow, wparam != 0 && static_cast<int>(i) == cursel_ ? 1 : 0,
                                 static_cast<int>(i) == cursel_ ? 1 : 0, &ignored);
      }
      return 1;
    case kVwMsgMouseMove:
      if (MessagePoint(lparam, &point)) {
        const int over = HeaderAt(point.x, point.y);
        if (over != hovered_) {
          hovered_ = over;
          Invalidate();
        }
      }
      break;
    case kVwMsgMouseLeave:
      if (hovered_ != -1) {
        hovered_ = -1;
        Invalidate();
      }
      break;
    case kVwMsgLButtonDown:
      if (MessagePoint(lparam, &point)) {
        const int over = HeaderAt(point.x, point.y);
        if (over >= 0) VwPlatform().SendTwoValues(host(), kCodeTabItemEvent, id(), over, static_cast<int>(message));
      }
      break;
    case kVwMsgLButtonUp:
      if (MessagePoint(lparam, &point)) {
        const int over = HeaderAt(point.x, point.y);
        if (over >= 0) {
          VwPlatform().SendTwoValues(host(), kCodeTabItemEvent, id(), over, static_cast<int>(message));
          if (over != cursel_ && !VwPlatform().SendVetoableChange(host(), kCodeTabChanging, id(), cursel_, over)) {
            Select(over);
            Invalidate();
          }
        }
      }
      break;
    default:
      break;
  }
  return CVwContainerWnd::ProcessMessage(message, wparam, lparam, result);
}

}  // namespace kbase
