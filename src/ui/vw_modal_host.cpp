#include "ui/vw_modal_host.h"

#include "ui/vw_dialog_view.h"

namespace kbase {
namespace {

// Modal hosts run on one UI thread; the innermost one is the default owner of the next.
HWND g_current_modal_host = nullptr;

constexpr UINT kSetForegroundLockTimeout = 0x2001;  // SPI_SETFOREGROUNDLOCKTIMEOUT

bool IsKeyboardOrMouse(UINT message) {
  return (message >= WM_KEYFIRST && message <= 0x109) || (message >= WM_MOUSEFIRST && message <= 0x20D);
}

}  // namespace

HWND VwCurrentModalHost() { return g_current_modal_host; }

void VwCenterWindow(HWND window, bool clamp) {
  if (!::IsWindow(window)) return;
  RECT bounds{};
  ::GetWindowRect(window, &bounds);
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  RECT reference{};
  if ((::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) != 0) {
    ::GetClientRect(::GetParent(window), &reference);
  } else {
    HWND owner = ::GetWindow(window, GW_OWNER);
    if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
      ::GetWindowRect(owner, &reference);
    } else {
      ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &reference, 0);
    }
  }
  int left = (reference.left + reference.right) / 2 - width / 2;
  int top = (reference.top + reference.bottom) / 2 - height / 2;
  if (clamp) {
    if (left + width > reference.right) left = reference.right - width;
    if (top + height > reference.bottom) top = reference.bottom - height;
    if (left < reference.left) left = reference.left;
    if (top < reference.top) top = reference.top;
  }
  ::SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CVwModalHost::EndDialog(int code) {
  result_ = code;
  end_ = true;
  ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);
}

void CVwModalHost::EnableShadow(bool enabled) {
  shadow_enabled_ = enabled;
  shadow_.SetEnabled(enabled);
  shadow_.Refresh();
}

void CVwModalHost::CreateShadow() {
  if (hwnd_ == nullptr || (::GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_CHILD) != 0) return;
  shadow_.SetEnabled(shadow_enabled_);
  shadow_.Create(hwnd_);
}

int CVwModalHost::RunModal(HWND owner) {
  if (owner == nullptr) owner = g_current_modal_host;
  if (owner == nullptr) owner = ::GetActiveWindow();
  bool owner_disabled = false;
  if (owner != nullptr && owner != ::GetDesktopWindow() && ::IsWindowEnabled(owner)) {
    ::EnableWindow(owner, FALSE);
    owner_disabled = true;
  }
  end_ = false;
  result_ = 0;
  if (CreateForModal(owner) == nullptr) {
    if (owner_disabled) ::EnableWindow(owner, TRUE);
    return 0;
  }
  HWND window = hwnd_;
  HWND previous_host = g_current_modal_host;
  g_current_modal_host = window;
  VwCenterWindow(window, false);

  if (bring_to_front_) {
    ::SystemParametersInfoW(kSetForegroundLockTimeout, 0, nullptr, 0);
    ::SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
    HWND foreground = ::GetForegroundWindow();
    const DWORD this_thread = ::GetCurrentThreadId();
    const DWORD foreground_thread = foreground != nullptr ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
    const bool attach = foreground_thread != 0 && foreground_thread != this_thread;
    if (attach) ::AttachThreadInput(this_thread, foreground_thread, TRUE);
    ::SetForegroundWindow(window);
    if (attach) ::AttachThreadInput(this_thread, foreground_thread, FALSE);
    AfterBringToFront();
  }

  ModalLoop();

  end_ = false;
  if (::IsWindow(window)) {
    const bool was_active = ::GetActiveWindow() == window;
    ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    if (owner_disabled) {
      ::EnableWindow(owner, TRUE);
      if (was_active) ::SetActiveWindow(owner);
    }
  } else if (owner_disabled) {
    ::EnableWindow(owner, TRUE);
  }
  g_current_modal_host = previous_host;
  if (::IsWindow(window)) ::DestroyWindow(window);
  return result_;
}

void CVwModalHost::ModalLoop() {
  MSG message;
  while (!end_ && hwnd_ != nullptr && ::IsWindow(hwnd_)) {
    // WM_QUIT stays queued for the application's own loop.
    if (::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) break;
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) continue;
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (!PreTranslate(&message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
}

bool CVwModalHost::PreTranslate(MSG* message) {
  if (hwnd_ == nullptr || !IsKeyboardOrMouse(message->message)) return false;
  HWND focus = ::GetFocus();
  if (focus != nullptr && focus != hwnd_ && ::IsChild(hwnd_, focus)) {
    HWND top = focus;
    while (top != nullptr && ::GetParent(top) != hwnd_) top = ::GetParent(top);
    if (top != nullptr &&
        ::SendMessageW(top, kVwMsgPreTranslate, 0, reinterpret_cast<LPARAM>(message)) == 1)
      return true;
  }
  return ::IsDialogMessageW(hwnd_, message) != FALSE;
}

bool CVwModalHost::HandleTopLevelMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  switch (message) {
    case WM_NCPAINT:
      *result = 0;
      return true;
    case WM_NCACTIVATE:
    case WM_MOVE:
      *result = 1;
      return true;
    case WM_WINDOWPOSCHANGED:
      // The shadow follows every move, resize, show and hide of the dialog.
      if (shadow_.window() != nullptr) shadow_.Refresh();
      return false;
    default:
      return false;
  }
}

}  // namespace kbase
