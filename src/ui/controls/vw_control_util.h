#pragma once
// Small rules the controls share: the ordered state index of buttons, the point of a
// mouse message, and image sizes as a layout sees them.
#include <cstdint>
#include <cstring>
#include <string>

#include "ui/vw_geometry.h"
#include "ui/vw_window.h"

namespace kbase {

inline bool IsName(const char* name, const char* expected) {
  return name != nullptr && std::strcmp(name, expected) == 0;
}

// 3 disabled, else 2 pushed, else 1 hovered, else 0: the frame order of button skins.
inline int ButtonStateIndex(unsigned state) {
  if (state & kVwStateDisabled) return 3;
  if (state & kVwStatePushed) return 2;
  if (state & kVwStateHover) return 1;
  return 0;
}

// The point a mouse message carries in lparam; false when it carries none.
inline bool MessagePoint(intptr_t lparam, VwPoint* point) {
  if (lparam == 0) return false;
  *point = *reinterpret_cast<const VwPoint*>(lparam);
  return true;
}

// The frame size of a skin, scaled by the DPI ratio for an element with the DPI flag.
VwSize ElementSkinSize(const std::string& skin, bool dpi);

// A size query's answer for a control whose natural size is a picture: four position
// items win; otherwise the text extent, replaced by the picture size when there is one.
VwSize PictureNaturalSize(const CVwWindow& element, VwSize picture, VwSize text_extent, int inner_width,
                          int inner_height);

// Answers the size query in lparam (when there is one) for a control whose natural size
// is a picture (see PictureNaturalSize).
void AnswerPictureSizeQuery(const CVwWindow& element, VwSize picture, intptr_t lparam);

// Answers the size query in lparam with `size`.
inline void AnswerSizeQuery(intptr_t lparam, VwSize size) {
  if (lparam != 0) reinterpret_cast<VwSizeQuery*>(lparam)->size = size;
}

}  // namespace kbase
