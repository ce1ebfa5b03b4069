#include "ui/vw_platform.h"

#include <algorithm>
#include <atomic>

#include "ui/vw_dpi_ratio.h"

namespace kbase {
namespace {

class NeutralPlatform : public IVwPlatform {
 public:
  bool DpiAware() override { return false; }
  double DpiRatio() override { return 1.0; }
  VwSize MeasureText(const std::wstring&, const VwTextMeasure&) override { return {}; }
  bool SkinDependsOnState(const std::string&) override { return false; }
  void SetCursor(int) override {}
  void RequestRedraw(VwHostWindow, uint32_t, const VwRect&) override {}
  void SendControlEvent(VwHostWindow, int, int) override {}
};

NeutralPlatform g_neutral;
std::atomic<IVwPlatform*> g_installed{nullptr};

}  // namespace

IVwPlatform& VwPlatform() {
  IVwPlatform* installed = g_installed.load();
  return installed != nullptr ? *installed : g_neutral;
}

void InstallVwPlatform(IVwPlatform* platform) { g_installed.store(platform); }

VwTextFit IVwPlatform::FitText(const std::wstring& text, size_t start, size_t length, uint16_t font_id, bool dpi,
                                bool gdiplus, double max_width) {
  if (start >= text.size() || length == 0) return {};
  length = std::min(length, text.size() - start);
  VwTextMeasure how;
  how.font_id = font_id;
  how.dpi = dpi;
  how.format = 0x20;  // DT_SINGLELINE
  how.gdiplus = gdiplus;
  auto extent = [&](size_t count) { return MeasureText(text.substr(start, count), how); };
  if (max_width < 0) {
    const VwSize size = extent(length);
    return {length, static_cast<double>(size.cx), static_cast<double>(size.cy)};
  }
  size_t low = 0;
  size_t high = length;
  while (low < high) {
    const size_t middle = low + (high - low + 1) / 2;
    if (extent(middle).cx <= max_width) low = middle;
    else high = middle - 1;
  }
  if (low == 0) return {};
  const VwSize size = extent(low);
  return {low, static_cast<double>(size.cx), static_cast<double>(size.cy)};
}

int VwScaleForElement(int value, bool dpi) {
  if (!dpi) return value;
  IVwPlatform& platform = VwPlatform();
  if (!platform.DpiAware()) return value;
  return ScaleByRatio(value, platform.DpiRatio());
}

}  // namespace kbase
