#include "ui/vw_rich_text.h"

#include <tinyxml.h>

#include <cstring>

#include "ui/utf8_text.h"
#include "ui/vw_canvas.h"
#include "ui/vw_platform.h"
#include "ui/vw_style.h"
#include "ui/vw_style_table.h"

namespace kbase {
namespace {

// Moves the hover mark to `part` (-1: none) and repaints the parts that changed.
template <class Redraw>
void MoveHover(int* hovered, int part, Redraw redraw) {
  if (part == *hovered) return;
  const int old = *hovered;
  *hovered = part;
  redraw(old);
  redraw(part);
}

// The part clicked: the one released over is the one that took the press (-1 when not).
// The press ends either way.
int TakeClick(int* pressed, int part) {
  const int took = *pressed;
  *pressed = -1;
  return part >= 0 && part == took ? part : -1;
}

bool Is(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

// Far enough for any layout, small enough to stay exact in doubles and ints.
constexpr double kUnbounded = 1.0e7;

RichTextBox BoxOf(const VwRect& rect) {
  return {static_cast<double>(rect.left), static_cast<double>(rect.top), static_cast<double>(rect.right),
          static_cast<double>(rect.bottom)};
}

VwPoint PointOf(intptr_t lparam) { return lparam != 0 ? *reinterpret_cast<const VwPoint*>(lparam) : VwPoint{}; }

double ImageScale(bool dpi) {
  IVwPlatform& platform = VwPlatform();
  return dpi && platform.DpiAware() ? platform.DpiRatio() : 1.0;
}

// Natural size of laid-out content measured from the area's corner, plus the margins.
VwSize ContentSize(const RichTextLayout& layout, const VwStyle& style) {
  const VwRect box = RichTextPixelRect({0, 0, layout.content_right, layout.content_bottom});
  return {box.right + 2 * style.x_margin, box.bottom + 2 * style.y_margin};
}

}  // namespace

// --- measuring and drawing --------------------------------------------------------------

RichTextFit CRichTextGdiGraphics::Fit(const std::wstring& text, size_t start, size_t length, uint16_t font_id,
                                      double max_width) {
  const VwTextFit fit = VwPlatform().FitText(text, start, length, font_id, dpi_, gdiplus(), max_width);
  return {fit.count, fit.width, fit.height};
}

bool CRichTextGdiGraphics::ImageSize(const std::wstring& path, double* width, double* height) {
  return VwPlatform().ImageFileSize(path, width, height);
}

void CRichTextGdiGraphics::DrawText(IVwCanvas& canvas, const std::wstring& text, double x, double y,
                                    uint16_t font_id, VwColour colour) {
  VwTextRun run;
  run.text = text;
  run.x = x;
  run.y = y;
  run.font_id = font_id;
  run.dpi = dpi_;
  run.colour = colour;
  run.gdiplus = gdiplus();
  canvas.DrawTextRun(run);
}

void CRichTextGdiGraphics::DrawImage(IVwCanvas& canvas, const RichTextImageBox& image) {
  canvas.DrawImageFile(image.path, image.box.left, image.box.top, image.box.right - image.box.left,
                       image.box.bottom - image.box.top);
}

// --- richtext ---------------------------------------------------------------------------

CVwRichText::CVwRichText() { CopyLinkStyle(std::string()); }

int CVwRichText::Load(const TiXmlElement& element) {
  // The markup first: the CVwWindow load may size the element to its content.
  markup_ = ParseRichTextMarkup(element, dialect());
  return CVwWindow::Load(element);
}

int CVwRichText::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (Is(name, "defaultfont")) default_font_ = ParseFontId(value);
  else if (Is(name, "linkclass")) CopyLinkStyle(value);
  else if (Is(name, "forcecursor")) force_cursor_ = ParseDecimal(value);
  else if (Is(name, "adjustpos")) adjust_pos_ = ParseDecimal(value) != 0;
  else if (Is(name, "autoadjustyahei")) auto_adjust_yahei_ = ParseDecimal(value);
  else return kVwAttributeUnknown;
  return kVwAttributeTaken;
}

void CVwRichText::CopyLinkStyle(const std::string& name) {
  const VwStyle& style = VwStyleTable::Instance().Find(name);
  link_style_.text_colour = style.text_colour;
  link_style_.hover_colour = style.hover_text_colour;
  link_style_.disabled_colour = style.disabled_text_colour;
  link_style_.font_id = style.font_id;
  link_style_.hover_font_id = style.hover_font_id;
}

void CVwRichText::SetCursor() {
  VwPlatform().SetCursor(force_cursor_ != 0 || hovered_ >= 0 ? kVwCursorHand : kVwCursorArrow);
}

std::unique_ptr<IRichTextGraphics> CVwRichText::MakeGraphics() const {
  return std::make_unique<CRichTextGdiGraphics>(dpi());
}

VwRect CVwRichText::DrawingArea() {
  const VwStyle& style = Style();
  VwRect area = rect().Deflated(style.x_margin, style.y_margin);
  if (auto_adjust_yahei_ == 0) return area;
  // Once per placement: the nudge moves the area, so it must not pile up over paints.
  if (!area_adjusted_) {
    adjusted_area_ = VwPlatform().AdjustYaheiRect(area, style.text_mode, default_font_, dpi(), autofix_text_rect());
    area_adjusted_ = true;
  }
  return adjusted_area_;
}

RichTextLayout CVwRichText::LayOutNow() {
  const VwStyle& style = Style();
  std::unique_ptr<IRichTextGraphics> graphics = MakeGraphics();
  RichTextLayoutInput input;
  input.area = BoxOf(DrawingArea());
  input.default_font = default_font_;
  input.link_font = link_style_.font_id;
  input.line_spacing = style.line_spacing;
  input.spacing = style.spacing;
  input.centre = (style.text_mode & kVwDtCenter) != 0;
  input.fractional = graphics->fractional();
  input.image_scale = ImageScale(dpi());
  return LayOutRichText(markup_, input, *graphics);
}

void CVwRichText::Paint(IVwCanvas& canvas) {
  const VwStyle& style = Style();
  const VwRect area = DrawingArea();
  std::unique_ptr<IRichTextGraphics> graphics = MakeGraphics();
  RichTextLayout layout = LayOutNow();
  painted_area_ = area;
  links_ = std::move(layout.links);
  if (hovered_ >= static_cast<int>(links_.size())) hovered_ = -1;
  if (pressed_ >= static_cast<int>(links_.size())) pressed_ = -1;

  const bool disabled = IsDisabledInTree();
  const VwColour text_colour = own_text_colour() != kVwColourUnset ? own_text_colour() : style.text_colour;
  canvas.SaveState();
  canvas.IntersectClip(area);
  for (const RichTextPiece& piece : layout.pieces) {
    graphics->DrawText(canvas, piece.text, piece.x, piece.y, piece.font_id,
                       piece.colour != kVwColourUnset ? piece.colour : text_colour);
  }
  for (const RichTextImageBox& image : layout.images) graphics->DrawImage(canvas, image);
  // Links last, over the text.
  for (size_t i = 0; i < links_.size(); ++i) {
    const RichTextLinkBox& link = links_[i];
    VwColour colour = link.colour != kVwColourUnset ? link.colour : link_style_.text_colour;
    uint16_t font = link_style_.font_id;
    if (disabled) {
      colour = link_style_.disabled_colour;
    } else if (static_cast<int>(i) == hovered_) {
      if (link.hover_colour != kVwColourUnset) colour = link.hover_colour;
      else if (link_style_.hover_colour != kVwColourUnset) colour = link_style_.hover_colour;
      if (link_style_.hover_font_id != 0) font = link_style_.hover_font_id;
    }
    graphics->DrawText(canvas, link.text, link.box.left, link.box.top, font, colour);
  }
  canvas.RestoreState();
}

int CVwRichText::LinkAt(const VwPoint& point) const {
  if (!painted_area_.Contains(point.x, point.y)) return -1;
  for (size_t i = 0; i < links_.size(); ++i) {
    if (links_[i].box.Contains(point.x, point.y)) return static_cast<int>(i);
  }
  return -1;
}

void CVwRichText::RedrawLink(int index) {
  if (index < 0 || index >= static_cast<int>(links_.size())) return;
  if (host() == nullptr || !IsVisibleInTree()) return;
  VwPlatform().RequestRedraw(host(), handle(), RichTextPixelRect(links_[static_cast<size_t>(index)].box));
}

int CVwRichText::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  switch (message) {
    case kVwMsgPaint:
      if (wparam != 0) Paint(*reinterpret_cast<IVwCanvas*>(wparam));
      return 1;
    case kVwMsgPositionChanged:
      CVwWindow::ProcessMessage(message, wparam, lparam, result);
      // Link rectangles belong to the old place; the next paint rebuilds them.
      links_.clear();
      hovered_ = -1;
      pressed_ = -1;
      area_adjusted_ = false;
      painted_area_ = VwRect{};
      return 1;
    case kVwMsgSizeQuery:
      if (lparam != 0 && position().count != 4) {
        // Natural size: the markup laid out without a right or bottom edge.
        auto* query = reinterpret_cast<VwSizeQuery*>(lparam);
        const VwStyle& style = Style();
        std::unique_ptr<IRichTextGraphics> graphics = MakeGraphics();
        RichTextLayoutInput input;
        input.area = {0, 0, kUnbounded, kUnbounded};
        input.default_font = default_font_;
        input.link_font = link_style_.font_id;
        input.line_spacing = style.line_spacing;
        input.spacing = style.spacing;
        input.fractional = graphics->fractional();
        input.image_scale = ImageScale(dpi());
        query->size = ContentSize(LayOutRichText(markup_, input, *graphics), style);
        return 1;
      }
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
    case kVwMsgMouseMove:
      MoveHover(&hovered_, LinkAt(PointOf(lparam)), [this](int link) { RedrawLink(link); });
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
    case kVwMsgMouseLeave:
      MoveHover(&hovered_, -1, [this](int link) { RedrawLink(link); });
      pressed_ = -1;
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
    case kVwMsgLButtonDown:
      pressed_ = LinkAt(PointOf(lparam));
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
    case kVwMsgLButtonUp: {
      const int link = TakeClick(&pressed_, LinkAt(PointOf(lparam)));
      if (link >= 0 && !IsDisabledInTree()) {
        VwPlatform().SendClickToHostParent(host(), links_[static_cast<size_t>(link)].id, kNotifyTag);
      }
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
    }
    default:
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
  }
}

