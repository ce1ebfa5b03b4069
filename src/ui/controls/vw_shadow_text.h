#pragma once
// "shadowtext": its inner text drawn over a copy of itself offset one pixel right and
// down in the shadow colour "crshaow" at alpha "crshadowalpha"; the shadow shows while
// idle when "normalshadow" is set and while hovered when "hovershadow" is set.
#include "ui/vw_window.h"

namespace kbase {

class CVWShadowText : public CVwWindow {
 public:
  static constexpr const char* kTag = "shadowtext";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  bool NeedRedrawWhenStateChange() const override;
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;
  bool ShadowShown() const;

 private:
  int hover_shadow_ = 0;
  int normal_shadow_ = 0;
  int shadow_alpha_ = 255;
  VwColour shadow_colour_ = VwRgb(1, 1, 1);
};

}  // namespace kbase
