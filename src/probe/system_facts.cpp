#include "probe/system_facts.h"

#include <windows.h>

#include <vector>

namespace kbase {

namespace {

// kernel32 and ntdll are mapped into every process, so looking them up loads nothing.
template <typename F>
F SystemExport(const wchar_t* module, const char* name) {
  HMODULE handle = ::GetModuleHandleW(module);
  if (handle == nullptr) return nullptr;
  return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(handle, name)));
}

struct VersionAnswer {
  bool ok = false;
  bool extended = false;
  OSVERSIONINFOEXW info = {};
};

VersionAnswer QueryVersion() {
  VersionAnswer answer;
  answer.info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&answer.info))) {
    answer.ok = answer.extended = true;
    return answer;
  }
  answer.info = {};
  answer.info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
  answer.ok = ::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&answer.info)) != FALSE;
#pragma GCC diagnostic pop
  return answer;
}

int ComputeRawOsKind() {
  const VersionAnswer answer = QueryVersion();
  if (!answer.ok) return kOsUnknown;
  ReportedVersion version;
  version.platform_id = answer.info.dwPlatformId;
  version.major = answer.info.dwMajorVersion;
  version.minor = answer.info.dwMinorVersion;
  // The basic structure has no product type; only systems older than any server of
  // the 6.x line lack the extended one, so they count as workstations.
  version.product_type = answer.extended ? answer.info.wProductType : VER_NT_WORKSTATION;
  unsigned true_major = 0, true_minor = 0;
  if (NeedsTrueVersion(version)) GetTrueNtVersion(&true_major, &true_minor);
  return RawOsKindFromVersion(version, true_major, true_minor);
}

bool ComputeIs64BitProcessor() {
  using GetNativeSystemInfoFn = void(WINAPI*)(SYSTEM_INFO*);
  auto get_native = SystemExport<GetNativeSystemInfoFn>(L"kernel32.dll", "GetNativeSystemInfo");
  if (get_native == nullptr) return false;
  SYSTEM_INFO info = {};
  get_native(&info);
  return IsArchitecture64(info.wProcessorArchitecture);
}

// The process-wide system-information record.
struct SystemInformation {
  bool wow64 = false;
};

SystemInformation* volatile g_system_information = nullptr;

const SystemInformation& TheSystemInformation() {
  SystemInformation* record = g_system_information;
  if (record != nullptr) return *record;
  auto* fresh = new SystemInformation;
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, BOOL*);
  auto is_wow64 = SystemExport<IsWow64ProcessFn>(L"kernel32.dll", "IsWow64Process");
  BOOL wow64 = FALSE;
  fresh->wow64 = is_wow64 != nullptr && is_wow64(::GetCurrentProcess(), &wow64) && wow64;
  // The first thread to publish wins; a loser of the race discards its copy. The winner
  // lives until the process ends, like the other process-wide tables.
  void* previous = ::InterlockedCompareExchangePointer(
      reinterpret_cast<void* volatile*>(&g_system_information), fresh, nullptr);
  if (previous != nullptr) {
    delete fresh;
    return *static_cast<SystemInformation*>(previous);
  }
  return *fresh;
}

}  // namespace

int GetRawOsKind() {
  static const int kind = ComputeRawOsKind();
  return kind;
}

bool Is64BitProcessor() {
  static const bool answer = ComputeIs64BitProcessor();
  return answer;
}

bool IsWow64() { return TheSystemInformation().wow64; }

int GetServicePackMajor() {
  const VersionAnswer answer = QueryVersion();
  return answer.ok && answer.extended ? answer.info.wServicePackMajor : 0;
}

int GetOsCode() {
  return OsCodeFromRawKind(GetRawOsKind(), Is64BitProcessor(), GetServicePackMajor());
}

bool GetFileMajorMinorVersion(const std::wstring& path, unsigned* major, unsigned* minor) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return false;
  std::vector<unsigned char> block(size);
  if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return false;
  void* fixed = nullptr;
  UINT fixed_size = 0;
  if (!::VerQueryValueW(block.data(), L"\\", &fixed, &fixed_size) || fixed == nullptr ||
      fixed_size < sizeof(VS_FIXEDFILEINFO)) {
    return false;
  }
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
  *major = HIWORD(info->dwFileVersionMS);
  *minor = LOWORD(info->dwFileVersionMS);
  return true;
}

bool GetTrueNtVersion(unsigned* major, unsigned* minor) {
  using RtlGetNtVersionNumbersFn = void(WINAPI*)(DWORD*, DWORD*, DWORD*);
  auto numbers = SystemExport<RtlGetNtVersionNumbersFn>(L"ntdll.dll", "RtlGetNtVersionNumbers");
  if (numbers != nullptr) {
    DWORD nt_major = 0, nt_minor = 0, build = 0;
    numbers(&nt_major, &nt_minor, &build);
    *major = nt_major;
    *minor = nt_minor;
    return true;
  }
  wchar_t folder[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  std::wstring kernel(folder, length);
  if (kernel.back() != L'\\') kernel += L'\\';
  kernel += L"ntoskrnl.exe";
  return GetFileMajorMinorVersion(kernel, major, minor);
}

}  // namespace kbase
