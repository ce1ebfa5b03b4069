#include "download/install_loader.h"

#include <cwchar>

#include "common/win/ansi_text.h"
#include "common/win/scoped_module.h"
#include "download/user_launch.h"

namespace kbase {
namespace {

// Export names are looked up in the ANSI code page, at most this many bytes with the
// terminating zero.
constexpr int kExportNameBuffer = 255;

// x64 has a single calling convention, so the export's declared one does not matter.
using PackageExport = int (*)(const wchar_t* param);

// Whole text, any case: a type with a zero inside ("dll\0x") is no "dll".
bool IsModuleType(const std::wstring& type, const wchar_t* name) {
  return type.size() == wcslen(name) && _wcsicmp(type.c_str(), name) == 0;
}

}  // namespace

const KLaunchMethods& DefaultLaunchMethods() {
  static const KLaunchMethods methods = {LaunchInUserSession, LaunchWithSessionToken,
                                         LaunchProcess};
  return methods;
}

KInstallLoader::KInstallLoader(IInstallToolReport* report, const KLaunchMethods& launch)
    : report_(report), launch_(launch) {}

KInstallLoader::~KInstallLoader() = default;

bool KInstallLoader::Init(const KDownloadEntry& entry) {
  module_type_ = FromAnsi(entry.moduletype);
  module_path_ = FromAnsi(entry.path);
  param_ = FromAnsi(entry.param);
  function_name_ = FromAnsi(entry.funcname);
  init_function_name_ = FromAnsi(entry.initfuncname);
  uninit_function_name_ = FromAnsi(entry.uninitfuncname);
  show_ = entry.show;
  if (module_type_.empty() || module_path_.empty()) return false;
  return !(IsModuleType(module_type_, L"dll") && function_name_.empty());
}

int KInstallLoader::Load(int entry_number) {
  if (IsModuleType(module_type_, L"dll")) return LoadLibraryPackage(entry_number);
  if (IsModuleType(module_type_, L"exe")) return StartProgramPackage();
  return kLoadUnknownModuleType;
}

int KInstallLoader::LoadLibraryPackage(int entry_number) {
  if (report_ != nullptr) report_->ReportStep(kLoadReportEvent, 1, entry_number, 0, nullptr);
  ScopedModule library(LoadLibraryW(module_path_.c_str()));
  if (!library.valid()) return kLoadLibraryFailed;
  if (report_ != nullptr) report_->ReportStep(kLoadReportEvent, 2, entry_number, 0, nullptr);

  char export_name[kExportNameBuffer] = {};
  const int converted = WideCharToMultiByte(CP_ACP, 0, function_name_.c_str(), -1, export_name,
                                            kExportNameBuffer, nullptr, nullptr);
  // A name that does not fit, or does not convert, calls nothing.
  int result = kLoadDone;
  if (converted > 1) {
    const auto function = library.Function<PackageExport>(export_name);
    if (function != nullptr) {
      function(param_.c_str());
    } else {
      result = kLoadExportMissing;
    }
  }
  library.Reset();
  return result;
}

int KInstallLoader::StartProgramPackage() {
  if (module_path_.empty()) return kLoadEmptyModulePath;
  if (GetFileAttributesW(module_path_.c_str()) == INVALID_FILE_ATTRIBUTES) {
    return kLoadModuleMissing;
  }
  if (launch_.in_user_session(module_path_, param_, show_) != 0) return kLoadDone;
  if (launch_.with_session_token(module_path_, param_, show_) != 0) return kLoadDone;
  if (launch_.process(show_, module_path_, param_, 0) != 0) return kLoadDone;
  return kLoadNotStarted;
}

int LoadDownloadEntry(const KDownloadEntry* entry, IInstallToolReport* report,
                      int entry_number, const KLaunchMethods& launch) {
  if (entry == nullptr || !entry->IsValid()) return kLoadInvalidEntry;
  KInstallLoader loader(report, launch);
  if (!loader.Init(*entry)) {
    DeleteFileW(loader.module_path().c_str());
    return kLoadInitFailed;
  }
  return loader.Load(entry_number);
}

}  // namespace kbase
