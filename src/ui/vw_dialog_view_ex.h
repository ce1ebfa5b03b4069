#pragma once
// The single-window form of a skinned dialog: one top-level window that is its own view.
// It paints the layer's panels, receives its own notifications (wParam and idFrom -1),
// sizes itself by the layer's rules and may be layered. The installer's main window and
// its install-mode choice are of this form.
#include <windows.h>

#include "ui/vw_dialog_view.h"
#include "ui/vw_modal_host.h"

namespace kbase {

class CVwDialogViewEx : public CVwViewImpl, public CVwModalHost {
 public:
  static constexpr wchar_t kClassName[] = L"VwDialogViewEx";

  explicit CVwDialogViewEx(int layout_number);
  ~CVwDialogViewEx() override;

  // Loads if needed and creates the window; null on failure.
  HWND Create(HWND owner);
  // Runs modally with the default owner (the current modal host, else the active window).
  int DoModal();

  // Esc sends WM_COMMAND IDCANCEL and Enter IDOK, while the window is enabled and Ctrl
  // is up; true when the key was one of them.
  bool HandleDialogKey(WPARAM key);

  // Asks for DWM blur-behind (takes effect at Create).
  void set_blur_behind(bool blur) { blur_behind_ = blur; }
  bool blur_behind() const { return blur_behind_; }

 protected:
  // Overridable hooks, in the order the host calls them.
  virtual DWORD GetExtendedStyle(DWORD layer_ex_style) { return layer_ex_style; }
  virtual DWORD GetStyle(DWORD layer_style) { return layer_style; }
  // Blur-behind over a round-rectangle region of the client area when asked for.
  void OnBlurRegion() override;
  void OnPaintOver(HDC dc) override {}
  void OnBeforePresent(CVwBitmap& buffer) override {}

  HWND CreateForModal(HWND owner) override { return Create(owner); }
  void AfterBringToFront() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnNcHitTest(LPARAM lparam);
  bool OnNcCalcSize(WPARAM wparam, LPARAM lparam);
  void OnGetMinMaxInfo(MINMAXINFO* info);

  int layout_number_;
  bool blur_behind_ = false;
  bool restore_drag_full_windows_ = false;
};

}  // namespace kbase
