#pragma once
// "rundrect": a rounded rectangle with corner size "rndwidht" x "rndheight", filled with
// the element's background colour (own, else the style's; the hover background while
// hovered) and outlined in its text colour when one is set; it replaces the square
// background fill. "rundrectpath": the same drawn smoothed (GDI+): outline "crline" at
// alpha "crlinealpha" and width "linesize", the fill only when "bdrawbg" is set.
#include "ui/vw_window.h"

namespace kbase {

class CVwRoundRect : public CVwWindow {
 public:
  static constexpr const char* kTag = "rundrect";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  void DrawBackground(IVwCanvas& canvas) override;

 protected:
  VwColour FillColour() const;
  int corner_width_ = 0;
  int corner_height_ = 0;
};

class CVwRoundRectPath : public CVwRoundRect {
 public:
  static constexpr const char* kTag = "rundrectpath";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  void DrawBackground(IVwCanvas& canvas) override;

 private:
  int draw_background_ = 0;
  VwColour line_ = kVwColourUnset;
  int line_alpha_ = 255;
  int line_size_ = 1;
};

}  // namespace kbase
