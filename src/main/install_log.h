#pragma once
// The process-wide install log, "kinst.log" in the temporary folder. Callers format a
// line and queue it; a writer thread appends queued lines in batches, so logging never
// waits for the disk. Another process may pause this process's log through the named
// gate event.
#include <windows.h>

#include <atomic>
#include <cstdarg>
#include <mutex>
#include <string>
#include <vector>

#include "common/win/scoped_handle.h"

namespace kbase {

class KInstallLog {
 public:
  // Lines above this size rotate to "<path>0" at the next open.
  static constexpr DWORD kRotateAbove = 0x7FFFF;
  // Formatting buffer: a message keeps at most kMessageBuffer - 1 characters.
  static constexpr int kMessageBuffer = 500;
  static constexpr DWORD kCloseWaitMs = 60000;

  KInstallLog() = default;
  ~KInstallLog();
  KInstallLog(const KInstallLog&) = delete;
  KInstallLog& operator=(const KInstallLog&) = delete;

  // The log of this process.
  static KInstallLog& Instance();

  // 1 when open (or already open), 0 when an event or the writer cannot be made.
  int Open(const std::wstring& path);
  // Number of characters of the formatted message; 0 while closed or paused.
  int Write(const char* format, ...);
  int WriteV(const char* format, va_list args);
  void Close();

  bool is_open() const { return open_; }
  // "Global\...-<pid>": the event another process resets to pause this log.
  static std::wstring GateEventName(DWORD process_id);

 private:
  static DWORD WINAPI WriterMain(void* self);
  void RunWriter();
  // Appends lines to the file; false when the file cannot be opened.
  bool AppendLines(const std::vector<std::string>& lines);

  std::atomic<bool> stop_{false};
  std::atomic<bool> open_{false};
  ScopedHandle gate_;
  ScopedHandle wake_;
  ScopedHandle writer_;
  std::wstring path_;
  std::mutex lock_;  // guards queue_ and the wake event's lifetime
  std::vector<std::string> queue_;
};

// Writes a line to the process-wide log.
int KLog(const char* format, ...);
// The same from a wide format (lines in Chinese): formatted wide, then converted to the
// ANSI code page.
int KLogW(const wchar_t* format, ...);

}  // namespace kbase
