#include "ui/vw_platform.h"

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

int VwScaleForElement(int value, bool dpi) {
  if (!dpi) return value;
  IVwPlatform& platform = VwPlatform();
  if (!platform.DpiAware()) return value;
  return ScaleByRatio(value, platform.DpiRatio());
}

}  // namespace kbase
