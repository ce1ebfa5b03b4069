// The install pipeline end to end, driven as the main window's worker drives it: _Init,
// _RunDetector(3), then 12 (load and run list) or 8 (run list only) by the outcome, Uninit.
// Local servers play the configuration server (a configuration signed at test time), the
// CDN (packages built by the project: an exe that records its command line and a dll
// whose export records its argument) and the telemetry endpoint, which decodes every
// report.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/codec/md5.h"
#include "common/win/ansi_text.h"
#include "common/win/scoped_handle.h"
#include "config/registry_keys.h"
#include "config/work_folder.h"
#include "download/user_launch.h"
#include "main/kmain.h"
#include "main/run_settings.h"
#include "report/report_endpoint.h"
#include "support/http_test_server.h"
#include "support/log_capture.h"
#include "support/win_test_util.h"
#include "test_keys.h"
#include "tools/sign/transport_signer.h"

namespace kbase {
namespace {

constexpr int kCheckDownloadVerify = kActionCheckAndDownload | kActionVerify;  // 3
constexpr int kLoadAndRunList = kActionLoad | kActionRunList;                   // 12

std::wstring TempPath() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return temp;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// Waits for a file a started package writes.
std::string AwaitFile(const std::wstring& path) {
  std::string text;
  for (int i = 0; i < 200 && !test::ReadWholeFile(path, &text); ++i) Sleep(50);
  return text;
}

// The installer's records key exists on a machine where the product was installed; the
// pipeline only opens it.
class RecordsKey {
 public:
  RecordsKey() {
    RegCreateKeyExW(HKEY_CLASSES_ROOT, kInstallerRecordsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, key_.receive(), nullptr);
  }
  ~RecordsKey() { RegDeleteTreeW(HKEY_CLASSES_ROOT, kInstallerRecordsKey); }
  std::wstring Value(const wchar_t* name) const {
    wchar_t text[MAX_PATH] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    RegQueryValueExW(key_.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
    return text;
  }
  void Delete(const wchar_t* name) { RegDeleteValueW(key_.get(), name); }

 private:
  ScopedKey key_;
};

// A launch that first tries, as another program of the user could, to overwrite the
// verified package, then starts it the plain way.
std::atomic<bool> g_package_was_writable{false};
std::atomic<int> g_launches{0};
int WriterThenLaunch(const std::wstring& path, const std::wstring& arguments, int show) {
  ScopedHandle writer(CreateFileW(path.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (writer.valid()) g_package_was_writable = true;
  ++g_launches;
  return LaunchProcess(show, path, arguments, 0);
}
int NeverStarts(const std::wstring&, const std::wstring&, int) { return 0; }
int NeverStartsProcess(int, const std::wstring&, const std::wstring&, DWORD) { return 0; }
constexpr KLaunchMethods kWatchedLaunch = {&WriterThenLaunch, &NeverStarts, &NeverStartsProcess};
// Counts the start without starting anything.
int PretendToStart(const std::wstring&, const std::wstring&, int) { return ++g_launches; }
constexpr KLaunchMethods kPretendLaunch = {&PretendToStart, &NeverStarts, &NeverStartsProcess};

class KMainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Start());
    ASSERT_TRUE(telemetry_.Start());
    ASSERT_TRUE(test::ReadWholeFile(test::BesideThisProgram(L"..\\download\\record_args_exe.exe"),
                                    &exe_));
    ASSERT_TRUE(test::ReadWholeFile(test::BesideThisProgram(L"..\\download\\record_args_dll.dll"),
                                    &dll_));
    exe_digest_ = Md5ToHex(Md5Of(exe_.data(), exe_.size()));
    dll_digest_ = Md5ToHex(Md5Of(dll_.data(), dll_.size()));
    ServeBytes("/pkg/setup.exe", exe_);
    ServeBytes("/pkg/addon.dll", dll_);
    folder_name_ = L"kinst-kmain-" + std::to_wstring(GetCurrentProcessId());
    RunSettings() = KRunSettings();
    g_package_was_writable = false;
    g_launches = 0;
  }
  void TearDown() override {
    for (const wchar_t* name : {L"setup.exe", L"setup.exe.cmdline", L"setup.exe.state",
                                L"addon.dll", L"addon.dll.param", L"addon.dll.events"}) {
      DeleteFileW(Package(name).c_str());
    }
    RemoveDirectoryW((TempPath() + folder_name_).c_str());
  }

