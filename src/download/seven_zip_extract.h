#pragma once
// Unpacks a 7z archive that lies in memory, without writing the archive itself to disk.
// Items go below a target folder, either straight to files or first into memory. An
// item that replaces a file in use is swapped in at the next reboot; every ".sys" item
// is also copied into the system's drivers folder. An item whose path would leave the
// target folder is refused.
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/win/scoped_handle.h"
#include "download/seven_zip_streams.h"

namespace kbase {

class I7zExtract {
 public:
  // 0 when the archive opened and its items were handed out; otherwise the reader's
  // HRESULT for opening it or counting its items, or E_FAIL without a 7z handler.
  virtual HRESULT ExtractToFolder(const void* data, UInt32 size, const wchar_t* folder) = 0;
  // As above, keeping the items in memory for ExtractMemoryFiles.
  virtual HRESULT ExtractToMemory(const void* data, UInt32 size) = 0;
  // Writes the items kept in memory below `folder`; always 0, failures are logged.
  virtual HRESULT ExtractMemoryFiles(const wchar_t* folder) = 0;
  // Destroys the object.
  virtual void Release() = 0;

 protected:
  ~I7zExtract() = default;
};

struct I7zExtractDeleter {
  void operator()(I7zExtract* extract) const { extract->Release(); }
};
using Scoped7zExtract = std::unique_ptr<I7zExtract, I7zExtractDeleter>;

class C7zExtractImpl final : public I7zExtract, public I7zExtractCallBack {
 public:
  // One item kept in memory at most this large.
  static constexpr uint32_t kMaxMemoryItem = 0x1F400000;  // 500 MiB
  // The reader looks this far into the buffer for the start of the archive.
  static constexpr UInt64 kMaxStartSearch = 0x400000;

  static Scoped7zExtract Create();

  HRESULT ExtractToFolder(const void* data, UInt32 size, const wchar_t* folder) override;
  HRESULT ExtractToMemory(const void* data, UInt32 size) override;
  HRESULT ExtractMemoryFiles(const wchar_t* folder) override;
  void Release() override;

  HRESULT OnNewItem(const wchar_t* path) override;
  HRESULT OnWrite(const void* data, UInt32 size, UInt32* processed) override;

  // True when `path` stays inside the folder it is joined to: relative, no drive or
  // stream name, no "." or ".." component, no empty component.
  static bool IsSafeItemPath(const std::wstring& path);

 private:
  struct MemoryFile {
    std::wstring path;  // relative to the target folder
    uint32_t size = 0;
    std::vector<std::vector<Byte>> chunks;  // one per OnWrite
  };
  enum class WriteResult { kWritten, kOpenFailed, kFailed };

  C7zExtractImpl() = default;
  ~C7zExtractImpl() = default;

  HRESULT Run(const void* data, UInt32 size);
  void OpenItemFile();
  void CloseItem();
  void FileMemoryItem();
  bool WriteMemoryFile(const std::wstring& path, const MemoryFile& file);
  static WriteResult CreateFileByMem(const std::wstring& path, const MemoryFile& file);
  static int ChecksumFileByMem(const std::wstring& path, const MemoryFile& file);

  std::wstring target_;          // ends with a backslash
  std::wstring item_path_;       // current item, relative to target_
  uint32_t memory_mode_ = 0;     // 1: items stay in memory
  ScopedHandle file_;            // open file of the current item
  std::wstring written_path_;    // where file_ writes: the item's path or its "0" twin
  std::unique_ptr<MemoryFile> memory_file_;
  // Folder part of the item path ("." for the top) to that folder's items.
  std::map<std::wstring, std::vector<std::unique_ptr<MemoryFile>>> memory_files_;
};

}  // namespace kbase
