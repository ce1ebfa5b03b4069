#pragma once
// "hr": a line from the rectangle's left-top to its right-bottom corner, pen width
// "size", pen style "style", in the element's background colour (own, else the style's).
// "hrex": the same. "lineviewex": a line through the middle of the rectangle,
// horizontal or "vertical", with a dash style, caps and a colour per state.
#include "ui/vw_window.h"

namespace kbase {

class CVwLine : public CVwWindow {
 public:
  static constexpr const char* kTag = "hr";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  // The line replaces the background fill: the background colour is the line's colour.
  void DrawBackground(IVwCanvas& canvas) override {}
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;

  int pen_width() const { return size_; }
  int pen_style() const { return style_; }

 private:
  int size_ = 1;
  int style_ = 0;
};

class CVwLineEx : public CVwLine {
 public:
  static constexpr const char* kTag = "hrex";
  const char* GetObjectClass() const override { return kTag; }
};

class CVwLineViewEx : public CVwWindow {
 public:
  static constexpr const char* kTag = "lineviewex";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  bool NeedRedrawWhenStateChange() const override;
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;

  VwColour CurrentColour() const;

 private:
  int dash_style_ = 0;
  VwColour colour_ = 0;
  VwColour hover_colour_ = kVwColourUnset;
  VwColour pushed_colour_ = kVwColourUnset;
  int vertical_ = 0;
  int start_cap_ = 0;
  int end_cap_ = 0;
};

}  // namespace kbase
