#include "main/startup_sequence.h"

#include <windows.h>

#include <cstdio>

#include "config/product_registry.h"
#include "main/channel_identity.h"
#include "main/channel_resources.h"
#include "main/command_line.h"
#include "main/firewall_entry.h"
#include "main/install_config_ini.h"
#include "main/install_log.h"
#include "main/resource_block.h"
#include "main/run_settings.h"
#include "main/run_work_folder.h"
#include "main/single_instance.h"
#include "main/work_folder_removal.h"
#include "probe/machine_identity.h"
#include "probe/product_survey.h"
#include "report/dump_mgr.h"
#include "report/report_helper.h"
#include "report/report_identity.h"

namespace kbase {
namespace {

bool HasKey(const std::wstring& command_line, const wchar_t* key) {
  return ParseCommandLine(command_line).count(key) != 0;
}

void StoreReportIdentity(const KRunSettings& run) {
  KInstallTool::ReportIdentity identity = KInstallTool::GetReportIdentity();
  identity.company_id = std::to_wstring(run.cid);
  identity.tryno_id = std::to_wstring(run.tid);
  identity.third_number = std::to_wstring(run.kid);
  identity.install_id = GetInstallId();
  identity.device_id = GetDeviceId();
  KInstallTool::SetReportIdentity(identity);
}

// The scene an end code of the install-mode choice sets, or -1 to keep it.
int SceneAfterChoice(int end_code) {
  switch (end_code) {
    case kModeSafeInstall:
    case kModeNormalThenSafe:
      return 0;
    case kModeNormal:
    case kModeNormalConfirmed:
      return 1;
    default:
      return -1;
  }
}

}  // namespace

void RunStartupSequence(const std::wstring& command_line, const KStartupContext& context) {
  KRunSettings& run = RunSettings();
  ChannelIdentity identity = ReadChannelIdentity(command_line, context.program_path);
  run.cid = identity.cid;
  run.tid = identity.tid;
  run.kid = identity.kid;
  run.scene = identity.scene;
  run.silent = identity.silent;

  run.working_folder = ChooseRunWorkFolder(context.program_path);
  KLog("work folder: %ws", run.working_folder.c_str());
  {
    KResourceBlock block;
    const bool unpacked = block.LoadImageToMem(context.program_path) &&
                          (block.LocateByHeader() || block.LocateByMarker()) &&
                          block.Extract(run.working_folder);
    if (!unpacked) KLog("resource block not unpacked, built-in resources are used");
  }

  const std::wstring install_res = run.working_folder + kInstallResFolder;
  if (!identity.complete) {
    const InstallConfigIni ini =
        ReadInstallConfigIni(install_res + L"\\" + kInstallConfigIni);
    if (ParseIdString(ini.id, &identity)) {
      run.cid = identity.cid;
      run.tid = identity.tid;
      run.kid = identity.kid;
    }
    run.scene = identity.scene;
    run.source = ini.source;
  }
  KDumpMgr::Instance().SetChannel(run.cid, run.tid);
  KLog("channel cid=%d tid=%d kid=%d scene=%d source=%d silent=%d", run.cid, run.tid, run.kid,
       run.scene, run.source, run.silent ? 1 : 0);

  const ChannelResources resources = FetchChannelResources(install_res, run.tid, run.source);
  run.in_area = resources.in_area;
  LoadUiTables(install_res, resources.banner_fresh);

  if (IsRebootPending()) {
    KLog("an earlier installation waits for a reboot");
    if (!run.silent) context.windows->ShowRebootNotice();
    return;  // the working folder stays for the next run
  }

  if (run.source == 1) {
    StoreReportIdentity(run);
    KSemReport::GetReportHelper()->StartReporting();
    if (!IsTencentRealTimeProtectionPresent() && context.alternative_package != nullptr) {
      char key[32];
      std::snprintf(key, sizeof key, "%d_%d", run.cid, run.tid);
      if (context.alternative_package(install_res, key) == 1) {
        RemoveWorkFolder(install_res);
        return;
      }
    }
    const int end_code = context.windows->ShowInstallModeChoice(install_res, resources.popup_style);
    KLog("install-mode choice ended with %d", end_code);
    if (end_code != kModeClosed) {
      const int scene = SceneAfterChoice(end_code);
      if (scene >= 0) run.scene = scene;
      context.windows->ShowMainWindow(run.cid, run.tid, run.kid, install_res);
    }
    KSemReport::GetReportHelper()->StopReporting();
  } else {
    context.windows->ShowMainWindow(run.cid, run.tid, run.kid, std::wstring());
  }
  RemoveWorkFolder(install_res);
}

int RunInstallerProcess(const std::wstring& command_line, const KStartupContext& context) {
  KSingleInstance instance;
  if (!HasKey(command_line, L"update")) {
    if (!instance.Acquire()) return 0;
    if (context.check_update != nullptr && context.check_update(command_line) == 1) return 0;
  }
  KDumpMgr::Instance().Install();
  AddFirewallEntry(context.program_path);
  RunStartupSequence(command_line, context);
  RemoveFirewallEntry(context.program_path);
  return 0;
}

}  // namespace kbase