  void ServeBytes(const std::string& path, const std::string& bytes) {
    test::HttpResponse response;
    response.body = bytes;
    server_.Serve(path, response);
  }

  void ServeConfiguration(const std::string& xml) {
    std::string error;
    auto signer = TransportSigner::FromPem(kTestPrivateKeyPem, &error);
    ASSERT_NE(signer, nullptr) << error;
    test::HttpResponse document;
    document.body = signer->Sign(xml);
    server_.Serve("/seminstall/186/336.xml", document);
  }

  // A "dlfile" element; `extra` adds or overrides attributes.
  std::string ExeEntry(const std::string& extra = "") const {
    return "<dlfile url=\"" + Url("/pkg/setup.exe") + "\" md5=\"" + exe_digest_ +
           "\" moduletype=\"exe\" path=\"%TEMP%\\" + Narrow(folder_name_) +
           "\\setup.exe\" downloadtype=\"1\" param=\"x\" ndp=\"1\" " + extra + "/>";
  }
  std::string DllEntry(const std::string& extra = "") const {
    return "<dlfile url=\"" + Url("/pkg/addon.dll") + "\" md5=\"" + dll_digest_ +
           "\" moduletype=\"dll\" funcname=\"InstallPackage\" path=\"%TEMP%\\" +
           Narrow(folder_name_) + "\\addon.dll\" downloadtype=\"1\" param=\"p\" ndp=\"1\" " +
           extra + "/>";
  }
  std::string Document(const std::string& entries, const std::string& tryno_extra = "") const {
    return R"xml(<?xml version="1.0" encoding="utf-8"?>
<root>
  <check><item id="1" name="always" value="1"/><item id="2" name="never" value="1"><leaf mode="osversion" id="1" versionvalue="9999"/></item></check>
  <install>
    <company id="186" version="3">
      <tryno id="336" version="5" Interval="0" softname="Suite" )xml" +
           tryno_extra + ">\n" + entries + R"xml(
      </tryno>
    </company>
  </install>
</root>)xml";
  }

  size_t Gets(const std::string& path) const {
    size_t gets = 0;
    for (const auto& request : server_.RequestsFor(path)) gets += request.method == "GET";
    return gets;
  }

  std::string Url(const std::string& path) const { return "http://" + server_.Host() + path; }
  std::wstring Package(const wchar_t* name) const {
    return TempPath() + folder_name_ + L"\\" + name;
  }

  // The worker's sequence; returns the results of _Init, the first run and the second.
  struct Outcome {
    int init = -1, first = -1, second = -1;
  };
  Outcome RunAsWorker(const KLaunchMethods* launch = nullptr) {
    Outcome outcome;
    KMain pipeline(1);
    pipeline.SetConfigHostForTesting(server_.Host());
    pipeline.set_install_path(L"C:\\A B\\");
    pipeline.set_window(6699);
    if (launch != nullptr) pipeline.set_launch_methods(*launch);
    outcome.init = pipeline._Init(186, 336);
    if (outcome.init != 0) return outcome;
    outcome.first = pipeline._RunDetector(kCheckDownloadVerify);
    outcome.second = pipeline._RunDetector(outcome.first == 0 ? kLoadAndRunList : kActionRunList);
    pipeline.Uninit();
    return outcome;
  }

  // Reports of one table in the order received.
  std::vector<KDirectVestat::DecodedBlock> Blocks(uint16_t table) const {
    std::vector<KDirectVestat::DecodedBlock> blocks;
    for (const auto& message : telemetry_.Messages()) {
      const auto& block = test::TableBlock(message);
      if (block.table_id == table) blocks.push_back(block);
    }
    return blocks;
  }
  // Phase events (table 4679) as (event, result).
  std::vector<std::pair<int, int>> Phases() const {
    std::vector<std::pair<int, int>> phases;
    for (const auto& block : Blocks(4679)) {
      phases.emplace_back(static_cast<int>(block.Number("event")),
                          static_cast<int>(block.Number("result")));
    }
    return phases;
  }
  // Detail steps (table 4680) of event 40 as (step, value, code).
  std::vector<std::vector<int>> DownloadSteps() const {
    std::vector<std::vector<int>> steps;
    for (const auto& block : Blocks(4680)) {
      if (block.Number("event") != 40) continue;
      steps.push_back({static_cast<int>(block.Number("step")),
                       static_cast<int>(block.Number("value")),
                       static_cast<int>(block.Number("code"))});
    }
    return steps;
  }
  // Waits until the phase events up to `last` have arrived.
  void AwaitPhases(size_t count) { ASSERT_TRUE(telemetry_.WaitFor(count, 10000)); }

