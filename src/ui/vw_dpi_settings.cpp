#include "ui/vw_dpi_settings.h"

#include <cwctype>

#include "common/win/scoped_handle.h"
#include "ui/vw_dpi_ratio.h"
#include "ui/utf8_text.h"

namespace kbase {
namespace {

constexpr wchar_t kSection[] = L"basesetting";
constexpr wchar_t kDpiAwareKey[] = L"Software\\Vesmark\\Antivirus\\ZPRReport";
constexpr wchar_t kDpiAwareValue[] = L"DpiAware";
// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
const HANDLE kPerMonitorContext = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4));

using SetProcessContextFn = BOOL(WINAPI*)(HANDLE);
using SetProcessAwareFn = BOOL(WINAPI*)();
using SetThreadContextFn = HANDLE(WINAPI*)(HANDLE);
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

template <typename F>
F User32Function(const char* name) {
  HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return nullptr;
  return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

std::wstring ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= 32768) return std::wstring();
    path.resize(path.size() * 2);
  }
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring NameWithoutExtension(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of(L'.');
  if (dot != std::wstring::npos) name.resize(dot);
  return name;
}

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

std::wstring ReadString(const std::wstring& file, const wchar_t* key, const wchar_t* fallback) {
  wchar_t buffer[1024] = {};
  ::GetPrivateProfileStringW(kSection, key, fallback, buffer, 1024, file.c_str());
  return buffer;
}

LRESULT CALLBACK HiddenWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return ::DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

VwDpiSettings& VwDpiSettings::Instance() {
  static VwDpiSettings settings(FolderOf(ProgramPath()) + L"\\ressrc\\chs\\dpisetting.ini",
                                NameWithoutExtension(ProgramPath()));
  return settings;
}

VwDpiSettings::VwDpiSettings(const std::wstring& settings_file, const std::wstring& program_name)
    : settings_file_(settings_file), program_name_(program_name) {
  const wchar_t* file = settings_file_.c_str();
  switch_ = static_cast<int>(::GetPrivateProfileIntW(kSection, L"switch", 0, file));
  mode_ = static_cast<int>(::GetPrivateProfileIntW(kSection, L"mode", kModeThread, file));
  debug_ = static_cast<int>(::GetPrivateProfileIntW(kSection, L"debug", 0, file));
  debug_dpi_ = static_cast<int>(::GetPrivateProfileIntW(kSection, L"debugdpi", 96, file));
  supported_ = ParseSupportedRatios(Utf8FromWide(ReadString(settings_file_, L"supportrate", L"1.0|1.2|1.5")));
  support_process_ = ReadString(settings_file_, L"supportprocess", L"wtptray");
}

VwDpiSettings::~VwDpiSettings() {
  if (hidden_window_ != nullptr) ::DestroyWindow(hidden_window_);
  if (window_class_ != 0) ::UnregisterClassW(HiddenWindowClass().c_str(), ::GetModuleHandleW(nullptr));
}

bool VwDpiSettings::ModeAvailable() const {
  if (mode_ == kModeProcess) {
    return User32Function<SetProcessContextFn>("SetProcessDpiAwarenessContext") != nullptr ||
           User32Function<SetProcessAwareFn>("SetProcessDPIAware") != nullptr;
  }
  if (mode_ == kModeThread) return User32Function<SetThreadContextFn>("SetThreadDpiAwarenessContext") != nullptr;
  return false;
}

bool VwDpiSettings::RegistrySwitchOn() const {
  HKEY key = nullptr;
  if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kDpiAwareKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS &&
      ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDpiAwareKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  ScopedKey owner;
  *owner.receive() = key;
  DWORD value = 0, type = 0, size = sizeof(value);
  if (::RegQueryValueExW(owner.get(), kDpiAwareValue, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof(value))
    return false;
  return value != 0;
}

bool VwDpiSettings::IsDpiAware() {
  if (aware_ < 0) aware_ = (debug_ != 0 || (switch_ != 0 && ModeAvailable() && RegistrySwitchOn())) ? 1 : 0;
  return aware_ != 0;
}

int VwDpiSettings::QueryDpi() {
  if (debug_ != 0) return debug_dpi_;
  if (window_dpi_ == 0 && hidden_window_ != nullptr) {
    if (auto get_dpi = User32Function<GetDpiForWindowFn>("GetDpiForWindow")) window_dpi_ = static_cast<int>(get_dpi(hidden_window_));
  }
  if (window_dpi_ > 0) return window_dpi_;
  if (mode_ == kModeProcess) {
    HDC screen = ::GetDC(nullptr);
    if (screen != nullptr) {
      const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
      ::ReleaseDC(nullptr, screen);
      if (dpi > 0) return dpi;
    }
  }
  return 96;
}

double VwDpiSettings::DpiRatio() {
  if (ratio_ == 0.0) ratio_ = ChooseDpiRatio(QueryDpi(), supported_);
  return ratio_;
}

int VwDpiSettings::Scale(int value) { return IsDpiAware() ? ScaleByRatio(value, DpiRatio()) : value; }

std::wstring VwDpiSettings::HiddenWindowClass() const { return program_name_ + L"_hiddenDpiAwarenessWindow"; }

void VwDpiSettings::Initialize() {
  if (initialized_.exchange(1) != 0) return;
  if (program_name_.empty() || Lower(support_process_).find(Lower(program_name_)) == std::wstring::npos) return;
  if (mode_ == kModeProcess && IsDpiAware()) {
    if (auto set_context = User32Function<SetProcessContextFn>("SetProcessDpiAwarenessContext")) {
      set_context(kPerMonitorContext);
    } else if (auto set_aware = User32Function<SetProcessAwareFn>("SetProcessDPIAware")) {
      set_aware();
    }
  }
  const std::wstring class_name = HiddenWindowClass();
  if (::FindWindowW(class_name.c_str(), nullptr) != nullptr) return;
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = HiddenWindowProc;
  window_class.hInstance = instance;
  window_class.lpszClassName = class_name.c_str();
  window_class_ = ::RegisterClassExW(&window_class);
  if (window_class_ == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return;
  // In thread mode the window always lives under the per-monitor context, so that it
  // reports the monitor's real DPI.
  ThreadContextScope context(*this, mode_ == kModeThread);
  hidden_window_ = ::CreateWindowExW(0, class_name.c_str(), L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance,
                                     nullptr);
  window_dpi_ = 0;
  ratio_ = 0.0;
}

VwDpiSettings::ThreadContextScope::ThreadContextScope(VwDpiSettings& settings, bool always) {
  if (settings.mode() != kModeThread || (!always && !settings.IsDpiAware())) return;
  if (auto set_context = User32Function<SetThreadContextFn>("SetThreadDpiAwarenessContext")) {
    previous_ = set_context(kPerMonitorContext);
    set_ = previous_ != nullptr;
  }
}

VwDpiSettings::ThreadContextScope::~ThreadContextScope() {
  if (!set_) return;
  if (auto set_context = User32Function<SetThreadContextFn>("SetThreadDpiAwarenessContext")) set_context(previous_);
}

}  // namespace kbase