std::unique_ptr<IRichTextGraphics> CVwRichTextEx::MakeGraphics() const {
  return std::make_unique<CRichTextGdiPlusGraphics>(dpi());
}

// --- richtext2 objects ------------------------------------------------------------------

int CVwRichtextObjBase::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwRichAtomObj::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (Is(name, "id")) id_ = ParseDecimal(value);
  else if (Is(name, "notifymsg")) notify_message_ = ParseDecimal(value);
  else return kVwAttributeUnknown;
  return kVwAttributeTaken;
}

void CVwRichTextSubTextObj::AppendItems(std::vector<RichTextItem>* items) const {
  RichTextItem item;
  item.text = text_;
  items->push_back(std::move(item));
}

int CVwRichtextObj::Load(const TiXmlElement& element) {
  const char* text = element.GetText();
  text_ = WideFromUtf8(text != nullptr ? text : "");
  return CVwRichtextObjBase::Load(element);
}

int CVwRichtextObj::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwRichtextObjBase::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (Is(name, "class")) style_name_ = value;
  else if (Is(name, "adjust")) adjust_ = ParseDecimal(value);
  else return kVwAttributeUnknown;
  return kVwAttributeTaken;
}

void CVwRichtextObj::AppendItems(std::vector<RichTextItem>* items) const {
  const VwStyle& style = VwStyleTable::Instance().Find(style_name_);
  RichTextItem item;
  item.text = text_;
  // The style's whole font id rides on a zero default font.
  item.format.font_bits = style.font_id;
  item.format.colour = style.text_colour;
  items->push_back(std::move(item));
}

