#include "main/kmain.h"

#include <cwchar>
#include <string>

#include "build_settings.h"
#include "common/win/ansi_text.h"
#include "common/win/file_facts.h"
#include "config/check_leaf_factory_impl.h"
#include "config/path_variables.h"
#include "config/work_folder.h"
#include "download/curl_downloader.h"
#include "download/download_file.h"
#include "download/install_loader.h"
#include "download/verified_package.h"
#include "download/package_verify.h"
#include "download/ping_host.h"
#include "download/user_launch.h"
#include "main/install_log.h"
#include "main/package_records.h"
#include "main/run_settings.h"
#include "main/work_folder_removal.h"
#include "probe/anti_cheat_mgr.h"
#include "probe/machine_identity.h"

namespace kbase {

namespace {

constexpr int kCheckItemUnfilled = 207;
constexpr uint64_t kPackageDriveMinimumMb = 1024;
constexpr DWORD kWorkerWaitMs = 1000;
constexpr int kTimedOut = 28;  // the transfer library's "operation timed out"
constexpr int kPopupDeclined = 2;

void DeleteFileOrLater(const std::wstring& path) {
  if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
    MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  }
}

// A fixed drive with at least `minimum_mb` free (all free bytes of the volume).
bool DriveHasRoom(const std::wstring& path, uint64_t minimum_mb) {
  if (path.size() < 3) return false;
  const std::wstring drive = path.substr(0, 3);
  ULARGE_INTEGER free_bytes = {};
  return GetDriveTypeW(drive.c_str()) == DRIVE_FIXED &&
         GetDiskFreeSpaceExW(drive.c_str(), nullptr, nullptr, &free_bytes) &&
         free_bytes.QuadPart / (1024 * 1024) >= minimum_mb;
}

bool MatchesDigest(const KDownloadEntry& entry, const std::wstring& path) {
  return !path.empty() && VerifyPackageMd5(FromAnsi(entry.md5), path);
}

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Printf(const char* format, ...) {
  char buffer[2048];
  va_list args;
  va_start(args, format);
  const int length = vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return length < 0 ? std::string() : std::string(buffer, std::min<size_t>(length, sizeof buffer - 1));
}

}  // namespace

KMain::KMain(int32_t kid) : kid_(kid), config_(std::make_unique<KCheckLeafFactory>()) {}

KMain::~KMain() {
  Uninit();
  for (const std::wstring& folder : relocation_folders_) DeleteFolderTreeOrLater(folder);
}

int KMain::_Init(int32_t company_id, int32_t tryno_id) {
  KInstallTool::ReportIdentity identity = KInstallTool::GetReportIdentity();
  identity.company_id = std::to_wstring(company_id);
  identity.tryno_id = std::to_wstring(tryno_id);
  KInstallTool::SetReportIdentity(identity);

  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  KInstallLog::Instance().Open(std::wstring(temp) + L"kinst.log");
  KLog("KMain::_Init nCompanyID = %d nTrynoID = %d", company_id, tryno_id);
  m_nCompanyID = company_id;
  m_nTrynoID = tryno_id;

  identity.third_number = std::to_wstring(kid_);
  FillMachineFacts(&identity);
  report_.SetIdentity(identity);
  report_.set_third_number(identity.third_number);

  report_.ReportPhase(0, 0);
  KLogW(L"检测器启动");
  KLogW(L"加载配置开始  m_nCompanyID = %d m_nTrynoID = %d", m_nCompanyID, m_nTrynoID);
  int result = config_.Load(m_nCompanyID, m_nTrynoID, RunSettings().scene);
  KLogW(L"加载配置结束 nRet = %d", result);
  if (result != 0) {
    KLogW(L"加载配置失败!");
  } else {
    KLogW(L"匹配渠道配置开始");
    result = MatchChannel();
    KLogW(L"匹配渠道配置结束  nRet = %d", result);
    if (result != 0) KLogW(L"匹配配置失败!");
  }
  if (result == 0 && !worker_.valid()) {
    survey_ids_ = {m_nCompanyID, m_nTrynoID};
    worker_.Reset(CreateThread(nullptr, 0, &KMain::WorkerMain, &survey_ids_, 0, nullptr));
  }
  report_.ReportPhase(11, result);
  if (result != 0) Uninit();
  return result;
}

int KMain::MatchChannel() {
  const KTrynoNode* tryno = config_.FindTryno(m_nTrynoID);
  if (tryno == nullptr || !tryno->IsValid()) return kMainNoChannel;
  if (!tryno->softname.empty()) software_name_ = FromUtf8(tryno->softname);
  report_.set_channel_version(tryno->version);

  for (const auto& entry : tryno->entries) {
    if (!entry->IsValid()) return kMainEntryInvalid;
    std::wstring path = FromUtf8(entry->path);
    if (!ExpandPathVariables(&path)) return kMainPathNotExpanded;
    if (!DriveHasRoom(path, kPackageDriveMinimumMb)) {
      const std::wstring folder = ChooseWorkFolder(kPackageDriveMinimumMb);
      if (folder.empty()) return kMainNoRoomForPackage;
      path = folder + path.substr(path.find_last_of(L'\\') + 1);
      relocation_folders_.insert(folder);
    }
    // From here on the pipeline keeps paths in the ANSI code page, as the loader reads them.
    entry->path = ToAnsi(path);
  }
  matched_ = tryno;
  return 0;
}

