#pragma once
// Wall-clock time in whole seconds since 1970-01-01 UTC, and differences of such times.
// Conditions and uninstall intervals count days as a difference divided by 86400.
#include <cstdint>

namespace kbase {

class KTimeSpan {
 public:
  constexpr KTimeSpan() = default;
  constexpr explicit KTimeSpan(int64_t seconds) : seconds_(seconds) {}

  constexpr int64_t Seconds() const { return seconds_; }
  // Whole days, truncated toward zero.
  constexpr int64_t Days() const { return seconds_ / kSecondsPerDay; }

  static constexpr int64_t kSecondsPerDay = 86400;

 private:
  int64_t seconds_ = 0;
};

class KTime {
 public:
  // The latest time the run-time library's 64-bit clock can express (3000-12-31 23:59:58).
  static constexpr int64_t kLatest = 32535244798;

  constexpr KTime() = default;
  constexpr explicit KTime(int64_t seconds) : seconds_(seconds) {}

  // The current time. A clock answer outside 0 to kLatest (a broken or absurd clock)
  // becomes 2000-01-01 00:00:00 local time, so day counts stay finite.
  static KTime Now();
  // `seconds` when it lies in 0 to kLatest, else 2000-01-01 00:00:00 local time.
  static KTime FromClock(int64_t seconds);

  constexpr int64_t Seconds() const { return seconds_; }

  constexpr KTimeSpan operator-(const KTime& earlier) const {
    return KTimeSpan(seconds_ - earlier.seconds_);
  }
  constexpr bool operator<(const KTime& other) const { return seconds_ < other.seconds_; }
  constexpr bool operator==(const KTime& other) const { return seconds_ == other.seconds_; }
  constexpr bool operator!=(const KTime& other) const { return seconds_ != other.seconds_; }

 private:
  int64_t seconds_ = 0;
};

}  // namespace kbase
