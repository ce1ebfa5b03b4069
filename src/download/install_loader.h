#pragma once
// Runs a downloaded and verified package as its module type. A "dll" package is loaded
// into this process and one export is called with the entry's param; an "exe" package
// is started as its own process, on the interactive user's desktop when possible. The
// load never waits for a started process.
#include <windows.h>

#include <string>

#include "config/download_entry.h"
#include "report/install_tool_report.h"

namespace kbase {

// Results of the load.
enum KLoadResult : int {
  kLoadDone = 0,                // the export was called, or the process was started
  kLoadUnknownModuleType = 302,
  kLoadInitFailed = 303,        // the package file is deleted
  kLoadInvalidEntry = 304,
  kLoadLibraryFailed = 311,
  kLoadExportMissing = 312,
  kLoadNotStarted = 313,
  kLoadEmptyModulePath = 314,
  kLoadModuleMissing = 315,
};

// Detail report of a "dll" load: step 1 before the library is loaded, step 2 after it
// loaded; the value is the entry number.
constexpr int kLoadReportEvent = 60;

// The ways an "exe" package is started, tried in this order until one starts it.
struct KLaunchMethods {
  int (*in_user_session)(const std::wstring& path, const std::wstring& arguments, int show);
  int (*with_session_token)(const std::wstring& path, const std::wstring& arguments, int show);
  int (*process)(int show, const std::wstring& path, const std::wstring& arguments,
                 DWORD wait_ms);
};

// LaunchInUserSession, LaunchWithSessionToken, LaunchProcess.
const KLaunchMethods& DefaultLaunchMethods();

// Made for one load and destroyed when it ends.
class KInstallLoader {
 public:
  explicit KInstallLoader(IInstallToolReport* report,
                          const KLaunchMethods& launch = DefaultLaunchMethods());
  virtual ~KInstallLoader();
  KInstallLoader(const KInstallLoader&) = delete;
  KInstallLoader& operator=(const KInstallLoader&) = delete;

  // Takes the entry's texts (ANSI code page) as wide texts. False when the module type
  // or the module path is empty, or a "dll" has no function name.
  bool Init(const KDownloadEntry& entry);
  // Runs the package; kLoadDone or a failure code. entry_number counts from 1.
  int Load(int entry_number);

  const std::wstring& module_path() const { return module_path_; }

 private:
  int LoadLibraryPackage(int entry_number);
  int StartProgramPackage();

  IInstallToolReport* report_;
  std::wstring module_type_;
  std::wstring module_path_;
  std::wstring param_;
  std::wstring function_name_;
  std::wstring init_function_name_;    // carried, never called
  std::wstring uninit_function_name_;  // carried, never called
  int32_t show_ = 0;
  KLaunchMethods launch_;
};

// The run controller's load of one entry: kLoadInvalidEntry for no entry or an invalid
// one; kLoadInitFailed, with the package file deleted, when the loader cannot take the
// entry; else the loader's result. report receives the "dll" steps.
int LoadDownloadEntry(const KDownloadEntry* entry, IInstallToolReport* report,
                      int entry_number, const KLaunchMethods& launch = DefaultLaunchMethods());

}  // namespace kbase
