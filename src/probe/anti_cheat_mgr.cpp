#include "probe/anti_cheat_mgr.h"

#include <psapi.h>

#include <vector>

#include "common/win/file_facts.h"
#include "common/win/scoped_handle.h"
#include "download/package_verify.h"
#include "probe/anti_cheat_rules.h"
#include "probe/machine_identity.h"
#include "report/process_info_report.h"

namespace kbase {

namespace {

constexpr ULONG kProcessBasicInformation = 0;

// PROCESS_BASIC_INFORMATION with its fields at their native widths.
struct ProcessBasicInformation {
  LONG exit_status;
  void* peb_base_address;
  ULONG_PTR affinity_mask;
  LONG base_priority;
  ULONG_PTR unique_process_id;
  ULONG_PTR inherited_from_unique_process_id;
};

// System Idle, System and the old System ids: no program file behind them.
bool IsSystemProcessId(DWORD id) { return id == 0 || id == 4 || id == 8; }

std::vector<anti_cheat::DosDevice> DosDevices() {
  std::vector<anti_cheat::DosDevice> devices;
  wchar_t roots[512] = {};
  const DWORD length = ::GetLogicalDriveStringsW(512, roots);
  if (length == 0 || length >= 512) return devices;
  for (const wchar_t* root = roots; *root != 0; root += wcslen(root) + 1) {
    const std::wstring drive(root, 2);  // "C:"
    if (anti_cheat::EqualsNoCase(root, L"A:\\") || anti_cheat::EqualsNoCase(root, L"B:\\")) {
      continue;
    }
    wchar_t device[MAX_PATH] = {};
    if (::QueryDosDeviceW(drive.c_str(), device, MAX_PATH) == 0) continue;
    devices.push_back({drive, device});
  }
  return devices;
}

}  // namespace

std::wstring ProcessImagePath(HANDLE process) {
  wchar_t path[MAX_PATH] = {};
  DWORD length = ::GetModuleFileNameExW(process, nullptr, path, MAX_PATH - 1);
  if (length > 0 && length < MAX_PATH - 1) return std::wstring(path, length);
  length = ::GetProcessImageFileNameW(process, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  return anti_cheat::DevicePathToDrivePath(std::wstring(path, length), DosDevices());
}

KAntiCheatMgr::KAntiCheatMgr() {
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  if (ntdll != nullptr) {
    query_information_process_ = reinterpret_cast<QueryInformationProcessFunction>(
        reinterpret_cast<void*>(::GetProcAddress(ntdll, "ZwQueryInformationProcess")));
  }
}

KAntiCheatMgr::~KAntiCheatMgr() = default;

bool KAntiCheatMgr::ParentOf(DWORD process_id, DWORD* parent_id) const {
  ScopedHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, process_id));
  if (!process.valid()) return false;
  ProcessBasicInformation information = {};
  ULONG returned = 0;
  if (query_information_process_(process.get(), kProcessBasicInformation, &information,
                                 sizeof(information), &returned) < 0) {
    return false;
  }
  *parent_id = static_cast<DWORD>(information.inherited_from_unique_process_id);
  return true;
}

int KAntiCheatMgr::Survey() { return SurveyFrom(::GetCurrentProcessId()); }

int KAntiCheatMgr::SurveyFrom(DWORD process_id) {
  for (int generation = 0; generation < kGenerations; ++generation) {
    names_[generation].clear();
    digests_[generation].clear();
  }
  int filled = 0;
  for (int generation = 0; generation < kGenerations; ++generation) {
    if (IsSystemProcessId(process_id) || query_information_process_ == nullptr) break;
    DWORD parent_id = 0;
    if (!ParentOf(process_id, &parent_id) || parent_id == 0 || parent_id == 8) break;

    ScopedHandle parent(
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, parent_id));
    if (!parent.valid()) break;
    const std::wstring path = ProcessImagePath(parent.get());
    if (path.empty() || !PathExists(path) || path.find(L'\\') == std::wstring::npos) break;
    const std::wstring name = anti_cheat::FileNameAfterLastBackslash(path);

    std::string hex;
    if (!PackageFileMd5(path, &hex)) break;
    names_[generation] = name;
    digests_[generation].assign(hex.begin(), hex.end());
    ++filled;
    process_id = parent_id;
  }
  return filled;
}

int KAntiCheatMgr::Report(int company_id, int tryno_id, const std::wstring& install_id) const {
  KInstallTool::KProcessInfoReport report;
  report.set_parent(names_[0], digests_[0]);
  report.set_grandparent(names_[1], digests_[1]);
  report.set_great_grandparent(names_[2], digests_[2]);
  report.set_flag(1);
  report.set_company_id(company_id);
  report.set_tryno_id(tryno_id);
  report.set_install_id(install_id);
  return report.Send();
}

int KAntiCheatMgr::SurveyAndReport(int company_id, int tryno_id) {
  KAntiCheatMgr survey;
  survey.Survey();
  return survey.Report(company_id, tryno_id, GetInstallId());
}

}  // namespace kbase
