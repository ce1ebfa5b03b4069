#pragma once
// Text rules of the self-update, free of Win32 calls.
#include <string>

namespace kbase {

// Path of the update information on its server.
inline constexpr char kUpdateInformationPath[] = "/defend/o1/jcqgx.ini";

// The update information's address from the build's update host: a bare "host" or
// "host:port" is reached over "http://"; a setting that already names its scheme
// ("https://host", "http://host:port/", any case) is used as it stands, without its
// trailing slashes. Empty for an empty setting.
std::string UpdateInformationUrl(const std::string& host);

// The file name a newer build is stored under: ".bak" inserted before the extension
// (the last dot), so "setup.exe" becomes "setup.bak.exe". A name without a dot gives an
// empty name.
std::wstring BackupProgramName(const std::wstring& program_name);

// The file name part of a path: after its last backslash or slash.
std::wstring PathFileName(const std::wstring& path);

}  // namespace kbase
