#pragma once
// The install pipeline: loads the channel configuration, matches the channel, checks
// the install conditions, downloads and verifies the packages and starts them. It lives
// on the main window's worker thread; the window sets the progress receiver, window
// handle, install path and pop-up before driving it.
#include <windows.h>

#include <cstdint>
#include <set>
#include <string>

#include "common/win/scoped_handle.h"
#include "config/install_config_mgr.h"
#include "download/download_callback.h"
#include "download/install_loader.h"
#include "main/detector.h"
#include "report/tool_report.h"

namespace kbase {

// Results of the run controller's own steps.
enum KMainResult {
  kMainEntryWithoutUrl = 54,
  kMainNoChannel = 150,
  kMainNoMatchedEntry = 206,
  kMainDigestMismatch = 251,
  kMainPathNotExpanded = 252,
  kMainEntryInvalid = 253,
  kMainNotMatched = 254,
  kMainNoRoomForPackage = 261,
  kMainLoadDigestMismatch = 305,
  kMainLoadNotMatched = 306,
};

class KMain : public IKDetector {
 public:
  explicit KMain(int32_t kid);
  ~KMain() override;
  KMain(const KMain&) = delete;
  KMain& operator=(const KMain&) = delete;

  int _Init(int32_t company_id, int32_t tryno_id) override;
  int Uninit() override;
  int CheckItem(int32_t number) override;
  int _RunDetector(int action) override;

  void set_progress(IDownloadCallback* progress) { progress_ = progress; }
  void set_install_path(const std::wstring& path) { install_path_ = path; }
  void set_window(uint32_t window) { window_ = window; }
  void set_popup(IRecommendPopup* popup) { popup_ = popup; }
  // Tests watch how a package is started.
  void set_launch_methods(const KLaunchMethods& launch) { launch_ = launch; }
  // Tests serve the configuration from a port of their own.
  void SetConfigHostForTesting(const std::string& host) { config_.SetHostForTesting(host); }

  const std::wstring& software_name() const { return software_name_; }
  // True once the user accepted a recommendation: the window stops showing download
  // progress for the rest of the run.
  bool progress_muted() const { return progress_muted_; }

 private:
  int MatchChannel();
  int CheckEnvironment();
  int DownloadPass(int pass);
  int DownloadSingle(const KDownloadEntry& entry, int number, int* error);
  int VerifyPhase();
  int LoadPhase();
  int RunListPhase();
  void RewriteSetupArguments(KDownloadEntry* entry) const;
  static DWORD WINAPI WorkerMain(void* self);

  // What the survey thread reads: set before it starts, unchanged while it runs.
  struct SurveyIds {
    int32_t company_id = 0;
    int32_t tryno_id = 0;
  };

  KInstallTool::KInstallToolReport report_;
  int32_t m_nCompanyID = -1;
  int32_t m_nTrynoID = -1;
  int32_t kid_;
  KInstallConfigMgr config_;
  const KTrynoNode* matched_ = nullptr;
  SurveyIds survey_ids_;
  ScopedHandle worker_;
  IDownloadCallback* progress_ = nullptr;
  std::wstring install_path_;
  uint32_t window_ = 0;
  std::wstring software_name_;
  std::set<std::wstring> relocation_folders_;
  IRecommendPopup* popup_ = nullptr;
  bool progress_muted_ = false;
  KLaunchMethods launch_ = DefaultLaunchMethods();
};

}  // namespace kbase
