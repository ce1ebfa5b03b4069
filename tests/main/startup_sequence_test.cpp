// The process entry and the start-up sequence with recording windows: which channel the
// run takes from where, which windows open with what, the install-mode choice's end
// codes, the reboot notice, the alternative package, the single instance and the update.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/win/scoped_handle.h"
#include "main/run_settings.h"
#include "main/single_instance.h"
#include "main/startup_sequence.h"
#include "report/report_identity.h"
#include "support/win_test_util.h"

namespace kbase {
namespace {

class RecordingWindows : public IStartupWindows {
 public:
  void ShowRebootNotice() override { calls.push_back("reboot"); }
  int ShowInstallModeChoice(const std::wstring& install_res, int popup_style) override {
    calls.push_back("choice");
    choice_install_res = install_res;
    choice_popup_style = popup_style;
    scene_before_choice = RunSettings().scene;
    return choice_end_code;
  }
  void ShowMainWindow(int32_t cid, int32_t tid, int32_t kid,
                      const std::wstring& install_res) override {
    calls.push_back("main " + std::to_string(cid) + " " + std::to_string(tid) + " " +
                    std::to_string(kid) + (install_res.empty() ? "" : " res"));
    main_install_res = install_res;
    scene_in_main = RunSettings().scene;
  }

  int choice_end_code = kModeNormal;
  std::vector<std::string> calls;
  std::wstring choice_install_res, main_install_res;
  int choice_popup_style = 0;
  int scene_before_choice = -1, scene_in_main = -1;
};

// A working folder of the test's own: %TEMP% points into a fresh folder.
class StartupSequenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RunSettings() = KRunSettings();
    KInstallTool::SetReportIdentity({});
    context_.program_path = L"C:\\dl\\setup.exe";
    context_.windows = &windows_;
  }
  void WriteInstallConfig(const std::string& text) {
    CreateDirectoryW(InstallRes().c_str(), nullptr);
    ASSERT_TRUE(test::WriteWholeFile(InstallRes() + L"\\installconfig.ini", text));
  }
  std::wstring InstallRes() const { return temp_.path() + L"install_res"; }

  test::TempFolder temp_;
  test::EnvironmentValue temp_variable_{L"TEMP", temp_.path().c_str()};
  RecordingWindows windows_;
  KStartupContext context_;
};

TEST_F(StartupSequenceTest, ACompleteCommandLineIgnoresTheFileNameAndTheConfigurationFile) {
  WriteInstallConfig("[install]\r\nID=_186_f336_k0001_ch1\r\nsource=1\r\n");
  context_.program_path = L"C:\\dl\\setup_9_f9_k9_ch1.exe";
  RunStartupSequence(L"--cid=5 --tid=7 --kid=1", context_);
  EXPECT_EQ(windows_.calls, (std::vector<std::string>{"main 5 7 1"}));
  EXPECT_EQ(RunSettings().source, 0);
  EXPECT_EQ(RunSettings().working_folder, temp_.path());
  EXPECT_FALSE(test::FileExists(InstallRes()));  // removed with the run
}

TEST_F(StartupSequenceTest, TheConfigurationFileSuppliesChannelAndSource) {
  WriteInstallConfig("[install]\r\nID=_186_f336_k0001_ch1\r\nsource=1\r\n");
  RunStartupSequence(L"", context_);
  EXPECT_EQ(windows_.calls, (std::vector<std::string>{"choice", "main 186 336 1 res"}));
  EXPECT_EQ(windows_.choice_install_res, InstallRes());
  EXPECT_EQ(windows_.choice_popup_style, 1);
  EXPECT_EQ(windows_.scene_before_choice, 1);  // from "_ch1"
  EXPECT_EQ(RunSettings().source, 1);
  const KInstallTool::ReportIdentity identity = KInstallTool::GetReportIdentity();
  EXPECT_EQ(identity.company_id, L"186");
  EXPECT_EQ(identity.tryno_id, L"336");
  EXPECT_EQ(identity.third_number, L"1");
  EXPECT_EQ(identity.install_id.size(), 32u);
  EXPECT_FALSE(test::FileExists(InstallRes()));
}

TEST_F(StartupSequenceTest, TheChoicesEndCodeDecidesSceneAndMainWindow) {
  const struct {
    int end_code;
    bool main_shown;
    int scene;
  } kCases[] = {{5, false, 2}, {6, true, 0}, {7, true, 1}, {8, true, 0}, {9, true, 1},
                {3, true, 2}};
  for (const auto& c : kCases) {
    WriteInstallConfig("[install]\r\nID=_186_f336_k1_ch2\r\nsource=1\r\n");
    windows_ = RecordingWindows();
    windows_.choice_end_code = c.end_code;
    RunStartupSequence(L"", context_);
    EXPECT_EQ(windows_.calls.size(), c.main_shown ? 2u : 1u) << c.end_code;
    if (c.main_shown) {
      EXPECT_EQ(windows_.scene_in_main, c.scene) << c.end_code;
    }
    EXPECT_EQ(RunSettings().scene, c.scene) << c.end_code;
  }
}

