#pragma once
// Where the UI finds its documents and images. Sources for one type and number, in order:
//   1. with the prefer-folder flag: "<folder>\<number>.<type>" in the resource folder,
//      then in the second folder;
//   2. the external provider, if one is installed (single resources only when allowed);
//   3. the resource module, if set;
//   4. the program's own module resources;
//   5. without the prefer-folder flag: the file in the resource folder, if set.
// A single resource comes from the first source that has it; the table documents
// (strings, skins, styles) take every source, earlier ones winning.
#include <windows.h>

#include <string>
#include <vector>

namespace kbase {

// An outside supplier of resources, asked before the modules.
class IVwResourceProvider {
 public:
  virtual ~IVwResourceProvider() = default;
  virtual bool FindResource(const wchar_t* type, int number, std::string* bytes) = 0;
  virtual bool FindTable(const wchar_t* type, int number, std::string* bytes) = 0;
};

class VwResourceLoader {
 public:
  // Documents and images above this size are refused.
  static constexpr size_t kMaxResourceBytes = 32u * 1024 * 1024;

  static VwResourceLoader& Instance();

  void SetResourceFolder(const std::wstring& folder);
  const std::wstring& resource_folder() const { return folder_; }
  void SetSecondFolder(const std::wstring& folder);
  void SetResourceModule(HMODULE module) { module_ = module; }
  HMODULE resource_module() const { return module_; }
  void SetProvider(IVwResourceProvider* provider) { provider_ = provider; }
  void SetPreferFolder(bool prefer) { prefer_folder_ = prefer; }

  // Disposes every decoded PNG (base and DPI) and forgets the DPI ratios.
  void ClearImageCache();

  // Each empties its table, then merges every document of that number; 1 when at least
  // one document was found and read.
  int LoadStrings(int number);
  int LoadSkins(int number);
  int LoadStyles(int number);

  // The bytes of the first source with the resource; type is "png", "xml" or "jpg".
  bool LoadResourceData(const wchar_t* type, int number, bool allow_provider, std::string* bytes);
  // Every source's bytes, in source order.
  std::vector<std::string> CollectResourceData(const wchar_t* type, int number);
  // "<folder>\<number>.<type>" in the resource folder (empty without a folder).
  std::wstring FolderFile(const wchar_t* type, int number) const;

 private:
  bool ReadFolderFile(const std::wstring& folder, const wchar_t* type, int number, std::string* bytes) const;
  std::vector<std::string> Sources(const wchar_t* type, int number, bool single, bool allow_provider);

  std::wstring folder_;
  std::wstring second_folder_;
  HMODULE module_ = nullptr;
  IVwResourceProvider* provider_ = nullptr;
  bool prefer_folder_ = false;
};

// Bytes of a module resource of that type and number; false when it has none.
bool ReadModuleResource(HMODULE module, const wchar_t* type, int number, std::string* bytes);
// A whole file of at most `limit` bytes; false when missing, unreadable or larger.
bool ReadSmallFile(const std::wstring& path, size_t limit, std::string* bytes);

}  // namespace kbase
