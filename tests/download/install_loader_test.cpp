// The package loader with the stand-in packages: a library whose export records its
// argument, and a program that records its command line. The launches of "exe"
// packages are the real ones; a recording wrapper only notes which were tried.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "download/install_loader.h"
#include "download/launch_test_util.h"
#include "download/user_launch.h"
#include "support/win_test_util.h"

namespace kbase {
namespace {

using test::CopyPackage;
using test::FileExists;
using test::ReadWholeFile;
using test::TempFolder;
using test::Utf8;
using test::WaitForRecord;

struct StepReport {
  int event, step, value, code;
  bool operator==(const StepReport& o) const {
    return event == o.event && step == o.step && value == o.value && code == o.code;
  }
};

std::ostream& operator<<(std::ostream& out, const StepReport& r) {
  return out << r.event << "/" << r.step << " value " << r.value << " code " << r.code;
}

class RecordingReport : public IInstallToolReport {
 public:
  int ReportStep(int event, int step, int value, int code, const char* text) override {
    steps.push_back({event, step, value, code});
    EXPECT_EQ(text, nullptr);
    return 0;
  }
  int ReportPhase(int event, int result) override {
    ADD_FAILURE() << "phase report from the loader";
    return 0;
  }
  int ReportPopup(int kind, int result) override {
    ADD_FAILURE() << "pop-up report from the loader";
    return 0;
  }
  std::vector<StepReport> steps;
};

KDownloadEntry Entry(const std::string& moduletype, const std::wstring& path) {
  KDownloadEntry entry;
  entry.url = "http://127.0.0.1:18080/package";
  entry.md5 = "00000000000000000000000000000000";
  entry.moduletype = moduletype;
  entry.path = Utf8(path);  // the test folders are ASCII, the same in every code page
  entry.downloadtype = "1";
  return entry;
}

class LibraryPackageTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(CopyPackage(L"record_args_dll.dll", library_)); }

  TempFolder folder_;
  const std::wstring library_ = folder_.File(L"package.dll");
};

