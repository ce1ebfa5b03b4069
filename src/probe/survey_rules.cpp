#include "probe/survey_rules.h"

#include <cwctype>

namespace kbase {

namespace {

const wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const wchar_t kUninstallKey32[] =
    L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

bool EndsWithNoCase(const std::wstring& text, const wchar_t* suffix) {
  const std::wstring tail(suffix);
  if (text.size() < tail.size()) return false;
  for (size_t i = 0; i < tail.size(); ++i) {
    if (std::towlower(text[text.size() - tail.size() + i]) != std::towlower(tail[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace

const wchar_t* const k360DefaultFolders[2] = {L"C:\\Program Files\\360\\360Safe\\",
                                              L"C:\\Program Files (x86)\\360\\360Safe\\"};

std::vector<SurveyProduct> SurveyProducts(bool processor64) {
  const std::wstring uninstall = processor64 ? kUninstallKey32 : kUninstallKey;
  const std::wstring software = processor64 ? L"SOFTWARE\\Wow6432Node\\" : L"SOFTWARE\\";
  const std::wstring baidu_antivirus = L"\u767e\u5ea6\u6740\u6bd2";  // Baidu antivirus
  const std::wstring baidu_safe = L"\u767e\u5ea6\u536b\u58eb";       // Baidu guard

  auto baidu_locations = [&](const std::wstring& name) {
    std::vector<RegistryText> locations = {{kUninstallKey + name, L"UninstallString"}};
    if (processor64) locations.push_back({kUninstallKey32 + name, L"UninstallString"});
    return locations;
  };

  return {
      {L"360safe", FolderSource::kRegistryFolderOrDefaults,
       {{uninstall + L"360\u5b89\u5168\u536b\u58eb", L"InstallLocation"}},
       {L"360Safe.exe", L"deepscan\\zhudongfangyu.exe", L"EfiMon.sys"},
       {L"360SelfProtection", L"360netmon"}},
      {L"tovel", FolderSource::kRegistryFolder,
       {{L"software\\vesmark\\antivirus", L"ProgramPath"}},
       {L"wtptray.exe", L"plxlive.exe", L"plxmain.exe"},
       {}},
      {L"qdjl", FolderSource::kUninstallFolder,
       {{std::wstring(kUninstallKey) + L"DriverGenius", L"DisplayIcon"}},
       {L"drivergenius.exe", L"driverupdate.exe"},
       {}},
      {L"BaiDuAntivirus", FolderSource::kUninstallFolder, baidu_locations(baidu_antivirus),
       {L"baidusdSvc.exe", L"baidusd.exe"},
       {}},
      {L"BaiDuSafe", FolderSource::kUninstallFolder, baidu_locations(baidu_safe),
       {L"BaiduAn.exe", L"BaiduAnTray.exe"},
       {}},
      {L"QQGuanJia", FolderSource::kRegistryFolder,
       {{software + L"Tencent\\QQPCMgr", L"InstallDir"}},
       {L"QQPCMgr.exe", L"TSSysKit.sys", L"QQPCRTP.exe"},
       {}},
      {L"RuiXing", FolderSource::kRegistryFolder,
       {{software + L"rising\\RAV", L"installpath"}},
       {L"rstray.exe", L"rsmain.exe", L"ravmond.exe"},
       {L"rsravmon"}},
      {L"2345Explorer", FolderSource::kUninstallFolder,
       {{L"SOFTWARE\\2345Explorer", L"path"}},
       {L"2345Explorer.exe"},
       {}},
      {L"huorong", FolderSource::kUninstallFolder,
       {{L"SOFTWARE\\Huorong\\Sysdiag", L"InstallPath"}},
       {L"bin\\HipsTray.exe", L"bin\\HipsDaemon.exe"},
       {}},
  };
}

std::wstring RegistryFolderText(const std::wstring& value) {
  return value.empty() ? value : value + L'\\';
}

std::wstring FolderWithSeparator(const std::wstring& value) {
  if (value.empty() || value.back() == L'\\' || value.back() == L'/') return value;
  return value + L'\\';
}

std::wstring UninstallFolderText(const std::wstring& value) {
  auto trimmed = [](wchar_t c) { return c == L'\\' || c == L'"'; };
  size_t first = 0, end = value.size();
  while (first < end && trimmed(value[first])) ++first;
  while (end > first && trimmed(value[end - 1])) --end;
  std::wstring folder = value.substr(first, end - first);
  static const wchar_t* const kFileExtensions[] = {L".exe", L".dll", L".ico", L".txt"};
  for (const wchar_t* extension : kFileExtensions) {
    if (!EndsWithNoCase(folder, extension)) continue;
    const size_t separator = folder.find_last_of(L'\\');
    folder.resize(separator == std::wstring::npos ? 0 : separator);
    break;
  }
  return folder.empty() ? folder : folder + L'\\';
}

}  // namespace kbase
