#include "ui/controls/vw_icon_wnd.h"

#include <cctype>

#include "ui/controls/vw_control_util.h"
#include "ui/vw_canvas.h"
#include "ui/vw_platform.h"

namespace kbase {

// number := blank* ( "0x" hexdigit+ | digit+ )   stops at the first other character;
// a value that would overflow reads as 0.
uintptr_t ParseHandleNumber(const char* text) {
  if (text == nullptr) return 0;
  while (*text == ' ' || *text == '\t') ++text;
  unsigned base = 10;
  if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text += 2;
  }
  uintptr_t value = 0;
  for (; *text != '\0'; ++text) {
    const unsigned char c = static_cast<unsigned char>(*text);
    unsigned digit;
    if (std::isdigit(c)) digit = c - '0';
    else if (base == 16 && std::isxdigit(c)) digit = static_cast<unsigned>(std::tolower(c) - 'a' + 10);
    else break;
    if (value > (UINTPTR_MAX - digit) / base) return 0;
    value = value * base + digit;
  }
  return value;
}

int CVwIconWnd::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "src")) resource_ = ParseDecimal(value);
  else if (IsName(name, "oem")) oem_ = ParseDecimal(value);
  else if (IsName(name, "size")) size_ = ParseDecimal(value);
  else return kVwAttributeUnknown;
  return kVwAttributeTaken;
}

int CVwIconWnd::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  switch (message) {
    case kVwMsgPaint:
      if (wparam != 0) reinterpret_cast<IVwCanvas*>(wparam)->DrawIconResource(resource_, oem_, rect());
      return 1;
    case kVwMsgSizeQuery: {
      const int side = size_ > 0 ? VwScaleForElement(size_, dpi()) : 0;
      AnswerPictureSizeQuery(*this, {side, side}, lparam);
      return 1;
    }
    default:
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
  }
}

CVwHIcon::~CVwHIcon() { Release(); }

void CVwHIcon::Release() {
  if (auto_delete_ == 1 && icon_ != 0) VwPlatform().DestroyIconHandle(icon_);
  icon_ = 0;
}

int CVwHIcon::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwWindow::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (IsName(name, "handle")) {
    const uintptr_t icon = ParseHandleNumber(value);
    if (icon != icon_) Release();
    icon_ = icon;
  } else if (IsName(name, "autodel")) {
    auto_delete_ = ParseDecimal(value);
  } else {
    return kVwAttributeUnknown;
  }
  if (!loading) Invalidate();
  return kVwAttributeTaken;
}

int CVwHIcon::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  if (message == kVwMsgPaint) {
    if (wparam != 0 && icon_ != 0) reinterpret_cast<IVwCanvas*>(wparam)->DrawIconHandle(icon_, rect());
    return 1;
  }
  return CVwWindow::ProcessMessage(message, wparam, lparam, result);
}

}  // namespace kbase
