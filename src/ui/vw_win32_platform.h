#pragma once
// The element tree's platform on Windows: DPI from VwDpiSettings, text measured with GDI
// or GDI+ in the pool's fonts, skins from VwSkinPool, cursors, and WM_NOTIFY records to
// the host window.
#include <windows.h>

#include <memory>

#include "ui/gdi_owner.h"

#include "ui/vw_platform.h"

namespace kbase {

class VwWin32Platform : public IVwPlatform {
 public:
  static VwWin32Platform& Instance();
  // Installs Instance() as the tree's platform.
  static void Install();

  bool DpiAware() override;
  double DpiRatio() override;
  VwSize MeasureText(const std::wstring& text, const VwTextMeasure& how) override;
  bool SkinDependsOnState(const std::string& skin) override;
  void SetCursor(int system_cursor_id) override;
  void RequestRedraw(VwHostWindow host, uint32_t element, const VwRect& rect) override;
  void SendControlEvent(VwHostWindow host, int element_id, int event) override;
  VwTextFit FitText(const std::wstring& text, size_t start, size_t length, uint16_t font_id, bool dpi, bool gdiplus,
                    double max_width) override;
  bool ImageFileSize(const std::wstring& path, double* width, double* height) override;
  VwRect AdjustYaheiRect(const VwRect& rect, uint32_t format, uint16_t font_id, bool dpi, bool autofix) override;
  void SendClickToHostParent(VwHostWindow host, int element_id, const char* tag) override;
  VwSize SkinSize(const std::string& skin) override;
  bool PlaceRealWindow(VwHostWindow host, int control_id, const VwRect& rect) override;
  void ShowRealWindow(VwHostWindow host, int control_id, bool show) override;
  void PaintRealWindow(VwHostWindow host, int control_id) override;
  bool SendVetoableChange(VwHostWindow host, int code, int element_id, int old_value, int new_value) override;
  void SendTwoValues(VwHostWindow host, int code, int element_id, int value1, int value2) override;
  void DestroyIconHandle(uintptr_t icon) override;

 private:
  // Rich text measures run by run; one memory DC for it saves a DC pair per run. Used on
  // the UI thread only, like the pools.
  HDC MeasuringDc();
  std::unique_ptr<ScopedMemoryDc> measuring_dc_;
};

}  // namespace kbase
