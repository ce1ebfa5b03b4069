#include "main/install_log.h"

#include <cstdio>
#include <cstring>

#include "common/win/ansi_text.h"
#include "config/registry_keys.h"

namespace kbase {

namespace {

constexpr wchar_t kGateEventFormat[] = L"Global\\BFD88F2D-0990-4de4-AD0F-764F5894389A-%lu";

// The value is read at open; no behaviour of the log depends on it yet.
DWORD ReadLogSwitch() {
  DWORD value = 0, size = sizeof value;
  RegGetValueW(HKEY_LOCAL_MACHINE, kProductKey, L"kinstlog", RRF_RT_REG_DWORD, nullptr, &value,
               &size);
  return value;
}

void RotateIfLarge(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return;
  const ULONGLONG size = (ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  if (size <= KInstallLog::kRotateAbove) return;
  const std::wstring backup = path + L"0";
  SetFileAttributesW(backup.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(backup.c_str());
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  MoveFileW(path.c_str(), backup.c_str());
}

// Manual-reset, signalled, open to everyone (NULL DACL) so any process may pause us.
HANDLE CreateGateEvent() {
  SECURITY_DESCRIPTOR descriptor;
  if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
      !SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE)) {
    return nullptr;
  }
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, &descriptor, FALSE};
  return CreateEventW(&attributes, TRUE, TRUE,
                      KInstallLog::GateEventName(GetCurrentProcessId()).c_str());
}

}  // namespace

KInstallLog::~KInstallLog() { Close(); }

KInstallLog& KInstallLog::Instance() {
  static KInstallLog log;
  return log;
}

std::wstring KInstallLog::GateEventName(DWORD process_id) {
  wchar_t name[96];
  swprintf(name, 96, kGateEventFormat, static_cast<unsigned long>(process_id));
  return name;
}

int KInstallLog::Open(const std::wstring& path) {
  if (open_) return 1;
  ReadLogSwitch();
  path_ = path;
  RotateIfLarge(path_);

  // The gate outlives a close: a writer racing with Close may still test it.
  if (!gate_.valid()) gate_.Reset(CreateGateEvent());
  ScopedHandle wake(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!gate_.valid() || !wake.valid()) return 0;
  {
    std::lock_guard<std::mutex> guard(lock_);
    wake_ = std::move(wake);
    queue_.clear();
  }
  stop_ = false;
  writer_.Reset(CreateThread(nullptr, 0, &KInstallLog::WriterMain, this, 0, nullptr));
  if (!writer_.valid()) {
    std::lock_guard<std::mutex> guard(lock_);
    wake_.Reset();
    return 0;
  }
  open_ = true;
  return 1;
}

int KInstallLog::Write(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int written = WriteV(format, args);
  va_end(args);
  return written;
}

int KInstallLog::WriteV(const char* format, va_list args) {
  if (!open_ || !gate_.valid() || WaitForSingleObject(gate_.get(), 0) != WAIT_OBJECT_0) return 0;

  // The C runtime's own formatter: it knows "%ws" for wide arguments.
  char message[kMessageBuffer];
  int length = _vsnprintf(message, kMessageBuffer - 1, format, args);
  if (length < 0 || length > kMessageBuffer - 1) length = kMessageBuffer - 1;
  message[length] = '\0';

  SYSTEMTIME now;
  GetLocalTime(&now);
  char stamp[64];
  const int stamp_length =
      snprintf(stamp, sizeof stamp, "%d-%d-%d %02d:%02d:%02d %03d  ", now.wYear, now.wMonth,
               now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
  std::string line;
  line.reserve(stamp_length + length);
  line.append(stamp, stamp_length).append(message, length);

  std::lock_guard<std::mutex> guard(lock_);
  if (!open_ || !wake_.valid()) return 0;
  // The writer resets the wake event just before it empties the queue, so a queue
  // that already holds lines has the event set: signalling once per batch saves a kernel
  // call a line.
  const bool was_empty = queue_.empty();
  queue_.push_back(std::move(line));
  if (was_empty) SetEvent(wake_.get());
  return length;
}

void KInstallLog::Close() {
  if (!open_) return;
  stop_ = true;
  SetEvent(wake_.get());
  if (WaitForSingleObject(writer_.get(), kCloseWaitMs) != WAIT_OBJECT_0) {
    TerminateThread(writer_.get(), 1);
  }
  writer_.Reset();
  std::lock_guard<std::mutex> guard(lock_);
  open_ = false;
  wake_.Reset();
}

DWORD WINAPI KInstallLog::WriterMain(void* self) {
  static_cast<KInstallLog*>(self)->RunWriter();
  return 0;
}

void KInstallLog::RunWriter() {
  std::vector<std::string> taken;
  WaitForSingleObject(wake_.get(), INFINITE);
  for (;;) {
    // Reset before taking the queue, outside the lock: a line queued after the reset
    // either is taken below or sets the event again, so none is left waiting.
    ResetEvent(wake_.get());
    {
      std::lock_guard<std::mutex> guard(lock_);
      // Lines kept from a failed attempt go first, so the file keeps queue order.
      if (taken.empty()) {
        taken.swap(queue_);
      } else {
        taken.insert(taken.end(), std::make_move_iterator(queue_.begin()),
                     std::make_move_iterator(queue_.end()));
        queue_.clear();
      }
    }
    if (!taken.empty()) {
      if (AppendLines(taken)) {
        taken.clear();
      } else if (stop_) {
        return;  // the file stays unwritable; nothing more can be done at close
      } else {
        WaitForSingleObject(wake_.get(), INFINITE);
      }
      continue;
    }
    if (stop_) return;
    WaitForSingleObject(wake_.get(), INFINITE);
  }
}

bool KInstallLog::AppendLines(const std::vector<std::string>& lines) {
  FILE* file = _wfopen(path_.c_str(), L"ab");
  if (file == nullptr) return false;
  for (const std::string& line : lines) {
    fwrite(line.data(), 1, line.size(), file);
    fwrite("\r\n", 1, 2, file);
  }
  fclose(file);
  return true;
}

int KLog(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int written = KInstallLog::Instance().WriteV(format, args);
  va_end(args);
  return written;
}

int KLogW(const wchar_t* format, ...) {
  wchar_t message[KInstallLog::kMessageBuffer];
  va_list args;
  va_start(args, format);
  int length = _vsnwprintf(message, KInstallLog::kMessageBuffer - 1, format, args);
  va_end(args);
  if (length < 0 || length > KInstallLog::kMessageBuffer - 1) length = KInstallLog::kMessageBuffer - 1;
  message[length] = L'\0';
  return KLog("%s", ToAnsi(message).c_str());
}

}  // namespace kbase
