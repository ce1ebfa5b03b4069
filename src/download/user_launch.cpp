#include "download/user_launch.h"

#include <tlhelp32.h>
#include <wtsapi32.h>

#include <cwchar>
#include <memory>
#include <vector>

#include "common/win/scoped_module.h"

namespace kbase {
namespace {

using EnumerateSessionsFn = BOOL(WINAPI*)(HANDLE server, DWORD reserved, DWORD version,
                                          WTS_SESSION_INFOW** sessions, DWORD* count);
using FreeMemoryFn = void(WINAPI*)(void* memory);
using QueryUserTokenFn = BOOL(WINAPI*)(ULONG session_id, HANDLE* token);
using CreateEnvironmentBlockFn = BOOL(WINAPI*)(void** environment, HANDLE token, BOOL inherit);
using DestroyEnvironmentBlockFn = BOOL(WINAPI*)(void* environment);
using CreateProcessWithTokenFn = BOOL(WINAPI*)(HANDLE token, DWORD logon_flags,
                                               const wchar_t* application,
                                               wchar_t* command_line, DWORD creation_flags,
                                               void* environment, const wchar_t* directory,
                                               STARTUPINFOW* startup,
                                               PROCESS_INFORMATION* info);

constexpr wchar_t kShellProcessName[] = L"explorer.exe";
constexpr DWORD kUserSessionCreationFlags = CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS;

// A failing call that left no error code still has to read as a failure.
DWORD LastErrorOr(DWORD fallback) {
  const DWORD error = GetLastError();
  return error != 0 ? error : fallback;
}

struct ReportedVersion {
  DWORD major = 0;
  DWORD minor = 0;
};

// The version the system reports to this program; the manifest makes later systems
// report 6.
ReportedVersion GetReportedVersion() {
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExW(&info)) return {};
  return {info.dwMajorVersion, info.dwMinorVersion};
}

bool IsWindows2000(const ReportedVersion& version) {
  return version.major == 5 && version.minor == 0;
}

// The installer may run from a downloads folder, so system libraries are never looked
// up beside it.
ScopedModule LoadSystemLibrary(const wchar_t* name) {
  HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
    // Systems that do not know the search flag: the full path in the system folder.
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
      module = LoadLibraryW((std::wstring(folder, length) + L"\\" + name).c_str());
    }
  }
  return ScopedModule(module);
}

enum class SessionLookup { kFound, kNoneActive, kEnumerationFailed };

// The first session in the active state.
SessionLookup FindActiveSession(const ScopedModule& wtsapi, DWORD* session_id) {
  const auto enumerate = wtsapi.Function<EnumerateSessionsFn>("WTSEnumerateSessionsW");
  const auto free_memory = wtsapi.Function<FreeMemoryFn>("WTSFreeMemory");
  if (enumerate == nullptr || free_memory == nullptr) return SessionLookup::kEnumerationFailed;
  WTS_SESSION_INFOW* sessions = nullptr;
  DWORD count = 0;
  if (!enumerate(WTS_CURRENT_SERVER_HANDLE, 0, 1, &sessions, &count)) {
    return SessionLookup::kEnumerationFailed;
  }
  SessionLookup result = SessionLookup::kNoneActive;
  for (DWORD i = 0; sessions != nullptr && i < count; ++i) {
    if (sessions[i].State == WTSActive) {
      *session_id = sessions[i].SessionId;
      result = SessionLookup::kFound;
      break;
    }
  }
  if (sessions != nullptr) free_memory(sessions);
  return result;
}

// Process id of the first "explorer.exe"; 0 when none runs.
DWORD FindShellProcessId() {
  ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.valid()) return 0;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    entry.szExeFile[MAX_PATH - 1] = L'\0';
    if (_wcsicmp(entry.szExeFile, kShellProcessName) == 0) return entry.th32ProcessID;
  }
  return 0;
}

// An environment block made by userenv, destroyed through the same library.
class EnvironmentBlock {
 public:
  EnvironmentBlock(const ScopedModule& userenv, HANDLE token) {
    const auto create = userenv.Function<CreateEnvironmentBlockFn>("CreateEnvironmentBlock");
    destroy_ = userenv.Function<DestroyEnvironmentBlockFn>("DestroyEnvironmentBlock");
    if (create != nullptr && !create(&block_, token, FALSE)) block_ = nullptr;
  }
  ~EnvironmentBlock() {
    if (block_ != nullptr && destroy_ != nullptr) destroy_(block_);
  }
  EnvironmentBlock(const EnvironmentBlock&) = delete;
  EnvironmentBlock& operator=(const EnvironmentBlock&) = delete;

  void* get() const { return block_; }

 private:
  void* block_ = nullptr;
  DestroyEnvironmentBlockFn destroy_ = nullptr;
};

