#pragma once
// "slider": a track ("skinbg", drawn over the rectangle less its four margins) and a
// thumb ("skin", frames by state, at its own size) centred on the position "sliderpos",
// a percentage 0..100 of the track's width. A press or a move with the button held asks
// the host with view notification 11 before the value changes; the release asks with 12.
// The receiver may refuse either change.
#include <string>

#include "ui/vw_window.h"

namespace kbase {

class VwSlider : public CVwWindow {
 public:
  static constexpr const char* kTag = "slider";
  static constexpr int kMaxPosition = 100;

  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  bool NeedRedrawWhenStateChange() const override { return true; }
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;

  int position_value() const { return position_; }
  VwRect TrackRect() const;
  VwRect ThumbRect() const;
  // The position under an x coordinate.
  int PositionAt(int x) const;

 private:
  // Offers a change to the host with a code; applies it unless refused.
  void Change(int code, int value);
  std::string track_skin_;
  std::string thumb_skin_;
  int position_ = 0;
  int margin_left_ = 0;
  int margin_right_ = 0;
  int margin_top_ = 0;
  int margin_bottom_ = 0;
  bool tracking_ = false;
};

}  // namespace kbase
