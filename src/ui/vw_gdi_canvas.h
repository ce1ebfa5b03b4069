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

  bool DrawSkinPlain(const std::string& skin, const VwRect& rect, int state) override;
  bool DrawSkinPart(const std::string& skin, const VwRect& dst, const VwRect& src, int state, int alpha) override;
  bool DrawSkinGray(const std::string& skin, const VwRect& dst, const VwRect& src) override;
  bool DrawSkinTiled(const std::string& skin, const VwRect& rect) override;
  bool DrawSkinRotated(const std::string& skin, const VwRect& rect, int state, double degrees) override;
  bool DrawSkinPoints(const std::string& skin, const VwPoint points[3], const VwRect& src) override;
  bool DrawSkinClipped(const std::string& skin, const VwRect& rect, int state, int shape, int alpha_percent) override;
  void RoundRect(const VwRect& rect, int corner_width, int corner_height, VwColour pen, int pen_width, VwColour fill,
                 bool gdiplus, int pen_alpha, int fill_alpha) override;
  void Line(VwPoint from, VwPoint to, int width, int style, VwColour colour, int start_cap, int end_cap) override;
  bool DrawImageFile(const std::wstring& path, double left, double top, double width, double height, int subwidth,
                     int sub, int alpha) override;
  bool DrawMemoryImage(uintptr_t image, const VwRect& rect) override;
  bool DrawIconHandle(uintptr_t icon, const VwRect& rect) override;
  bool DrawIconResource(int resource, int oem, const VwRect& rect) override;

  HDC dc() const { return dc_; }

 private:
  void DrawTextGdiplus(const VwTextPaint& text, const RECT& rect, HFONT font);
  HDC dc_;
  HRGN region_;
};

}  // namespace kbase
