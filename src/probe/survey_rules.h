#pragma once
// The security products the survey looks for, and how registry texts become install
// folders. Free of Win32 calls.
#include <string>
#include <vector>

namespace kbase {

enum class FolderSource {
  // A folder text; a non-empty one gets a trailing backslash.
  kRegistryFolder,
  // A file path (an icon, an uninstaller) whose folder is wanted; read in the default
  // view, then in the 64-bit view.
  kUninstallFolder,
  // The 360 rule: a folder text, else the two default install folders.
  kRegistryFolderOrDefaults,
};

struct RegistryText {
  std::wstring key;    // below HKEY_LOCAL_MACHINE
  std::wstring value;
};

struct SurveyProduct {
  std::wstring member;  // the key in the survey text
  FolderSource source = FolderSource::kRegistryFolder;
  // Tried in order until one gives a folder.
  std::vector<RegistryText> locations;
  // Must all exist in the folder.
  std::vector<std::wstring> files;
  // At least one must be registered; none listed means no such condition.
  std::vector<std::wstring> services;
};

// The products in survey order. `processor64` picks the 32-bit registry branch
// (Wow6432Node) where a product registers there on 64-bit Windows.
std::vector<SurveyProduct> SurveyProducts(bool processor64);

// Where 360 Safe installs by default, tried in this order when it has no uninstall entry.
extern const wchar_t* const k360DefaultFolders[2];

// A registry folder text with its trailing backslash; empty stays empty.
std::wstring RegistryFolderText(const std::wstring& value);

// A folder text with a trailing backslash added unless it ends in one (or in a slash).
std::wstring FolderWithSeparator(const std::wstring& value);

// The folder of a registry file-path value: backslashes and double quotes trimmed at
// both ends; when it then ends in ".exe", ".dll", ".ico" or ".txt" (any case) the last
// path element is removed; a trailing backslash is added. Empty when nothing is left.
std::wstring UninstallFolderText(const std::wstring& value);

}  // namespace kbase