TEST_F(StartupSequenceTest, AnOverlongIdIsCutAt255Characters) {
  // The "_k" tag lies beyond what is read, so the ID does not parse and the ids stay 0.
  WriteInstallConfig("[install]\r\nID=_186_f336" + std::string(260, 'x') + "_k1\r\n");
  RunStartupSequence(L"", context_);
  EXPECT_EQ(windows_.calls, (std::vector<std::string>{"main 0 0 0"}));

  // Within the limit it parses.
  windows_ = RecordingWindows();
  WriteInstallConfig("[install]\r\nID=_186_f336_k1" + std::string(200, 'x') + "\r\n");
  RunStartupSequence(L"", context_);
  EXPECT_EQ(windows_.calls, (std::vector<std::string>{"main 186 336 1"}));
}

TEST_F(StartupSequenceTest, APendingRebootEndsTheRunWithANoticeUnlessSilent) {
  ScopedKey key;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\vesmark\\Antivirus\\KNeedReboot", 0,
                            nullptr, 0, KEY_ALL_ACCESS, nullptr, key.receive(), nullptr),
            ERROR_SUCCESS);
  WriteInstallConfig("[install]\r\nID=_186_f336_k1\r\n");
  RunStartupSequence(L"", context_);
  EXPECT_EQ(windows_.calls, (std::vector<std::string>{"reboot"}));
  EXPECT_TRUE(test::FileExists(InstallRes()));  // left for the next run

  windows_ = RecordingWindows();
  RunStartupSequence(L"/silent", context_);
  EXPECT_TRUE(windows_.calls.empty());
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\vesmark\\Antivirus\\KNeedReboot");
}

std::wstring g_alternative_install_res;
std::string g_alternative_key;
int StartsAlternative(const std::wstring& install_res, const std::string& key) {
  g_alternative_install_res = install_res;
  g_alternative_key = key;
  return 1;
}
int StartsNothing(const std::wstring&, const std::string&) { return 0; }

TEST_F(StartupSequenceTest, AStartedAlternativePackageEndsTheRun) {
  WriteInstallConfig("[install]\r\nID=_186_f336_k1\r\nsource=1\r\n");
  context_.alternative_package = &StartsNothing;
  RunStartupSequence(L"", context_);
  EXPECT_EQ(windows_.calls.size(), 2u);

  WriteInstallConfig("[install]\r\nID=_186_f336_k1\r\nsource=1\r\n");
  windows_ = RecordingWindows();
  context_.alternative_package = &StartsAlternative;
  RunStartupSequence(L"", context_);
  EXPECT_TRUE(windows_.calls.empty());
  EXPECT_EQ(g_alternative_key, "186_336");
  EXPECT_EQ(g_alternative_install_res, InstallRes());
  EXPECT_FALSE(test::FileExists(InstallRes()));

  // Only channels that start with source 1 look for one.
  WriteInstallConfig("[install]\r\nID=_186_f336_k1\r\n");
  windows_ = RecordingWindows();
  RunStartupSequence(L"", context_);
  EXPECT_EQ(windows_.calls, (std::vector<std::string>{"main 186 336 1"}));
}

int g_update_checks = 0;
int UpdateStarted(const std::wstring&) { return ++g_update_checks, 1; }
int NoUpdate(const std::wstring&) { return ++g_update_checks, 0; }

TEST_F(StartupSequenceTest, OneInstanceAtATimeAndTheUpdateComesFirst) {
  context_.check_update = &NoUpdate;
  {
    KSingleInstance other;
    ASSERT_TRUE(other.Acquire());
    EXPECT_EQ(RunInstallerProcess(L"--cid=5 --tid=7 --kid=1", context_), 0);
    EXPECT_TRUE(windows_.calls.empty());  // another installer is running
    EXPECT_EQ(g_update_checks, 0);
    // A copy started by the update runs anyway and does not look for another update.
    EXPECT_EQ(RunInstallerProcess(L"--cid=5 --tid=7 --kid=1 -update:0", context_), 0);
    EXPECT_EQ(windows_.calls, (std::vector<std::string>{"main 5 7 1"}));
    EXPECT_EQ(g_update_checks, 0);
  }
  windows_ = RecordingWindows();
  EXPECT_EQ(RunInstallerProcess(L"--cid=5 --tid=7 --kid=1", context_), 0);
  EXPECT_EQ(g_update_checks, 1);
  EXPECT_EQ(windows_.calls.size(), 1u);

  windows_ = RecordingWindows();
  context_.check_update = &UpdateStarted;
  EXPECT_EQ(RunInstallerProcess(L"--cid=5 --tid=7 --kid=1", context_), 0);
  EXPECT_EQ(g_update_checks, 2);
  EXPECT_TRUE(windows_.calls.empty());  // the newer build took over
}

}  // namespace
}  // namespace kbase