void CVwRichBreakObj::AppendItems(std::vector<RichTextItem>* items) const {
  RichTextItem item;
  item.kind = RichTextItemKind::kBreak;
  items->push_back(std::move(item));
}

int CVwRichOffsetObj::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwRichAtomObj::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr || !Is(name, "length")) return kVwAttributeUnknown;
  length_ = ParseDecimal(value);
  return kVwAttributeTaken;
}

void CVwRichOffsetObj::AppendItems(std::vector<RichTextItem>* items) const {
  RichTextItem item;
  item.kind = RichTextItemKind::kOffset;
  item.offset = length_ > 0 ? static_cast<uint32_t>(length_) : 0;
  items->push_back(std::move(item));
}

// --- richtext2 --------------------------------------------------------------------------

int CVwRichText2Wnd::Load(const TiXmlElement& element) {
  objects_.clear();
  for (const TiXmlElement* child = element.FirstChildElement();
       child != nullptr && objects_.size() < kMaxObjects; child = child->NextSiblingElement()) {
    std::unique_ptr<CVwRichAtomObj> object;
    const char* tag = child->Value();
    if (Is(tag, "text")) object = std::make_unique<CVwRichtextObj>();
    else if (Is(tag, "break")) object = std::make_unique<CVwRichBreakObj>();
    else if (Is(tag, "offset")) object = std::make_unique<CVwRichOffsetObj>();
    if (object == nullptr) continue;
    object->Load(*child);
    objects_.push_back(std::move(object));
  }
  laid_out_ = false;
  return CVwWindow::Load(element);
}

