#pragma once
// "icon": the program's icon resource "src" (or the system icon "oem") drawn into the
// rectangle; natural size "size" x "size". "hicon": an icon handle given as a number,
// destroyed with the element when "autodel" is 1.
#include <cstdint>

#include "ui/vw_window.h"

namespace kbase {

class CVwIconWnd : public CVwWindow {
 public:
  static constexpr const char* kTag = "icon";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;

 private:
  int resource_ = 0;
  int oem_ = 0;
  int size_ = 0;
};

class CVwHIcon : public CVwWindow {
 public:
  static constexpr const char* kTag = "hicon";
  ~CVwHIcon() override;
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;

  uintptr_t icon() const { return icon_; }

 private:
  void Release();
  uintptr_t icon_ = 0;
  int auto_delete_ = 0;
};

// An unsigned number as written in a layout (decimal, or hexadecimal after "0x"); 0 when
// malformed. Handles and addresses travel this way.
uintptr_t ParseHandleNumber(const char* text);

}  // namespace kbase