  test::HttpTestServer server_;
  test::TelemetryEndpoint telemetry_;
  RecordsKey records_;
  std::string exe_, dll_, exe_digest_, dll_digest_;
  std::wstring folder_name_;
};

using Phase = std::pair<int, int>;

TEST_F(KMainTest, DownloadsVerifiesAndStartsThePackagesWithTheSetupArguments) {
  ServeConfiguration(Document(ExeEntry() + DllEntry()));
  test::LogCapture log;
  const Outcome outcome = RunAsWorker(&kWatchedLaunch);
  EXPECT_EQ(outcome.init, 0);
  EXPECT_EQ(outcome.first, 0);
  EXPECT_EQ(outcome.second, 0);

  // What was asked of the servers.
  const auto config = server_.RequestsFor("/seminstall/186/336.xml");
  ASSERT_EQ(config.size(), 1u);
  EXPECT_EQ(config[0].target.rfind("/seminstall/186/336.xml?time=", 0), 0u) << config[0].target;
  EXPECT_EQ(Gets("/pkg/setup.exe"), 1u);
  EXPECT_EQ(Gets("/pkg/addon.dll"), 1u);

  // The files, their digests, the records and what each package received.
  std::string file;
  ASSERT_TRUE(test::ReadWholeFile(Package(L"setup.exe"), &file));
  EXPECT_EQ(Md5ToHex(Md5Of(file.data(), file.size())), exe_digest_);
  ASSERT_TRUE(test::ReadWholeFile(Package(L"addon.dll"), &file));
  EXPECT_EQ(Md5ToHex(Md5Of(file.data(), file.size())), dll_digest_);
  EXPECT_EQ(records_.Value(L"PacketPath_186_336_1"), Package(L"setup.exe"));
  EXPECT_EQ(records_.Value(L"PacketPath_186_336_2"), Package(L"addon.dll"));
  const std::string command_line = AwaitFile(Package(L"setup.exe.cmdline"));
  EXPECT_NE(command_line.find(
                "/autoinstall ##silence=0&installpath=\"C:\\A B\\\"&hwnd=1a2b&x tod1=336 tod2=1"),
            std::string::npos)
      << command_line;
  EXPECT_EQ(AwaitFile(Package(L"addon.dll.param")), "p -tod1:336 -tod2:1");

  // The package stayed held from its digest check until it was started.
  EXPECT_EQ(g_launches, 1);
  EXPECT_FALSE(g_package_was_writable);

  // The phase lines of the install log, in order.
  std::vector<std::string> expected;
  for (const wchar_t* line :
       {L"检测器启动", L"加载配置开始  m_nCompanyID = 186 m_nTrynoID = 336",
        L"加载配置结束 nRet = 0", L"匹配渠道配置开始", L"匹配渠道配置结束  nRet = 0",
        L" 检测安装环境开始", L" 检测安装环境结束 nRet = 0", L" 下载安装包开始",
        L" 下载安装包结束 nRet = 0", L" 校验安装包md5开始", L" 校验安装包md5结束 nRet = 0",
        L" 加载安装包开始", L" 加载安装包结束 nRet = 0"}) {
    expected.push_back(ToAnsi(line));
  }
  std::vector<std::string> phase_lines;
  for (const std::string& line : log.Messages()) {
    for (const std::string& wanted : expected) {
      if (line == wanted) phase_lines.push_back(line);
    }
  }
  EXPECT_EQ(phase_lines, expected);

  AwaitPhases(10);
  EXPECT_EQ(Phases(), (std::vector<Phase>{{0, 0}, {11, 0}, {20, 0}, {21, 0}, {30, 0}, {31, 0},
                                          {40, 0}, {41, 0}, {50, 0}, {51, 0}}));
  for (const auto& message : telemetry_.Messages()) {
    if (test::TableBlock(message).table_id != 4679) continue;
    EXPECT_EQ(message.blocks[0].Number("company_id"), 186u);
    EXPECT_EQ(message.blocks[0].Number("tryno_id"), 336u);
    EXPECT_EQ(message.blocks[0].Number("third_number"), 1u);
    const auto& block = test::TableBlock(message);
    if (block.Number("event") >= 20) {
      EXPECT_EQ(block.Number("channel_version"), 5u);
    }
  }

  // A second run finds the recorded packages and downloads nothing.
  server_.ClearRequests();
  EXPECT_EQ(RunAsWorker().first, 0);
  EXPECT_TRUE(server_.RequestsFor("/pkg/setup.exe").empty());
  EXPECT_TRUE(server_.RequestsFor("/pkg/addon.dll").empty());
}

