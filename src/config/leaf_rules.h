#pragma once
// The decisions of the history and city leaves, apart from the machine facts they read.
#include <cstdint>

namespace kbase {

// Codes the uninstall leaves report.
enum UninstallLeafCode {
  kUninstallLeafPassed = 0,
  kUninstallWaitNotOver = 357,   // "uninstcounts": too soon after the last uninstall
  kUninstallRecentRepeat = 359,  // "uninstcountandtime": recent and repeated
};

// Whole days from `then` to `now` (seconds since 1970), truncated toward zero.
int64_t DaysSince(int64_t now, uint32_t then);

// "uninstcounts": the wait grows by `param` days with each uninstall within a cycle of
// `count`: (uninstalls mod count) * param + interval. Count 0 never passes (code 0).
struct UninstallVerdict {
  bool passed;
  int32_t code;
};
UninstallVerdict UninstallCountsRule(int64_t days, uint32_t uninstalls, int32_t interval,
                                     int32_t count, int32_t param);

// "uninstcountandtime": true (code 359) when the last uninstall was at most `interval`
// days ago and there were at least `count` of them.
UninstallVerdict UninstallCountAndTimeRule(int64_t days, uint32_t uninstalls,
                                           int32_t count, int32_t interval);

// "cityblacklist" on a matching city: below 1 drops, 100 and above keeps, otherwise the
// draw (0..32767) keeps the leaf when draw mod 101 is below `percent`.
bool CityDrawKeeps(int32_t percent, int draw);

}  // namespace kbase
