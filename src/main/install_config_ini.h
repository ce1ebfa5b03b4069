#pragma once
// installconfig.ini, unpacked from the resource block into install_res: the channel ID
// string and the start-up switches, read from its "install" section.
#include <string>

namespace kbase {

inline constexpr wchar_t kInstallResFolder[] = L"install_res";
inline constexpr wchar_t kInstallConfigIni[] = L"installconfig.ini";

struct InstallConfigIni {
  std::wstring id;      // ID: channel ID string, such as "_186_f336_k0001_ch1"
  // 0: plain banner and start; 1: area-list banner, install-mode choice, large layout;
  // 2: area-list banner, downloader layout
  int source = 0;
  int imagecounts = 1;  // banner images to rotate
  int autoclose = 0;    // non-zero: hide the main window `delaytime` seconds after the start
  int delaytime = 2;
};

// The values of the file at `path` (a full path); a missing file or key keeps its default.
InstallConfigIni ReadInstallConfigIni(const std::wstring& path);

}  // namespace kbase
