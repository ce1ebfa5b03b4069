#include "dialogs/self_update.h"

#include <cstdlib>
#include <ctime>
#include <vector>

#include "build_settings.h"
#include "common/win/ansi_text.h"
#include "common/win/file_facts.h"
#include "common/win/scoped_handle.h"
#include "config/path_variables.h"
#include "config/registry_keys.h"
#include "dialogs/self_update_rules.h"
#include "download/download_file.h"
#include "download/http_request.h"
#include "download/package_verify.h"
#include "download/signer_check.h"
#include "download/user_launch.h"
#include "main/install_log.h"
#include "probe/machine_identity.h"
#include "report/update_info_report.h"

namespace kbase {
namespace {

// Longest texts taken from the update information, terminator included.
constexpr DWORD kUrlChars = 1024;
constexpr DWORD kMd5Chars = 260;
constexpr DWORD kDirChars = 260;
// Longest recorded path read back from the registry.
constexpr DWORD kRecordedPathBytes = 32768 * sizeof(wchar_t);

std::wstring ModulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

std::wstring TempFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
  return length > 0 && length <= MAX_PATH ? std::wstring(temp, length) : std::wstring();
}

std::wstring ProfileText(const wchar_t* key, DWORD chars, const std::wstring& file) {
  std::vector<wchar_t> buffer(chars);
  const DWORD length = ::GetPrivateProfileStringW(kUpdateInformationSection, key, L"",
                                                  buffer.data(), chars, file.c_str());
  return std::wstring(buffer.data(), length < chars ? length : 0);
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  DWORD written = 0;
  return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
         written == bytes.size();
}

std::wstring ReadRecordedBuild() {
  ScopedKey key;
  if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, kInstallerRecordsKey, 0, KEY_QUERY_VALUE,
                      key.receive()) != ERROR_SUCCESS) {
    return {};
  }
  DWORD type = 0, size = 0;
  if (::RegQueryValueExW(key.get(), kUpdateRecordValue, nullptr, &type, nullptr, &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ || size == 0 || size > kRecordedPathBytes) {
    return {};
  }
  std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
  if (::RegQueryValueExW(key.get(), kUpdateRecordValue, nullptr, &type,
                         reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return {};
  }
  // Stored data need not be terminated; the buffer holds one more character.
  return std::wstring(text.data());
}

bool RecordBuild(const std::wstring& path) {
  ScopedKey key;
  if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, kInstallerRecordsKey, 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, key.receive(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  return ::RegSetValueExW(key.get(), kUpdateRecordValue, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(path.c_str()),
                          static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))) ==
         ERROR_SUCCESS;
}

}  // namespace

KSelfUpdater& KSelfUpdater::Instance() {
  static KSelfUpdater updater;
  return updater;
}

KSelfUpdater::KSelfUpdater() : program_path_(ModulePath()) {
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  own_signer_ = ReadSignerCertificate(program_path_);
  if (own_signer_.empty()) {
    KLog("SelfUpdate -- this installer is unsigned: builds are checked by their digest alone");
  }
}

std::wstring KSelfUpdater::target_path() const {
  ScopedLock<CriticalSection> hold(lock_);
  return target_path_;
}

bool KSelfUpdater::FetchUpdateInformation(int* result) {
  const std::string url = UpdateInformationUrl(kUpdateHost);
  std::string body;
  const int fetched = GetUrlContent(FromAnsi(url), &body);
  if (fetched != 0 || body.empty()) {
    KLog("SelfUpdate -- update information not fetched, result = %d", fetched);
    *result = fetched;  // 0 for an empty reply
    return false;
  }

  const std::wstring information_path = TempFolder() + kUpdateInformationFile;
  WriteFileBytes(information_path, body);
  url_ = ProfileText(L"url", kUrlChars, information_path);
  md5_ = ProfileText(L"md5", kMd5Chars, information_path);
  std::wstring folder = ProfileText(L"dir", kDirChars, information_path);
  probability_ = static_cast<int>(::GetPrivateProfileIntW(
      kUpdateInformationSection, L"probability", 0, information_path.c_str()));
  ::DeleteFileW(information_path.c_str());

  *result = kUpdateInformationRead;
  if (url_.empty()) {
    *result = kUpdateInformationNoUrl;
  } else if (md5_.empty()) {
    *result = kUpdateInformationNoMd5;
  } else if (folder.empty()) {
    *result = kUpdateInformationNoDir;
  }
  if (*result != kUpdateInformationRead) {
    KLog("SelfUpdate -- update information incomplete, result = %d", *result);
    return false;
  }
  ExpandPathVariables(&folder);
  if (folder.empty() || folder.back() != L'\\') folder.push_back(L'\\');
  target_path_ = folder + BackupProgramName(PathFileName(program_path_));
  return true;
}

