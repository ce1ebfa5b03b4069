#pragma once
// The drawing surface an element paints on: the host's back-buffer device context with
// the invalid region, seen through the few operations elements use. The Windows build
// implements it over GDI and GDI+ (VwGdiCanvas).
#include <cstdint>
#include <string>

#include "ui/vw_attribute_text.h"
#include "ui/vw_geometry.h"

namespace kbase {

class VwStyle;

struct VwTextPaint {
  std::wstring text;
  VwRect rect;
  uint32_t format = 0;  // DrawText flags
  uint16_t font_id = 0;
  bool dpi = false;
  VwColour colour = kVwColourUnset;
  // Text alpha for GDI+ drawing (0..255); 255 is drawn as 254.
  int alpha = 254;
  bool transparent_background = true;
  bool autofix_text_rect = true;
  const VwStyle* style = nullptr;  // shadow, GDI+ and YaHei settings
};

// One line of text with its top-left corner at (x, y), without wrapping or alignment.
struct VwTextRun {
  std::wstring text;
  double x = 0;
  double y = 0;
  uint16_t font_id = 0;
  bool dpi = false;
  VwColour colour = kVwColourUnset;
  // Fractional positions drawn through GDI+; whole pixels through GDI otherwise.
  bool gdiplus = false;
};

class IVwCanvas {
 public:
  virtual ~IVwCanvas() = default;
  // False when an invalid region is set and the rectangle lies outside it.
  virtual bool InRegion(const VwRect& rect) = 0;
  virtual void SaveState() = 0;
  virtual void RestoreState() = 0;
  virtual void FrameRect(const VwRect& rect) = 0;
  virtual void FillRect(const VwRect& rect, VwColour colour, int alpha, bool gdiplus) = 0;
  // Draws a named skin for a state (DrawState); false when the skin is not in the table.
  virtual bool DrawSkin(const std::string& skin, const VwRect& rect, int state, bool dpi, int alpha) = 0;
  virtual void DrawText(const VwTextPaint& text) = 0;

  // Rich text. The defaults draw nothing, for canvases that only lay out.
  // Narrows the clip to the rectangle until the next RestoreState.
  virtual void IntersectClip(const VwRect& rect) {}
  virtual void DrawTextRun(const VwTextRun& run) {}

  // Drawing that only some controls need. Each has a neutral default (draws nothing,
  // answers false), so canvases that serve plain elements need not implement them.

  // The skin's plain Draw (frame at natural size with "subwidth", else its margin parts).
  virtual bool DrawSkinPlain(const std::string& skin, const VwRect& rect, int state) { return false; }
  // A source rectangle inside the frame of `state` stretched into `dst`, constant alpha.
  virtual bool DrawSkinPart(const std::string& skin, const VwRect& dst, const VwRect& src, int state, int alpha) {
    return false;
  }
  // A grey copy of a source rectangle of the whole picture.
  virtual bool DrawSkinGray(const std::string& skin, const VwRect& dst, const VwRect& src) { return false; }
  // Whole copies of the picture repeated across and down the rectangle.
  virtual bool DrawSkinTiled(const std::string& skin, const VwRect& rect) { return false; }
  // The frame of `state` stretched into the rectangle, rotated by `degrees` about its centre.
  virtual bool DrawSkinRotated(const std::string& skin, const VwRect& rect, int state, double degrees) { return false; }
  // A source rectangle of the picture drawn onto the parallelogram of three points
  // (upper-left, upper-right, lower-left).
  virtual bool DrawSkinPoints(const std::string& skin, const VwPoint points[3], const VwRect& src) { return false; }
  // The frame of `state` stretched into the rectangle and clipped to a smooth shape
  // (1 ellipse, 2 rounded rectangle), at `alpha_percent` opacity (negative: opaque).
  virtual bool DrawSkinClipped(const std::string& skin, const VwRect& rect, int state, int shape, int alpha_percent) {
    return false;
  }
  // A rounded rectangle with corner size corner_width x corner_height. An unset pen
  // colour draws no outline; an unset fill uses the surface's current brush. With
  // `gdiplus` it is drawn smoothed with the alphas given.
  virtual void RoundRect(const VwRect& rect, int corner_width, int corner_height, VwColour pen, int pen_width,
                         VwColour fill, bool gdiplus = false, int pen_alpha = 255, int fill_alpha = 255) {}
  // A line; style 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot; caps (0 flat,
  // 1 square, 2 round, 3 triangle) are honoured when drawn smoothed.
  virtual void Line(VwPoint from, VwPoint to, int width, int style, VwColour colour, int start_cap = 0,
                    int end_cap = 0) {}
  // An image file decoded for this paint only, stretched into the box (fractional for
  // rich text, whole pixels for the controls) with high-quality interpolation; with
  // `subwidth` and at least two frames only frame (sub mod frames); `alpha` 0..255 is a
  // constant opacity. False when nothing was drawn.
  virtual bool DrawImageFile(const std::wstring& path, double left, double top, double width, double height,
                             int subwidth = 0, int sub = 0, int alpha = 255) {
    return false;
  }
  // An image object the program registered as drawable (see vw_memory_images.h).
  virtual bool DrawMemoryImage(uintptr_t image, const VwRect& rect) { return false; }
  // An icon handle, or an icon resource of the program (or, with `oem`, a system icon).
  virtual bool DrawIconHandle(uintptr_t icon, const VwRect& rect) { return false; }
  virtual bool DrawIconResource(int resource, int oem, const VwRect& rect) { return false; }
};

}  // namespace kbase