TEST_F(KMainTest, AFailedEntryDoesNotStopTheNextOne) {
  const std::string broken =
      Replace(ExeEntry(), Url("/pkg/setup.exe"), Url("/pkg/missing.exe"));
  ServeConfiguration(Document(Replace(broken, "setup.exe\"", "missing.exe\"") + DllEntry()));
  const Outcome outcome = RunAsWorker();
  EXPECT_EQ(outcome.first, 0);
  EXPECT_EQ(outcome.second, 0);
  EXPECT_EQ(AwaitFile(Package(L"addon.dll.param")), "p -tod1:336 -tod2:1");
  EXPECT_EQ(records_.Value(L"PacketPath_186_336_1"), L"");
  AwaitPhases(10);
  const auto steps = DownloadSteps();
  ASSERT_EQ(steps.size(), 1u);
  EXPECT_EQ(steps[0][0], 2);  // the failed entry, numbered 1
  EXPECT_EQ(steps[0][2], 1);
}

TEST_F(KMainTest, ATimedOutDownloadIsRetriedResumablyOnlyWhenAllowed) {
  for (int sd : {0, 1}) {
    SCOPED_TRACE(sd);
    telemetry_.server().ClearRequests();
    server_.ClearRequests();
    // The first answer stalls past the entry's one-second limit; later ones do not.
    auto asked = std::make_shared<std::atomic<int>>(0);
    const std::string exe = exe_;
    server_.Serve("/pkg/setup.exe", [asked, exe](const test::HttpRequest& request) {
      test::HttpResponse response;
      response.body = exe;
      if (request.method == "GET" && (*asked)++ == 0) {
        response.stall_after = 1000;
        response.stall_ms = 4000;
      }
      return response;
    });
    ServeConfiguration(
        Document(ExeEntry("downloadtime=\"1\" sd=\"" + std::to_string(sd) + "\"")));
    const Outcome outcome = RunAsWorker(&kWatchedLaunch);
    if (sd == 0) {
      EXPECT_NE(outcome.first, 0);
      EXPECT_EQ(*asked, 1);
      AwaitPhases(8);
      EXPECT_EQ(DownloadSteps(), (std::vector<std::vector<int>>{{2, 28, 1}}));
    } else {
      EXPECT_EQ(outcome.first, 0);
      EXPECT_EQ(outcome.second, 0);
      EXPECT_GE(*asked, 2);
      AwaitPhases(11);
      EXPECT_EQ(DownloadSteps(), (std::vector<std::vector<int>>{{1, 28, 1}}));
    }
    DeleteFileW(Package(L"setup.exe").c_str());
    records_.Delete(L"PacketPath_186_336_1");
  }
}

