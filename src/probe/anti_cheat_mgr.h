#pragma once
// The launch-chain survey: which programs started the installer, up to three generations
// back, each with the MD5 digest of its program file, reported once per run.
#include <windows.h>

#include <string>

namespace kbase {

class KAntiCheatMgr {
 public:
  static constexpr int kGenerations = 3;

  // NTSTATUS ZwQueryInformationProcess(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG)
  using QueryInformationProcessFunction = LONG(WINAPI*)(HANDLE, ULONG, void*, ULONG, ULONG*);

  // Looks up ZwQueryInformationProcess in ntdll.dll.
  KAntiCheatMgr();
  virtual ~KAntiCheatMgr();
  KAntiCheatMgr(const KAntiCheatMgr&) = delete;
  KAntiCheatMgr& operator=(const KAntiCheatMgr&) = delete;

  // Walks from this process up to three parents; returns how many generations were
  // filled. Generations it does not reach stay empty.
  int Survey();
  // Survey from another process id (the walk starts with that process's parent).
  int SurveyFrom(DWORD process_id);

  // Sends the process-information report (table 3769) with what Survey found; 0 or -1.
  int Report(int company_id, int tryno_id, const std::wstring& install_id) const;

  // The run controller's one call, on its survey thread: Survey, then Report with this
  // machine's install id. 0 or -1, as Report.
  static int SurveyAndReport(int company_id, int tryno_id);

  // Generation 0 is the parent, 1 the grandparent, 2 the great-grandparent.
  const std::wstring& name(int generation) const { return names_[generation]; }
  const std::wstring& digest(int generation) const { return digests_[generation]; }

  // For tests: a survey without the lookup, as on systems that lack it.
  void ForgetQueryFunctionForTesting() { query_information_process_ = nullptr; }

 private:
  // The parent id of a process; false when it cannot be asked.
  bool ParentOf(DWORD process_id, DWORD* parent_id) const;

  QueryInformationProcessFunction query_information_process_ = nullptr;
  std::wstring names_[kGenerations];
  std::wstring digests_[kGenerations];  // 32 upper-case hexadecimal digits
};

// The image path of an open process: the main module's path, else the kernel's device
// path turned into a drive-letter path. Empty on failure.
std::wstring ProcessImagePath(HANDLE process);

}  // namespace kbase
