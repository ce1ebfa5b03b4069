#pragma once
// "button" and "link": text elements the host treats as clickable. A button repaints on
// every hover and press change; a link opens its "href" on release (done by the host).
#include "ui/vw_window.h"

namespace kbase {

class CVwButton : public CVwWindow {
 public:
  static constexpr const char* kTag = "button";
  const char* GetObjectClass() const override { return kTag; }
  bool NeedRedrawWhenStateChange() const override { return true; }
};

class CVwLink : public CVwWindow {
 public:
  static constexpr const char* kTag = "link";
  const char* GetObjectClass() const override { return kTag; }
};

}  // namespace kbase
