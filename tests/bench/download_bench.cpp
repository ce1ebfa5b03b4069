// Downloads one URL into one file with DownloadToFile and prints the time it took.
//   download_bench URL PATH
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "download/download_file.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: download_bench URL PATH\n");
    return 2;
  }
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  int error = 0;
  const int result = kbase::DownloadToFile(argv[1], argv[2], &error, nullptr, 0);
  QueryPerformanceCounter(&end);
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  GetFileAttributesExW(argv[2], GetFileExInfoStandard, &data);
  const double bytes = static_cast<double>((ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow);
  const double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
  printf("result %d, error %d, %.0f bytes in %.3f s, %.1f MB/s\n", result, error, bytes, seconds,
         bytes / seconds / 1e6);
  return result;
}