bool KSelfUpdater::HasOwnSigner(const std::wstring& path, HANDLE file) {
  if (own_signer_.empty()) return true;
  LONG trust = 0;
  const SignerCheckResult signer = CheckFileSigner(path, file, own_signer_, &trust);
  if (signer != kSignerSame) {
    KLog("SelfUpdate -- build refused, signer check = %d, trust = 0x%08lX",
         static_cast<int>(signer), static_cast<unsigned long>(trust));
  }
  return signer == kSignerSame;
}

bool KSelfUpdater::IsAcceptableBuild(const std::wstring& path) {
  if (!VerifyPackageMd5(md5_, path)) {
    KLog("SelfUpdate -- digest mismatch: %ws", path.c_str());
    return false;
  }
  return HasOwnSigner(path, nullptr);
}

int KSelfUpdater::CheckUpdate() {
  ScopedLock<CriticalSection> hold(lock_);
  int state = kUpdateSwitchedOff;
  int result = 0;
  int download_error = 0;
  do {
    const std::wstring program_folder =
        program_path_.substr(0, program_path_.size() - PathFileName(program_path_).size());
    const std::wstring switch_path = program_folder + kUpdateSwitchFile;
    if (::GetPrivateProfileIntW(kUpdateSwitchSection, L"switch", 1, switch_path.c_str()) != 1) {
      break;
    }

    state = kUpdateNoInformation;
    if (!FetchUpdateInformation(&result)) break;

    if (std::rand() % kUpdateProbabilityScale >= probability_) {
      state = kUpdateNotSelected;
      break;
    }

    state = kUpdateDownloadFailed;
    // The build verified in an earlier run is started from where it was verified.
    const std::wstring recorded = ReadRecordedBuild();
    if (!recorded.empty() && IsAcceptableBuild(recorded)) {
      target_path_ = recorded;
      state = kUpdateReady;
      break;
    }

    std::wstring target = target_path_;
    ExpandPathVariables(&target);
    ::DeleteFileW(target.c_str());
    result = DownloadToFile(url_, target, &download_error, nullptr, kUpdateDownloadTimeoutSeconds);
    if (result != kDownloadOk) {
      KLog("SelfUpdate -- download failed, result = %d, error = %d", result, download_error);
      break;
    }
    state = kUpdateBuildRefused;
    if (!IsAcceptableBuild(target)) break;
    RecordBuild(target);
    state = kUpdateReady;
  } while (false);

  KInstallTool::KUpdateInfoReport report;
  report.set_outcome(state);
  report.set_detail(result);
  report.set_download_error(download_error);
  report.set_install_id(GetInstallId());
  report.Send();
  KLog("SelfUpdate -- state = %d, result = %d", state, result);
  return state == kUpdateReady ? 1 : 0;
}

int KSelfUpdater::StartUpdate(const std::wstring& command_line) {
  ScopedLock<CriticalSection> hold(lock_);
  std::wstring path = target_path_;
  ExpandPathVariables(&path);
  if (path.empty() || !FileExists(path)) return 0;
  // Held without write or delete sharing, so the checked file is the one that runs.
  ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!own_signer_.empty() && (!file.valid() || !HasOwnSigner(path, file.get()))) return 0;
  const int started = LaunchProcess(0, path, command_line + L" -update:0", INFINITE);
  KLog("SelfUpdate -- started %ws, result = %d", path.c_str(), started);
  return started;
}

}  // namespace kbase