int CVwRichText2Wnd::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (Is(name, "checkdcvieworg")) check_dc_view_org_ = ParseDecimal(value);
  else if (Is(name, "broadcaststate")) broadcast_state_ = ParseDecimal(value);
  else return kVwAttributeUnknown;
  return kVwAttributeTaken;
}

IVwRichtextObj* CVwRichText2Wnd::GetObjectAt(size_t index) const {
  return index < objects_.size() ? objects_[index].get() : nullptr;
}

std::unique_ptr<IRichTextGraphics> CVwRichText2Wnd::MakeGraphics() const {
  if (Style().gdiplus != 0) return std::make_unique<CRichTextGdiPlusGraphics>(dpi());
  return std::make_unique<CRichTextGdiGraphics>(dpi());
}

RichTextLayout CVwRichText2Wnd::LayOutNow() {
  const VwStyle& style = Style();
  // One item per object, so a piece's item index names its object.
  std::vector<RichTextItem> items;
  items.reserve(objects_.size());
  for (const auto& object : objects_) object->AppendItems(&items);
  std::unique_ptr<IRichTextGraphics> graphics = MakeGraphics();
  RichTextLayoutInput input;
  input.area = BoxOf(rect().Deflated(style.x_margin, style.y_margin));
  input.line_spacing = style.line_spacing;
  input.spacing = style.spacing;
  input.centre = (style.text_mode & kVwDtCenter) != 0;
  input.fractional = graphics->fractional();
  RichTextLayout layout = LayOutRichText(items, input, *graphics);

  for (auto& object : objects_) {
    if (auto* text = dynamic_cast<CVwRichtextObj*>(object.get())) text->pieces().clear();
  }
  for (RichTextPiece& piece : layout.pieces) {
    if (piece.item >= objects_.size()) continue;
    auto* text = dynamic_cast<CVwRichtextObj*>(objects_[piece.item].get());
    if (text == nullptr) continue;
    piece.y += text->adjust();
    text->pieces().push_back(std::make_unique<CVwRichTextSubTextObj>(
        piece.text, RichTextBox{piece.x, piece.y, piece.x + piece.width, piece.y + piece.height}));
  }
  laid_out_ = true;
  return layout;
}