TEST_F(LibraryPackageTest, CallsTheExportWithTheParamAndUnloadsTheLibrary) {
  struct Case {
    const char* name;
    std::string moduletype, funcname, param;
    int result;
    const char* recorded_param;  // null: the export was not called
  };
  const Case cases[] = {
      {"export called", "dll", "InstallPackage", "x -tod1:336 -tod2:7", 0,
       "x -tod1:336 -tod2:7"},
      {"module type in upper case", "DLL", "InstallPackage", "upper", 0, "upper"},
      {"empty param", "dll", "InstallPackage", "", 0, ""},
      {"export missing", "dll", "NoSuchExport", "x", kLoadExportMissing, nullptr},
      {"export names are case-sensitive", "dll", "installpackage", "x", kLoadExportMissing,
       nullptr},
      // Beyond the 255-byte name buffer nothing is looked up or called.
      {"name longer than the buffer", "dll", std::string(300, 'F'), "x", 0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteFileW((library_ + L".param").c_str());
    DeleteFileW((library_ + L".events").c_str());
    KDownloadEntry entry = Entry(c.moduletype, library_);
    entry.funcname = c.funcname;
    entry.param = c.param;
    RecordingReport report;
    EXPECT_EQ(LoadDownloadEntry(&entry, &report, 3), c.result);

    const std::vector<StepReport> both = {{60, 1, 3, 0}, {60, 2, 3, 0}};
    EXPECT_EQ(report.steps, both);
    std::string events;
    ASSERT_TRUE(ReadWholeFile(library_ + L".events", &events));
    EXPECT_EQ(events, "attach\ndetach\n");
    EXPECT_EQ(GetModuleHandleW(library_.c_str()), nullptr) << "still loaded";
    std::string param;
    if (c.recorded_param != nullptr) {
      ASSERT_TRUE(ReadWholeFile(library_ + L".param", &param));
      EXPECT_EQ(param, c.recorded_param);
    } else {
      EXPECT_FALSE(FileExists(library_ + L".param"));
    }
    EXPECT_TRUE(FileExists(library_));
  }
}

TEST_F(LibraryPackageTest, ALibraryThatDoesNotLoadGives311AfterTheFirstStep) {
  const std::wstring not_a_library = folder_.File(L"text.dll");
  ASSERT_TRUE(test::WriteWholeFile(not_a_library, "MZ but nothing more"));
  for (const std::wstring& path : {not_a_library, folder_.File(L"missing.dll")}) {
    KDownloadEntry entry = Entry("dll", path);
    entry.funcname = "InstallPackage";
    RecordingReport report;
    EXPECT_EQ(LoadDownloadEntry(&entry, &report, 1), kLoadLibraryFailed);
    const std::vector<StepReport> first = {{60, 1, 1, 0}};
    EXPECT_EQ(report.steps, first);
  }
}

TEST_F(LibraryPackageTest, ALibraryWithoutFunctionNameIsDeleted) {
  for (const char* type : {"dll", "Dll"}) {
    SCOPED_TRACE(type);
    ASSERT_TRUE(CopyPackage(L"record_args_dll.dll", library_));
    KDownloadEntry entry = Entry(type, library_);
    entry.initfuncname = "Init";
    RecordingReport report;
    EXPECT_EQ(LoadDownloadEntry(&entry, &report, 1), kLoadInitFailed);
    EXPECT_FALSE(FileExists(library_));
    EXPECT_TRUE(report.steps.empty());
  }
}

TEST(LoadDownloadEntry, RefusesMissingAndInvalidEntriesAndUnknownTypes) {
  TempFolder folder;
  const std::wstring file = folder.File(L"package.msi");
  ASSERT_TRUE(test::WriteWholeFile(file, "package"));
  RecordingReport report;
  EXPECT_EQ(LoadDownloadEntry(nullptr, &report, 1), kLoadInvalidEntry);

  struct Case {
    const char* name;
    void (*spoil)(KDownloadEntry*);
  };
  const Case invalid[] = {
      {"no url", [](KDownloadEntry* e) { e->url.clear(); }},
      {"no md5", [](KDownloadEntry* e) { e->md5.clear(); }},
      {"no module type", [](KDownloadEntry* e) { e->moduletype.clear(); }},
      {"no path", [](KDownloadEntry* e) { e->path.clear(); }},
      {"no download type", [](KDownloadEntry* e) { e->downloadtype.clear(); }},
  };
  for (const Case& c : invalid) {
    SCOPED_TRACE(c.name);
    KDownloadEntry entry = Entry("exe", file);
    c.spoil(&entry);
    EXPECT_EQ(LoadDownloadEntry(&entry, &report, 1), kLoadInvalidEntry);
  }

  for (const std::string& type : {std::string("msi"), std::string("exe "), std::string("dl"),
                                  std::string("dll\0x", 5)}) {
    SCOPED_TRACE(type);
    KDownloadEntry entry = Entry(type, file);
    entry.funcname = "InstallPackage";
    EXPECT_EQ(LoadDownloadEntry(&entry, &report, 1), kLoadUnknownModuleType);
  }
  EXPECT_TRUE(FileExists(file)) << "only a loader that cannot start deletes the package";
  EXPECT_TRUE(report.steps.empty());
}

// Launch methods that record their calls and report the outcome set by the test.
struct LaunchLog {
  std::vector<std::string> calls;
  int results[3] = {0, 0, 0};
  bool call_real = false;  // run the real launch and record its result instead
};
LaunchLog* g_launch_log = nullptr;

std::string Describe(const char* method, const std::wstring& path, const std::wstring& args,
                     int show) {
  return std::string(method) + " " + Utf8(path) + " [" + Utf8(args) + "] show " +
         std::to_string(show);
}

const KLaunchMethods kRecordingLaunch = {
    [](const std::wstring& path, const std::wstring& args, int show) {
      const int result = g_launch_log->call_real ? LaunchInUserSession(path, args, show)
                                                 : g_launch_log->results[0];
      g_launch_log->calls.push_back(Describe("in_user_session", path, args, show) + " -> " +
                                    std::to_string(result));
      return result;
    },
    [](const std::wstring& path, const std::wstring& args, int show) {
      const int result = g_launch_log->call_real ? LaunchWithSessionToken(path, args, show)
                                                 : g_launch_log->results[1];
      g_launch_log->calls.push_back(Describe("with_session_token", path, args, show) + " -> " +
                                    std::to_string(result));
      return result;
    },
    [](int show, const std::wstring& path, const std::wstring& args, DWORD wait_ms) {
      const int result = g_launch_log->call_real ? LaunchProcess(show, path, args, wait_ms)
                                                 : g_launch_log->results[2];
      g_launch_log->calls.push_back(Describe("process", path, args, show) + " wait " +
                                    std::to_string(wait_ms) + " -> " + std::to_string(result));
      return result;
    },
};

class ProgramPackageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_launch_log = &log_;
    ASSERT_TRUE(CopyPackage(L"record_args_exe.exe", program_));
    path_ = Utf8(program_);
  }
  void TearDown() override { g_launch_log = nullptr; }

  TempFolder folder_;
  const std::wstring program_ = folder_.File(L"setup.exe");
  std::string path_;
  LaunchLog log_;
};

