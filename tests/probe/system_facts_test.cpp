// System facts under Wine: the prefix's own answers, and a helper program run under the
// Windows versions Wine can pretend to be (its per-program "Version" setting).
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>
#include <vector>

#include "common/win/scoped_handle.h"
#include "config/windows_bitness.h"
#include "probe/system_facts.h"
#include "support/win_test_util.h"

namespace kbase {
namespace {

TEST(SystemFacts, SixtyFourBitProcessOnSixtyFourBitWine) {
  EXPECT_TRUE(Is64BitProcessor());
  EXPECT_FALSE(IsWow64());  // a 64-bit process is no WOW64 guest
  EXPECT_TRUE(IsWindows64Bit());
}

TEST(SystemFacts, FirstUsersOnManyThreadsAgree) {
  std::vector<std::thread> threads;
  std::vector<int> answers(8, -1);
  for (size_t i = 0; i < answers.size(); ++i) {
    threads.emplace_back([&answers, i] { answers[i] = IsWow64() ? 1 : 0; });
  }
  for (std::thread& thread : threads) thread.join();
  for (int answer : answers) EXPECT_EQ(answer, 0);
}

// The test session's prefix is set to Windows 10, and this program has no compatibility
// manifest: the version query says 6.2, the kernel says 10.0.
TEST(SystemFacts, WindowsTenReportedAsSixTwoIsKindTwelve) {
  OSVERSIONINFOEXW reported = {};
  reported.dwOSVersionInfoSize = sizeof(reported);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  ASSERT_TRUE(GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&reported)));
#pragma GCC diagnostic pop
  EXPECT_EQ(reported.dwMajorVersion, 6u);
  EXPECT_EQ(reported.dwMinorVersion, 2u);
  unsigned major = 0, minor = 0;
  ASSERT_TRUE(GetTrueNtVersion(&major, &minor));
  EXPECT_EQ(major, 10u);
  EXPECT_EQ(minor, 0u);
  EXPECT_EQ(GetRawOsKind(), kOsWin10);
  EXPECT_EQ(GetServicePackMajor(), 0);
  EXPECT_EQ(GetOsCode(), 20);
}

TEST(SystemFacts, KernelFileVersionIsTheFallbackSource) {
  wchar_t folder[MAX_PATH] = {};
  ASSERT_GT(GetSystemDirectoryW(folder, MAX_PATH), 0u);
  unsigned major = 0, minor = 0;
  ASSERT_TRUE(GetFileMajorMinorVersion(std::wstring(folder) + L"\\ntoskrnl.exe", &major, &minor));
  EXPECT_GE(major, 5u);
  EXPECT_FALSE(GetFileMajorMinorVersion(std::wstring(folder) + L"\\no-such-file.exe", &major,
                                        &minor));
}

// Sets the helper's pretended Windows version for as long as it lives.
class PretendedVersion {
 public:
  explicit PretendedVersion(const wchar_t* version) {
    RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                    key_.receive(), nullptr);
    RegSetValueExW(key_.get(), L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                   static_cast<DWORD>((wcslen(version) + 1) * sizeof(wchar_t)));
  }
  ~PretendedVersion() {
    key_.Reset();
    RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
  }

 private:
  static constexpr const wchar_t* kKey =
      L"Software\\Wine\\AppDefaults\\probe_os_facts_child.exe";
  ScopedKey key_;
};

TEST(SystemFacts, KindsAndCodesOfPretendedVersions) {
  struct Case {
    const wchar_t* version;
    int kind;
    int code;
  } cases[] = {
      // Without a compatibility manifest 8.1 and 10 report 6.2; the kernel tells them apart.
      {L"win10", kOsWin10, 20},
      {L"win81", kOsWin81, 18},
      {L"win8", kOsWin8, 16},
      // Wine's 7 and 2008 R2 profiles both report 6.1 with a server product type.
      {L"win7", kOsWinServer2008, 14},
      {L"vista", kOsWinVista, 10},
      {L"win2008", kOsWinServer2008, 14},
      {L"win2003", kOsWinServer2003, 5},
      {L"winxp", kOsWinXp, 8},  // SP3 on a 64-bit processor
      {L"win2k", kOsWin2000, 3},
      {L"winxp64", kOsWinServer2003, 5},  // XP x64 is NT 5.2
  };
  const std::wstring child = test::BesideThisProgram(L"probe_os_facts_child.exe");
  for (const Case& c : cases) {
    PretendedVersion pretend(c.version);
    EXPECT_EQ(test::RunProgram(child, L""), c.kind * 100 + c.code) << c.version;
  }
}

}  // namespace
}  // namespace kbase
