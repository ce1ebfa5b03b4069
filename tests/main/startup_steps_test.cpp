// Start-up steps that touch the machine: the single-instance guard, the working folder
// choice and its removal.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "main/firewall_entry.h"
#include "main/run_work_folder.h"
#include "main/single_instance.h"
#include "main/work_folder_removal.h"
#include "support/win_test_util.h"

namespace kbase {
namespace {

TEST(SingleInstance, SecondHolderIsRefusedUntilTheFirstEnds) {
  // The helper program tries the guard from another process and exits 1 when refused.
  const std::wstring helper = test::BesideThisProgram(L"single_instance_probe.exe");
  EXPECT_EQ(test::RunProgram(helper, L""), 0);
  {
    KSingleInstance first;
    ASSERT_TRUE(first.Acquire());
    EXPECT_EQ(test::RunProgram(helper, L""), 1);
  }
  EXPECT_EQ(test::RunProgram(helper, L""), 0);
}

TEST(RunWorkFolder, TemporaryFolderFirstThenKinsttempOnAFixedDrive) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  EXPECT_EQ(ChooseRunWorkFolder(L"C:\\dl\\setup.exe"), std::wstring(temp));

  // A temporary folder on a drive that is not there: the best fixed drive serves.
  test::EnvironmentValue missing(L"TEMP", L"Q:\\nowhere");
  const std::wstring folder = ChooseRunWorkFolder(L"C:\\dl\\setup.exe");
  EXPECT_EQ(folder.substr(1), L":\\kinsttemp\\");
  EXPECT_TRUE(test::FileExists(folder));
}

TEST(WorkFolderRemoval, RemovesKinsttempOrInstallRes) {
  test::TempFolder base;
  const std::wstring kinsttemp = base.path() + L"kinsttemp\\";
  CreateDirectoryW(kinsttemp.c_str(), nullptr);
  CreateDirectoryW((kinsttemp + L"install_res").c_str(), nullptr);
  ASSERT_TRUE(test::WriteWholeFile(kinsttemp + L"install_res\\6000.xml", "<x/>"));
  ASSERT_TRUE(test::WriteWholeFile(kinsttemp + L"other.txt", "x"));
  EXPECT_TRUE(RemoveWorkFolder(kinsttemp + L"install_res"));
  EXPECT_FALSE(test::FileExists(kinsttemp));  // the whole kinsttemp folder

  const std::wstring plain = base.path() + L"install_res";
  CreateDirectoryW(plain.c_str(), nullptr);
  ASSERT_TRUE(test::WriteWholeFile(base.path() + L"keep.txt", "x"));
  EXPECT_TRUE(RemoveWorkFolder(plain));
  EXPECT_FALSE(test::FileExists(plain));
  EXPECT_TRUE(test::FileExists(base.path() + L"keep.txt"));  // only install_res

  EXPECT_TRUE(RemoveWorkFolder(base.path() + L"never_made"));  // missing counts as removed
}

TEST(FirewallEntry, AddsAndRemovesThroughTheFirewallObjects) {
  // This Wine's firewall objects accept an entry and keep none, so a second add adds
  // again and removal finds nothing; the calls must still go through silently.
  const std::wstring self = test::BesideThisProgram(L"startup_steps_test.exe");
  EXPECT_TRUE(AddFirewallEntry(self));
  EXPECT_FALSE(RemoveFirewallEntry(self));
}

}  // namespace
}  // namespace kbase