// The launch-chain survey and its report, off the pipeline's own thread.
DWORD WINAPI KMain::WorkerMain(void* ids) {
  const SurveyIds channel = *static_cast<const SurveyIds*>(ids);
  KAntiCheatMgr survey;
  survey.Survey();
  survey.Report(channel.company_id, channel.tryno_id, GetInstallId());
  return 0;
}

int KMain::Uninit() {
  if (worker_.valid()) {
    if (WaitForSingleObject(worker_.get(), kWorkerWaitMs) != WAIT_OBJECT_0) {
      TerminateThread(worker_.get(), 1);
    }
    worker_.Reset();
  }
  m_nCompanyID = -1;
  m_nTrynoID = -1;
  matched_ = nullptr;
  kid_ = -1;
  KInstallLog::Instance().Close();
  return 1;
}

int KMain::CheckItem(int32_t number) {
  report_.ReportPhase(60, 0);
  // No configuration fills the table this looks in.
  report_.ReportPhase(61, kCheckItemUnfilled);
  return 0;
}

int KMain::_RunDetector(int action) {
  KLog("_RunDetector start nAction = %d", action);
  if (action & kActionCheckAndDownload) {
    const int result = CheckEnvironment();
    if (result != 0) return result;
  }
  if (action & kActionVerify) {
    const int result = VerifyPhase();
    if (result != 0) return result;
  }
  if (action & kActionLoad) {
    const int result = LoadPhase();
    if (result != 0) return result;
  }
  if (action & kActionRunList) RunListPhase();
  KLog("_RunDetector end nAction = %d", action);
  return 0;
}

int KMain::CheckEnvironment() {
  report_.ReportPhase(20, 0);
  KLogW(L" 检测安装环境开始");
  int result = kMainNoMatchedEntry;
  if (matched_ != nullptr) {
    result = config_.EvaluateCondition(matched_->condition);
    if (result == 0) result = config_.CheckUninstallInterval(matched_->Interval);
  }
  KLogW(L" 检测安装环境结束 nRet = %d", result);
  report_.ReportPhase(21, result);
  if (result != 0) {
    KLogW(L"安装条件不符!");
    return result;
  }

  report_.ReportPhase(30, 0);
  KLogW(L" 下载安装包开始");
  result = DownloadPass(0);
  KLogW(L" 下载安装包结束 nRet = %d", result);
  report_.ReportPhase(31, result);
  if (result != 0) KLogW(L"下载安装包失败!");
  return result;
}

int KMain::DownloadPass(int pass) {
  if (matched_ == nullptr) return kMainNotMatched;
  int result = 0;
  int done = 0;
  int number = 0;
  for (const auto& entry : matched_->entries) {
    ++number;
    if (RunSettings().scene != 0 && entry->delaydownload != pass) continue;
    if (!entry->IsValid()) {
      result = kMainEntryInvalid;
      continue;
    }
    KLog("CheckInstallCondition_begin: condition = %s", entry->condition.c_str());
    const int condition = config_.EvaluateCondition(entry->condition);
    KLog("CheckInstallCondition_end: condition = %s, return = %d", entry->condition.c_str(),
         condition);
    if (condition != 0) {
      result = condition;
      continue;
    }
    const std::wstring recorded = ReadPackagePath(m_nCompanyID, m_nTrynoID, number);
    if (!recorded.empty() && FileExists(recorded) && MatchesDigest(*entry, recorded)) {
      ++done;
      continue;
    }
    KLog("_DownloadSinglePacket_begin: url = %s,md5 = %s", entry->url.c_str(), entry->md5.c_str());
    int error = 0;
    const int downloaded = DownloadSingle(*entry, number, &error);
    KLog("_DownloadSinglePacket_end: url = %s,md5 = %s,errorcode = %d", entry->url.c_str(),
         entry->md5.c_str(), downloaded);
    if (downloaded == 0) {
      RecordPackagePath(m_nCompanyID, m_nTrynoID, number, FromAnsi(entry->path));
      ++done;
    } else {
      result = downloaded;
      DeleteFileOrLater(FromAnsi(entry->path));
      report_.ReportStep(40, 2, error, number, nullptr);
    }
  }
  return done > 0 ? 0 : result;
}