struct SidFreer {
  void operator()(void* sid) const { FreeSid(sid); }
};

// Creates the process as the token's user (the installer's own account for a null
// token) on the interactive desktop, with that user's environment when userenv can
// build it.
int CreateOnUserDesktop(HANDLE token, const std::wstring& command_line, int show) {
  wchar_t desktop[] = L"Winsta0\\Default";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.lpDesktop = desktop;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = show ? SW_SHOW : SW_HIDE;

  // Destruction order matters: the block goes back to userenv before it is unloaded.
  const ScopedModule userenv = LoadSystemLibrary(L"userenv.dll");
  const EnvironmentBlock environment(userenv, token);
  DWORD flags = kUserSessionCreationFlags;
  if (environment.get() != nullptr) flags |= CREATE_UNICODE_ENVIRONMENT;

  std::wstring writable = command_line;
  PROCESS_INFORMATION info = {};
  const BOOL created =
      CreateProcessAsUserW(token, nullptr, &writable[0], nullptr, nullptr, FALSE, flags,
                           environment.get(), nullptr, &startup, &info);
  if (!created) return 0;
  ScopedHandle process(info.hProcess), thread(info.hThread);
  return 1;
}

}  // namespace

std::wstring MakeLaunchCommandLine(const std::wstring& path, const std::wstring& arguments) {
  return L"\"" + path + L"\" " + arguments;
}

DWORD GetActiveSessionUserToken(ScopedHandle* token) {
  token->Reset();
  const ScopedModule wtsapi = LoadSystemLibrary(L"wtsapi32.dll");
  DWORD session_id = 0;
  switch (FindActiveSession(wtsapi, &session_id)) {
    case SessionLookup::kFound:
      break;
    case SessionLookup::kNoneActive:
      return ERROR_NOT_FOUND;
    case SessionLookup::kEnumerationFailed:
      session_id = 0;  // the console session of systems without Terminal Services
      break;
  }
  const auto query = wtsapi.Function<QueryUserTokenFn>("WTSQueryUserToken");
  if (query == nullptr) return LastErrorOr(ERROR_PROC_NOT_FOUND);
  HANDLE user_token = nullptr;
  if (!query(session_id, &user_token)) return LastErrorOr(ERROR_NO_TOKEN);
  token->Reset(user_token);
  return 0;
}

DWORD GetShellProcessToken(ScopedHandle* token) {
  token->Reset();
  // Without a shell this opens process id 0, and its error is the answer.
  ScopedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, FindShellProcessId()));
  if (!process.valid()) return LastErrorOr(ERROR_INVALID_PARAMETER);
  HANDLE shell_token = nullptr;
  if (!OpenProcessToken(process.get(), TOKEN_ALL_ACCESS, &shell_token)) {
    return LastErrorOr(ERROR_NO_TOKEN);
  }
  token->Reset(shell_token);
  return 0;
}

int GetFullSessionToken(ScopedHandle* token) {
  if (GetActiveSessionUserToken(token) != 0 && GetShellProcessToken(token) != 0) return -1;
  // Only the limited half of a split logon is swapped: an elevated token's linked
  // token is the limited one, which would lose the rights the swap is for.
  TOKEN_ELEVATION_TYPE elevation = TokenElevationTypeDefault;
  DWORD size = 0;
  if (!GetTokenInformation(token->get(), TokenElevationType, &elevation, sizeof elevation,
                           &size) ||
      elevation != TokenElevationTypeLimited) {
    return 0;
  }
  TOKEN_LINKED_TOKEN linked = {};
  if (GetTokenInformation(token->get(), TokenLinkedToken, &linked, sizeof linked, &size) &&
      linked.LinkedToken != nullptr) {
    token->Reset(linked.LinkedToken);
  }
  return 0;
}

DWORD GetSessionToken(ScopedHandle* token) {
  if (!IsWindows2000(GetReportedVersion()) && GetActiveSessionUserToken(token) == 0) return 0;
  return GetShellProcessToken(token);
}

int GetOwnTokenInActiveSession(ScopedHandle* token) {
  token->Reset();
  DWORD session_id = 0;
  {
    const ScopedModule wtsapi = LoadSystemLibrary(L"wtsapi32.dll");
    switch (FindActiveSession(wtsapi, &session_id)) {
      case SessionLookup::kFound:
        break;
      case SessionLookup::kNoneActive:
        return -1;
      case SessionLookup::kEnumerationFailed:
        if (GetReportedVersion().major == 6) return static_cast<int>(LastErrorOr(DWORD(-1)));
        session_id = 0;
        break;
    }
  }
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &raw)) return -1;
  const ScopedHandle own(raw);
  raw = nullptr;
  if (!DuplicateTokenEx(own.get(), MAXIMUM_ALLOWED, nullptr, SecurityIdentification,
                        TokenPrimary, &raw)) {
    return -1;
  }
  ScopedHandle moved(raw);
  if (!SetTokenInformation(moved.get(), TokenSessionId, &session_id, sizeof session_id)) {
    return -1;
  }
  *token = std::move(moved);
  return 0;
}

