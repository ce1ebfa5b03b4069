#pragma once
// The window animation of the general message box: the same machine as CLiteWndAnimate,
// with its own process-wide frame counters, that also rounds the dialog's corners now and
// after every resize.
#include <windows.h>

#include <atomic>

#include "ui/lite_wnd_animate.h"

namespace kbase {

class CWndAnimate : public CLiteWndAnimate {
 public:
  // Width and height of the ellipse that cuts each corner.
  static constexpr int kCornerSize = 6;

  using CLiteWndAnimate::CLiteWndAnimate;
  ~CWndAnimate() override;

  // Rounds the dialog's corners now and after every resize (a run does this too).
  void Attach(HWND dialog);
  HWND attached() const { return rounded_; }

  static int FrameCounter(int kind);

 protected:
  std::atomic<int>* FrameCounters() const override;
  void OnStart(HWND dialog) override { Attach(dialog); }

 private:
  static LRESULT CALLBACK SizeHook(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                   UINT_PTR id, DWORD_PTR data);
  void Detach();

  HWND rounded_ = nullptr;
};

}  // namespace kbase
