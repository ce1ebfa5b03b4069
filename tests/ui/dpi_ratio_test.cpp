// The DPI ratio and the choice of DPI image variants.
#include <gtest/gtest.h>

#include <set>

#include "ui/vw_dpi_ratio.h"

namespace kbase {
namespace {

TEST(DpiRatio, ChoosesTheLargestSupportedRatioNotAbove) {
  const std::vector<double> standard = ParseSupportedRatios("1.0|1.2|1.5");
  const struct {
    int dpi;
    std::vector<double> supported;
    double expected;
  } cases[] = {
      {96, standard, 1.0},   {144, standard, 1.5},  {120, standard, 1.2},
      {110, standard, 1.0},  {192, standard, 1.5},  {72, standard, 1.0},
      {144, ParseSupportedRatios("1.0|1.25"), 1.25}, {120, ParseSupportedRatios("1.25"), 1.25},
      {110, ParseSupportedRatios("1.25|2.0"), 1.0},  // none is at or below 1.146
      {144, {}, 1.0},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(ChooseDpiRatio(c.dpi, c.supported), c.expected) << c.dpi;
}

TEST(DpiRatio, ParsesSupportedRatios) {
  EXPECT_EQ(ParseSupportedRatios("1.0|1.2|1.5"), (std::vector<double>{1.0, 1.2, 1.5}));
  EXPECT_EQ(ParseSupportedRatios("x|1.25||-2|0"), (std::vector<double>{1.25}));
  EXPECT_TRUE(ParseSupportedRatios("").empty());
}

TEST(DpiRatio, FallbackImageVariant) {
  const std::vector<double> supported = {1.0, 1.2, 1.5, 1.8, 2.0};
  const struct {
    double current;
    std::set<double> files;
    double expected;
  } cases[] = {
      {1.5, {1.2}, 1.2},       // distance 0.3 <= 0.5
      {1.2, {1.5}, 0.0},       // distance 0.3 > 0.2: no variant
      {1.5, {1.2, 1.8}, 1.8},  // tie: the larger
      {1.5, {1.2, 2.0}, 1.2},  // the nearer
      {1.5, {1.0}, 0.0},       // 1.0 itself is never a variant
      {2.0, {1.2, 1.5}, 1.5},
      {1.5, {}, 0.0},
  };
  for (const auto& c : cases) {
    const double chosen = ChooseFallbackImageRatio(c.current, supported, [&](double s) { return c.files.count(s) != 0; });
    EXPECT_DOUBLE_EQ(chosen, c.expected) << c.current;
  }
  EXPECT_EQ(ScaleByRatio(21, 1.5), 31);
  EXPECT_EQ(ScaleByRatio(-21, 1.5), -31);
}

}  // namespace
}  // namespace kbase
