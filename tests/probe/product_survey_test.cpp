// The product survey under Wine: each product set up in the prefix (registry values in the
// view its installer writes, files, service keys) and found, and the near misses that
// must not count. Every test removes what it set up.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/win/scoped_handle.h"
#include "probe/product_survey.h"
#include "support/win_test_util.h"

namespace kbase {
namespace {

using test::TempFolder;

const wchar_t kUninstall[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const wchar_t kUninstall32[] =
    L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::wstring k360Name = L"360\u5b89\u5168\u536b\u58eb";
const std::wstring kBaiduAntivirusName = L"\u767e\u5ea6\u6740\u6bd2";
const std::wstring kBaiduSafeName = L"\u767e\u5ea6\u536b\u58eb";

// 32-bit installers write into the 32-bit view; 64-bit ones (or explicit Wow6432Node
// paths) into the 64-bit view.
constexpr REGSAM k32 = KEY_WOW64_32KEY;
constexpr REGSAM k64 = KEY_WOW64_64KEY;

// Registry keys and values made for one test; the keys are deleted with their trees.
class PrefixSetup {
 public:
  PrefixSetup() = default;
  PrefixSetup(const PrefixSetup&) = delete;
  PrefixSetup& operator=(const PrefixSetup&) = delete;
  ~PrefixSetup() {
    for (auto it = keys_.rbegin(); it != keys_.rend(); ++it) {
      ScopedKey key;
      if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, it->first.c_str(), 0, KEY_ALL_ACCESS | it->second,
                        key.receive()) == ERROR_SUCCESS) {
        RegDeleteTreeW(key.get(), nullptr);
      }
      key.Reset();
      RegDeleteKeyExW(HKEY_LOCAL_MACHINE, it->first.c_str(), it->second, 0);
    }
  }

