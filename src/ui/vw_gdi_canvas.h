#pragma once
// The element canvas over a GDI device context (the host's back buffer) and the invalid
// region of the paint.
#include <windows.h>

#include "ui/vw_canvas.h"

namespace kbase {

class VwGdiCanvas : public IVwCanvas {
 public:
  // `region` may be null (paint everything); neither is owned.
  VwGdiCanvas(HDC dc, HRGN region);

  bool InRegion(const VwRect& rect) override;
  void SaveState() override;
  void RestoreState() override;
  void FrameRect(const VwRect& rect) override;
  void FillRect(const VwRect& rect, VwColour colour, int alpha, bool gdiplus) override;
  bool DrawSkin(const std::string& skin, const VwRect& rect, int state, bool dpi, int alpha) override;
  void DrawText(const VwTextPaint& text) override;
  void IntersectClip(const VwRect& rect) override;
  void DrawTextRun(const VwTextRun& run) override;
  void DrawImageFile(const std::wstring& path, double left, double top, double width, double height) override;

  HDC dc() const { return dc_; }

 private:
  void DrawTextGdiplus(const VwTextPaint& text, const RECT& rect, HFONT font);
  HDC dc_;
  HRGN region_;
};

}  // namespace kbase
