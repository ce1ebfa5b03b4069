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
  // A picture file scaled into the box with high-quality interpolation.
  virtual void DrawImageFile(const std::wstring& path, double left, double top, double width, double height) {}
};

}  // namespace kbase
