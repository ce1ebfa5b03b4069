// Prints what the package digest check costs on a given file:
//   md5_bench FILE [check]
// With "check", only the check itself runs (for timing the whole process).
// The check itself (255-byte blocks through a large stream buffer), then for
// comparison the same blocks through the C runtime's default stream buffer and the
// digest alone over 1 MiB reads.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>

#include "common/codec/md5.h"
#include "download/package_verify.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

long long FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void Print(const char* what, const std::string& digest, double seconds, long long size) {
  printf("%-48s %s  %7.3f s  %8.1f MB/s\n", what, digest.c_str(), seconds,
         size / 1048576.0 / seconds);
}

template <size_t kBlock>
std::string DigestWithDefaultBuffer(const std::wstring& path) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (file == nullptr) return "<cannot open>";
  kbase::Md5 md5;
  static unsigned char block[kBlock];
  size_t got;
  while ((got = fread(block, 1, kBlock, file)) > 0) md5.Update(block, got);
  fclose(file);
  return kbase::Md5ToHex(md5.Finish());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: md5_bench FILE\n");
    return 2;
  }
  const std::wstring path = argv[1];
  const long long size = FileSize(path);
  if (size < 0) {
    fprintf(stderr, "cannot read the file\n");
    return 1;
  }
  printf("file: %lld bytes\n", size);
  LARGE_INTEGER start, end;

  std::string digest;
  QueryPerformanceCounter(&start);
  const bool read = kbase::PackageFileMd5(path, &digest);
  QueryPerformanceCounter(&end);
  if (!read) return 1;
  Print("PackageFileMd5 (255-byte blocks, 1 MiB buffer)", digest, Seconds(start, end), size);

  if (argc > 2 && wcscmp(argv[2], L"check") == 0) return 0;

  QueryPerformanceCounter(&start);
  const bool match = kbase::VerifyPackageMd5(std::wstring(digest.begin(), digest.end()), path);
  QueryPerformanceCounter(&end);
  Print(match ? "VerifyPackageMd5: match" : "VerifyPackageMd5: MISMATCH", digest,
        Seconds(start, end), size);

  QueryPerformanceCounter(&start);
  const std::string plain = DigestWithDefaultBuffer<kbase::kPackageReadBlock>(path);
  QueryPerformanceCounter(&end);
  Print("255-byte fread, default buffer", plain, Seconds(start, end), size);

  QueryPerformanceCounter(&start);
  const std::string large = DigestWithDefaultBuffer<1 << 20>(path);
  QueryPerformanceCounter(&end);
  Print("1 MiB fread (digest cost alone)", large, Seconds(start, end), size);
  return 0;
}
