// The self-update under Wine. A helper plays the installer (signed by the build with the
// test publisher's certificate, or left unsigned); the loopback server at the update host
// serves the update information, the newer build and the telemetry endpoint, whose
// update reports are decoded. The newer builds are the recording stand-in: signed by the
// same certificate, by a stranger's certificate with the same name and serial number, or
// not at all.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

#include "build_settings.h"
#include "common/codec/md5.h"
#include "common/win/scoped_handle.h"
#include "config/registry_keys.h"
#include "dialogs/self_update.h"
#include "probe/machine_identity.h"
#include "report/report_decoder.h"
#include "report/report_endpoint.h"
#include "support/http_test_server.h"
#include "support/win_test_util.h"

namespace kbase {
namespace {

using test::TempFolder;

constexpr char kBuildPath[] = "/builds/new.exe";
constexpr char kInformationPath[] = "/defend/o1/jcqgx.ini";

// The installer helpers and the builds, beside this test.
constexpr wchar_t kSignedInstaller[] = L"self_update_runner.exe";
constexpr wchar_t kUnsignedInstaller[] = L"self_update_runner_unsigned.exe";
constexpr wchar_t kOwnBuild[] = L"update_build_own.exe";
constexpr wchar_t kStrangerBuild[] = L"update_build_stranger.exe";
constexpr wchar_t kUnsignedBuild[] = L"..\\download\\record_args_exe.exe";

unsigned short LoopbackPort(const std::string& host) {
  const std::string prefix = "127.0.0.1:";
  if (host.compare(0, prefix.size(), prefix) != 0) return 0;
  return static_cast<unsigned short>(std::atoi(host.c_str() + prefix.size()));
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::string ReadProgram(const wchar_t* name) {
  std::string bytes;
  EXPECT_TRUE(test::ReadWholeFile(test::BesideThisProgram(name), &bytes)) << Narrow(name);
  return bytes;
}

// The install id as the public block carries it: its 32 hexadecimal digits as 16 bytes.
std::string InstallIdBytes(const std::wstring& id) {
  std::string bytes;
  for (size_t i = 0; i + 1 < id.size(); i += 2) {
    bytes.push_back(static_cast<char>(std::wcstoul(id.substr(i, 2).c_str(), nullptr, 16)));
  }
  return bytes;
}

std::string DigestOf(const std::string& bytes) {
  return Md5ToHex(Md5Of(bytes.data(), bytes.size()));
}

std::wstring TempPath() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return temp;
}

void ForgetRecordedBuild() {
  ScopedKey key;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kInstallerRecordsKey, 0, KEY_SET_VALUE, key.receive()) ==
      ERROR_SUCCESS) {
    RegDeleteValueW(key.get(), kUpdateRecordValue);
  }
}

