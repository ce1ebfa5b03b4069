#pragma once
// The "text" element: draws its inner text with its style.
#include "ui/vw_window.h"

namespace kbase {

class CVwStatic : public CVwWindow {
 public:
  static constexpr const char* kTag = "text";
  const char* GetObjectClass() const override { return kTag; }
};

}  // namespace kbase
