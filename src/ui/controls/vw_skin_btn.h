#pragma once
// "skinbtn": a button drawn with its "skin" (frames 3 disabled, 2 pushed, 1 hovered,
// 0 normal) and its inner text over it. "imgbtnsized": a button of any width from the
// frame of "skin" cut "left" pixels in from either side (kept unstretched) with the
// middle skin "skinmid" stretched between them; natural size: the skin's frame.
#include <string>

#include "ui/vw_window.h"

namespace kbase {

class CVwSkinBtnWnd : public CVwWindow {
 public:
  static constexpr const char* kTag = "skinbtn";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  bool NeedRedrawWhenStateChange() const override { return true; }
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;

 private:
  std::string skin_;
};

class CVwImgbtnsized : public CVwWindow {
 public:
  static constexpr const char* kTag = "imgbtnsized";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  bool NeedRedrawWhenStateChange() const override { return true; }
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;

 private:
  void Paint(IVwCanvas& canvas);
  std::string skin_;
  std::string middle_skin_;
  int left_ = 0;
};

}  // namespace kbase
