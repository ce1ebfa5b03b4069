// Launches as the desktop user under Wine, which has no Terminal Services session
// (enumeration succeeds with none) and runs "explorer.exe" only while some program has
// a window. The program started is the stand-in that records its command line, its
// token's elevation type, its window state and its desktop. Tests that need no shell
// come first; the shell tests make a window and come last.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/win/scoped_handle.h"
#include "download/launch_test_util.h"
#include "download/user_launch.h"
#include "support/win_test_util.h"

namespace kbase {
namespace {

using test::CopyPackage;
using test::FileExists;
using test::TempFolder;
using test::Utf8;
using test::WaitForRecord;

class UserLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A space in the folder shows that the path is quoted.
    ASSERT_TRUE(CreateDirectoryW(folder_.File(L"a b").c_str(), nullptr));
    ASSERT_TRUE(CopyPackage(L"record_args_exe.exe", program_));
  }

  std::string Quoted() const { return "\"" + Utf8(program_) + "\" "; }

  TempFolder folder_;
  const std::wstring program_ = folder_.File(L"a b\\setup.exe");
  const std::wstring command_line_record_ = program_ + L".cmdline";
  const std::wstring state_record_ = program_ + L".state";
};

TEST_F(UserLaunchTest, TheProgramGetsTheQuotedPathASpaceAndTheArguments) {
  const wchar_t* const arguments[] = {
      L"",
      L"x",
      L"  two leading spaces",
      L"/autoinstall ##silence=0&installpath=\"C:\\A B\\\"&hwnd=1a2b",
      L"\x5B89\x88C5 -tod1:336",
  };
  for (const wchar_t* args : arguments) {
    SCOPED_TRACE(Utf8(args));
    DeleteFileW(command_line_record_.c_str());
    EXPECT_EQ(LaunchProcess(1, program_, args, 30000), 1);
    // The wait ended with the program, so the record is already there.
    EXPECT_TRUE(FileExists(command_line_record_));
    EXPECT_EQ(WaitForRecord(command_line_record_), Quoted() + Utf8(args));
    EXPECT_EQ(MakeLaunchCommandLine(program_, args), L"\"" + program_ + L"\" " + args);
  }
}

TEST_F(UserLaunchTest, LaunchProcessAsksForShowDefaultOrHidden) {
  for (int show : {1, 0}) {
    DeleteFileW(state_record_.c_str());
    DeleteFileW(command_line_record_.c_str());
    ASSERT_EQ(LaunchProcess(show, program_, L"", 30000), 1);
    EXPECT_EQ(WaitForRecord(state_record_),
              std::string("elevation=2 show=") + (show ? "10" : "0") + " desktop=");
  }
}

TEST_F(UserLaunchTest, LaunchProcessWaitsOnlyAsLongAsAsked) {
  struct Case {
    DWORD wait_ms;
    const wchar_t* args;
    DWORD returns_within_ms;
  };
  // The program sleeps 3 s before it writes its record.
  const Case cases[] = {{0, L"sleep=3000", 1500}, {300, L"sleep=3000", 2000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wait_ms);
    DeleteFileW(command_line_record_.c_str());
    const DWORD start = GetTickCount();
    EXPECT_EQ(LaunchProcess(0, program_, c.args, c.wait_ms), 1);
    EXPECT_LT(GetTickCount() - start, c.returns_within_ms);
    EXPECT_FALSE(FileExists(command_line_record_));
    EXPECT_EQ(WaitForRecord(command_line_record_), Quoted() + Utf8(c.args));
  }
}

TEST_F(UserLaunchTest, LaunchProcessOfAMissingProgramGivesZero) {
  EXPECT_EQ(LaunchProcess(1, folder_.File(L"missing.exe"), L"x", 0), 0);
  EXPECT_EQ(LaunchProcess(1, L"", L"x", 0), 0);
}

TEST_F(UserLaunchTest, AnEmptyPathStartsNothing) {
  EXPECT_EQ(LaunchInUserSession(L"", L"x", 1), 0);
  EXPECT_EQ(LaunchWithSessionToken(L"", L"x", 1), 0);
}

// The attributes of the Administrators group in a token; 0 when it is not there.
DWORD AdministratorsAttributes(HANDLE token) {
  DWORD size = 0;
  GetTokenInformation(token, TokenGroups, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size);
  if (size == 0 || !GetTokenInformation(token, TokenGroups, buffer.data(), size, &size)) return 0;
  const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
  for (DWORD i = 0; i < groups->GroupCount; ++i) {
    const SID* sid = static_cast<const SID*>(groups->Groups[i].Sid);
    if (sid->SubAuthorityCount == 2 && sid->SubAuthority[0] == SECURITY_BUILTIN_DOMAIN_RID &&
        sid->SubAuthority[1] == DOMAIN_ALIAS_RID_ADMINS) {
      return groups->Groups[i].Attributes;
    }
  }
  return 0;
}

