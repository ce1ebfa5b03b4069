#include "ui/window_class.h"

namespace kbase {

bool RegisterWindowClassOnce(const wchar_t* name, WNDPROC procedure, UINT style) {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{sizeof(existing)};
  if (::GetClassInfoExW(instance, name, &existing)) return true;
  WNDCLASSEXW window_class{sizeof(window_class)};
  window_class.style = style;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = name;
  return ::RegisterClassExW(&window_class) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace kbase
