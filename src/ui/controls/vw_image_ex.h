#pragma once
// Picture elements beyond "img", each drawing one skin in its own way; all report the
// skin's frame size as their natural size unless said otherwise.
//   "imgbg"      the skin as a background: stretched over the rectangle with "fill"
//                non-zero, else whole copies tiled across it; natural size "cx" x "cy".
//   "scrollimg"  a window onto the picture: the part at ("hpos", "vpos") (each used only
//                when "hscroll"/"vscroll" is set) of the rectangle's size, unscaled;
//                natural size "cx" x "cy".
//   "imggray"    the skin, in grey when "gray" is non-zero.
//   "imgex"      frame "sub" at constant "alpha".
//   "imgex2"     as imgex; with "stretch" 0 the frame keeps its size, centred in the
//                rectangle, or at its top when "topdraw" is set.
//   "imgrotale"  frame "sub" rotated by "angle" degrees about the rectangle's centre.
//   "expendimg"  the skin cut by its own margins: corners kept, edges and middle
//                stretched ("stretch" non-zero) or the frame at natural size at the
//                left-top corner ("stretch" 0), at alpha "skinalpha".
#include <string>

#include "ui/vw_window.h"

namespace kbase {

// Shared by the picture elements: "skin" and the frame-size natural size.
class CVwSkinnedWindow : public CVwWindow {
 public:
  int SetAttribute(const char* name, const char* value, bool loading) override;
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;
  const std::string& skin() const { return skin_; }

 protected:
  virtual void Paint(IVwCanvas& canvas) = 0;
  virtual VwSize PictureSize() const;
  std::string skin_;
};

class CVwImageBg : public CVwSkinnedWindow {
 public:
  static constexpr const char* kTag = "imgbg";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;

 protected:
  void Paint(IVwCanvas& canvas) override;
  VwSize PictureSize() const override;
  int fill_ = 0;
  int cx_ = 0;
  int cy_ = 0;
};

class CVwImageScroll : public CVwImageBg {
 public:
  static constexpr const char* kTag = "scrollimg";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  // The part of the picture shown.
  VwRect SourceRect() const;

 protected:
  void Paint(IVwCanvas& canvas) override;

 private:
  int hscroll_ = 0;
  int vscroll_ = 0;
  int hpos_ = 0;
  int vpos_ = 0;
};

class CVwImgGray : public CVwSkinnedWindow {
 public:
  static constexpr const char* kTag = "imggray";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;

 protected:
  void Paint(IVwCanvas& canvas) override;

 private:
  int gray_ = 0;
};

class CVwImageEx : public CVwSkinnedWindow {
 public:
  static constexpr const char* kTag = "imgex";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;

 protected:
  void Paint(IVwCanvas& canvas) override;
  int alpha_ = 255;
  int sub_ = 0;
};

class CVwImageEx2 : public CVwImageEx {
 public:
  static constexpr const char* kTag = "imgex2";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;

 protected:
  void Paint(IVwCanvas& canvas) override;

 private:
  int stretch_ = 1;
  int top_draw_ = 0;
};

class CVwImageRotale : public CVwSkinnedWindow {
 public:
  static constexpr const char* kTag = "imgrotale";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;

 protected:
  void Paint(IVwCanvas& canvas) override;

 private:
  double angle_ = 0;
  int sub_ = 0;
};

class CVwExpendImg : public CVwSkinnedWindow {
 public:
  static constexpr const char* kTag = "expendimg";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;

 protected:
  void Paint(IVwCanvas& canvas) override;

 private:
  int alpha_ = 255;
  int margin_left_ = 0;
  int margin_right_ = 0;
  int margin_top_ = 0;
  int margin_bottom_ = 0;
  int stretch_ = 1;
};

// The nine parts of a picture of size `source` cut by margins and laid over `target`:
// destination and source rectangles in pairs, empty parts left out. Margins larger than
// the picture or the target are cut down to fit.
struct VwNinePart {
  VwRect dst;
  VwRect src;
};
int NineParts(const VwRect& target, VwSize source, int left, int top, int right, int bottom, VwNinePart parts[9]);

}  // namespace kbase
