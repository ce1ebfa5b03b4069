#include "config/path_variables.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdlib>

#include "config/install_config_mgr.h"
#include "config/path_expansion.h"

namespace kbase {
namespace {

// Longest expanded environment string, without its terminating zero.
constexpr DWORD kMaxExpandedChars = 258;

bool ExpandEnvironmentToken(const wchar_t* token, std::wstring* value) {
  wchar_t buffer[MAX_PATH] = {};
  const DWORD needed = ::ExpandEnvironmentStringsW(token, buffer, MAX_PATH);
  if (needed == 0 || needed > kMaxExpandedChars + 1) return false;
  value->assign(buffer);
  return true;
}

bool FolderOfFile(HMODULE module, DWORD buffer_chars, std::wstring* value) {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD length = ::GetModuleFileNameW(module, buffer, buffer_chars);
  if (length == 0 || length >= buffer_chars) return false;
  ::PathRemoveFileSpecW(buffer);
  value->assign(buffer);
  return true;
}

bool ThisModuleFolder(std::wstring* value) {
  using GetModuleHandleExFn = BOOL(WINAPI*)(DWORD, LPCWSTR, HMODULE*);
  HMODULE kernel = ::GetModuleHandleW(L"Kernel32.dll");
  if (kernel == nullptr) return false;
  const auto get_module = reinterpret_cast<GetModuleHandleExFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "GetModuleHandleExW")));
  if (get_module == nullptr) return false;
  HMODULE module = nullptr;
  if (!get_module(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                      GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                  reinterpret_cast<LPCWSTR>(&ThisModuleFolder), &module)) {
    return false;
  }
  return FolderOfFile(module, MAX_PATH, value);
}

bool SystemFolder(UINT (WINAPI* query)(LPWSTR, UINT), std::wstring* value) {
  wchar_t buffer[MAX_PATH] = {};
  const UINT length = query(buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  value->assign(buffer, length);
  return true;
}

bool ResolveToken(size_t index, std::wstring* value) {
  switch (index) {
    case 0:
    case 1:
    case 2:
      return ExpandEnvironmentToken(kPathTokens[index], value);
    case 3:
      return SystemFolder(&::GetSystemDirectoryW, value);
    case 4:
      return SystemFolder(&::GetWindowsDirectoryW, value);
    case 5:
      return ThisModuleFolder(value);
    case 6:
      return FolderOfFile(nullptr, MAX_PATH, value);
    case 7:
      return FolderOfFile(nullptr, MAX_PATH + 1, value);
    default:
      return false;
  }
}

}  // namespace

bool ExpandPathVariables(std::wstring* text) {
  bool seeded = false;
  return ExpandPathTokens(text, &ResolveToken, [&seeded] {
    if (!seeded) {
      std::srand(::GetTickCount());
      seeded = true;
    }
    return std::rand();
  });
}

void ExpandConfigVariables(const KInstallConfigMgr& config, std::wstring* text) {
  if (text->empty()) return;
  const KVariableParser* variables = config.variable_parser();
  ExpandConfigReferences(text, [variables](const std::wstring& name, std::wstring* value) {
    return variables != nullptr && variables->Lookup(name, value);
  });
  ExpandPathVariables(text);
}

}  // namespace kbase
