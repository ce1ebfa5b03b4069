#pragma once
// "check", "radio" and "customradio": a box at the left of the rectangle, vertically
// centred, then the inner text "text_spacing" pixels after it. The box is the "skin"
// picture, or "skin_check" while the checked bit is set, in the frame of the state
// (3 disabled, 2 pushed, 1 hovered, 0 normal). Without pictures "check" and "radio"
// draw a plain box (a framed square with a filled centre when checked, a circle with a
// dot); "customradio" draws its pictures only.
// A release inside the rectangle toggles a check box and checks a radio button, clearing
// the other members of its "group".
#include <string>

#include "ui/vw_window.h"

namespace kbase {

class CVwCheckBox : public CVwWindow {
 public:
  static constexpr const char* kTag = "check";
  // Box size when neither an attribute nor a picture gives one.
  static constexpr int kDefaultBoxSize = 13;

  ~CVwCheckBox() override;
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  bool NeedRedrawWhenStateChange() const override { return true; }
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;

  bool checked() const { return (state() & kVwStateChecked) != 0; }
  VwSize BoxSize() const;
  VwRect BoxRect() const;
  int unique_id() const { return unique_id_; }

 protected:
  // The release inside the rectangle.
  virtual void OnClick();
  // The box without pictures.
  virtual void DrawPlainBox(IVwCanvas& canvas, const VwRect& box);

  std::string skin_;
  std::string checked_skin_;
  int box_width_ = 0;
  int box_height_ = 0;
  int text_spacing_ = 4;
  int unique_id_ = 0;
  std::string group_;
};

class CVwRadioBox : public CVwCheckBox {
 public:
  static constexpr const char* kTag = "radio";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;

 protected:
  void OnClick() override;
  void DrawPlainBox(IVwCanvas& canvas, const VwRect& box) override;
};

class CVwSelfDefineRadioBox : public CVwRadioBox {
 public:
  static constexpr const char* kTag = "customradio";
  const char* GetObjectClass() const override { return kTag; }

 protected:
  void DrawPlainBox(IVwCanvas&, const VwRect&) override {}
};

}  // namespace kbase
