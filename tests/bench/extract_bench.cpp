// Times ExtractToFolder on a 7z archive: the archive is read into memory first, so the
// figure covers decoding and writing the items only.
//   extract_bench ARCHIVE.7z FOLDER
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/win/scoped_handle.h"
#include "download/seven_zip_extract.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

bool ReadFileBytes(const wchar_t* path, std::vector<char>* bytes) {
  kbase::ScopedHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
  LARGE_INTEGER size;
  if (!file.valid() || !GetFileSizeEx(file.get(), &size) || size.QuadPart > 0xFFFFFFFFll) {
    return false;
  }
  bytes->resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  for (size_t at = 0; at < bytes->size(); at += read) {
    if (!ReadFile(file.get(), bytes->data() + at, static_cast<DWORD>(bytes->size() - at), &read,
                  nullptr) ||
        read == 0) {
      return false;
    }
  }
  return true;
}

// Bytes of all files below `folder`, which ends with a backslash.
unsigned long long BytesBelow(const std::wstring& folder) {
  unsigned long long total = 0;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      total += BytesBelow(folder + name + L"\\");
    } else {
      total += (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return total;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: extract_bench ARCHIVE.7z FOLDER\n");
    return 2;
  }
  std::vector<char> archive;
  if (!ReadFileBytes(argv[1], &archive)) {
    std::fprintf(stderr, "cannot read %ls\n", argv[1]);
    return 1;
  }
  std::wstring folder = argv[2];
  if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';

  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  kbase::Scoped7zExtract extract = kbase::C7zExtractImpl::Create();
  const HRESULT result = extract->ExtractToFolder(
      archive.data(), static_cast<UInt32>(archive.size()), folder.c_str());
  extract.reset();
  QueryPerformanceCounter(&end);

  const double seconds = Seconds(start, end);
  const double out_mb = BytesBelow(folder) / 1e6;
  std::printf("ExtractToFolder: result 0x%08lX, archive %.1f MB, unpacked %.1f MB\n",
              static_cast<unsigned long>(result), archive.size() / 1e6, out_mb);
  std::printf("  %.0f ms, %.1f MB/s unpacked, %.1f MB/s archive\n", seconds * 1000,
              out_mb / seconds, archive.size() / 1e6 / seconds);
  return result == S_OK ? 0 : 1;
}
