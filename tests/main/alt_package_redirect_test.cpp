// The alternative-package redirect under Wine: the loopback server at the configuration
// host plays the configuration server (a list signed at test time with the test key) and
// the package host (a stand-in setup built by the project, which records how it was
// started). Every rejected list, missing entry, exclusion and failed check ends with 0
// and starts nothing.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "build_settings.h"
#include "common/codec/base64.h"
#include "common/codec/md5.h"
#include "common/win/scoped_handle.h"
#include "main/alt_package_redirect.h"
#include "main/run_settings.h"
#include "probe/product_survey.h"
#include "support/http_test_server.h"
#include "support/win_test_util.h"
#include "test_keys.h"
#include "tools/sign/transport_signer.h"

namespace kbase {
namespace {

using test::TempFolder;

constexpr char kPackagePath[] = "/pkg/alt_setup.exe";

// The port of a loopback build setting ("127.0.0.1:N"), or 0 for any other host.
unsigned short LoopbackPort(const std::string& host) {
  const std::string prefix = "127.0.0.1:";
  if (host.compare(0, prefix.size(), prefix) != 0) return 0;
  return static_cast<unsigned short>(std::atoi(host.c_str() + prefix.size()));
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// Registry keys, values and files that make another security product look installed;
// removed again by the destructor.
class InstalledProduct {
 public:
  InstalledProduct() = default;
  InstalledProduct(const InstalledProduct&) = delete;
  InstalledProduct& operator=(const InstalledProduct&) = delete;
  ~InstalledProduct() {
    for (auto it = keys_.rbegin(); it != keys_.rend(); ++it) {
      RegDeleteTreeW(HKEY_LOCAL_MACHINE, it->c_str());
      RegDeleteKeyExW(HKEY_LOCAL_MACHINE, it->c_str(), KEY_WOW64_64KEY, 0);
    }
  }

  // 360 Safe: its uninstall location, three files and one of its services.
  void ThreeSixty() {
    Text(L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
         L"360\u5b89\u5168\u536b\u58eb",
         L"InstallLocation", folder_.path());
    Files({L"360Safe.exe", L"deepscan\\zhudongfangyu.exe", L"EfiMon.sys"});
    Text(L"SYSTEM\\CurrentControlSet\\services\\360netmon", nullptr, L"");
  }
  // Huorong: its install path and two programs.
  void Huorong() {
    Text(L"SOFTWARE\\Huorong\\Sysdiag", L"InstallPath", folder_.path());
    Files({L"bin\\HipsTray.exe", L"bin\\HipsDaemon.exe"});
  }

 private:
  void Text(const std::wstring& key_path, const wchar_t* name, const std::wstring& text) {
    ScopedKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key_path.c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, key.receive(), nullptr),
              ERROR_SUCCESS);
    keys_.push_back(key_path);
    if (name == nullptr) return;
    ASSERT_EQ(RegSetValueExW(key.get(), name, 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
  void Files(const std::vector<std::wstring>& files) {
    for (const std::wstring& file : files) {
      const size_t separator = file.find_last_of(L'\\');
      if (separator != std::wstring::npos) {
        CreateDirectoryW((folder_.path() + file.substr(0, separator)).c_str(), nullptr);
      }
      ASSERT_TRUE(test::WriteWholeFile(folder_.path() + file, "x"));
    }
  }

  TempFolder folder_;
  std::vector<std::wstring> keys_;
};

class AltPackageRedirectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const unsigned short port = LoopbackPort(kConfigHost);
    if (port == 0) GTEST_SKIP() << "the configuration host is not a loopback address";
    ASSERT_TRUE(server_.Start(port));
    ASSERT_TRUE(test::ReadWholeFile(test::BesideThisProgram(L"..\\download\\record_args_exe.exe"),
                                    &package_));
    digest_ = Md5ToHex(Md5Of(package_.data(), package_.size()));
    test::HttpResponse package;
    package.body = package_;
    server_.Serve(kPackagePath, package);
    std::string error;
    signer_ = TransportSigner::FromPem(kTestPrivateKeyPem, &error);
    ASSERT_NE(signer_, nullptr) << error;
    install_res_ = working_.path() + L"install_res";
    ASSERT_TRUE(CreateDirectoryW(install_res_.c_str(), nullptr));
    RunSettings() = KRunSettings();
  }

  void TearDown() override {
    RunSettings() = KRunSettings();
    // The stand-in may still be ending; its file cannot be removed before that.
    Sleep(200);
  }

  // A list whose entry for 186_336 passes every rule on a clean machine: the rule set it
  // names excludes only machines with 360, with Huorong or inside the area. The root's
  // name is matched without regard to case, and a repeated key keeps its first entry.
  std::string Document() const {
    const std::string url = "http://" + std::string(kConfigHost) + kPackagePath;
    return R"xml(<?xml version="1.0"?>
<Root>
  <item>
    <tryno id="186_337" url="http://127.0.0.1:1/other.exe" md5="00" condition="0"/>
    <tryno id="186_336" url=")xml" + url + R"xml(" md5=")xml" + digest_ + R"xml(" condition="7"/>
    <tryno id="186_336" url="http://127.0.0.1:1/second.exe" md5="00" condition="0"/>
  </item>
  <condition>
    <leaf id="7" s360="1" hr="1" area="1"/>
    <leaf id="7" s360="0" hr="0" area="0"/>
  </condition>
</Root>
)xml";
  }

