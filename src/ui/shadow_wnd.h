#pragma once
// The shadow around a top-level skinned dialog: a layered, click-through popup owned by
// the dialog that covers the dialog's window rectangle inflated by the shadow size. It is
// painted by the dialog's hook, or else from the skin "dlg_shadow" cut into corners and
// edges around the dialog, and follows the dialog's visibility.
#include <windows.h>

#include "ui/vw_bitmap.h"
#include "ui/vw_skin_painter.h"

namespace kbase {

class IShadowPaintHook {
 public:
  virtual ~IShadowPaintHook() = default;
  // Paints the whole shadow into a cleared 32-bit device context of the given size
  // (premultiplied alpha); false leaves the painting to the shadow window.
  virtual bool PaintShadow(HDC dc, int width, int height) = 0;
};

class CShadowWnd {
 public:
  static constexpr int kDefaultSize = 4;
  static constexpr char kShadowSkin[] = "dlg_shadow";

  CShadowWnd() = default;
  ~CShadowWnd() { Destroy(); }
  CShadowWnd(const CShadowWnd&) = delete;
  CShadowWnd& operator=(const CShadowWnd&) = delete;

  // Creates the shadow window for the dialog (hidden until the first refresh). Returns 1
  // when it exists afterwards, 0 when the dialog is not a window or creation failed.
  int Create(HWND owner);
  // Repaints and places the shadow when the dialog is visible and not minimized, and
  // hides it otherwise.
  void Refresh();
  void Destroy();

  void SetEnabled(bool enabled) { enabled_ = enabled; }
  void SetSize(int size) { size_ = size < 0 ? 0 : size; }
  void SetPaintHook(IShadowPaintHook* hook) { hook_ = hook; }
  // The painter of the "dlg_shadow" skin; the process-wide default when not set.
  void SetSkinPainter(IVwSkinPainter* painter) { painter_ = painter; }

  HWND window() const { return window_; }
  HWND owner() const { return owner_; }
  bool enabled() const { return enabled_; }
  bool shown() const { return shown_; }
  int size() const { return size_; }

  // Paints a shadow of width x height into a cleared 32-bit device context: the hook
  // first, else the skin's corners and edges in the band of the shadow size, the inside
  // left empty. Without either the shadow stays transparent.
  void Paint(HDC dc, int width, int height);

 private:
  HWND window_ = nullptr;
  HWND owner_ = nullptr;
  bool enabled_ = true;
  bool shown_ = false;
  int size_ = kDefaultSize;
  IShadowPaintHook* hook_ = nullptr;
  IVwSkinPainter* painter_ = nullptr;
  CVwBitmap buffer_;
};

}  // namespace kbase
