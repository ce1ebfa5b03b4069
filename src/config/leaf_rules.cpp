#include "config/leaf_rules.h"

namespace kbase {

int64_t DaysSince(int64_t now, uint32_t then) {
  return (now - static_cast<int64_t>(then)) / 86400;
}

UninstallVerdict UninstallCountsRule(int64_t days, uint32_t uninstalls, int32_t interval,
                                     int32_t count, int32_t param) {
  if (count == 0) return {false, kUninstallLeafPassed};
  // The threshold is unsigned 32-bit arithmetic, as the product computes it.
  const uint32_t threshold = (uninstalls % static_cast<uint32_t>(count)) *
                                 static_cast<uint32_t>(param) +
                             static_cast<uint32_t>(interval);
  if (days < static_cast<int64_t>(threshold)) return {false, kUninstallWaitNotOver};
  return {true, kUninstallLeafPassed};
}

UninstallVerdict UninstallCountAndTimeRule(int64_t days, uint32_t uninstalls,
                                           int32_t count, int32_t interval) {
  if (days > interval) return {false, kUninstallLeafPassed};
  if (uninstalls < static_cast<uint32_t>(count)) return {false, kUninstallLeafPassed};
  return {true, kUninstallRecentRepeat};
}

bool CityDrawKeeps(int32_t percent, int draw) {
  if (percent < 1) return false;
  if (percent >= 100) return true;
  return draw % 101 < percent;
}

}  // namespace kbase
