// One link of a process chain for the launch-chain survey tests.
//
//   probe_chain_child <output> <report host or -> <wait|orphan> [next program...]
//
// With further programs it starts the first of them with the rest of the list and waits
// for it ("orphan": the last relay exits at once, leaving the surveyor without a parent).
// The last link runs the survey, writes one "name<TAB>digest" line per generation and the
// report result to <output>, and sends the report when a host is given.
#include <windows.h>
#include <tlhelp32.h>

#include <string>

#include "common/win/ansi_text.h"
#include "common/win/scoped_handle.h"
#include "probe/anti_cheat_mgr.h"
#include "report/install_report.h"

namespace {

constexpr wchar_t kInstallId[] = L"00112233445566778899AABBCCDDEEFF";

std::wstring Quote(const std::wstring& text) { return L"\"" + text + L"\""; }

DWORD ParentIdOf(DWORD process_id) {
  kbase::ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.valid()) return 0;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == process_id) return entry.th32ParentProcessID;
  }
  return 0;
}

// Waits until the parent has ended and its id no longer opens.
void WaitForParentToVanish() {
  const DWORD parent = ParentIdOf(::GetCurrentProcessId());
  if (parent == 0) return;
  {
    kbase::ScopedHandle handle(::OpenProcess(SYNCHRONIZE, FALSE, parent));
    if (handle.valid()) ::WaitForSingleObject(handle.get(), 10000);
  }
  for (int i = 0; i < 200; ++i) {
    kbase::ScopedHandle handle(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, parent));
    if (!handle.valid()) return;
    ::Sleep(50);
  }
}

int Relay(int argc, wchar_t** argv) {
  std::wstring arguments = Quote(argv[4]) + L" " + Quote(argv[1]) + L" " + Quote(argv[2]) +
                           L" " + argv[3];
  for (int i = 5; i < argc; ++i) arguments += L" " + Quote(argv[i]);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessW(argv[4], &arguments[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    return 90;
  }
  kbase::ScopedHandle process_handle(process.hProcess);
  kbase::ScopedHandle thread_handle(process.hThread);
  const bool orphan = std::wstring(argv[3]) == L"orphan" && argc == 5;
  if (orphan) return 0;
  ::WaitForSingleObject(process_handle.get(), 60000);
  DWORD code = 91;
  ::GetExitCodeProcess(process_handle.get(), &code);
  return static_cast<int>(code);
}

int Survey(int argc, wchar_t** argv) {
  if (std::wstring(argv[3]) == L"orphan") WaitForParentToVanish();
  kbase::KAntiCheatMgr survey;
  survey.Survey();
  int reported = 1;  // not asked
  if (std::wstring(argv[2]) != L"-") {
    KDirectVestat::SetReportHostForTesting(kbase::ToAnsi(argv[2]));
    reported = survey.Report(186, 336, kInstallId);
  }
  std::string text;
  for (int generation = 0; generation < kbase::KAntiCheatMgr::kGenerations; ++generation) {
    text += kbase::ToUtf8(survey.name(generation)) + "\t" +
            kbase::ToUtf8(survey.digest(generation)) + "\n";
  }
  text += std::to_string(reported) + "\n";
  // Written under a temporary name and renamed, so a waiting test never reads half a file.
  const std::wstring partial = std::wstring(argv[1]) + L".part";
  {
    kbase::ScopedHandle file(::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr,
                                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return 92;
    DWORD written = 0;
    if (!::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written,
                     nullptr) ||
        written != text.size()) {
      return 93;
    }
  }
  return ::MoveFileExW(partial.c_str(), argv[1], MOVEFILE_REPLACE_EXISTING) ? 0 : 94;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) return 95;
  return argc > 4 ? Relay(argc, argv) : Survey(argc, argv);
}
