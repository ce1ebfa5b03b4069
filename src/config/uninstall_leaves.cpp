#include "config/uninstall_leaves.h"

#include <ctime>

#include "config/leaf_attributes.h"
#include "config/leaf_report.h"
#include "config/leaf_rules.h"
#include "config/product_registry.h"

namespace kbase {
namespace {

int64_t DaysSinceLastUninstall() {
  return DaysSince(static_cast<int64_t>(std::time(nullptr)), ReadUninstallTime());
}

}  // namespace

std::unique_ptr<ICheckLeaf> KUninstCountsLeaf::Parse(int32_t id, const TiXmlElement& leaf) {
  auto made = std::make_unique<KUninstCountsLeaf>(id);
  if (!ReadLeafInt(leaf, "Interval", &made->interval) ||
      !ReadLeafInt(leaf, "count", &made->count) || !ReadLeafInt(leaf, "param", &made->param) ||
      !ReadLeafInt(leaf, "switch", &made->switch_on)) {
    return nullptr;
  }
  return made;
}

int32_t KUninstCountsLeaf::Check() {
  const uint32_t uninstalls = ReadUninstallCount();
  const UninstallVerdict verdict =
      UninstallCountsRule(DaysSinceLastUninstall(), uninstalls, interval, count, param);
  SendLeafReport(kLeafStepUninstall, verdict.code, static_cast<int>(uninstalls), nullptr);
  return verdict.passed && switch_on != 0 ? 1 : 0;
}

std::unique_ptr<ICheckLeaf> KUninstCountAndTimeLeaf::Parse(int32_t id,
                                                           const TiXmlElement& leaf) {
  auto made = std::make_unique<KUninstCountAndTimeLeaf>(id);
  if (!ReadLeafInt(leaf, "count", &made->count) ||
      !ReadLeafInt(leaf, "Interval", &made->interval)) {
    return nullptr;
  }
  return made;
}

int32_t KUninstCountAndTimeLeaf::Check() {
  const uint32_t uninstalls = ReadUninstallCount();
  const UninstallVerdict verdict =
      UninstallCountAndTimeRule(DaysSinceLastUninstall(), uninstalls, count, interval);
  SendLeafReport(kLeafStepUninstall, verdict.code, static_cast<int>(uninstalls), nullptr);
  return verdict.passed ? 1 : 0;
}

}  // namespace kbase
