#pragma once
// What both host forms share as top-level windows: the modal run with its owner rules,
// the result code and EndDialog, centring, the shadow window, and the dialog's own
// message dispatch that sees every message of the host window first.
#include <windows.h>

#include "ui/shadow_wnd.h"

namespace kbase {

// The innermost running modal host of the process (null when none runs).
HWND VwCurrentModalHost();

// Centres a window: a child in its parent's client area, else over its owner when that
// is visible and not minimized, else in the primary monitor's work area. With `clamp`
// the result is moved inside that reference rectangle.
void VwCenterWindow(HWND window, bool clamp);

class CVwModalHost {
 public:
  CVwModalHost() = default;
  virtual ~CVwModalHost() = default;
  CVwModalHost(const CVwModalHost&) = delete;
  CVwModalHost& operator=(const CVwModalHost&) = delete;

  // Stores the code, sets the end flag and wakes the modal loop (UI thread only).
  void EndDialog(int code);
  int result_code() const { return result_; }
  HWND hwnd() const { return hwnd_; }

  CShadowWnd& shadow() { return shadow_; }
  // On by default; a dialog may switch its shadow off before Create.
  void EnableShadow(bool enabled);

  // The dialog's own message handling, offered every message of the host window before
  // the host's; return TRUE (and set result) to take it.
  virtual BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    return FALSE;
  }

 protected:
  // The modal run: owner, create, centre, bring to front, loop, clean up; the result code.
  int RunModal(HWND owner);
  // Creates the host window; null on failure.
  virtual HWND CreateForModal(HWND owner) = 0;
  // Called after the window was brought to the front.
  virtual void AfterBringToFront() {}
  // Pumps until the end flag, WM_QUIT waiting, or the window gone.
  virtual void ModalLoop();
  // Keyboard and mouse messages offered to the focused child chain, then IsDialogMessage.
  bool PreTranslate(MSG* message);
  // Top-level messages both forms answer the same way; false leaves the message.
  bool HandleTopLevelMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);
  // Creates the shadow for a top-level (not child) host window.
  void CreateShadow();

  HWND hwnd_ = nullptr;
  bool end_ = false;
  int result_ = 0;
  bool bring_to_front_ = false;
  bool shadow_enabled_ = true;
  CShadowWnd shadow_;
};

}  // namespace kbase