TEST_F(ProgramPackageTest, TriesTheLaunchMethodsInOrderUntilOneStartsTheProgram) {
  struct Case {
    int results[3];
    int load_result;
    size_t calls;
  };
  const Case cases[] = {
      {{1, 1, 1}, 0, 1},
      {{0, 5, 1}, 0, 2},
      {{0, 0, 1}, 0, 3},
      {{0, 0, 0}, kLoadNotStarted, 3},
  };
  for (const Case& c : cases) {
    log_.calls.clear();
    std::copy(std::begin(c.results), std::end(c.results), log_.results);
    KDownloadEntry entry = Entry("Exe", program_);
    entry.param = "/autoinstall ##silence=0";
    entry.show = 1;
    RecordingReport report;
    EXPECT_EQ(LoadDownloadEntry(&entry, &report, 2, kRecordingLaunch), c.load_result);
    const std::vector<std::string> all = {
        "in_user_session " + path_ + " [/autoinstall ##silence=0] show 1 -> " +
            std::to_string(c.results[0]),
        "with_session_token " + path_ + " [/autoinstall ##silence=0] show 1 -> " +
            std::to_string(c.results[1]),
        "process " + path_ + " [/autoinstall ##silence=0] show 1 wait 0 -> " +
            std::to_string(c.results[2]),
    };
    EXPECT_EQ(log_.calls, std::vector<std::string>(all.begin(), all.begin() + c.calls));
    EXPECT_TRUE(report.steps.empty());
  }
}

TEST_F(ProgramPackageTest, AMissingProgramGives315WithoutAnyLaunch) {
  KDownloadEntry entry = Entry("exe", folder_.File(L"missing.exe"));
  EXPECT_EQ(LoadDownloadEntry(&entry, nullptr, 1, kRecordingLaunch), kLoadModuleMissing);
  EXPECT_TRUE(log_.calls.empty());
}

// Without a desktop user (no active session, no shell) both user launches fail and the
// plain launch starts the program.
TEST_F(ProgramPackageTest, WithoutADesktopUserThePlainLaunchStartsTheProgram) {
  ASSERT_TRUE(test::EndShell()) << "explorer.exe keeps running";
  log_.call_real = true;
  KDownloadEntry entry = Entry("exe", program_);
  EXPECT_EQ(LoadDownloadEntry(&entry, nullptr, 1, kRecordingLaunch), 0);
  const std::vector<std::string> calls = {
      "in_user_session " + path_ + " [] show 0 -> 0",
      "with_session_token " + path_ + " [] show 0 -> 0",
      "process " + path_ + " [] show 0 wait 0 -> 1",
  };
  EXPECT_EQ(log_.calls, calls);
  EXPECT_EQ(WaitForRecord(program_ + L".cmdline"), "\"" + path_ + "\" ");
  EXPECT_EQ(WaitForRecord(program_ + L".state"), "elevation=2 show=0 desktop=");
}

// With a shell running, its owner's token starts the program on the user's desktop.
TEST_F(ProgramPackageTest, WithAShellTheProgramStartsInTheUserSession) {
  test::ShellWindow shell;
  ASSERT_TRUE(test::ShellRunning());
  log_.call_real = true;
  KDownloadEntry entry = Entry("exe", program_);
  entry.param = "/autoinstall ##silence=0&installpath=\"C:\\A B\\\"&hwnd=1a2b&x tod1=336 tod2=7";
  entry.show = 1;
  EXPECT_EQ(LoadDownloadEntry(&entry, nullptr, 1, kRecordingLaunch), 0);
  const std::vector<std::string> calls = {"in_user_session " + path_ + " [" + entry.param +
                                          "] show 1 -> 1"};
  EXPECT_EQ(log_.calls, calls);
  EXPECT_EQ(WaitForRecord(program_ + L".cmdline"), "\"" + path_ + "\" " + entry.param);
  EXPECT_EQ(WaitForRecord(program_ + L".state"), "elevation=2 show=5 desktop=Winsta0\\Default");
}

}  // namespace
}  // namespace kbase
