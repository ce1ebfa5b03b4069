#include "ui/wnd_animate.h"

#include <commctrl.h>

namespace kbase {
namespace {

std::atomic<int> g_counters[3];

void RoundCorners(HWND window) {
  RECT bounds;
  if (!GetWindowRect(window, &bounds)) return;
  HRGN region = CreateRoundRectRgn(0, 0, bounds.right - bounds.left + 1, bounds.bottom - bounds.top + 1,
                                   CWndAnimate::kCornerSize, CWndAnimate::kCornerSize);
  // The window owns the region once it is set.
  if (region != nullptr && !SetWindowRgn(window, region, TRUE)) DeleteObject(region);
}

}  // namespace

CWndAnimate::~CWndAnimate() { Detach(); }

std::atomic<int>* CWndAnimate::FrameCounters() const { return g_counters; }

int CWndAnimate::FrameCounter(int kind) {
  return g_counters[kind == kAnimateOpen ? 1 : kind == kAnimateMinimize ? 2 : 0];
}

void CWndAnimate::Attach(HWND dialog) {
  if (dialog == rounded_ || !IsWindow(dialog)) return;
  Detach();
  if (!SetWindowSubclass(dialog, SizeHook, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this)))
    return;
  rounded_ = dialog;
  RoundCorners(dialog);
}

void CWndAnimate::Detach() {
  if (rounded_ != nullptr && IsWindow(rounded_))
    RemoveWindowSubclass(rounded_, SizeHook, reinterpret_cast<UINT_PTR>(this));
  rounded_ = nullptr;
}

LRESULT CALLBACK CWndAnimate::SizeHook(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                       DWORD_PTR data) {
  auto* self = reinterpret_cast<CWndAnimate*>(data);
  if (message == WM_SIZE && wparam != SIZE_MINIMIZED) {
    const LRESULT result = DefSubclassProc(window, message, wparam, lparam);
    RoundCorners(window);
    return result;
  }
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, SizeHook, id);
    if (self->rounded_ == window) self->rounded_ = nullptr;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace kbase