  void Raw(const std::wstring& key_path, REGSAM view, const wchar_t* name, DWORD type,
           const void* data, DWORD size) {
    ScopedKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key_path.c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE | view, nullptr, key.receive(), nullptr),
              ERROR_SUCCESS)
        << key_path;
    keys_.emplace_back(key_path, view);
    if (name != nullptr) {
      ASSERT_EQ(RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size),
                ERROR_SUCCESS);
    }
  }
  void Text(const std::wstring& key_path, REGSAM view, const wchar_t* name,
            const std::wstring& text) {
    Raw(key_path, view, name, REG_SZ, text.c_str(),
        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  void Service(const wchar_t* name) {
    Raw(std::wstring(L"SYSTEM\\CurrentControlSet\\services\\") + name, 0, nullptr, 0, nullptr,
        0);
  }

 private:
  std::vector<std::pair<std::wstring, REGSAM>> keys_;
};

// Creates the files (and their sub-folders) below a folder with a trailing backslash.
void MakeFiles(const std::wstring& folder, const std::vector<std::wstring>& files) {
  for (const std::wstring& file : files) {
    const size_t separator = file.find_last_of(L'\\');
    if (separator != std::wstring::npos) {
      CreateDirectoryW((folder + file.substr(0, separator)).c_str(), nullptr);
    }
    ASSERT_TRUE(test::WriteWholeFile(folder + file, "x")) << folder + file;
  }
}

std::wstring NoTrailingSeparator(std::wstring folder) {
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return folder;
}

std::map<std::wstring, bool> Survey() {
  std::map<std::wstring, bool> found;
  for (const SurveyResult& result : RunProductSurvey()) found[result.member] = result.present;
  return found;
}

// The members found present.
std::vector<std::wstring> Present() {
  std::vector<std::wstring> present;
  for (const SurveyResult& result : RunProductSurvey()) {
    if (result.present) present.push_back(result.member);
  }
  return present;
}

using Members = std::vector<std::wstring>;

TEST(ProductSurvey, NothingInstalledGivesSortedZeros) {
  EXPECT_EQ(GetSurveyText(),
            L"{\"2345Explorer\":0,\"360safe\":0,\"BaiDuAntivirus\":0,\"BaiDuSafe\":0,"
            L"\"QQGuanJia\":0,\"RuiXing\":0,\"huorong\":0,\"qdjl\":0,\"tovel\":0}");
  EXPECT_FALSE(Is360Present());
}

struct ProductCase {
  const wchar_t* member;
  std::wstring key;
  REGSAM view;
  const wchar_t* value_name;
  // The folder value: %s stands for the install folder without its trailing backslash.
  const wchar_t* value_form;
  std::vector<std::wstring> files;
  std::vector<const wchar_t*> services;
};

std::wstring Expand(const wchar_t* form, const std::wstring& folder) {
  std::wstring text = form;
  const size_t at = text.find(L"%s");
  if (at != std::wstring::npos) text.replace(at, 2, NoTrailingSeparator(folder));
  return text;
}

std::vector<ProductCase> ProductCases() {
  const std::wstring uninstall = kUninstall, uninstall32 = kUninstall32;
  return {
      {L"360safe", uninstall32 + k360Name, k64, L"InstallLocation", L"%s",
       {L"360Safe.exe", L"deepscan\\zhudongfangyu.exe", L"EfiMon.sys"}, {L"360netmon"}},
      {L"tovel", L"SOFTWARE\\vesmark\\Antivirus", k32, L"ProgramPath", L"%s",
       {L"wtptray.exe", L"plxlive.exe", L"plxmain.exe"}, {}},
      {L"qdjl", uninstall + L"DriverGenius", k32, L"DisplayIcon", L"%s\\drivergenius.exe",
       {L"drivergenius.exe", L"driverupdate.exe"}, {}},
      // Found in the 64-bit view after the default view gave nothing.
      {L"BaiDuAntivirus", uninstall + kBaiduAntivirusName, k64, L"UninstallString",
       L"\"%s\\Uninstall.exe\"", {L"baidusdSvc.exe", L"baidusd.exe"}, {}},
      // Found under the 32-bit uninstall key, the second place looked at.
      {L"BaiDuSafe", uninstall32 + kBaiduSafeName, k64, L"UninstallString",
       L"%s\\uninst.exe", {L"BaiduAn.exe", L"BaiduAnTray.exe"}, {}},
      {L"QQGuanJia", L"SOFTWARE\\Wow6432Node\\Tencent\\QQPCMgr", k64, L"InstallDir", L"%s",
       {L"QQPCMgr.exe", L"TSSysKit.sys", L"QQPCRTP.exe"}, {}},
      {L"RuiXing", L"SOFTWARE\\Wow6432Node\\rising\\RAV", k64, L"installpath", L"%s",
       {L"rstray.exe", L"rsmain.exe", L"ravmond.exe"}, {L"rsravmon"}},
      {L"2345Explorer", L"SOFTWARE\\2345Explorer", k32, L"path", L"%s\\2345Explorer.exe",
       {L"2345Explorer.exe"}, {}},
      {L"huorong", L"SOFTWARE\\Huorong\\Sysdiag", k64, L"InstallPath", L"%s\\",
       {L"bin\\HipsTray.exe", L"bin\\HipsDaemon.exe"}, {}},
  };
}

TEST(ProductSurvey, EachProductPresentAloneAndAbsentWithoutAFile) {
  for (const ProductCase& c : ProductCases()) {
    SCOPED_TRACE(c.member);
    TempFolder folder;
    PrefixSetup setup;
    setup.Text(c.key, c.view, c.value_name, Expand(c.value_form, folder.path()));
    MakeFiles(folder.path(), c.files);
    for (const wchar_t* service : c.services) setup.Service(service);
    EXPECT_EQ(Present(), Members{c.member});
    // Every listed file is needed: the last one removed makes the product absent.
    ASSERT_TRUE(DeleteFileW((folder.path() + c.files.back()).c_str()));
    EXPECT_EQ(Present(), Members{});
  }
}

TEST(ProductSurvey, ProductsWithServicesAreAbsentWithoutThem) {
  for (const ProductCase& c : ProductCases()) {
    if (c.services.empty()) continue;
    SCOPED_TRACE(c.member);
    TempFolder folder;
    PrefixSetup setup;
    setup.Text(c.key, c.view, c.value_name, Expand(c.value_form, folder.path()));
    MakeFiles(folder.path(), c.files);
    EXPECT_EQ(Present(), Members{});
  }
}

TEST(ProductSurvey, ThreeSixtyWithEitherServiceAndItsOwnQuestion) {
  for (const wchar_t* service : {L"360SelfProtection", L"360netmon"}) {
    TempFolder folder;
    PrefixSetup setup;
    // A trailing slash is kept as the separator.
    setup.Text(kUninstall32 + k360Name, k64, L"InstallLocation",
               NoTrailingSeparator(folder.path()) + L"/");
    MakeFiles(folder.path(), ProductCases()[0].files);
    setup.Service(service);
    EXPECT_TRUE(Is360Present()) << service;
    EXPECT_TRUE(Survey()[L"360safe"]);
  }
}

TEST(ProductSurvey, ThreeSixtyInItsDefaultFolderOnlyWithoutUninstallEntry) {
  const std::wstring program_files_x86 = L"C:\\Program Files (x86)\\360\\";
  const std::wstring default_folder = program_files_x86 + L"360Safe\\";
  CreateDirectoryW(program_files_x86.c_str(), nullptr);
  CreateDirectoryW(default_folder.c_str(), nullptr);
  MakeFiles(default_folder, ProductCases()[0].files);
  {
    PrefixSetup setup;
    setup.Service(L"360SelfProtection");
    EXPECT_TRUE(Is360Present());
    // A registered location is the only place looked at, even when it lacks the files.
    TempFolder elsewhere;
    setup.Text(kUninstall32 + k360Name, k64, L"InstallLocation", elsewhere.path());
    EXPECT_FALSE(Is360Present());
  }
  // No service: absent.
  EXPECT_FALSE(Is360Present());
  for (const wchar_t* file :
       {L"360Safe.exe", L"deepscan\\zhudongfangyu.exe", L"EfiMon.sys"}) {
    DeleteFileW((default_folder + file).c_str());
  }
  RemoveDirectoryW((default_folder + L"deepscan").c_str());
  RemoveDirectoryW(default_folder.c_str());
  RemoveDirectoryW(program_files_x86.c_str());
}

TEST(ProductSurvey, ThreeSixtyInACustomFolderWithoutUninstallEntryIsAbsent) {
  TempFolder folder;
  PrefixSetup setup;
  MakeFiles(folder.path(), ProductCases()[0].files);
  setup.Service(L"360netmon");
  EXPECT_FALSE(Is360Present());
}

TEST(ProductSurvey, DriverGeniusIconIndexHidesTheFolder) {
  TempFolder folder;
  PrefixSetup setup;
  setup.Text(std::wstring(kUninstall) + L"DriverGenius", k32, L"DisplayIcon",
             L"\"" + folder.path() + L"drivergenius.exe\",0");
  MakeFiles(folder.path(), {L"drivergenius.exe", L"driverupdate.exe"});
  EXPECT_FALSE(Survey()[L"qdjl"]);
}

TEST(ProductSurvey, HostileValuesCountAsAbsent) {
  TempFolder folder;
  MakeFiles(folder.path(), {L"wtptray.exe", L"plxlive.exe", L"plxmain.exe"});
  PrefixSetup setup;
  // Not terminated, odd size: the folder text is read within the value's bytes, and the
  // last half character is dropped.
  const std::wstring unterminated = NoTrailingSeparator(folder.path()) + L"Z";
  setup.Raw(L"SOFTWARE\\vesmark\\Antivirus", k32, L"ProgramPath", REG_SZ, unterminated.data(),
            static_cast<DWORD>(unterminated.size() * sizeof(wchar_t) - 1));
  EXPECT_TRUE(Survey()[L"tovel"]);
  // Longer than a path: cut at 259 characters, which names no folder.
  setup.Text(L"SOFTWARE\\vesmark\\Antivirus", k32, L"ProgramPath",
             folder.path() + std::wstring(40000, L'a'));
  // Binary and number values are no texts.
  const unsigned char bytes[] = {'C', 0, ':', 0};
  setup.Raw(std::wstring(kUninstall) + L"DriverGenius", k32, L"DisplayIcon", REG_BINARY, bytes,
            sizeof(bytes));
  const DWORD number = 1;
  setup.Raw(L"SOFTWARE\\Huorong\\Sysdiag", k64, L"InstallPath", REG_DWORD, &number,
            sizeof(number));
  // An empty value and a value of only quotes and backslashes.
  setup.Raw(L"SOFTWARE\\Wow6432Node\\rising\\RAV", k64, L"installpath", REG_SZ, L"", 0);
  setup.Text(L"SOFTWARE\\2345Explorer", k32, L"path", L"\"\\\\\"");
  EXPECT_EQ(Present(), Members{});
}

TEST(ProductSurvey, TencentRealTimeProtectionNeedsFolderAndService) {
  TempFolder folder;
  PrefixSetup setup;
  setup.Text(L"SOFTWARE\\Tencent\\QQPCMgr", k32, L"InstallDir", folder.path());
  EXPECT_FALSE(IsTencentRealTimeProtectionPresent());  // no service
  setup.Service(L"QQPCRTP");
  EXPECT_TRUE(IsTencentRealTimeProtectionPresent());
  setup.Text(L"SOFTWARE\\Tencent\\QQPCMgr", k32, L"InstallDir", folder.path() + L"missing");
  EXPECT_FALSE(IsTencentRealTimeProtectionPresent());
  setup.Text(L"SOFTWARE\\Tencent\\QQPCMgr", k32, L"InstallDir", L"");
  EXPECT_FALSE(IsTencentRealTimeProtectionPresent());
}

// The instant messenger installed in a temporary folder, with the link helper copied in
// as its web viewer when asked.
class Messenger {
 public:
  explicit Messenger(bool with_viewer) {
    setup_.Text(std::wstring(kUninstall) + L"{052CFB79-9D62-42E3-8A15-DE66C2C97C3E}", k32,
                L"InstallLocation", NoTrailingSeparator(folder_.path()));
    MakeFiles(folder_.path(), {L"bin\\qq.exe", L"bin\\IM.dll"});
    if (with_viewer) {
      EXPECT_TRUE(CopyFileW(test::BesideThisProgram(L"probe_link_target.exe").c_str(),
                            viewer().c_str(), FALSE));
    }
  }
  const std::wstring& folder() const { return folder_.path(); }
  std::wstring viewer() const { return folder_.path() + L"bin\\Timwp.exe"; }

 private:
  TempFolder folder_;
  PrefixSetup setup_;
};

// The command line the helper recorded at `program`, waiting for it to appear.
std::wstring RecordedCommandLine(const std::wstring& program) {
  std::string bytes;
  for (int i = 0; i < 100; ++i) {
    if (test::ReadWholeFile(program + L".txt", &bytes) && !bytes.empty()) break;
    Sleep(50);
  }
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()),
                      bytes.size() / sizeof(wchar_t));
}

