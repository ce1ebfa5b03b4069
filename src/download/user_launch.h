#pragma once
// Starting programs on the interactive desktop. The installer runs elevated, perhaps in
// another session or account than the person at the desktop, so a package's setup is
// started with the desktop user's token and environment when one can be found, and
// under the installer's own account otherwise.
//
// Every launch runs the command line "\"<path>\" <arguments>" (one space even when the
// arguments are empty), inherits no handles, sets no current folder and closes the
// process and thread handles before it returns.
#include <windows.h>

#include <string>

#include "common/win/scoped_handle.h"

namespace kbase {

// "\"<path>\" <arguments>".
std::wstring MakeLaunchCommandLine(const std::wstring& path, const std::wstring& arguments);

// Token sources. Each returns 0 with the token, or a Windows error code with *token empty.
// The user token of the first active Terminal Services session (session 0 when the
// sessions cannot be enumerated); ERROR_NOT_FOUND when no session is active.
DWORD GetActiveSessionUserToken(ScopedHandle* token);
// The token of the first "explorer.exe" process.
DWORD GetShellProcessToken(ScopedHandle* token);

// The desktop user's token with its full rights (systems reporting major version 6):
// the active session's user, else the shell's owner; when that is the limited half of
// a split administrator logon, its linked full token. 0, or -1 when neither source
// gives a token.
int GetFullSessionToken(ScopedHandle* token);
// The desktop user's token on other systems: the active session's user (not asked on
// Windows 2000), else the shell's owner. 0 or the shell source's error.
DWORD GetSessionToken(ScopedHandle* token);
// The installer's own token as a primary token moved into the active session. 0, or
// non-zero with *token empty.
int GetOwnTokenInActiveSession(ScopedHandle* token);

// True when the token's groups hold the local Administrators group, enabled or not.
bool IsTokenAdmin(HANDLE token);

// Starts the program in the desktop user's session with the user's full token (an
// administrator's) or, for a standard user, with the installer's own token moved into
// that session. Non-zero when the process was created; 0 for an empty path.
int LaunchInUserSession(const std::wstring& path, const std::wstring& arguments, int show);
// Starts the program with the desktop user's session token as it is. Non-zero when the
// process was created; 0 for an empty path.
int LaunchWithSessionToken(const std::wstring& path, const std::wstring& arguments, int show);
// Starts the program under the installer's own account and, with a non-zero wait,
// waits up to wait_ms for its primary thread to end. 1 when the process was created.
int LaunchProcess(int show, const std::wstring& path, const std::wstring& arguments,
                  DWORD wait_ms);
// Starts the program with the shell process's token (a browser for a web page under
// the user's account); the command line is cut to kShellCommandLineChars - 1
// characters. Non-zero when the process was created; 0 when no shell runs.
int LaunchWithShellToken(const std::wstring& path, const std::wstring& arguments);

constexpr size_t kShellCommandLineChars = 1024;

}  // namespace kbase
