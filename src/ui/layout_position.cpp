#include "ui/layout_position.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "ui/vw_attribute_text.h"

namespace kbase {
namespace {

int Scale(int value, double scale) {
  if (scale == 1.0) return value;
  const double scaled = std::trunc(static_cast<double>(value) * scale);
  if (scaled > 2147483647.0) return 2147483647;
  if (scaled < -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(scaled);
}

// Parses one item of [begin, end); `extent` is 'w' or 'h' where that letter is allowed.
LayoutItem ParseItem(const std::string& text, char extent, bool* add_extent) {
  LayoutItem item;
  size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  if (at < text.size() && text[at] == '|') {
    item.center = true;
    ++at;
  }
  if (at < text.size() && text[at] == '-') {
    item.far_edge = true;
    ++at;
  }
  *add_extent = false;
  if (extent != '\0' && at < text.size() && text[at] == extent) {
    *add_extent = true;
    ++at;
  }
  item.value = ParseDecimal(text.c_str() + at);
  return item;
}

}  // namespace

LayoutPosition ParseLayoutPosition(const char* text, double scale) {
  LayoutPosition position;
  if (text == nullptr) return position;
  std::string parts[4];
  int count = 1;
  for (const char* at = text; *at != '\0'; ++at) {
    if (*at == ',') {
      if (++count > 4) return position;
      continue;
    }
    parts[count - 1].push_back(*at);
  }
  if (count != 2 && count != 4) return position;

  position.count = count;
  bool add_extent = false;
  for (int i = 0; i < count; ++i) {
    const char extent = i == 2 ? 'w' : (i == 3 ? 'h' : '\0');
    position.items[i] = ParseItem(parts[i], extent, &add_extent);
    if (add_extent) {
      const long long sum = static_cast<long long>(position.items[i].value) + position.items[i - 2].value;
      position.items[i].value = static_cast<int>(std::clamp<long long>(sum, -2147483647 - 1LL, 2147483647LL));
    }
  }
  for (int i = 0; i < count; ++i) position.items[i].value = Scale(position.items[i].value, scale);
  return position;
}

int EvaluateLayoutItem(const LayoutItem& item, int start, int end) {
  // Wide arithmetic: hostile values must not overflow, the result is clamped to int.
  long long result;
  if (item.center) {
    const long long middle = start + (static_cast<long long>(end) - start) / 2;
    result = item.far_edge ? middle - item.value : middle + item.value;
  } else if (item.far_edge) {
    result = static_cast<long long>(end) - item.value;
  } else {
    result = static_cast<long long>(start) + item.value;
  }
  return static_cast<int>(std::clamp<long long>(result, -2147483647 - 1LL, 2147483647LL));
}

LayoutPlacement PlaceInContainer(const LayoutPosition& position, const VwRect& inner) {
  LayoutPlacement placement;
  placement.inner_width = inner.width();
  placement.inner_height = inner.height();
  if (position.count >= 2) {
    placement.x = EvaluateLayoutItem(position.items[0], inner.left, inner.right);
    placement.y = EvaluateLayoutItem(position.items[1], inner.top, inner.bottom);
  } else {
    placement.x = inner.left;
    placement.y = inner.top;
  }
  return placement;
}

VwSize PositionedSize(const LayoutPosition& position, int inner_width, int inner_height) {
  if (position.count != 4) return {};
  const long long width = static_cast<long long>(EvaluateLayoutItem(position.items[2], 0, inner_width)) -
                          EvaluateLayoutItem(position.items[0], 0, inner_width);
  const long long height = static_cast<long long>(EvaluateLayoutItem(position.items[3], 0, inner_height)) -
                           EvaluateLayoutItem(position.items[1], 0, inner_height);
  return {static_cast<int>(std::clamp<long long>(width, -2147483647 - 1LL, 2147483647LL)),
          static_cast<int>(std::clamp<long long>(height, -2147483647 - 1LL, 2147483647LL))};
}

VwRect ChildRectangle(const LayoutPlacement& placement, VwSize size, unsigned flags,
                      int fixed_width, int fixed_height) {
  auto add = [](int a, long long b) {
    return static_cast<int>(std::clamp<long long>(a + b, -2147483647 - 1LL, 2147483647LL));
  };
  VwRect rect{placement.x, placement.y, add(placement.x, size.cx), add(placement.y, size.cy)};
  if (flags & kVwWidthFill) rect.right = std::max(rect.left, add(placement.x, placement.inner_width));
  else if (flags & kVwWidthFixed) rect.right = add(rect.left, fixed_width);
  if (flags & kVwHeightFill) rect.bottom = std::max(rect.top, add(placement.y, placement.inner_height));
  else if (flags & kVwHeightFixed) rect.bottom = add(rect.top, fixed_height);
  return rect;
}

}  // namespace kbase