void RecordBuild(const std::wstring& path) {
  ScopedKey key;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, kInstallerRecordsKey, 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, key.receive(), nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExW(key.get(), kUpdateRecordValue, 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(path.c_str()),
                           static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

std::wstring RecordedBuild() {
  ScopedKey key;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kInstallerRecordsKey, 0, KEY_QUERY_VALUE,
                    key.receive()) != ERROR_SUCCESS) {
    return {};
  }
  wchar_t text[MAX_PATH * 2] = {};
  DWORD size = sizeof text - sizeof(wchar_t);
  if (RegQueryValueExW(key.get(), kUpdateRecordValue, nullptr, nullptr,
                       reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS) {
    return {};
  }
  return text;
}

struct RunResult {
  int check = -9;
  int start = -9;
  int child_done = -9;
};

struct UpdateReport {
  uint32_t state;
  uint32_t detail;
  uint32_t download_error;
  std::string install_id;
};

class SelfUpdateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const unsigned short port = LoopbackPort(kUpdateHost);
    if (port == 0) GTEST_SKIP() << "the update host is not a loopback address";
    ASSERT_EQ(LoopbackPort(kReportHost), port) << "reports are expected on the same server";
    ASSERT_TRUE(server_.Start(port));
    server_.Serve("/c/", test::TelemetryEndpoint::Confirming());
    ForgetRecordedBuild();
  }

  void TearDown() override {
    ForgetRecordedBuild();
    // A started build may still be ending; its file cannot be removed before that.
    Sleep(200);
  }

  void ServeBuild(const std::string& bytes) {
    test::HttpResponse build;
    build.body = bytes;
    server_.Serve(kBuildPath, build);
  }

  // The update information with these keys; an empty value leaves the key out.
  void ServeInformation(const std::string& url, const std::string& md5, const std::wstring& dir,
                        const std::string& probability) {
    std::string text = "[UiExe]\r\n";
    if (!url.empty()) text += "url=" + url + "\r\n";
    if (!md5.empty()) text += "md5=" + md5 + "\r\n";
    if (!dir.empty()) text += "dir=" + Narrow(dir) + "\r\n";
    if (!probability.empty()) text += "probability=" + probability + "\r\n";
    test::HttpResponse information;
    information.body = text;
    server_.Serve(kInformationPath, information);
  }
  // Information for the build served at kBuildPath, stored in store_, always selected.
  void ServeInformationFor(const std::string& build) {
    ServeBuild(build);
    ServeInformation(BuildUrl(), DigestOf(build), store_.path(), "10000");
  }
  std::string BuildUrl() const { return "http://" + server_.Host() + kBuildPath; }

  // Copies an installer helper into install_ as `name` and runs it with `arguments`.
  RunResult RunInstaller(const wchar_t* installer, const wchar_t* name,
                         const std::wstring& arguments) {
    const std::wstring path = install_.File(name);
    EXPECT_TRUE(CopyFileW(test::BesideThisProgram(installer).c_str(), path.c_str(), FALSE));
    EXPECT_EQ(test::RunProgram(path, arguments), 0);
    std::string text;
    RunResult result;
    if (test::ReadWholeFile(path + L".result", &text)) {
      sscanf(text.c_str(), "check=%d start=%d child_done=%d", &result.check, &result.start,
             &result.child_done);
    }
    return result;
  }

  // The update reports received so far.
  std::vector<UpdateReport> Reports() const {
    std::vector<UpdateReport> reports;
    for (const auto& request : server_.RequestsFor("/c/")) {
      KDirectVestat::DecodedMessage message;
      std::string error;
      EXPECT_TRUE(KDirectVestat::DecodeMessage(request.body, &message, &error)) << error;
      if (message.blocks.size() != 2 || message.blocks[1].table_id != 4033) continue;
      const auto& block = message.blocks[1];
      reports.push_back({block.Number("outcome"), block.Number("detail"),
                         block.Number("download_error"), message.blocks[0].Text("install_id")});
    }
    return reports;
  }
  // Exactly one report, with this state, detail and download error and this machine's
  // install id.
  void ExpectReport(uint32_t state, uint32_t detail, uint32_t download_error) const {
    const std::vector<UpdateReport> reports = Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].state, state);
    EXPECT_EQ(reports[0].detail, detail);
    EXPECT_EQ(reports[0].download_error, download_error);
    EXPECT_EQ(reports[0].install_id, InstallIdBytes(GetInstallId()));
  }

  size_t Fetches(const std::string& path) const {
    size_t count = 0;
    for (const auto& request : server_.RequestsFor(path)) count += request.method == "GET";
    return count;
  }

  // What a started build recorded beside itself; empty when it did not run.
  static std::string Recorded(const std::wstring& build, const wchar_t* suffix) {
    std::string text;
    test::ReadWholeFile(build + suffix, &text);
    return text;
  }

  test::HttpTestServer server_;
  TempFolder install_;  // where the installer runs from
  TempFolder store_;    // the update information's "dir"
};

TEST_F(SelfUpdateTest, SameSignerBuildStartsWithTheCommandLineAndIsWaitedFor) {
  ServeInformationFor(ReadProgram(kOwnBuild));
  // The build sleeps before it records: its record exists at the start's return only when
  // the installer waited.
  const RunResult run =
      RunInstaller(kSignedInstaller, L"setup.exe", L"-cid=5 \"a b\" sleep=300");
  EXPECT_EQ(run.check, 1);
  EXPECT_EQ(run.start, 1);
  EXPECT_EQ(run.child_done, 1);
  const std::wstring build = store_.File(L"setup.bak.exe");
  EXPECT_EQ(Recorded(build, L".cmdline"),
            "\"" + Narrow(build) + "\" -cid=5 \"a b\" sleep=300 -update:0");
  EXPECT_NE(Recorded(build, L".state").find("show=0"), std::string::npos);  // hidden
  EXPECT_EQ(RecordedBuild(), build);
  EXPECT_EQ(Fetches(kBuildPath), 1u);
  ExpectReport(kUpdateReady, 0, 0);
  // The information file is removed once read.
  EXPECT_FALSE(test::FileExists(TempPath() + L"jcqgx.ini"));
}