TEST(InstantMessenger, PresentWithBothFiles) {
  EXPECT_FALSE(IsInstantMessengerPresent());
  Messenger messenger(false);
  std::wstring folder;
  EXPECT_TRUE(IsInstantMessengerPresent(&folder));
  EXPECT_EQ(folder, messenger.folder());
  ASSERT_TRUE(DeleteFileW((messenger.folder() + L"bin\\IM.dll").c_str()));
  EXPECT_FALSE(IsInstantMessengerPresent());
}

TEST(OpenLink, ThroughTheMessengerViewerWithParameters) {
  Messenger messenger(true);
  TempFolder other;
  const std::wstring fallback = other.File(L"fallback.exe");
  ASSERT_TRUE(CopyFileW(test::BesideThisProgram(L"probe_link_target.exe").c_str(),
                        fallback.c_str(), FALSE));
  EXPECT_TRUE(OpenLink(L"-url https://example.invalid/page", fallback));
  const std::wstring line = RecordedCommandLine(messenger.viewer());
  EXPECT_NE(line.find(L"-url https://example.invalid/page"), std::wstring::npos) << line;
  Sleep(200);
  EXPECT_FALSE(test::FileExists(fallback + L".txt"));
}

TEST(OpenLink, FallbackWithoutParametersViewerOrMessenger) {
  struct Case {
    const char* name;
    bool messenger;
    bool viewer;
    const wchar_t* parameters;
  } cases[] = {
      {"no parameters", true, true, nullptr},
      {"empty parameters", true, true, L""},
      {"no viewer", true, false, L"-url x"},
      {"no messenger", false, false, L"-url x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<Messenger> messenger;
    if (c.messenger) messenger = std::make_unique<Messenger>(c.viewer);
    TempFolder other;
    const std::wstring fallback = other.File(L"fallback.exe");
    ASSERT_TRUE(CopyFileW(test::BesideThisProgram(L"probe_link_target.exe").c_str(),
                          fallback.c_str(), FALSE));
    EXPECT_TRUE(OpenLink(c.parameters, fallback));
    EXPECT_NE(RecordedCommandLine(fallback).find(L"fallback.exe"), std::wstring::npos);
    if (c.viewer) {
      EXPECT_FALSE(test::FileExists(messenger->viewer() + L".txt"));
    }
  }
}

TEST(OpenLink, FailsWhenTheFallbackCannotBeOpened) {
  TempFolder other;
  EXPECT_FALSE(OpenLink(nullptr, other.File(L"missing.exe")));
}

}  // namespace
}  // namespace kbase
