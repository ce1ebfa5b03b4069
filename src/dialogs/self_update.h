#pragma once
// The installer's self-update: before anything visible happens, a newer build named by
// the update information (URL, MD5 digest, folder, share of users) may replace this run.
// The newer build is downloaded (or an earlier verified download is reused), checked
// and started with this run's command line plus "-update:0"; this process waits for it.
//
// The update information travels without a signature, yet it decides which program this
// elevated process starts. So besides its digest, a build is accepted only when it
// carries an Authenticode signature made by the running installer's own certificate.
// A running installer without a signature (a development build) checks the digest alone.
#include <windows.h>

#include <string>

#include "common/win/critical_section.h"

namespace kbase {

// States of the update report.
enum SelfUpdateState {
  kUpdateReady = 0,           // a verified build is ready to start
  kUpdateSwitchedOff = 1,     // the switch file turns the self-update off
  kUpdateNoInformation = 2,   // the update information cannot be fetched or is incomplete
  kUpdateNotSelected = 3,     // this run was not selected by the probability
  kUpdateDownloadFailed = 4,
  kUpdateBuildRefused = 5,    // the download does not match the digest or the signer
};

// Results of reading the update information.
enum UpdateInformationResult {
  kUpdateInformationRead = 0,
  kUpdateInformationNoUrl = 354,
  kUpdateInformationNoDir = 355,
  kUpdateInformationNoMd5 = 356,
};

// Section and keys of the files involved.
inline constexpr wchar_t kUpdateInformationSection[] = L"UiExe";
inline constexpr wchar_t kUpdateInformationFile[] = L"jcqgx.ini";  // in the temporary folder
inline constexpr wchar_t kUpdateSwitchFile[] = L"jcqgxkg.ini";     // beside the program
inline constexpr wchar_t kUpdateSwitchSection[] = L"updatecheck";
// Under kInstallerRecordsKey: the path of the last verified download.
inline constexpr wchar_t kUpdateRecordValue[] = L"UiExePath";
// Shares of users are counted in units of 1/kUpdateProbabilityScale.
constexpr int kUpdateProbabilityScale = 10000;
constexpr int kUpdateDownloadTimeoutSeconds = 300;

class KSelfUpdater {
 public:
  // The updater of this process, made on first use.
  static KSelfUpdater& Instance();

  KSelfUpdater(const KSelfUpdater&) = delete;
  KSelfUpdater& operator=(const KSelfUpdater&) = delete;

  // Decides whether a verified newer build is ready, and sends the update report.
  // 1 when it is, else 0.
  int CheckUpdate();

  // Starts the build CheckUpdate prepared with "<command_line> -update:0", hidden, and
  // waits for its primary thread to end. `command_line` is this process's command line
  // without the program name. 1 when the build was started, else 0.
  int StartUpdate(const std::wstring& command_line);

  // Where the newer build is stored (after CheckUpdate).
  std::wstring target_path() const;

 private:
  KSelfUpdater();

  // Fetches and reads the update information. False when it cannot be fetched (`result`
  // gets the request's result) or lacks a key (354 to 356).
  bool FetchUpdateInformation(int* result);
  // The build at `path` matches the digest and, for a signed installer, its signer.
  bool IsAcceptableBuild(const std::wstring& path);
  // The signer check alone; true for an unsigned installer.
  bool HasOwnSigner(const std::wstring& path, HANDLE file);

  mutable CriticalSection lock_;
  std::wstring program_path_;
  // The running installer's signer certificate (DER); empty for an unsigned build.
  std::string own_signer_;
  std::wstring url_;
  std::wstring md5_;
  std::wstring target_path_;
  int probability_ = 0;
};

}  // namespace kbase
