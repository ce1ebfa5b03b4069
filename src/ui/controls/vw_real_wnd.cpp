#include "ui/controls/vw_real_wnd.h"

#include "ui/vw_platform.h"

namespace kbase {

void CVwRealWnd::PlaceRealWindow() { VwPlatform().PlaceRealWindow(host(), id(), rect()); }

void CVwRealWnd::ShowRealWindow() { VwPlatform().ShowRealWindow(host(), id(), IsVisibleInTree()); }

int CVwRealWnd::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  switch (message) {
    case kVwMsgPaint:
      return 1;  // the real window paints itself
    case kVwMsgPositionChanged: {
      const VwRect before = rect();
      CVwWindow::ProcessMessage(message, wparam, lparam, result);
      if (rect() != before) PlaceRealWindow();
      return 1;
    }
    case kVwMsgShow:
      CVwWindow::ProcessMessage(message, wparam, lparam, result);
      ShowRealWindow();
      return 1;
    case kVwMsgDestroy:
      VwPlatform().ShowRealWindow(host(), id(), false);
      return 1;
    default:
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
  }
}

int CVwRealWnd2::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  if (message == kVwMsgPaint) {
    VwPlatform().PaintRealWindow(host(), id());
    return 1;
  }
  return CVwRealWnd::ProcessMessage(message, wparam, lparam, result);
}

void CVwRealWndEx::OnContainerEvent(int event, int param1, int param2) {
  switch (event) {
    case kEventMove:
      PlaceRealWindow();
      break;
    case kEventShow:
      VwPlatform().ShowRealWindow(host(), id(), param1 != 0 && IsVisibleInTree());
      break;
    case kEventOffset: {
      VwRect moved = rect();
      moved.left += param1;
      moved.right += param1;
      moved.top += param2;
      moved.bottom += param2;
      set_rect(moved);
      PlaceRealWindow();
      break;
    }
    default:
      break;
  }
}

}  // namespace kbase