  void ServeList(const std::string& body) {
    test::HttpResponse list;
    list.body = body;
    server_.Serve(kAltPackageListPath, list);
  }

  // GET requests for a path (each download asks for the length first with HEAD).
  size_t Fetches(const std::string& path) const {
    size_t count = 0;
    for (const auto& request : server_.RequestsFor(path)) count += request.method == "GET";
    return count;
  }

  std::wstring StartedPackage() const { return working_.path() + L"alt_setup.exe"; }

  // What the stand-in recorded, waiting up to `wait_ms` for it.
  std::string Recorded(const wchar_t* suffix, DWORD wait_ms) const {
    std::string text;
    const DWORD start = GetTickCount();
    while (!test::ReadWholeFile(StartedPackage() + suffix, &text)) {
      if (GetTickCount() - start > wait_ms) return {};
      Sleep(50);
    }
    return text;
  }

  test::HttpTestServer server_;
  std::unique_ptr<TransportSigner> signer_;
  std::string package_;
  std::string digest_;
  TempFolder working_;
  std::wstring install_res_;
};

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

TEST_F(AltPackageRedirectTest, StartsTheVerifiedPackageShownWithoutArguments) {
  ServeList(signer_->Sign(Document()));
  EXPECT_EQ(RunAltPackageRedirect(install_res_, "186_336"), 1);
  // The list stays in install_res; the package goes into the working folder.
  EXPECT_TRUE(test::FileExists(install_res_ + L"\\qqpcmgr.dat"));
  EXPECT_EQ(Recorded(L".cmdline", 5000), "\"" + Narrow(StartedPackage()) + "\" ");
  EXPECT_NE(Recorded(L".state", 5000).find("show=10"), std::string::npos);  // SW_SHOWDEFAULT
  EXPECT_EQ(Fetches(kPackagePath), 1u);
}

TEST_F(AltPackageRedirectTest, WithoutTheInstallResFolderNothingIsFetched) {
  ServeList(signer_->Sign(Document()));
  ASSERT_TRUE(RemoveDirectoryW(install_res_.c_str()));
  EXPECT_EQ(RunAltPackageRedirect(install_res_, "186_336"), 0);
  EXPECT_TRUE(server_.Requests().empty());
}

TEST_F(AltPackageRedirectTest, RejectedListsEntriesAndExcludedMachinesStartNothing) {
  enum class Machine { kClean, kThreeSixty, kHuorong, kInArea };
  struct Case {
    const char* name;
    // The list body served, made from the good document.
    std::function<std::string(const std::string& document)> body;
    Machine machine;
    bool package_fetched;
  };
  const auto sign = [this](const std::string& document) { return signer_->Sign(document); };
  const auto edit = [this](const std::string& from, const std::string& to) {
    return [this, from, to](const std::string& document) {
      return signer_->Sign(Replace(document, from, to));
    };
  };
  const std::string entry = "<tryno id=\"186_336\" url=\"http";
  const std::vector<Case> cases = {
      {"one bit flipped in the first block",
       [this](const std::string& document) {
         std::string blocks = signer_->SignBlocks(document);
         blocks[40] ^= 0x08;
         return Base64Encode(blocks);
       },
       Machine::kClean, false},
      {"saved with a final line break",
       [this](const std::string& document) {
         return signer_->Sign(document) + "\r\n";
       },
       Machine::kClean, false},
      {"decodes to 127 bytes",
       [this](const std::string& document) {
         return Base64Encode(signer_->SignBlocks(document).substr(0, 127));
       },
       Machine::kClean, false},
      {"not XML", [this](const std::string&) { return signer_->Sign("<root><item>"); },
       Machine::kClean, false},
      {"no condition section", edit("<condition>", "<conditions>"), Machine::kClean, false},
      {"no entry for the key", edit(entry, "<tryno id=\"186_3360\" url=\"http"), Machine::kClean,
       false},
      {"empty url", edit(entry, "<tryno id=\"186_336\" url=\"\" x=\"http"), Machine::kClean,
       false},
      {"empty md5", edit("md5=\"" + digest_ + "\"", "md5=\"\""), Machine::kClean, false},
      {"url ending in a slash", edit("/pkg/alt_setup.exe\"", "/pkg/\""), Machine::kClean,
       false},
      {"digest mismatch", edit(digest_, std::string(32, '0')), Machine::kClean, true},
      {"360 present with s360 1", sign, Machine::kThreeSixty, false},
      {"Huorong present with hr 1", sign, Machine::kHuorong, false},
      {"in the area with area 1", sign, Machine::kInArea, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ServeList(c.body(Document()));
    InstalledProduct product;
    if (c.machine == Machine::kThreeSixty) {
      product.ThreeSixty();
      ASSERT_TRUE(Is360Present());
    }
    if (c.machine == Machine::kHuorong) {
      product.Huorong();
      ASSERT_TRUE(IsHuorongPresent());
    }
    RunSettings().in_area = c.machine == Machine::kInArea;
    server_.ClearRequests();

    EXPECT_EQ(RunAltPackageRedirect(install_res_, "186_336"), 0);
    EXPECT_EQ(Fetches(kAltPackageListPath), 1u);
    EXPECT_EQ(Fetches(kPackagePath), c.package_fetched ? 1u : 0u);
    EXPECT_EQ(Recorded(L".cmdline", 300), "");
    RunSettings().in_area = false;
    DeleteFileW(StartedPackage().c_str());
  }
}

}  // namespace
}  // namespace kbase