bool IsTokenAdmin(HANDLE token) {
  SID_IDENTIFIER_AUTHORITY nt_authority = SECURITY_NT_AUTHORITY;
  void* raw_sid = nullptr;
  if (!AllocateAndInitializeSid(&nt_authority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &raw_sid)) {
    return false;
  }
  const std::unique_ptr<void, SidFreer> administrators(raw_sid);

  DWORD size = 0;
  GetTokenInformation(token, TokenGroups, nullptr, 0, &size);
  if (size < sizeof(TOKEN_GROUPS)) return false;
  std::vector<unsigned char> buffer(size);
  if (!GetTokenInformation(token, TokenGroups, buffer.data(), size, &size)) return false;
  const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
  // The count must fit the bytes the call wrote.
  const size_t room =
      (buffer.size() - offsetof(TOKEN_GROUPS, Groups)) / sizeof(SID_AND_ATTRIBUTES);
  if (groups->GroupCount > room) return false;
  for (DWORD i = 0; i < groups->GroupCount; ++i) {
    if (groups->Groups[i].Sid != nullptr && EqualSid(groups->Groups[i].Sid, administrators.get())) {
      return true;
    }
  }
  return false;
}

int LaunchInUserSession(const std::wstring& path, const std::wstring& arguments, int show) {
  if (path.empty()) return 0;
  const std::wstring command_line = MakeLaunchCommandLine(path, arguments);
  ScopedHandle token;
  const bool have_token = GetReportedVersion().major == 6 ? GetFullSessionToken(&token) == 0
                                                          : GetSessionToken(&token) == 0;
  if (!have_token || !token.valid()) return 0;
  if (!IsTokenAdmin(token.get())) {
    // A standard user's own token would run the setup without rights; the installer's
    // token in that user's session keeps them. Failing that, the call below gets no
    // token and the system uses the installer's.
    if (GetOwnTokenInActiveSession(&token) != 0) token.Reset();
  }
  return CreateOnUserDesktop(token.get(), command_line, show);
}

int LaunchWithSessionToken(const std::wstring& path, const std::wstring& arguments, int show) {
  if (path.empty()) return 0;
  const std::wstring command_line = MakeLaunchCommandLine(path, arguments);
  ScopedHandle token;
  if (GetSessionToken(&token) != 0 || !token.valid()) return 0;
  return CreateOnUserDesktop(token.get(), command_line, show);
}

int LaunchProcess(int show, const std::wstring& path, const std::wstring& arguments,
                  DWORD wait_ms) {
  std::wstring command_line = MakeLaunchCommandLine(path, arguments);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = show ? SW_SHOWDEFAULT : SW_HIDE;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(nullptr, &command_line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return 0;
  }
  ScopedHandle process(info.hProcess), thread(info.hThread);
  if (wait_ms != 0) WaitForSingleObject(thread.get(), wait_ms);
  return 1;
}

int LaunchWithShellToken(const std::wstring& path, const std::wstring& arguments) {
  const DWORD shell_id = FindShellProcessId();
  if (shell_id == 0) return 0;
  ScopedHandle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, shell_id));
  if (!process.valid()) return 0;
  HANDLE raw = nullptr;
  if (!OpenProcessToken(process.get(), TOKEN_ALL_ACCESS, &raw)) return 0;
  const ScopedHandle shell_token(raw);
  raw = nullptr;
  if (!DuplicateTokenEx(shell_token.get(), MAXIMUM_ALLOWED, nullptr, SecurityImpersonation,
                        TokenPrimary, &raw)) {
    return 0;
  }
  const ScopedHandle token(raw);

  std::wstring command_line = MakeLaunchCommandLine(path, arguments);
  if (command_line.size() >= kShellCommandLineChars) {
    command_line.resize(kShellCommandLineChars - 1);
  }
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  const ScopedModule advapi = LoadSystemLibrary(L"Advapi32.dll");
  const auto create_with_token =
      advapi.Function<CreateProcessWithTokenFn>("CreateProcessWithTokenW");
  BOOL created;
  if (create_with_token != nullptr) {
    created = create_with_token(token.get(), 0, nullptr, &command_line[0], 0, nullptr, nullptr,
                                &startup, &info);
  } else {
    created = CreateProcessW(nullptr, &command_line[0], nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &info);
  }
  if (!created) return 0;
  ScopedHandle created_process(info.hProcess), created_thread(info.hThread);
  return 1;
}

}  // namespace kbase
