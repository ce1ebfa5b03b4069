#pragma once
// Choice of the DPI scale ratio and of the DPI image variant, without Win32.
#include <functional>
#include <string>
#include <vector>

namespace kbase {

// "1.0|1.2|1.5" -> {1.0, 1.2, 1.5}; items that are not numbers above 0 are dropped.
std::vector<double> ParseSupportedRatios(const std::string& text);

// The largest supported ratio not above dpi / 96; 1.0 when none is, or when dpi / 96 is
// below 1.0.
double ChooseDpiRatio(int dpi, const std::vector<double>& supported);

// The ratio of the DPI image to use at ratio `current` when no image exists for that
// ratio itself: among the supported ratios s != current, s > 1.0, whose image exists,
// the nearest one (the larger on a tie), used only when |current - 1| is not smaller
// than its distance. 0 when there is none.
double ChooseFallbackImageRatio(double current, const std::vector<double>& supported,
                                const std::function<bool(double)>& image_exists);

// Integer scaling, truncated toward zero.
int ScaleByRatio(int value, double ratio);

// Two ratios that were written with one decimal are the same ratio.
bool SameRatio(double a, double b);

}  // namespace kbase
