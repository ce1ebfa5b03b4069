#include "ui/vw_dpi_ratio.h"

#include <cmath>
#include <cstdlib>

namespace kbase {
namespace {
constexpr double kEpsilon = 1e-6;
}  // namespace

std::vector<double> ParseSupportedRatios(const std::string& text) {
  std::vector<double> ratios;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('|', start);
    if (end == std::string::npos) end = text.size();
    const std::string item = text.substr(start, end - start);
    char* stop = nullptr;
    const double value = std::strtod(item.c_str(), &stop);
    if (stop != item.c_str() && std::isfinite(value) && value > 0.0 && value < 100.0)
      ratios.push_back(value);
    start = end + 1;
  }
  return ratios;
}

double ChooseDpiRatio(int dpi, const std::vector<double>& supported) {
  const double raw = static_cast<double>(dpi) / 96.0;
  if (raw < 1.0) return 1.0;
  double best = 0.0;
  for (double s : supported) {
    if (s <= raw + kEpsilon && s > best) best = s;
  }
  return best > 0.0 ? best : 1.0;
}

double ChooseFallbackImageRatio(double current, const std::vector<double>& supported,
                                const std::function<bool(double)>& image_exists) {
  double chosen = 0.0;
  double distance = 0.0;
  for (double s : supported) {
    if (SameRatio(s, current) || s <= 1.0 + kEpsilon) continue;
    if (!image_exists(s)) continue;
    const double d = std::fabs(s - current);
    if (chosen == 0.0 || d < distance - kEpsilon || (std::fabs(d - distance) <= kEpsilon && s > chosen)) {
      chosen = s;
      distance = d;
    }
  }
  if (chosen == 0.0) return 0.0;
  if (std::fabs(current - 1.0) + kEpsilon < distance) return 0.0;
  return chosen;
}

int ScaleByRatio(int value, double ratio) {
  const double scaled = std::trunc(static_cast<double>(value) * ratio);
  if (scaled >= 2147483647.0) return 2147483647;
  if (scaled <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(scaled);
}

bool SameRatio(double a, double b) { return std::fabs(a - b) < 0.05 - kEpsilon; }

}  // namespace kbase
