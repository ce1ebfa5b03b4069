#pragma once
// "listwnd": a vertically scrolling list. Its "listitem" children are stacked from the
// top in document order, each as high as its "height" with "externline" pixels between
// rows, shifted up by the scroll offset; rows outside the list are clipped. A
// "listscrollbar" child sits along the right edge and shows where the view is; the
// wheel scrolls by "wheelmove" pixels a notch. "scrollclass" is the style the list gives
// its scroll bar when the bar names none.
// "listitem": one row; "viewvisible" 0 leaves the row out of the list.
// "listscrollbar": a bar "barwidth" wide drawn in "color_bar" ("color_bar_hv" while
// hovered) with a "color_bar_border" outline, square-ended with "rectanglebar", and
// hidden while everything fits or always with "permanent_hide".
#include <string>

#include "ui/vw_dialog.h"

namespace kbase {

class CVwListItem : public CVwDialog {
 public:
  static constexpr const char* kTag = "listitem";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  int row_height() const { return height_; }
  bool view_visible() const { return view_visible_ != 0; }

 private:
  int height_ = 0;
  int view_visible_ = 1;
};

class CVwWindowScollBar : public CVwWindow {
 public:
  static constexpr const char* kTag = "listscrollbar";
  static constexpr int kDefaultWidth = 6;

  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  bool NeedRedrawWhenStateChange() const override { return true; }
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;

  // The view: content height, visible height and scroll offset, set by the list.
  void SetView(int content, int visible, int offset);
  int bar_width() const { return bar_width_ > 0 ? bar_width_ : kDefaultWidth; }
  // The thumb; empty when hidden.
  VwRect ThumbRect() const;

 private:
  VwColour bar_ = VwRgb(192, 192, 192);
  VwColour bar_hover_ = kVwColourUnset;
  VwColour border_ = kVwColourUnset;
  int rectangle_ = 0;
  int bar_width_ = 0;
  int permanent_hide_ = 0;
  int content_ = 0;
  int visible_ = 0;
  int offset_ = 0;
};

class CVwListWnd : public CVwDialog {
 public:
  static constexpr const char* kTag = "listwnd";
  static constexpr int kDefaultWheelMove = 20;

  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;
  int RedrawRegion(IVwCanvas& canvas) override;
  void RepositionChildren() override;

  // Scrolls to an offset, kept inside [0, content - visible]; lays the rows out again.
  void ScrollTo(int offset);
  int scroll_offset() const { return offset_; }
  int content_height() const { return content_; }

 private:
  std::string scroll_class_;
  int extern_line_ = 0;
  int wheel_move_ = kDefaultWheelMove;
  int offset_ = 0;
  int content_ = 0;
};

}  // namespace kbase
