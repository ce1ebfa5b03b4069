#pragma once
// A named picture that elements draw through: one of the skin kinds of the skin
// document. Every operation is a no-op here; each kind implements its own.
#include <windows.h>

#include "ui/vw_object.h"

namespace kbase {

class CVwSkinBase : public CVwObject {
 public:
  // After "wantimgwidth" scaling: mode 1 stretches the frame of `state` into the
  // rectangle, any other mode draws it at its natural size at the left-top corner.
  virtual void DrawScaled(HDC dc, int left, int top, int right, int bottom, int state, int mode) {}
  virtual void Draw(HDC dc, const RECT& rect, int state) {}
  virtual void DrawRect(HDC dc, const RECT& dst, const RECT& src) {}
  virtual void DrawPoints(HDC dc, const POINT points[3], const RECT& src) {}
  virtual void DrawAlpha(HDC dc, const RECT& dst, const RECT& src, int alpha) {}
  virtual void DrawStretch(HDC dc, const RECT& dst, const RECT& src) {}
  virtual void DrawTile(HDC dc, const RECT& rect) {}
  virtual void DrawGray(HDC dc, const RECT& dst, const RECT& src) {}
  virtual void DrawFlipped(HDC dc, const RECT& rect) {}
  virtual SIZE GetSkinSize() { return SIZE{0, 0}; }
  // True when every state shows the same picture.
  virtual bool IgnoreState() { return true; }
  // Loads the picture on first use; whether one is present.
  virtual bool EnsureLoaded() { return false; }
  // The background draw of elements: the picture for a state index, DPI flag and alpha.
  virtual void DrawState(HDC dc, int left, int top, int right, int bottom, int state, bool dpi, int alpha) {}
  // Part of a frame: a source rectangle inside the frame of `state` into a destination.
  virtual void DrawFrame(HDC dc, const RECT& dst, const RECT& src, int state) {}
  virtual void DrawFrameAlpha(HDC dc, const RECT& dst, const RECT& src, int state, int alpha) {}
};

}  // namespace kbase
