#include "download/seven_zip_extract.h"

#include <cstring>
#include <cwctype>
#include <numeric>

#include "common/win/file_facts.h"
#include "common/win/scoped_view.h"
#include "config/directory_tree.h"
#include "main/install_log.h"

// The reader library's one export; it makes handlers and registers the 7z format.
extern "C" HRESULT WINAPI CreateObject(const GUID* clsid, const GUID* iid, void** object);

namespace kbase {

namespace {

// {23170F69-40C1-278A-1000-000110070000}: the 7z format's handler.
constexpr GUID kClsid7zFormat = {0x23170F69, 0x40C1, 0x278A,
                                 {0x10, 0x00, 0x00, 0x01, 0x10, 0x07, 0x00, 0x00}};

// MoveFileEx flags of the reboot-time swaps.
constexpr DWORD kDeleteAtReboot = MOVEFILE_DELAY_UNTIL_REBOOT;
constexpr DWORD kReplaceAtReboot = MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring WithBackslash(const wchar_t* folder) {
  std::wstring path = folder != nullptr ? folder : L"";
  if (path.empty() || !IsSeparator(path.back())) path += L'\\';
  return path;
}

std::wstring FileName(const std::wstring& path) {
  const size_t cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

// Text before the last backslash; "." for an item at the top.
std::wstring FolderPart(const std::wstring& path) {
  const size_t cut = path.rfind(L'\\');
  return cut == std::wstring::npos ? L"." : path.substr(0, cut);
}

bool IsDriverItem(const std::wstring& path) {
  const std::wstring name = FileName(path);
  const size_t dot = name.rfind(L'.');
  if (dot == std::wstring::npos) return false;
  std::wstring extension = name.substr(dot);
  for (wchar_t& c : extension) c = static_cast<wchar_t>(std::towlower(c));
  return extension == L".sys";
}

const std::wstring& DriversFolder() {
  static const std::wstring folder = [] {
    wchar_t system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    return std::wstring(system, length < MAX_PATH ? length : 0) + L"\\drivers\\";
  }();
  return folder;
}

// "<path>_d_<tick count in hex>": where a file in use is moved aside.
std::wstring AsideName(const std::wstring& path) {
  wchar_t suffix[16];
  swprintf(suffix, 16, L"_d_%x", static_cast<unsigned>(GetTickCount()));
  return path + suffix;
}

HANDLE CreateItemFile(const std::wstring& path) {
  return CreateFileW(path.c_str(), GENERIC_ALL, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

// Creates `path + "0"` in place of a file that cannot be replaced now, and has it take
// the file's place at the next reboot. Returns the open file or none.
ScopedHandle CreateTwinForReboot(const std::wstring& path, std::wstring* written) {
  const std::wstring twin = path + L"0";
  ScopedHandle file(CreateItemFile(twin));
  if (file.valid()) {
    MoveFileExW(twin.c_str(), path.c_str(), kReplaceAtReboot);
    *written = twin;
  }
  return file;
}

}  // namespace

Scoped7zExtract C7zExtractImpl::Create() { return Scoped7zExtract(new C7zExtractImpl()); }

void C7zExtractImpl::Release() { delete this; }

bool C7zExtractImpl::IsSafeItemPath(const std::wstring& path) {
  if (path.empty() || IsSeparator(path.front())) return false;
  // A colon means a drive ("C:x") or a stream name ("x:stream"); neither belongs here.
  if (path.find(L':') != std::wstring::npos) return false;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = start;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    // Windows drops trailing dots and spaces of a component, so ". ." or "..." would
    // act as "." or "..": a component must keep something else.
    size_t kept = end;
    while (kept > start && (path[kept - 1] == L'.' || path[kept - 1] == L' ')) --kept;
    if (kept == start) return false;
    start = end + 1;
  }
  return true;
}

HRESULT C7zExtractImpl::ExtractToFolder(const void* data, UInt32 size, const wchar_t* folder) {
  target_ = WithBackslash(folder);
  memory_mode_ = 0;
  return Run(data, size);
}

HRESULT C7zExtractImpl::ExtractToMemory(const void* data, UInt32 size) {
  memory_mode_ = 1;
  return Run(data, size);
}

HRESULT C7zExtractImpl::Run(const void* data, UInt32 size) {
  CMyComPtr<IInArchive> handler;
  if (CreateObject(&kClsid7zFormat, &IID_IInArchive, reinterpret_cast<void**>(&handler)) != S_OK ||
      !handler) {
    return E_FAIL;
  }
  CMyComPtr<IInStream> stream = new CLmInStream(data, size);
  const UInt64 max_start = kMaxStartSearch;
  HRESULT result = handler->Open(stream, &max_start, nullptr);
  if (result != S_OK) return result;
  UInt32 count = 0;
  result = handler->GetNumberOfItems(&count);
  if (result != S_OK) {
    handler->Close();
    return result;
  }
  std::vector<UInt32> indices(count);
  std::iota(indices.begin(), indices.end(), 0u);
  CMyComPtr<IArchiveExtractCallback> callback = new CLmExtractCallback(this, handler);
  // Per-item trouble was handled (or logged) as it came; the overall result adds nothing.
  handler->Extract(indices.data(), count, 0, callback);
  if (memory_mode_ != 0) {
    FileMemoryItem();
  } else {
    CloseItem();
  }
  handler->Close();
  return S_OK;
}

HRESULT C7zExtractImpl::OnNewItem(const wchar_t* path) {
  if (memory_mode_ != 0) {
    FileMemoryItem();
  } else {
    CloseItem();
  }
  std::wstring item = path != nullptr ? path : L"";
  for (wchar_t& c : item) {
    if (c == L'/') c = L'\\';
  }
  const bool directory = !item.empty() && item.back() == L'\\';
  const std::wstring name = directory ? item.substr(0, item.size() - 1) : item;
  if (!IsSafeItemPath(name)) {
    KLog("Extract refused item outside the target folder, path:%ws", item.c_str());
    return E_ACCESSDENIED;
  }

  if (memory_mode_ != 0) {
    if (directory) {
      memory_files_[name];  // its folder is made even when nothing lands in it
      return S_OK;
    }
    memory_file_ = std::make_unique<MemoryFile>();
    memory_file_->path = item;
    return S_OK;
  }

  item_path_ = item;
  if (directory) return CreateDirectoryTree(target_ + name) ? S_OK : E_FAIL;
  OpenItemFile();
  return file_.valid() ? S_OK : E_FAIL;
}

void C7zExtractImpl::OpenItemFile() {
  const std::wstring path = target_ + item_path_;
  CreateParentFolders(path);
  file_.Reset(CreateItemFile(path));
  if (file_.valid()) {
    written_path_ = path;
    return;
  }
  // Only a file in the way is moved aside; a folder of that name stays.
  if (!FileExists(path)) return;

  const std::wstring aside = AsideName(path);
  DeleteFileW(aside.c_str());
  if (!MoveFileExW(path.c_str(), aside.c_str(), 0)) {
    KLog("MoveFileEx Rename file fail, error:%d", static_cast<int>(GetLastError()));
    file_ = CreateTwinForReboot(path, &written_path_);
    return;
  }
  MoveFileExW(aside.c_str(), nullptr, kDeleteAtReboot);
  file_.Reset(CreateItemFile(path));
  if (file_.valid()) {
    written_path_ = path;
    return;
  }
  file_ = CreateTwinForReboot(path, &written_path_);
}

void C7zExtractImpl::CloseItem() {
  if (file_.valid()) {
    file_.Reset();
    if (IsDriverItem(item_path_)) {
      CopyFileW(written_path_.c_str(), (DriversFolder() + FileName(item_path_)).c_str(), FALSE);
    }
  }
  item_path_.clear();
  written_path_.clear();
}

void C7zExtractImpl::FileMemoryItem() {
  if (!memory_file_) return;
  const std::wstring folder = FolderPart(memory_file_->path);
  memory_files_[folder].push_back(std::move(memory_file_));
}

HRESULT C7zExtractImpl::OnWrite(const void* data, UInt32 size, UInt32* processed) {
  if (processed != nullptr) *processed = 0;
  const Byte* bytes = static_cast<const Byte*>(data);
  if (memory_mode_ != 0) {
    if (!memory_file_ || size > kMaxMemoryItem - memory_file_->size) return E_FAIL;
    memory_file_->chunks.emplace_back(bytes, bytes + size);
    memory_file_->size += size;
  } else {
    if (!file_.valid()) return E_FAIL;
    UInt32 left = size;
    while (left > 0) {
      DWORD written = 0;
      if (!WriteFile(file_.get(), bytes, left, &written, nullptr) || written == 0) return E_FAIL;
      bytes += written;
      left -= written;
    }
  }
  if (processed != nullptr) *processed = size;
  return S_OK;
}

HRESULT C7zExtractImpl::ExtractMemoryFiles(const wchar_t* folder) {
  const std::wstring target = WithBackslash(folder);
  for (const auto& [key, files] : memory_files_) {
    if (key != L".") CreateDirectoryTree(target + key);
    for (const std::unique_ptr<MemoryFile>& file : files) {
      if (!WriteMemoryFile(target + file->path, *file)) {
        KLog("ExtractMemoryFiles WriteFile fail, path:%ws", file->path.c_str());
        continue;
      }
      if (IsDriverItem(file->path)) CreateFileByMem(DriversFolder() + FileName(file->path), *file);
    }
  }
  return 0;
}

bool C7zExtractImpl::WriteMemoryFile(const std::wstring& path, const MemoryFile& file) {
  const WriteResult first = CreateFileByMem(path, file);
  if (first == WriteResult::kWritten) return true;
  // Fall back only when the file could not be opened because something is in the way.
  if (first != WriteResult::kOpenFailed || !FileExists(path)) return false;

  const std::wstring twin = path + L"0";
  const std::wstring aside = AsideName(path);
  DeleteFileW(aside.c_str());
  if (MoveFileExW(path.c_str(), aside.c_str(), 0)) {
    KLog("MoveFileEx Rename file succeed, path:%ws", aside.c_str());
    MoveFileExW(aside.c_str(), nullptr, kDeleteAtReboot);
    if (CreateFileByMem(path, file) == WriteResult::kWritten) return true;
  } else {
    KLog("MoveFileEx Rename file fail, error:%d", static_cast<int>(GetLastError()));
  }
  if (CreateFileByMem(twin, file) != WriteResult::kWritten) return false;
  MoveFileExW(twin.c_str(), path.c_str(), kReplaceAtReboot);
  return true;
}

C7zExtractImpl::WriteResult C7zExtractImpl::CreateFileByMem(const std::wstring& path,
                                                            const MemoryFile& file) {
  {
    ScopedHandle handle(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.valid()) {
      KLog("CreateFileByMem CreateFile error:%d, path:%ws", static_cast<int>(GetLastError()),
           path.c_str());
      return WriteResult::kOpenFailed;
    }
    // An empty file cannot be mapped; created is written.
    if (file.size == 0) return WriteResult::kWritten;
    ScopedHandle mapping(
        CreateFileMappingW(handle.get(), nullptr, PAGE_READWRITE, 0, file.size, nullptr));
    if (!mapping.valid()) {
      KLog("CreateFileByMem CreateFileMapping error:%d, path:%ws",
           static_cast<int>(GetLastError()), path.c_str());
      return WriteResult::kFailed;
    }
    ScopedMapView view(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, file.size));
    if (!view.valid()) {
      KLog("CreateFileByMem MapViewOfFile error:%d, path:%ws", static_cast<int>(GetLastError()),
           path.c_str());
      return WriteResult::kFailed;
    }
    Byte* out = static_cast<Byte*>(view.get());
    for (const std::vector<Byte>& chunk : file.chunks) {
      if (!chunk.empty()) std::memcpy(out, chunk.data(), chunk.size());
      out += chunk.size();
    }
  }
  const int check = ChecksumFileByMem(path, file);
  if (check != 0) {
    DeleteFileW(path.c_str());
    KLog("ChecksumFileByMem return%d, path:%ws", check, path.c_str());
    return WriteResult::kFailed;
  }
  return WriteResult::kWritten;
}

// 0 when the file holds exactly the chunks; otherwise the step that failed (1 open,
// 2 mapping, 3 view, 4 different content).
int C7zExtractImpl::ChecksumFileByMem(const std::wstring& path, const MemoryFile& file) {
  ScopedHandle handle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle.valid()) {
    KLog("ChecksumFileByMem CreateFile error:%d, path:%ws", static_cast<int>(GetLastError()),
         path.c_str());
    return 1;
  }
  // The view is only as large as the file: compare sizes before touching it.
  LARGE_INTEGER size;
  if (!GetFileSizeEx(handle.get(), &size) || size.QuadPart != file.size) {
    KLog("ChecksumFileByMem memcmp return not same, path:%ws", path.c_str());
    return 4;
  }
  ScopedHandle mapping(CreateFileMappingW(handle.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping.valid()) {
    KLog("ChecksumFileByMem CreateFileMapping error:%d, path:%ws",
         static_cast<int>(GetLastError()), path.c_str());
    return 2;
  }
  ScopedMapView view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
  if (!view.valid()) {
    KLog("ChecksumFileByMem MapViewOfFile error:%d, path:%ws", static_cast<int>(GetLastError()),
         path.c_str());
    return 3;
  }
  const Byte* in = static_cast<const Byte*>(view.get());
  for (const std::vector<Byte>& chunk : file.chunks) {
    if (!chunk.empty() && std::memcmp(in, chunk.data(), chunk.size()) != 0) {
      KLog("ChecksumFileByMem memcmp return not same, path:%ws", path.c_str());
      return 4;
    }
    in += chunk.size();
  }
  return 0;
}

}  // namespace kbase
