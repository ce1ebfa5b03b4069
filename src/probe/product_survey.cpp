#include "probe/product_survey.h"

#include <windows.h>
#include <shellapi.h>

#include "common/json/vw_json.h"
#include "common/win/file_facts.h"
#include "common/win/scoped_handle.h"
#include "config/windows_bitness.h"
#include "probe/registry_text.h"
#include "probe/survey_rules.h"
#include "probe/system_facts.h"

namespace kbase {

namespace {

// Registry folders are read into a MAX_PATH buffer: longer texts are cut.
constexpr size_t kFolderChars = MAX_PATH - 1;

const wchar_t kTencentManagerKey[] = L"SOFTWARE\\Tencent\\QQPCMgr";
const wchar_t kMessengerUninstallKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
    L"{052CFB79-9D62-42E3-8A15-DE66C2C97C3E}";

// These products register from 32-bit programs; a 32-bit process's default registry view
// is the 32-bit one, and this process asks for that view by name so that a 64-bit build
// finds what a 32-bit one would.
REGSAM DefaultView() { return IsWindows64Bit() ? KEY_WOW64_32KEY : 0; }

std::wstring ReadText(const std::wstring& key, const std::wstring& value, REGSAM view) {
  std::wstring text;
  ReadRegistryText(HKEY_LOCAL_MACHINE, key.c_str(), value.c_str(), KEY_QUERY_VALUE | view,
                   &text, kFolderChars);
  return text;
}

bool AllFilesIn(const std::wstring& folder, const std::vector<std::wstring>& files) {
  for (const std::wstring& file : files) {
    if (!PathExists(folder + file)) return false;
  }
  return true;
}

std::wstring UninstallFolder(const RegistryText& location) {
  std::wstring text = ReadText(location.key, location.value, DefaultView());
  if (text.empty()) text = ReadText(location.key, location.value, KEY_WOW64_64KEY);
  return UninstallFolderText(text);
}

std::wstring FolderOf(const SurveyProduct& product) {
  for (const RegistryText& location : product.locations) {
    std::wstring folder;
    switch (product.source) {
      case FolderSource::kRegistryFolder:
        folder = RegistryFolderText(ReadText(location.key, location.value, DefaultView()));
        break;
      case FolderSource::kUninstallFolder:
        folder = UninstallFolder(location);
        break;
      case FolderSource::kRegistryFolderOrDefaults:
        folder = FolderWithSeparator(ReadText(location.key, location.value, DefaultView()));
        break;
    }
    if (!folder.empty()) return folder;
  }
  return {};
}

bool AnyServiceRegistered(const std::vector<std::wstring>& services) {
  if (services.empty()) return true;
  for (const std::wstring& service : services) {
    if (IsServiceRegistered(service)) return true;
  }
  return false;
}

bool IsPresent(const SurveyProduct& product) {
  const std::wstring folder = FolderOf(product);
  bool files_found = false;
  if (product.source == FolderSource::kRegistryFolderOrDefaults && folder.empty()) {
    for (const wchar_t* fallback : k360DefaultFolders) {
      if (AllFilesIn(fallback, product.files)) {
        files_found = true;
        break;
      }
    }
  } else {
    // Without a folder the names are looked up as they stand, relative to the current
    // folder.
    files_found = AllFilesIn(folder, product.files);
  }
  return files_found && AnyServiceRegistered(product.services);
}

}  // namespace

bool IsServiceRegistered(const std::wstring& name) {
  const std::wstring path = L"SYSTEM\\CurrentControlSet\\services\\" + name;
  ScopedKey key;
  return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, key.receive()) ==
         ERROR_SUCCESS;
}

std::vector<SurveyResult> RunProductSurvey() {
  std::vector<SurveyResult> results;
  for (const SurveyProduct& product : SurveyProducts(Is64BitProcessor())) {
    results.push_back({product.member, IsPresent(product)});
  }
  return results;
}

std::wstring GetSurveyText() {
  VwJson::Document document;
  for (const SurveyResult& result : RunProductSurvey()) {
    document.Member(result.member).SetInt(result.present ? 1 : 0);
  }
  return document.ToString();
}

bool Is360Present() { return IsPresent(SurveyProducts(Is64BitProcessor()).front()); }

bool IsHuorongPresent() {
  for (const SurveyProduct& product : SurveyProducts(Is64BitProcessor())) {
    if (product.member == L"huorong") return IsPresent(product);
  }
  return false;
}

bool IsTencentRealTimeProtectionPresent() {
  const std::wstring folder = ReadText(kTencentManagerKey, L"InstallDir", DefaultView());
  if (folder.empty()) return false;
  if (!FolderExists(folder)) return false;
  return IsServiceRegistered(L"QQPCRTP");
}

bool IsInstantMessengerPresent(std::wstring* folder) {
  const std::wstring found =
      RegistryFolderText(ReadText(kMessengerUninstallKey, L"InstallLocation", DefaultView()));
  if (found.empty()) return false;
  if (!PathExists(found + L"bin\\qq.exe") || !PathExists(found + L"bin\\IM.dll")) return false;
  if (folder != nullptr) *folder = found;
  return true;
}

bool OpenLink(const wchar_t* parameters, const std::wstring& fallback_target) {
  // ShellExecuteW's result is an HINSTANCE that holds an error code up to 32.
  auto opened = [](HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; };
  std::wstring folder;
  if (parameters != nullptr && parameters[0] != L'\0' && IsInstantMessengerPresent(&folder)) {
    const std::wstring viewer = folder + L"bin\\Timwp.exe";
    if (PathExists(viewer) &&
        opened(::ShellExecuteW(nullptr, L"open", viewer.c_str(), parameters, nullptr,
                               SW_SHOWNORMAL))) {
      return true;
    }
  }
  return opened(::ShellExecuteW(nullptr, L"open", fallback_target.c_str(), nullptr, nullptr,
                                SW_SHOWNORMAL));
}

}  // namespace kbase