TEST_F(SelfUpdateTest, BuildsWithoutTheInstallersSignerAreRefused) {
  std::string tampered = ReadProgram(kOwnBuild);
  tampered[0x500] ^= 0x01;  // code, covered by the image digest
  const struct {
    const char* name;
    std::string build;
  } cases[] = {
      {"signed by a stranger with the same name and serial", ReadProgram(kStrangerBuild)},
      {"unsigned", ReadProgram(kUnsignedBuild)},
      {"same signer, changed after signing", tampered},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    server_.ClearRequests();
    ServeInformationFor(c.build);  // the digest matches: only the signature refuses it
    const RunResult run = RunInstaller(kSignedInstaller, L"setup.exe", L"-x");
    EXPECT_EQ(run.check, 0);
    EXPECT_EQ(run.start, -1);
    EXPECT_EQ(Fetches(kBuildPath), 1u);
    ExpectReport(kUpdateBuildRefused, 0, 0);
    EXPECT_EQ(RecordedBuild(), L"");
    EXPECT_EQ(Recorded(store_.File(L"setup.bak.exe"), L".cmdline"), "");
  }
}

TEST_F(SelfUpdateTest, UnsignedInstallerChecksTheDigestAlone) {
  const std::string build = ReadProgram(kUnsignedBuild);
  ServeBuild(build);
  ServeInformation(BuildUrl(), std::string(32, '0'), store_.path(), "10000");
  RunResult run = RunInstaller(kUnsignedInstaller, L"setup.exe", L"-x");
  EXPECT_EQ(run.check, 0);
  ExpectReport(kUpdateBuildRefused, 0, 0);

  server_.ClearRequests();
  ServeInformationFor(build);
  run = RunInstaller(kUnsignedInstaller, L"setup.exe", L"-x");
  EXPECT_EQ(run.check, 1);
  EXPECT_EQ(run.start, 1);
  ExpectReport(kUpdateReady, 0, 0);
  EXPECT_EQ(Recorded(store_.File(L"setup.bak.exe"), L".cmdline"),
            "\"" + Narrow(store_.File(L"setup.bak.exe")) + "\" -x -update:0");
}

TEST_F(SelfUpdateTest, ProbabilityZeroNeverUpdates) {
  ServeBuild(ReadProgram(kOwnBuild));
  ServeInformation(BuildUrl(), DigestOf(ReadProgram(kOwnBuild)), store_.path(), "0");
  const RunResult run = RunInstaller(kSignedInstaller, L"setup.exe", L"");
  EXPECT_EQ(run.check, 0);
  EXPECT_EQ(Fetches(kBuildPath), 0u);
  ExpectReport(kUpdateNotSelected, 0, 0);
}

