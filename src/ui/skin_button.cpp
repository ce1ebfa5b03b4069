#include "ui/skin_button.h"

#include <algorithm>
#include <cstring>

#include "ui/gdi_owner.h"
#include "ui/gradient_fill.h"

namespace kbase {
namespace {

bool Is(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

constexpr int kHover = 0x1;
constexpr int kPushed = 0x2;
constexpr int kDisabled = 0x10;

}  // namespace

int CVwSkinButton::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwSkinBase::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  struct Field {
    const char* name;
    VwColour CVwSkinButton::*field;
  };
  static const Field kColours[] = {
      {"bg", &CVwSkinButton::background_},       {"border", &CVwSkinButton::border_},
      {"bgup", &CVwSkinButton::up_},             {"bguphover", &CVwSkinButton::up_hover_},
      {"bguppush", &CVwSkinButton::up_push_},    {"bgdown", &CVwSkinButton::down_},
      {"bgdownhover", &CVwSkinButton::down_hover_}, {"bgdownpush", &CVwSkinButton::down_push_},
  };
  for (const Field& f : kColours) {
    if (Is(name, f.name)) {
      this->*f.field = ParseColour(value);
      return kVwAttributeTaken;
    }
  }
  if (Is(name, "useborder")) {
    use_border_ = ParseDecimal(value);
    return kVwAttributeTaken;
  }
  return kVwAttributeUnknown;
}

void CVwSkinButton::Draw(HDC dc, const RECT& rect, int state) {
  FillSolid(dc, rect, background_);
  RECT inner = rect;
  if (use_border_ != 0) ::InflateRect(&inner, -2, -2);
  if (!(state & kDisabled)) {
    if (state & kPushed) FillGradient(dc, inner, up_push_, down_push_, true);
    else if (state & kHover) FillGradient(dc, inner, up_hover_, down_hover_, true);
    else FillGradient(dc, inner, up_, down_, true);
  }
  if (use_border_ != 0) {
    ScopedBrush brush(::CreateSolidBrush(border_ & 0xFFFFFF));
    if (brush.valid()) ::FrameRect(dc, &rect, brush.get());
  }
}

int CVwSkinGradation::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwSkinBase::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (Is(name, "from")) from_ = ParseColour(value);
  else if (Is(name, "to")) to_ = ParseColour(value);
  else if (Is(name, "size")) size_ = ParseDecimal(value);
  else if (Is(name, "direction")) {
    if (Is(value, "horz")) direction_ = 0;
    else if (Is(value, "vert")) direction_ = 1;
    else return kVwAttributeUnknown;
  } else {
    return kVwAttributeUnknown;
  }
  return kVwAttributeTaken;
}

void CVwSkinGradation::Draw(HDC dc, const RECT& rect, int state) {
  FillSolid(dc, rect, to_);
  RECT part = rect;
  const bool vertical = direction_ == 1;
  if (size_ > 0) {
    if (vertical) part.bottom = std::min<LONG>(rect.bottom, rect.top + size_);
    else part.right = std::min<LONG>(rect.right, rect.left + size_);
  }
  FillGradient(dc, part, from_, to_, vertical);
}

void CVwSkinGradation::DrawState(HDC dc, int left, int top, int right, int bottom, int state, bool dpi, int alpha) {
  Draw(dc, RECT{left, top, right, bottom}, state);
}

}  // namespace kbase