TEST_F(KMainTest, FailuresEndWithTheirCodes) {
  // No configuration served: the load fails with 50 and _Init reports event 11 with it.
  {
    KMain pipeline(1);
    pipeline.SetConfigHostForTesting(server_.Host());
    EXPECT_EQ(pipeline._Init(186, 336), 50);
    EXPECT_EQ(pipeline._RunDetector(kActionCheckAndDownload), 206);
    EXPECT_EQ(pipeline._RunDetector(kActionVerify), 254);
    EXPECT_EQ(pipeline._RunDetector(kActionLoad), 306);
    EXPECT_EQ(pipeline._RunDetector(0), 0);
  }
  AwaitPhases(8);
  EXPECT_EQ(Phases(), (std::vector<Phase>{{0, 0}, {11, 50}, {20, 0}, {21, 206}, {40, 0},
                                          {41, 254}, {50, 0}, {51, 306}}));

  // No channel identity at all (empty command line, file name without an ID).
  {
    KMain pipeline(0);
    pipeline.SetConfigHostForTesting(server_.Host());
    EXPECT_EQ(pipeline._Init(0, 0), 50);
  }

  const struct {
    const char* name;
    std::string document;
    Outcome expected;
  } kCases[] = {
      {"a channel that is not in the configuration",
       Replace(Document(ExeEntry()), "tryno id=\"336\"", "tryno id=\"337\""), {150}},
      {"the only entry has no url: its tryno and company are dropped",
       Document(Replace(ExeEntry(), Url("/pkg/setup.exe"), "")), {100}},
      {"a path without a variable cannot be expanded",
       Document(Replace(ExeEntry(), "%TEMP%\\", "C:\\")), {252}},
      {"an entry without url beside a good one is dropped",
       Document(ExeEntry() + Replace(DllEntry(), Url("/pkg/addon.dll"), "")), {0, 0, 0}},
      {"the condition is false", Document(ExeEntry("condition=\"2\"")), {0, 200, 0}},
      {"the channel condition is not an expression",
       Replace(Document(ExeEntry()), "softname=\"Suite\"", "condition=\"x\""), {0, 204, 0}},
      {"the digest does not match",
       Document(Replace(ExeEntry(), exe_digest_, std::string(32, '0'))), {0, 251, 0}},
  };
  for (const auto& c : kCases) {
    ServeConfiguration(c.document);
    const Outcome outcome = RunAsWorker(&kWatchedLaunch);
    EXPECT_EQ(outcome.init, c.expected.init) << c.name;
    EXPECT_EQ(outcome.first, c.expected.first) << c.name;
    EXPECT_EQ(outcome.second, c.expected.second) << c.name;
  }

  // A digest mismatch after the check passed: the load refuses it with 305.
  ServeConfiguration(Document(ExeEntry()));
  g_launches = 0;
  {
    KMain pipeline(1);
    pipeline.SetConfigHostForTesting(server_.Host());
    pipeline.set_launch_methods(kWatchedLaunch);
    ASSERT_EQ(pipeline._Init(186, 336), 0);
    ASSERT_EQ(pipeline._RunDetector(kCheckDownloadVerify), 0);
    ASSERT_TRUE(test::WriteWholeFile(Package(L"setup.exe"), "swapped before the load"));
    EXPECT_EQ(pipeline._RunDetector(kActionLoad), 305);
  }
  EXPECT_EQ(g_launches, 0);
}

TEST_F(KMainTest, APackageOnADriveWithoutRoomMovesOrEndsWith261) {
  // The configured path lies on a drive that does not exist. The package moves to the
  // working folder this machine offers, or the match fails when it offers none (under
  // Wine the drives may not tell their bus, and then none is offered).
  ServeConfiguration(Document(Replace(ExeEntry(), "path=\"%TEMP%\\", "path=\"Q:\\%TEMP%\\")));
  const std::wstring offered = ChooseWorkFolder(1024);
  const Outcome outcome = RunAsWorker(&kPretendLaunch);
  if (offered.empty()) {
    EXPECT_EQ(outcome.init, 261);
    AwaitPhases(2);
    EXPECT_EQ(Phases(), (std::vector<Phase>{{0, 0}, {11, 261}}));
  } else {
    EXPECT_EQ(outcome.init, 0);
    EXPECT_EQ(outcome.first, 0);
    EXPECT_EQ(outcome.second, 0);
    EXPECT_EQ(g_launches, 1);
    EXPECT_EQ(records_.Value(L"PacketPath_186_336_1"), offered + L"setup.exe");
    // The relocation folder goes with the run.
    EXPECT_EQ(GetFileAttributesW(offered.c_str()), INVALID_FILE_ATTRIBUTES);
  }
}

}  // namespace
}  // namespace kbase
