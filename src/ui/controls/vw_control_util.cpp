#include "ui/controls/vw_control_util.h"

#include "ui/vw_platform.h"

namespace kbase {

VwSize ElementSkinSize(const std::string& skin, bool dpi) {
  if (skin.empty()) return {};
  const VwSize size = VwPlatform().SkinSize(skin);
  return {VwScaleForElement(size.cx, dpi), VwScaleForElement(size.cy, dpi)};
}

VwSize PictureNaturalSize(const CVwWindow& element, VwSize picture, VwSize text_extent, int inner_width,
                          int inner_height) {
  if (element.position().count == 4) return PositionedSize(element.position(), inner_width, inner_height);
  if (picture.cx > 0 || picture.cy > 0) return picture;
  return text_extent;
}

void AnswerPictureSizeQuery(const CVwWindow& element, VwSize picture, intptr_t lparam) {
  if (lparam == 0) return;
  auto* query = reinterpret_cast<VwSizeQuery*>(lparam);
  query->size = PictureNaturalSize(element, picture, element.NaturalTextSize(query->inner_width),
                                   query->inner_width, query->inner_height);
}

}  // namespace kbase