int KMain::DownloadSingle(const KDownloadEntry& entry, int number, int* error) {
  if (entry.url.empty() || entry.path.empty()) return kMainEntryWithoutUrl;
  const std::wstring url = FromAnsi(entry.url);
  const std::wstring path = FromAnsi(entry.path);
  int result = DownloadToFile(url, path, error, progress_, entry.downloadtime);
  KLog("_DownloadSinglePacket: url = %ws,errorCode=%d", url.c_str(), *error);
  if (result != 0 && *error == kTimedOut && entry.sd >= 1 && PingHost(kPingHost) >= 1) {
    report_.ReportStep(40, 1, kTimedOut, number, nullptr);
    *error = 0;
    result = KCurlDownloader::Download(url, path, error, progress_);
  }
  return result;
}

int KMain::VerifyPhase() {
  report_.ReportPhase(40, 0);
  KLogW(L" 校验安装包md5开始");
  int result = kMainNotMatched;
  if (matched_ != nullptr) {
    int matched = 0;
    int number = 0;
    result = 0;
    for (const auto& entry : matched_->entries) {
      ++number;
      if (!entry->IsValid()) {
        result = kMainEntryInvalid;
        continue;
      }
      std::wstring file = ReadPackagePath(m_nCompanyID, m_nTrynoID, number);
      if (file.empty()) file = FromAnsi(entry->path);
      if (MatchesDigest(*entry, file)) {
        ++matched;
      } else {
        result = kMainDigestMismatch;
      }
    }
    if (matched > 0) result = 0;
  }
  KLogW(L" 校验安装包md5结束 nRet = %d", result);
  report_.ReportPhase(41, result);
  if (result != 0) KLogW(L"校验安装包失败");
  return result;
}

int KMain::LoadPhase() {
  report_.ReportPhase(50, 0);
  KLogW(L" 加载安装包开始");
  int result = kMainLoadNotMatched;
  if (matched_ != nullptr) {
    result = 0;
    int loaded = 0;
    int number = 0;
    for (const auto& entry : matched_->entries) {
      ++number;
      if (!entry->IsValid()) {
        result = kMainEntryInvalid;
        continue;
      }
      const int condition = config_.EvaluateCondition(entry->condition);
      if (condition != 0) {
        result = condition;
        continue;
      }
      if (entry->showpop != 0 && !RunSettings().in_area) {
        report_.ReportPopup(1, 0);
        // Without a window to ask in, the recommendation counts as declined.
        const int answer = popup_ != nullptr ? popup_->Show() : kPopupDeclined;
        report_.ReportPopup(1, answer);
        if (answer == kPopupDeclined) continue;
        progress_muted_ = true;
        DownloadPass(1);
      }
      RewriteSetupArguments(entry.get());
      const std::wstring recorded = ReadPackagePath(m_nCompanyID, m_nTrynoID, number);
      if (!recorded.empty()) entry->path = ToAnsi(recorded);
      const std::wstring path = FromAnsi(entry->path);
      // Held from the check until started: nobody can swap the file in between.
      KVerifiedPackage package;
      if (path.empty() || !package.OpenAndVerify(path, FromAnsi(entry->md5))) {
        result = kMainLoadDigestMismatch;
        continue;
      }
      const int load = LoadDownloadEntry(entry.get(), &report_, number, launch_);
      package.Release();
      // The loader could not delete a package it refused while the file was held.
      if (load == kLoadInitFailed) DeleteFileW(path.c_str());
      if (entry->ndp == 0) DeleteFileOrLater(path);
      if (load != 0) {
        result = load;
      } else {
        ++loaded;
      }
    }
    if (loaded > 0) result = 0;
  }
  KLogW(L" 加载安装包结束 nRet = %d", result);
  report_.ReportPhase(51, result);
  if (result != 0) KLogW(L"执行安装失败!");
  return result;
}

void KMain::RewriteSetupArguments(KDownloadEntry* entry) const {
  if (entry->tovelpack == 0 || RunSettings().source != 0) return;
  if (_stricmp(entry->moduletype.c_str(), "dll") == 0) {
    if (!entry->param.empty()) {
      entry->param = Printf("%s -tod1:%d -tod2:%d", entry->param.c_str(), m_nTrynoID, kid_);
    }
    return;
  }
  const std::string window = Printf("%x", window_);
  std::string param = Printf("/autoinstall ##silence=0&installpath=\"%s\"&hwnd=%s",
                             ToAnsi(install_path_).c_str(), window.c_str());
  if (!entry->param.empty()) {
    param += Printf("&%s tod1=%d tod2=%d", entry->param.c_str(), m_nTrynoID, kid_);
  }
  entry->param = param;
}

int KMain::RunListPhase() {
  for (const auto& item : config_.run_list()) {
    if (config_.EvaluateCondition(item->condition) != 0) continue;
    std::wstring path = FromUtf8(item->path);
    ExpandConfigVariables(config_, &path);
    if (!FileExists(path)) continue;
    LaunchProcess(1, path, FromUtf8(item->param), 0);
  }
  return 0;
}

}  // namespace kbase
