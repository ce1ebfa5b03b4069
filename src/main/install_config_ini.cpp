#include "main/install_config_ini.h"

#include <windows.h>

namespace kbase {

namespace {

constexpr wchar_t kSection[] = L"install";
// ID holds at most 255 characters.
constexpr DWORD kIdBuffer = 256;

int ReadInt(const wchar_t* key, int fallback, const std::wstring& path) {
  return static_cast<int>(GetPrivateProfileIntW(kSection, key, fallback, path.c_str()));
}

}  // namespace

InstallConfigIni ReadInstallConfigIni(const std::wstring& path) {
  InstallConfigIni ini;
  wchar_t id[kIdBuffer] = {};
  const DWORD length = GetPrivateProfileStringW(kSection, L"ID", L"", id, kIdBuffer, path.c_str());
  ini.id.assign(id, length < kIdBuffer ? length : 0);
  ini.source = ReadInt(L"source", ini.source, path);
  ini.imagecounts = ReadInt(L"imagecounts", ini.imagecounts, path);
  ini.autoclose = ReadInt(L"autoclose", ini.autoclose, path);
  ini.delaytime = ReadInt(L"delaytime", ini.delaytime, path);
  return ini;
}

}  // namespace kbase
