#pragma once
// Process-wide DPI awareness settings: whether positions, fonts and images are scaled,
// and by which ratio. The settings come from "<program folder>\ressrc\chs\dpisetting.ini"
// (section "basesetting"), each key read once; without the file awareness is off and the
// ratio is 1.0.
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

namespace kbase {

class VwDpiSettings {
 public:
  static constexpr int kModeProcess = 1;
  static constexpr int kModeThread = 2;

  // The settings of this program.
  static VwDpiSettings& Instance();
  // Settings read from another file for another program name (tests, tools).
  VwDpiSettings(const std::wstring& settings_file, const std::wstring& program_name);
  ~VwDpiSettings();
  VwDpiSettings(const VwDpiSettings&) = delete;
  VwDpiSettings& operator=(const VwDpiSettings&) = delete;

  bool IsDpiAware();
  double DpiRatio();
  // value scaled by the ratio (truncated) when awareness is on, else value.
  int Scale(int value);
  const std::vector<double>& SupportedRatios() const { return supported_; }
  int mode() const { return mode_; }

  // Once per process: process awareness (mode 1) and the hidden window that answers
  // GetDpiForWindow, when the program is listed in "supportprocess".
  void Initialize();
  HWND hidden_window() const { return hidden_window_; }
  // "%s_%s" of the program name and "hiddenDpiAwarenessWindow".
  std::wstring HiddenWindowClass() const;

  // Per-monitor thread awareness around a window creation (mode 2 with awareness on).
  class ThreadContextScope {
   public:
    explicit ThreadContextScope(VwDpiSettings& settings, bool always = false);
    ~ThreadContextScope();
    ThreadContextScope(const ThreadContextScope&) = delete;
    ThreadContextScope& operator=(const ThreadContextScope&) = delete;

   private:
    void* previous_ = nullptr;
    bool set_ = false;
  };

 private:
  bool ModeAvailable() const;
  bool RegistrySwitchOn() const;
  int QueryDpi();

  std::wstring settings_file_;
  std::wstring program_name_;
  int switch_ = 0;
  int mode_ = kModeThread;
  int debug_ = 0;
  int debug_dpi_ = 96;
  std::vector<double> supported_;
  std::wstring support_process_;
  int aware_ = -1;     // cached test: -1 not yet asked
  int window_dpi_ = 0;  // cached DPI of the hidden window, 0 not yet asked
  double ratio_ = 0.0;
  std::atomic<long> initialized_{0};
  HWND hidden_window_ = nullptr;
  ATOM window_class_ = 0;
};

}  // namespace kbase