TEST(IsTokenAdmin, LooksForTheAdministratorsGroupEnabledOrNot) {
  HANDLE raw = nullptr;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &raw));
  const ScopedHandle own(raw);
  EXPECT_TRUE(IsTokenAdmin(own.get()));  // Wine's user is an elevated administrator

  // The same token with the Administrators group turned into a deny-only group.
  SID_IDENTIFIER_AUTHORITY nt_authority = SECURITY_NT_AUTHORITY;
  void* administrators = nullptr;
  ASSERT_TRUE(AllocateAndInitializeSid(&nt_authority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                       DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                       &administrators));
  SID_AND_ATTRIBUTES disabled = {administrators, 0};
  raw = nullptr;
  const BOOL restricted_made =
      CreateRestrictedToken(own.get(), 0, 1, &disabled, 0, nullptr, 0, nullptr, &raw);
  FreeSid(administrators);
  ASSERT_TRUE(restricted_made);
  const ScopedHandle restricted(raw);
  EXPECT_EQ(AdministratorsAttributes(restricted.get()) & SE_GROUP_USE_FOR_DENY_ONLY,
            static_cast<DWORD>(SE_GROUP_USE_FOR_DENY_ONLY));
  EXPECT_TRUE(IsTokenAdmin(restricted.get()));

  EXPECT_FALSE(IsTokenAdmin(nullptr));
  const ScopedHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  EXPECT_FALSE(IsTokenAdmin(event.get()));
}

// No active session and no shell: every token source fails and the user launches
// start nothing.
TEST_F(UserLaunchTest, WithoutADesktopUserTheUserLaunchesStartNothing) {
  ASSERT_TRUE(test::EndShell()) << "explorer.exe keeps running";
  ScopedHandle token;
  EXPECT_EQ(GetActiveSessionUserToken(&token), static_cast<DWORD>(ERROR_NOT_FOUND));
  EXPECT_FALSE(token.valid());
  // The snapshot finds no shell, so process id 0 is opened.
  EXPECT_EQ(GetShellProcessToken(&token), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(token.valid());
  EXPECT_EQ(GetFullSessionToken(&token), -1);
  EXPECT_EQ(GetSessionToken(&token), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(token.valid());
  // No active session to move the installer's token into.
  EXPECT_EQ(GetOwnTokenInActiveSession(&token), -1);
  EXPECT_FALSE(token.valid());

  EXPECT_EQ(LaunchInUserSession(program_, L"a", 1), 0);
  EXPECT_EQ(LaunchWithSessionToken(program_, L"b", 1), 0);
  EXPECT_EQ(LaunchWithShellToken(program_, L"c"), 0);
  Sleep(1000);
  EXPECT_FALSE(FileExists(command_line_record_)) << "a launch that gave 0 started the program";
}

// With a shell its owner's token is the desktop user's; Wine gives the shell the same
// elevated administrator token as every program, so it is used as it is.
TEST_F(UserLaunchTest, WithAShellTheUserLaunchesUseItsOwnersToken) {
  test::ShellWindow shell;
  ASSERT_TRUE(test::ShellRunning());
  ScopedHandle token;
  EXPECT_EQ(GetActiveSessionUserToken(&token), static_cast<DWORD>(ERROR_NOT_FOUND));
  EXPECT_EQ(GetShellProcessToken(&token), 0u);
  ASSERT_TRUE(token.valid());
  EXPECT_TRUE(IsTokenAdmin(token.get()));
  EXPECT_EQ(GetFullSessionToken(&token), 0);
  TOKEN_ELEVATION_TYPE elevation = TokenElevationTypeDefault;
  DWORD size = 0;
  ASSERT_TRUE(GetTokenInformation(token.get(), TokenElevationType, &elevation, sizeof elevation,
                                  &size));
  EXPECT_EQ(elevation, TokenElevationTypeFull) << "the full token kept, not its limited half";
  EXPECT_EQ(GetSessionToken(&token), 0u);
  EXPECT_TRUE(token.valid());

  struct Case {
    const char* name;
    int (*launch)(const std::wstring& path, const std::wstring& args, int show);
    const wchar_t* args;
    int show;
    const char* state;
  };
  const Case cases[] = {
      {"in user session, shown", LaunchInUserSession, L"", 1,
       "elevation=2 show=5 desktop=Winsta0\\Default"},
      {"in user session, hidden", LaunchInUserSession, L"/autoinstall ##silence=0", 0,
       "elevation=2 show=0 desktop=Winsta0\\Default"},
      {"with session token", LaunchWithSessionToken, L"x y", 1,
       "elevation=2 show=5 desktop=Winsta0\\Default"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteFileW(command_line_record_.c_str());
    DeleteFileW(state_record_.c_str());
    EXPECT_NE(c.launch(program_, c.args, c.show), 0);
    EXPECT_EQ(WaitForRecord(command_line_record_), Quoted() + Utf8(c.args));
    EXPECT_EQ(WaitForRecord(state_record_), c.state);
  }

  // The shell launch cuts its command line to 1023 characters and asks for nothing.
  DeleteFileW(command_line_record_.c_str());
  DeleteFileW(state_record_.c_str());
  const std::wstring long_args = L"http://127.0.0.1/?q=" + std::wstring(2000, L'a');
  EXPECT_NE(LaunchWithShellToken(program_, long_args), 0);
  const std::string expected = (Quoted() + Utf8(long_args)).substr(0, 1023);
  EXPECT_EQ(WaitForRecord(command_line_record_), expected);
  EXPECT_EQ(WaitForRecord(state_record_), "elevation=2 show=-1 desktop=");
}

}  // namespace
}  // namespace kbase