TEST_F(SelfUpdateTest, SwitchFileTurnsTheUpdateOffUnlessItSaysOne) {
  const struct {
    const char* value;
    bool runs;
  } cases[] = {{"0", false}, {"2", false}, {"1", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    server_.ClearRequests();
    ServeInformation(BuildUrl(), std::string(32, '0'), store_.path(), "0");
    ASSERT_TRUE(test::WriteWholeFile(install_.File(L"jcqgxkg.ini"),
                                     std::string("[updatecheck]\r\nswitch=") + c.value + "\r\n"));
    const RunResult run = RunInstaller(kSignedInstaller, L"setup.exe", L"");
    EXPECT_EQ(run.check, 0);
    EXPECT_EQ(Fetches(kInformationPath), c.runs ? 1u : 0u);
    ExpectReport(c.runs ? kUpdateNotSelected : kUpdateSwitchedOff, 0, 0);
  }
}

TEST_F(SelfUpdateTest, IncompleteOrMissingInformationGivesStateTwo) {
  const std::string digest(32, 'A');
  const struct {
    const char* name;
    std::string url, md5;
    bool dir;
    int status;
    uint32_t detail;
  } cases[] = {
      {"no dir", "http://x/a.exe", digest, false, 200, 355},
      {"no url", "", digest, true, 200, 354},
      {"no md5", "http://x/a.exe", "", true, 200, 356},
      {"not served", "http://x/a.exe", digest, true, 404, 404},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    server_.ClearRequests();
    ServeInformation(c.url, c.md5, c.dir ? store_.path() : L"", "10000");
    if (c.status != 200) {
      test::HttpResponse missing;
      missing.status = c.status;
      server_.Serve(kInformationPath, missing);
    }
    const RunResult run = RunInstaller(kSignedInstaller, L"setup.exe", L"");
    EXPECT_EQ(run.check, 0);
    ExpectReport(kUpdateNoInformation, c.detail, 0);
    EXPECT_FALSE(test::FileExists(TempPath() + L"jcqgx.ini"));
  }
}

TEST_F(SelfUpdateTest, RecordedVerifiedBuildIsStartedWithoutDownload) {
  TempFolder kept;
  const std::wstring recorded = kept.File(L"kept.exe");
  ASSERT_TRUE(CopyFileW(test::BesideThisProgram(kOwnBuild).c_str(), recorded.c_str(), FALSE));
  RecordBuild(recorded);
  ServeInformationFor(ReadProgram(kOwnBuild));
  const RunResult run = RunInstaller(kSignedInstaller, L"setup.exe", L"-y");
  EXPECT_EQ(run.check, 1);
  EXPECT_EQ(run.start, 1);
  EXPECT_EQ(Fetches(kBuildPath), 0u);
  ExpectReport(kUpdateReady, 0, 0);
  // The verified file is the one started.
  EXPECT_EQ(Recorded(recorded, L".cmdline"), "\"" + Narrow(recorded) + "\" -y -update:0");
  EXPECT_FALSE(test::FileExists(store_.File(L"setup.bak.exe")));
}

TEST_F(SelfUpdateTest, RecordedBuildOfAnotherSignerIsDownloadedAgain) {
  TempFolder kept;
  const std::wstring recorded = kept.File(L"kept.exe");
  ASSERT_TRUE(
      CopyFileW(test::BesideThisProgram(kStrangerBuild).c_str(), recorded.c_str(), FALSE));
  RecordBuild(recorded);
  // The record matches the digest but not the signer, so it is not taken and the build is
  // fetched again (and then refused, as the served one has another digest).
  ServeBuild(ReadProgram(kOwnBuild));
  ServeInformation(BuildUrl(), DigestOf(ReadProgram(kStrangerBuild)), store_.path(), "10000");
  const RunResult run = RunInstaller(kSignedInstaller, L"setup.exe", L"");
  EXPECT_EQ(run.check, 0);
  EXPECT_EQ(Fetches(kBuildPath), 1u);  // the record was not taken
  ExpectReport(kUpdateBuildRefused, 0, 0);
  EXPECT_EQ(RecordedBuild(), recorded);
  EXPECT_EQ(Recorded(recorded, L".cmdline"), "");
}

TEST_F(SelfUpdateTest, FailedDownloadReportsItsResultAndError) {
  ServeInformation("http://" + server_.Host() + "/builds/missing.exe", std::string(32, '0'),
                   store_.path(), "10000");
  const RunResult run = RunInstaller(kSignedInstaller, L"setup.exe", L"");
  EXPECT_EQ(run.check, 0);
  ExpectReport(kUpdateDownloadFailed, 250, 404);
}

TEST_F(SelfUpdateTest, ProgramNameWithoutADotGivesNoFileToStoreInto) {
  ServeInformationFor(ReadProgram(kOwnBuild));
  // The target is the store folder itself, which cannot be written as a file.
  const RunResult run = RunInstaller(kSignedInstaller, L"setup", L"");
  EXPECT_EQ(run.check, 0);
  const std::vector<UpdateReport> reports = Reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].state, static_cast<uint32_t>(kUpdateDownloadFailed));
  EXPECT_NE(reports[0].detail, 0u);
  EXPECT_EQ(RecordedBuild(), L"");
}

}  // namespace
}  // namespace kbase