void CVwRichText2Wnd::Paint(IVwCanvas& canvas) {
  const VwStyle& style = Style();
  std::unique_ptr<IRichTextGraphics> graphics = MakeGraphics();
  const RichTextLayout layout = LayOutNow();
  const bool window_hovered = broadcast_state_ != 0 && (state() & kVwStateHover) != 0;
  canvas.SaveState();
  canvas.IntersectClip(rect().Deflated(style.x_margin, style.y_margin));
  for (const RichTextPiece& piece : layout.pieces) {
    VwColour colour = piece.colour;
    const auto* text = piece.item < objects_.size() ? dynamic_cast<const CVwRichtextObj*>(objects_[piece.item].get())
                                                    : nullptr;
    if (text != nullptr && text->notify_message() != 0 &&
        (static_cast<int>(piece.item) == hovered_ || window_hovered)) {
      const VwStyle& object_style = VwStyleTable::Instance().Find(text->style_name());
      if (object_style.hover_text_colour != kVwColourUnset) colour = object_style.hover_text_colour;
    }
    if (IsDisabledInTree()) colour = style.disabled_text_colour;
    graphics->DrawText(canvas, piece.text, piece.x, piece.y, piece.font_id, colour);
  }
  canvas.RestoreState();
}

int CVwRichText2Wnd::ObjectAt(const VwPoint& point) {
  if (!rect().Contains(point.x, point.y)) return -1;
  if (!laid_out_) LayOutNow();
  for (size_t i = 0; i < objects_.size(); ++i) {
    auto* text = dynamic_cast<CVwRichtextObj*>(objects_[i].get());
    if (text == nullptr || text->notify_message() == 0) continue;
    for (const auto& piece : text->pieces()) {
      if (piece->box().Contains(point.x, point.y)) return static_cast<int>(i);
    }
  }
  return -1;
}

void CVwRichText2Wnd::RedrawObject(int index) {
  if (index < 0 || index >= static_cast<int>(objects_.size()) || host() == nullptr || !IsVisibleInTree()) return;
  auto* text = dynamic_cast<CVwRichtextObj*>(objects_[static_cast<size_t>(index)].get());
  if (text == nullptr) return;
  for (const auto& piece : text->pieces())
    VwPlatform().RequestRedraw(host(), handle(), RichTextPixelRect(piece->box()));
}

void CVwRichText2Wnd::SetCursor() { VwPlatform().SetCursor(hovered_ >= 0 ? kVwCursorHand : kVwCursorArrow); }

int CVwRichText2Wnd::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  switch (message) {
    case kVwMsgPaint:
      if (wparam != 0) Paint(*reinterpret_cast<IVwCanvas*>(wparam));
      return 1;
    case kVwMsgPositionChanged:
      CVwWindow::ProcessMessage(message, wparam, lparam, result);
      laid_out_ = false;
      hovered_ = -1;
      pressed_ = -1;
      return 1;
    case kVwMsgMouseMove:
      MoveHover(&hovered_, ObjectAt(PointOf(lparam)), [this](int object) { RedrawObject(object); });
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
    case kVwMsgMouseLeave:
      MoveHover(&hovered_, -1, [this](int object) { RedrawObject(object); });
      pressed_ = -1;
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
    case kVwMsgLButtonDown:
      pressed_ = ObjectAt(PointOf(lparam));
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
    case kVwMsgLButtonUp: {
      const int object = TakeClick(&pressed_, ObjectAt(PointOf(lparam)));
      if (object >= 0 && !IsDisabledInTree()) {
        const auto* text = static_cast<const CVwRichtextObj*>(objects_[static_cast<size_t>(object)].get());
        VwPlatform().SendClickToHostParent(host(), text->id(), kTag);
      }
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
    }
    default:
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
  }
}

}  // namespace kbase
