// The OS tables: reported and true versions to raw kinds, raw kinds to OS codes, and
// the clock's sanity range.
#include <gtest/gtest.h>

#include <ctime>

#include "probe/k_time.h"
#include "probe/system_facts_rules.h"

namespace kbase {
namespace {

constexpr uint32_t k9x = 1, kNt = 2, kWorkstation = 1, kServer = 3, kDomainController = 2;

struct KindCase {
  const char* name;
  ReportedVersion reported;
  uint32_t true_major, true_minor;
  int kind;
};

TEST(SystemFactsRules, RawOsKindFromReportedAndTrueVersion) {
  const KindCase cases[] = {
      {"95", {k9x, 4, 0, kWorkstation}, 0, 0, kOsWin9x},
      {"98", {k9x, 4, 10, kWorkstation}, 0, 0, kOsWin9x},
      {"Me", {k9x, 4, 90, kWorkstation}, 0, 0, kOsWinMe},
      {"9x above 4.90", {k9x, 5, 0, kWorkstation}, 0, 0, kOsUnknown},
      {"NT 3.51", {kNt, 3, 51, kWorkstation}, 0, 0, kOsNt4},
      {"NT 4", {kNt, 4, 0, kServer}, 0, 0, kOsNt4},
      {"2000", {kNt, 5, 0, kWorkstation}, 0, 0, kOsWin2000},
      {"XP", {kNt, 5, 1, kWorkstation}, 0, 0, kOsWinXp},
      {"2003", {kNt, 5, 2, kServer}, 0, 0, kOsWinServer2003},
      {"NT 5.3", {kNt, 5, 3, kWorkstation}, 0, 0, kOsUnknown},
      {"Vista", {kNt, 6, 0, kWorkstation}, 0, 0, kOsWinVista},
      {"7", {kNt, 6, 1, kWorkstation}, 0, 0, kOsWin7},
      {"2008", {kNt, 6, 0, kServer}, 0, 0, kOsWinServer2008},
      {"2008 R2 domain controller", {kNt, 6, 1, kDomainController}, 0, 0, kOsWinServer2008},
      {"8", {kNt, 6, 2, kWorkstation}, 6, 2, kOsWin8},
      {"8.1 reported as 6.2", {kNt, 6, 2, kWorkstation}, 6, 3, kOsWin81},
      {"10 reported as 6.2", {kNt, 6, 2, kWorkstation}, 10, 0, kOsWin10},
      {"10 preview 6.4", {kNt, 6, 2, kWorkstation}, 6, 4, kOsWin10},
      {"10 with manifest", {kNt, 10, 0, kWorkstation}, 10, 0, kOsWin10},
      {"unknown true 6.5", {kNt, 6, 2, kWorkstation}, 6, 5, kOsWin8},
      {"unknown true 11.0", {kNt, 10, 0, kWorkstation}, 11, 0, kOsWin8},
      {"no true version", {kNt, 6, 2, kWorkstation}, 0, 0, kOsWin8},
      {"Server 2012", {kNt, 6, 2, kServer}, 6, 2, kOsUnknown},
      {"Server 2016", {kNt, 10, 0, kServer}, 10, 0, kOsUnknown},
      {"other platform", {3, 10, 0, kWorkstation}, 10, 0, kOsUnknown},
  };
  for (const KindCase& c : cases) {
    EXPECT_EQ(RawOsKindFromVersion(c.reported, c.true_major, c.true_minor), c.kind) << c.name;
  }
}

TEST(SystemFactsRules, OnlyWorkstationsFrom62AskTheKernel) {
  EXPECT_TRUE(NeedsTrueVersion({kNt, 6, 2, kWorkstation}));
  EXPECT_TRUE(NeedsTrueVersion({kNt, 7, 0, kWorkstation}));
  EXPECT_FALSE(NeedsTrueVersion({kNt, 6, 1, kWorkstation}));
  EXPECT_FALSE(NeedsTrueVersion({kNt, 6, 3, kServer}));
  EXPECT_FALSE(NeedsTrueVersion({k9x, 6, 2, kWorkstation}));
}

struct CodeCase {
  const char* name;
  int kind;
  bool processor64;
  int service_pack;
  int code;
};

TEST(SystemFactsRules, OsCodeFromRawKind) {
  const CodeCase cases[] = {
      {"95", 1, false, 0, 1},         {"Me", 2, true, 0, 2},
      {"2000", 3, false, 4, 3},       {"NT 4", 4, false, 6, 4},
      {"2003", 5, true, 2, 5},        {"XP SP2 32", 6, false, 2, 27},
      {"XP SP3 32", 6, false, 3, 28}, {"XP SP2 64", 6, true, 2, 7},
      {"XP SP3 64", 6, true, 3, 8},   {"XP SP4 64", 6, true, 4, 8},
      {"Vista 32", 7, false, 0, 9},   {"Vista 64", 7, true, 2, 10},
      {"7 32", 8, false, 1, 11},      {"7 64", 8, true, 1, 12},
      {"2008 32", 9, false, 0, 13},   {"2008 64", 9, true, 0, 14},
      {"8 32", 10, false, 0, 15},     {"8 64", 10, true, 0, 16},
      {"8.1 32", 11, false, 0, 17},   {"8.1 64", 11, true, 0, 18},
      {"10 32", 12, false, 0, 19},    {"10 64", 12, true, 0, 20},
      {"unknown", 0, true, 3, 0},     {"out of range", 13, true, 0, 0},
      {"negative", -1, false, 0, 0},
  };
  for (const CodeCase& c : cases) {
    EXPECT_EQ(OsCodeFromRawKind(c.kind, c.processor64, c.service_pack), c.code) << c.name;
  }
}

TEST(SystemFactsRules, SixtyFourBitArchitectures) {
  for (uint16_t architecture = 0; architecture < 20; ++architecture) {
    const bool expected = architecture == 6 || architecture == 7 || architecture == 9;
    EXPECT_EQ(IsArchitecture64(architecture), expected) << architecture;
  }
  EXPECT_FALSE(IsArchitecture64(0xFFFF));  // PROCESSOR_ARCHITECTURE_UNKNOWN
}

TEST(KTime, ClockOutsideRangeBecomesLocalMillenniumStart) {
  std::tm start = {};
  start.tm_year = 100;
  start.tm_mday = 1;
  start.tm_isdst = -1;
  const int64_t millennium = static_cast<int64_t>(std::mktime(&start));
  EXPECT_EQ(KTime::FromClock(-1).Seconds(), millennium);
  EXPECT_EQ(KTime::FromClock(KTime::kLatest + 1).Seconds(), millennium);
  EXPECT_EQ(KTime::FromClock(0).Seconds(), 0);
  EXPECT_EQ(KTime::FromClock(KTime::kLatest).Seconds(), KTime::kLatest);
  EXPECT_EQ(KTime::FromClock(1700000000).Seconds(), 1700000000);
}

TEST(KTime, NowIsTheClockAndSpansCountWholeDays) {
  const int64_t before = static_cast<int64_t>(std::time(nullptr));
  const KTime now = KTime::Now();
  EXPECT_GE(now.Seconds(), before);
  EXPECT_LE(now.Seconds(), before + 5);

  const KTime then(1000);
  EXPECT_EQ((KTime(1000 + 3 * 86400 + 86399) - then).Days(), 3);
  EXPECT_EQ((KTime(1000 + 86400) - then).Days(), 1);
  EXPECT_EQ((then - KTime(1000 + 86399)).Days(), 0);  // truncated toward zero
  EXPECT_EQ((then - KTime(1000 + 2 * 86400)).Seconds(), -2 * 86400);
  EXPECT_TRUE(then < now);
}

}  // namespace
}  // namespace kbase
