#include "report/dump_mgr.h"

#include <cstdio>
#include <string>
#include <vector>

#include "report/report_identity.h"

namespace kbase {

namespace {

std::wstring FileNameOf(HMODULE module) {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      const std::wstring full(path.data(), length);
      const size_t slash = full.find_last_of(L"\\/");
      return slash == std::wstring::npos ? full : full.substr(slash + 1);
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

// "major.minor.build.revision" of the file's version resource; empty without one.
std::wstring FileVersionOf(HMODULE module) {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
  if (size == 0) return {};
  std::vector<BYTE> data(size);
  if (!::GetFileVersionInfoW(path, 0, size, data.data())) return {};
  VS_FIXEDFILEINFO* info = nullptr;
  UINT info_size = 0;
  if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &info_size) ||
      info == nullptr || info_size < sizeof(VS_FIXEDFILEINFO)) {
    return {};
  }
  wchar_t text[64];
  std::swprintf(text, 64, L"%u.%u.%u.%u", HIWORD(info->dwFileVersionMS),
                LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
                LOWORD(info->dwFileVersionLS));
  return text;
}

bool SystemIs64Bit() {
#ifdef _WIN64
  return true;
#else
  BOOL wow64 = FALSE;
  return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
#endif
}

}  // namespace

KDumpMgr& KDumpMgr::Instance() {
  static KDumpMgr manager;
  return manager;
}

KDumpMgr::~KDumpMgr() {
  ScopedLock<CriticalSection> hold(lock_);
  if (installed_) ::SetUnhandledExceptionFilter(previous_);
}

void KDumpMgr::Install() {
  ScopedLock<CriticalSection> hold(lock_);
  if (installed_) return;
  previous_ = ::SetUnhandledExceptionFilter(&KDumpMgr::Filter);
  installed_ = true;
}

void KDumpMgr::SetChannel(int company_id, int tryno_id) {
  ScopedLock<CriticalSection> hold(lock_);
  report_.company_id = company_id;
  report_.tryno_id = tryno_id;
}

int KDumpMgr::last_send_result() {
  ScopedLock<CriticalSection> hold(lock_);
  return last_send_result_;
}

LONG WINAPI KDumpMgr::Filter(EXCEPTION_POINTERS* pointers) {
  return Instance().OnException(pointers);
}

void KDumpMgr::Gather() {
  const KInstallTool::ReportIdentity identity = KInstallTool::GetReportIdentity();
  report_.install_id = identity.install_id;
  report_.device_id = identity.device_id;
  report_.system_id = identity.os_code;
  HMODULE module = nullptr;
  ::GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&KDumpMgr::Filter), &module);
  report_.module_name = FileNameOf(module);
  report_.module_version = FileVersionOf(module);
  report_.process_name = FileNameOf(nullptr);
  report_.process_version = FileVersionOf(nullptr);
  report_.is_64bit = SystemIs64Bit() ? 1 : 0;
}

LONG KDumpMgr::OnException(EXCEPTION_POINTERS* pointers) {
  LPTOP_LEVEL_EXCEPTION_FILTER previous = nullptr;
  {
    // Held across the send: a second faulting thread waits for the first report.
    ScopedLock<CriticalSection> hold(lock_);
    if (!gathered_) {
      Gather();
      gathered_ = true;
    }
    const EXCEPTION_RECORD* record = pointers ? pointers->ExceptionRecord : nullptr;
    report_.exception_code = record ? record->ExceptionCode : 0;
    report_.exception_address =
        record ? static_cast<uint32_t>(reinterpret_cast<uintptr_t>(record->ExceptionAddress)) : 0;
    report_.uptime_seconds = ::GetTickCount() / 1000;
    last_send_result_ = report_.Send();
    previous = previous_;
  }
  return previous ? previous(pointers) : EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace kbase
