#pragma once
// "progress": a bar showing (value - min) / (max - min), drawn from a background skin and
// a fill skin or, without them, as rounded rectangles; optionally with the percentage as
// text, or in marquee mode a block that runs from left to right one step per paint.
// "progressex": the same with an extra text and a cap image at the fill's left end.
#include <string>

#include "ui/vw_window.h"

namespace kbase {

class CVwProgress : public CVwWindow {
 public:
  static constexpr const char* kTag = "progress";
  // The marquee block grows by this many pixels per paint up to its full width, then
  // moves by as many.
  static constexpr int kMarqueeStep = 10;
  static constexpr int kMarqueeWidth = 30;

  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;

  // 0 when min equals max; else value clamped into [min, max] (swapped when max < min).
  double Fraction() const;
  // The filled part for the current value (empty with marquee mode).
  VwRect FilledRect() const;
  // The marquee block the next paint draws, advancing it one step.
  VwRect AdvanceMarquee();
  int value() const { return value_; }

 protected:
  virtual void Paint(IVwCanvas& canvas);
  // The text drawn over the bar ("%d%%" with "showpercent"; empty otherwise).
  virtual std::wstring BarText() const;

  std::string background_skin_;
  std::string position_skin_;
  int skin_pos_x_ = 2;
  int min_ = 0;
  int max_ = 0;
  int value_ = 0;
  int show_percent_ = 0;
  int marquee_ = 0;
  int marquee_offset_ = 0;
  int marquee_width_ = 0;
};

class CVwProgressEx : public CVwProgress {
 public:
  static constexpr const char* kTag = "progressex";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;

 protected:
  void Paint(IVwCanvas& canvas) override;
  // The percentage (when shown) followed by "extendtext".
  std::wstring BarText() const override;

 private:
  std::wstring extend_text_;
  std::string left_image_skin_;
};

}  // namespace kbase
