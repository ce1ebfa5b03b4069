#include "ui/vw_resource_loader.h"

#include <cwchar>

#include "common/win/scoped_handle.h"
#include "ui/vw_png_pool.h"
#include "ui/vw_skin_pool.h"
#include "ui/vw_string_table.h"
#include "ui/vw_style_table.h"

namespace kbase {
namespace {

std::wstring WithoutTrailingSlash(std::wstring folder) {
  while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  return folder;
}

}  // namespace

bool ReadModuleResource(HMODULE module, const wchar_t* type, int number, std::string* bytes) {
  if (number <= 0 || number > 0xFFFF) return false;
  HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(number), type);
  if (found == nullptr) return false;
  const DWORD size = ::SizeofResource(module, found);
  HGLOBAL loaded = ::LoadResource(module, found);
  const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
  if (data == nullptr || size == 0 || size > VwResourceLoader::kMaxResourceBytes) return false;
  bytes->assign(static_cast<const char*>(data), size);
  return true;
}

bool ReadSmallFile(const std::wstring& path, size_t limit, std::string* bytes) {
  ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  LARGE_INTEGER length{};
  if (!::GetFileSizeEx(file.get(), &length) || length.QuadPart < 0 ||
      static_cast<unsigned long long>(length.QuadPart) > limit)
    return false;
  std::string data(static_cast<size_t>(length.QuadPart), '\0');
  DWORD read = 0;
  if (!data.empty() && (!::ReadFile(file.get(), &data[0], static_cast<DWORD>(data.size()), &read, nullptr) ||
                        read != data.size()))
    return false;
  bytes->swap(data);
  return true;
}

VwResourceLoader& VwResourceLoader::Instance() {
  static VwResourceLoader loader;
  return loader;
}

void VwResourceLoader::SetResourceFolder(const std::wstring& folder) { folder_ = WithoutTrailingSlash(folder); }

void VwResourceLoader::SetSecondFolder(const std::wstring& folder) { second_folder_ = WithoutTrailingSlash(folder); }

void VwResourceLoader::ClearImageCache() { VwPngPool::Instance().Clear(); }

std::wstring VwResourceLoader::FolderFile(const wchar_t* type, int number) const {
  if (folder_.empty()) return std::wstring();
  wchar_t name[64];
  std::swprintf(name, 64, L"\\%d.%ls", number, type);
  return folder_ + name;
}

bool VwResourceLoader::ReadFolderFile(const std::wstring& folder, const wchar_t* type, int number,
                                      std::string* bytes) const {
  if (folder.empty()) return false;
  wchar_t name[64];
  std::swprintf(name, 64, L"\\%d.%ls", number, type);
  return ReadSmallFile(folder + name, kMaxResourceBytes, bytes);
}

std::vector<std::string> VwResourceLoader::Sources(const wchar_t* type, int number, bool single,
                                                   bool allow_provider) {
  std::vector<std::string> found;
  std::string bytes;
  auto take = [&](bool ok) {
    if (ok) found.push_back(std::move(bytes));
    bytes.clear();
    return single && !found.empty();
  };
  if (prefer_folder_) {
    if (take(ReadFolderFile(folder_, type, number, &bytes))) return found;
    if (take(ReadFolderFile(second_folder_, type, number, &bytes))) return found;
  }
  if (provider_ != nullptr && (!single || allow_provider)) {
    const bool ok = single ? provider_->FindResource(type, number, &bytes) : provider_->FindTable(type, number, &bytes);
    if (take(ok)) return found;
  }
  if (module_ != nullptr && take(ReadModuleResource(module_, type, number, &bytes))) return found;
  if (take(ReadModuleResource(::GetModuleHandleW(nullptr), type, number, &bytes))) return found;
  if (!prefer_folder_ && take(ReadFolderFile(folder_, type, number, &bytes))) return found;
  return found;
}

bool VwResourceLoader::LoadResourceData(const wchar_t* type, int number, bool allow_provider, std::string* bytes) {
  std::vector<std::string> found = Sources(type, number, true, allow_provider);
  if (found.empty()) return false;
  bytes->swap(found.front());
  return true;
}

std::vector<std::string> VwResourceLoader::CollectResourceData(const wchar_t* type, int number) {
  return Sources(type, number, false, true);
}

int VwResourceLoader::LoadStrings(int number) {
  VwString& table = VwString::Instance();
  table.Clear();
  int loaded = 0;
  for (const std::string& xml : CollectResourceData(L"xml", number)) loaded |= table.LoadFromText(xml);
  return loaded;
}

int VwResourceLoader::LoadSkins(int number) {
  VwSkinPool& pool = VwSkinPool::Instance();
  pool.Clear();
  int loaded = 0;
  for (const std::string& xml : CollectResourceData(L"xml", number)) loaded |= pool.LoadFromText(xml);
  return loaded;
}

int VwResourceLoader::LoadStyles(int number) {
  VwStyleTable& table = VwStyleTable::Instance();
  table.Clear();
  int loaded = 0;
  for (const std::string& xml : CollectResourceData(L"xml", number)) loaded |= table.LoadFromText(xml);
  return loaded;
}

}  // namespace kbase
