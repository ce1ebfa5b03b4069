#pragma once
// The popup form of a skinned dialog: a top-level window that holds one child window,
// the view (control id 1000), which paints the layer's panels and sends its
// notifications here with wParam and idFrom 1000. Message boxes and pop-ups use it.
#include <windows.h>

#include "ui/vw_dialog_view.h"
#include "ui/vw_modal_host.h"

namespace kbase {

class CVwDialogImpl : public CVwModalHost {
 public:
  static constexpr wchar_t kClassName[] = L"VwDialogImpl";

  explicit CVwDialogImpl(int layout_number);
  ~CVwDialogImpl() override;

  // Loads the layer document; 0 when missing, malformed or not a "layer".
  int Load(int layout_number) { return view_.Load(layout_number); }
  int LoadFromText(const std::string& xml) { return view_.LoadFromText(xml); }
  // Loads if needed and creates the popup with its view; null on failure.
  HWND Create(HWND owner);
  // Runs modally (owner: the given window, else the current modal host, else the active
  // window) and returns the result code; 0 when the window cannot be created.
  int DoModal(HWND owner = nullptr);

  CVwDialogView& view() { return view_; }
  HWND view_window() const { return view_.view_window(); }

  // Drawn after the panels on the view's back buffer.
  virtual void OnPaintOver(HDC dc) {}

 protected:
  HWND CreateForModal(HWND owner) override { return Create(owner); }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  int layout_number_;
  CVwDialogView view_;
};

}  // namespace kbase
