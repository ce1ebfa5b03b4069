// Prints what a log line costs its caller and how fast lines reach the disk.
//   install_log_bench [LINES]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "main/install_log.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

}  // namespace

int main(int argc, char** argv) {
  const int lines = argc > 1 ? atoi(argv[1]) : 200000;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring path = std::wstring(temp) + L"kinst-bench.log";
  DeleteFileW(path.c_str());
  DeleteFileW((path + L"0").c_str());

  kbase::KInstallLog log;
  log.Open(path);
  LARGE_INTEGER start, written, closed;
  QueryPerformanceCounter(&start);
  for (int i = 0; i < lines; ++i) {
    log.Write("DownloadControl -- End HRESULT = %d, Count = %d", i, i % 605);
  }
  QueryPerformanceCounter(&written);
  log.Close();
  QueryPerformanceCounter(&closed);

  const double caller = Seconds(start, written), total = Seconds(start, closed);
  printf("lines: %d\n", lines);
  printf("caller cost per line: %.3f us\n", caller * 1e6 / lines);
  printf("lines on disk per second: %.0f\n", lines / total);
  DeleteFileW(path.c_str());
  return 0;
}
