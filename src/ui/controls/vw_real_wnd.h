#pragma once
// "realwnd": a placeholder for a real child window of the host whose control id is the
// element's "id". The element paints nothing; when its rectangle changes the real window
// is moved there (view notification 2), it is shown only while the element and all its
// ancestors are visible, and it is hidden, never destroyed, with the element.
// "realwnd2" also asks the real window to paint whenever the element paints.
// "realwndex" also follows container events: 3 move, 24 show, 71 offset.
#include "ui/vw_window.h"

namespace kbase {

class CVwRealWnd : public CVwWindow {
 public:
  static constexpr const char* kTag = "realwnd";
  const char* GetObjectClass() const override { return kTag; }
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;

 protected:
  // Moves the real window to the element's rectangle.
  void PlaceRealWindow();
  void ShowRealWindow();
};

class CVwRealWnd2 : public CVwRealWnd {
 public:
  static constexpr const char* kTag = "realwnd2";
  const char* GetObjectClass() const override { return kTag; }
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;
};

class CVwRealWndEx : public CVwRealWnd {
 public:
  static constexpr const char* kTag = "realwndex";
  static constexpr int kEventMove = 3;
  static constexpr int kEventShow = 24;
  static constexpr int kEventOffset = 71;

  const char* GetObjectClass() const override { return kTag; }
  // 3: the container moved, the real window follows the element's rectangle; 24: param1
  // non-zero shows, zero hides; 71: the element shifts by (param1, param2).
  void OnContainerEvent(int event, int param1, int param2) override;
};

}  // namespace kbase
