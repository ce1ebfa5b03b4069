// A stand-in for a library package. InstallPackage writes the text it was given (UTF-8)
// to "<this library's path>.param"; attach and detach append a line to
// "<this library's path>.events", so a test sees that the library was loaded and
// unloaded again.
#include <windows.h>

#include <string>

namespace {

HMODULE g_self = nullptr;

std::wstring SelfPath() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(g_self, path, MAX_PATH);
  return (length == 0 || length >= MAX_PATH) ? std::wstring() : std::wstring(path, length);
}

void WriteFileBytes(const std::wstring& path, const char* bytes, int size, bool append) {
  HANDLE file = CreateFileW(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE, 0, nullptr,
                            append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

extern "C" __declspec(dllexport) int InstallPackage(const wchar_t* param) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, param, -1, nullptr, 0, nullptr, nullptr);
  std::string text(size > 0 ? size : 1, '\0');
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, param, -1, &text[0], size, nullptr, nullptr);
  text.pop_back();  // the terminating zero
  WriteFileBytes(SelfPath() + L".param", text.data(), static_cast<int>(text.size()), false);
  return 7;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_self = instance;
    WriteFileBytes(SelfPath() + L".events", "attach\n", 7, true);
  } else if (reason == DLL_PROCESS_DETACH) {
    WriteFileBytes(SelfPath() + L".events", "detach\n", 7, true);
  }
  return TRUE;
}
