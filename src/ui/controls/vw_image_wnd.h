#pragma once
// "img": a skin frame drawn over the rectangle, optionally clipped to a smooth shape or
// drawn onto a parallelogram; its natural size is the skin's frame size.
// "imgbtn": an img that acts as a button: state frames, a centred icon, a mask while
// idle, a caption, and with a "group" the checked bit that one member of the group holds.
#include <string>
#include <vector>

#include "ui/vw_window.h"

namespace kbase {

class CVwImageWnd : public CVwWindow {
 public:
  static constexpr const char* kTag = "img";
  static constexpr int kMaxClipParams = 20;

  ~CVwImageWnd() override;
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;

  const std::string& skin() const { return skin_; }
  const std::string& group() const { return group_; }
  int sub() const { return sub_; }
  int clip_type() const { return clip_type_; }
  const std::vector<int>& clip_params() const { return clip_params_; }

 protected:
  // Draws the skin with a state index through the clip type.
  void DrawImage(IVwCanvas& canvas, int state_index);

  std::string skin_;
  std::string icon_skin_;
  int icon_top_ = 0;
  std::wstring caption_;
  int caption_top_ = 0;
  std::string group_;
  std::string mask_skin_;
  int sub_ = 0;
  int clip_type_ = 0;
  std::vector<int> clip_params_;
  int alpha_ = -1;
};

class CVwImageBtnWnd : public CVwImageWnd {
 public:
  static constexpr const char* kTag = "imgbtn";

  const char* GetObjectClass() const override { return kTag; }
  bool NeedRedrawWhenStateChange() const override { return true; }
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;

  // The skin frame for the current state (group-aware).
  int StateIndex();

 private:
  void Paint(IVwCanvas& canvas);
  void OnRelease(intptr_t lparam);
};

}  // namespace kbase
