// The install pipeline against local servers: a configuration signed at test time, a
// package built by the project and a telemetry endpoint that decodes every report.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "common/codec/md5.h"
#include "common/win/scoped_handle.h"
#include "config/registry_keys.h"
#include "main/kmain.h"
#include "main/run_settings.h"
#include "report/report_endpoint.h"
#include "support/http_test_server.h"
#include "support/win_test_util.h"
#include "test_keys.h"
#include "tools/sign/transport_signer.h"

namespace kbase {
namespace {

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

 private:
  ScopedKey key_;
};

class KMainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Start());
    ASSERT_TRUE(telemetry_.Start());
    ASSERT_TRUE(test::ReadWholeFile(test::BesideThisProgram(L"..\\download\\record_args_exe.exe"),
                                    &package_));
    const Md5Digest digest = Md5Of(package_.data(), package_.size());
    digest_ = Md5ToHex(digest);
    test::HttpResponse package;
    package.body = package_;
    server_.Serve("/pkg/setup.exe", package);
    folder_name_ = L"kinst-kmain-" + std::to_wstring(GetCurrentProcessId());
    RunSettings() = KRunSettings();
  }

  void ServeConfiguration(const std::string& xml) {
    std::string error;
    auto signer = TransportSigner::FromPem(kTestPrivateKeyPem, &error);
    ASSERT_NE(signer, nullptr) << error;
    test::HttpResponse document;
    document.body = signer->Sign(xml);
    server_.Serve("/seminstall/186/336.xml", document);
  }

  std::string Document(const std::string& dlfile_extra = "") const {
    std::string folder(folder_name_.begin(), folder_name_.end());
    return Replace(Replace(Replace(Replace(R"xml(<?xml version="1.0" encoding="utf-8"?>
<root>
  <check><item id="1" name="always" value="1"/></check>
  <install>
    <company id="186" version="3">
      <tryno id="336" version="5" Interval="0" softname="Suite">
        <dlfile url="URL" md5="DIGEST" moduletype="exe" path="%TEMP%\FOLDER\setup.exe"
                downloadtype="1" param="x" ndp="1" EXTRA/>
      </tryno>
    </company>
  </install>
</root>)xml", "URL", "http://" + server_.Host() + "/pkg/setup.exe"),
                                   "DIGEST", digest_),
                           "FOLDER", folder),
                   "EXTRA", dlfile_extra);
  }

  std::wstring PackagePath() const { return TempPath() + folder_name_ + L"\\setup.exe"; }

  // Phase events (table 4679) in the order received, as (event, result).
  std::vector<std::pair<int, int>> Phases() const {
    std::vector<std::pair<int, int>> phases;
    for (const auto& message : telemetry_.Messages()) {
      const auto& block = test::TableBlock(message);
      if (block.table_id == 4679) {
        phases.emplace_back(static_cast<int>(block.Number("event")),
                            static_cast<int>(block.Number("result")));
      }
    }
    return phases;
  }

  test::HttpTestServer server_;
  test::TelemetryEndpoint telemetry_;
  RecordsKey records_;
  std::string package_;
  std::string digest_;
  std::wstring folder_name_;
};

TEST_F(KMainTest, DownloadsVerifiesAndStartsThePackageWithTheSetupArguments) {
  ServeConfiguration(Document());
  {
    KMain pipeline(1);
    pipeline.SetConfigHostForTesting(server_.Host());
    pipeline.set_install_path(L"C:\\A B\\");
    pipeline.set_window(6699);
    ASSERT_EQ(pipeline._Init(186, 336), 0);
    EXPECT_EQ(pipeline.software_name(), L"Suite");
    EXPECT_EQ(pipeline._RunDetector(kActionCheckAndDownload | kActionVerify), 0);
    EXPECT_EQ(pipeline._RunDetector(kActionLoad | kActionRunList), 0);
    pipeline.Uninit();
  }
  const std::string received = [&] {
    const std::wstring record = PackagePath() + L".cmdline";
    std::string text;
    for (int i = 0; i < 200 && !test::ReadWholeFile(record, &text); ++i) Sleep(50);
    return text;
  }();
  EXPECT_NE(received.find("/autoinstall ##silence=0&installpath=\"C:\\A B\\\"&hwnd=1a2b&x tod1=336 tod2=1"),
            std::string::npos)
      << received;
  EXPECT_EQ(records_.Value(L"PacketPath_186_336_1"), PackagePath());
  ASSERT_TRUE(telemetry_.WaitFor(10, 5000));
  EXPECT_EQ(Phases(), (std::vector<std::pair<int, int>>{{0, 0}, {11, 0}, {20, 0}, {21, 0},
                                                        {30, 0}, {31, 0}, {40, 0}, {41, 0},
                                                        {50, 0}, {51, 0}}));

  // A second run finds the recorded package and does not download it again.
  server_.ClearRequests();
  {
    KMain pipeline(1);
    pipeline.SetConfigHostForTesting(server_.Host());
    ASSERT_EQ(pipeline._Init(186, 336), 0);
    EXPECT_EQ(pipeline._RunDetector(kActionCheckAndDownload | kActionVerify), 0);
  }
  EXPECT_TRUE(server_.RequestsFor("/pkg/setup.exe").empty());
  DeleteFileW(PackagePath().c_str());
  DeleteFileW((PackagePath() + L".cmdline").c_str());
  DeleteFileW((PackagePath() + L".state").c_str());
  RemoveDirectoryW((TempPath() + folder_name_).c_str());
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
  // A channel that is not in the configuration.
  ServeConfiguration(Replace(Document(), "tryno id=\"336\"", "tryno id=\"337\""));
  {
    KMain pipeline(1);
    pipeline.SetConfigHostForTesting(server_.Host());
    EXPECT_EQ(pipeline._Init(186, 336), 150);
  }
  // A digest that does not match the package.
  ServeConfiguration(Replace(Document(), digest_, std::string(32, '0')));
  {
    KMain pipeline(1);
    pipeline.SetConfigHostForTesting(server_.Host());
    ASSERT_EQ(pipeline._Init(186, 336), 0);
    EXPECT_EQ(pipeline._RunDetector(kActionCheckAndDownload | kActionVerify), 251);
    EXPECT_EQ(pipeline._RunDetector(kActionLoad), 305);
  }
  // A channel condition that is not an expression stops the environment check.
  ServeConfiguration(Replace(Document(), "softname=\"Suite\"", "condition=\"x\""));
  {
    KMain pipeline(1);
    pipeline.SetConfigHostForTesting(server_.Host());
    ASSERT_EQ(pipeline._Init(186, 336), 0);
    EXPECT_EQ(pipeline._RunDetector(kActionCheckAndDownload), 204);
  }
  DeleteFileW(PackagePath().c_str());
  RemoveDirectoryW((TempPath() + folder_name_).c_str());
}

}  // namespace
}  // namespace kbase
