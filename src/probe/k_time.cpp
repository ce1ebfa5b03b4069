#include "probe/k_time.h"

#include <ctime>

namespace kbase {

namespace {

int64_t LocalMillenniumStart() {
  std::tm start = {};
  start.tm_year = 100;  // 2000
  start.tm_mon = 0;
  start.tm_mday = 1;
  start.tm_isdst = -1;
  const std::time_t seconds = std::mktime(&start);
  return seconds == static_cast<std::time_t>(-1) ? 946684800 : static_cast<int64_t>(seconds);
}

}  // namespace

KTime KTime::FromClock(int64_t seconds) {
  if (seconds < 0 || seconds > kLatest) return KTime(LocalMillenniumStart());
  return KTime(seconds);
}

// time_t is 64 bits wide in both trees (mingw-w64 maps time() to _time64).
KTime KTime::Now() { return FromClock(static_cast<int64_t>(std::time(nullptr))); }

}  // namespace kbase
