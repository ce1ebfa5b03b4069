#pragma once
// The "button" skin: a filled rectangle with a vertical gradient per state and an
// optional border; it draws through Draw only. The state is the element's state bits.
#include "ui/vw_attribute_text.h"
#include "ui/vw_skin_base.h"

namespace kbase {

class CVwSkinButton : public CVwSkinBase {
 public:
  static constexpr const char* kTag = "button";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  void Draw(HDC dc, const RECT& rect, int state) override;

 private:
  VwColour background_ = 0;
  VwColour border_ = 0;
  VwColour up_ = 0, up_hover_ = 0, up_push_ = 0;
  VwColour down_ = 0, down_hover_ = 0, down_push_ = 0;
  int use_border_ = 0;
};

// The "gradation" skin: "to" everywhere, then a gradient from "from" over the first
// "size" pixels (or all of it), vertical or horizontal.
class CVwSkinGradation : public CVwSkinBase {
 public:
  static constexpr const char* kTag = "gradation";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  void Draw(HDC dc, const RECT& rect, int state) override;
  void DrawState(HDC dc, int left, int top, int right, int bottom, int state, bool dpi, int alpha) override;

 private:
  VwColour from_ = 0;
  VwColour to_ = 0;
  int size_ = 0;
  int direction_ = 0;  // 0 horizontal, 1 vertical
};

}  // namespace kbase
