// The anti-cheat probes under Wine. The launch-chain survey runs in helper processes the
// test starts; each detection test is fired by evidence placed in the prefix (files in the
// Windows folder, registry keys and values) and removed again. Where the machine itself
// decides (cpuid, adapters), the test reads the fact and asserts consistency.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <functional>
#include <string>
#include <vector>

#include "common/win/scoped_handle.h"
#include "common/win/scoped_module.h"
#include "download/package_verify.h"
#include "probe/anti_cheat_mgr.h"
#include "probe/anti_cheat_rules.h"
#include "probe/vm_detection.h"
#include "report/report_endpoint.h"
#include "support/win_test_util.h"

namespace anti_cheat {
namespace {

using kbase::ScopedHandle;
using kbase::ScopedKey;
using kbase::test::BesideThisProgram;
using kbase::test::TempFolder;

std::wstring WindowsFolder() {
  wchar_t buffer[MAX_PATH] = {};
  ::GetWindowsDirectoryW(buffer, MAX_PATH);
  return std::wstring(buffer) + L"\\";
}

std::wstring DriversFolder() { return WindowsFolder() + L"system32\\drivers\\"; }

// A file copied into place for the life of the object.
class EvidenceFile {
 public:
  EvidenceFile(const std::wstring& source, const std::wstring& target) : target_(target) {
    placed_ = ::CopyFileW(source.c_str(), target.c_str(), TRUE) != FALSE;
  }
  ~EvidenceFile() {
    if (placed_) ::DeleteFileW(target_.c_str());
  }
  bool placed() const { return placed_; }

 private:
  std::wstring target_;
  bool placed_ = false;
};

// An HKLM key created for the life of the object, with any of its parents that did not
// exist before.
class EvidenceKey {
 public:
  explicit EvidenceKey(const std::wstring& path) {
    size_t from = 0;
    while (true) {
      const size_t slash = path.find(L'\\', from);
      const std::wstring part = path.substr(0, slash);
      ScopedKey key;
      DWORD disposition = 0;
      if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, part.c_str(), 0, nullptr, 0, KEY_READ, nullptr,
                            key.receive(), &disposition) != ERROR_SUCCESS) {
        return;
      }
      if (disposition == REG_CREATED_NEW_KEY) created_.push_back(part);
      if (slash == std::wstring::npos) break;
      from = slash + 1;
    }
    ok_ = true;
  }
  ~EvidenceKey() {
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
      ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, it->c_str());
    }
  }
  bool ok() const { return ok_; }

 private:
  std::vector<std::wstring> created_;
  bool ok_ = false;
};

// An HKLM string value set for the life of the object; the old value (or its absence)
// comes back afterwards.
class EvidenceValue {
 public:
  EvidenceValue(const wchar_t* path, const wchar_t* name, const std::wstring& text)
      : key_path_(path), name_(name) {
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_READ | KEY_WRITE,
                          nullptr, key_.receive(), nullptr) != ERROR_SUCCESS) {
      return;
    }
    DWORD size = 0;
    if (::RegQueryValueExW(key_.get(), name, nullptr, &old_type_, nullptr, &size) ==
        ERROR_SUCCESS) {
      old_.resize(size);
      had_old_ = ::RegQueryValueExW(key_.get(), name, nullptr, &old_type_, old_.data(),
                                    &size) == ERROR_SUCCESS;
      old_.resize(size);
    }
    ok_ = ::RegSetValueExW(key_.get(), name, 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) ==
          ERROR_SUCCESS;
  }
  ~EvidenceValue() {
    if (key_.get() == nullptr) return;
    if (had_old_) {
      ::RegSetValueExW(key_.get(), name_.c_str(), 0, old_type_, old_.data(),
                       static_cast<DWORD>(old_.size()));
    } else {
      ::RegDeleteValueW(key_.get(), name_.c_str());
    }
  }
  bool ok() const { return ok_; }

 private:
  std::wstring key_path_;
  std::wstring name_;
  ScopedKey key_;
  bool ok_ = false;
  bool had_old_ = false;
  DWORD old_type_ = REG_SZ;
  std::vector<BYTE> old_;
};

// The detection tests by number, for tables.
struct NamedTest {
  const char* name;
  bool (*run)();
};
const NamedTest kTests[] = {
    {"vmware port", DetectVmwarePort}, {"hypervisor", DetectVmwareHypervisor},
    {"virtualbox", DetectVirtualBox},  {"virtual pc", DetectVirtualPc},
    {"kvm/qemu", DetectKvmQemu},       {"pci vendor", DetectPciVendor},
    {"sandboxie", DetectSandboxie},    {"deep freeze", DetectDeepFreeze},
    {"yzidiot", DetectYzIdiot},
};

// ---- Detection: what this machine gives without evidence ----

TEST(VmDetection, BackdoorFaultIsCaughtAndAnswersNoOutsideVmware) {
  const HypervisorFacts facts = ReadHypervisorFacts();
  // Twice: the handler must be gone and back without leaving state behind.
  const bool first = DetectVmwarePort();
  const bool second = DetectVmwarePort();
  EXPECT_EQ(first, second);
  if (!(facts.present && IsVmwareHypervisorVendor(facts.vendor))) {
    EXPECT_FALSE(first);
  }
}

TEST(VmDetection, OtherFaultsStillReachTheirOwnHandlers) {
  // The backdoor handler claims only its own instruction: an access violation raised
  // while it is not installed, and one raised elsewhere, are left alone.
  static bool seen = false;
  seen = false;
  void* cookie = ::AddVectoredExceptionHandler(1, [](EXCEPTION_POINTERS* info) -> LONG {
    if (info->ExceptionRecord->ExceptionCode != 0xE0000001) return EXCEPTION_CONTINUE_SEARCH;
    seen = true;
    return EXCEPTION_CONTINUE_EXECUTION;
  });
  ASSERT_NE(cookie, nullptr);
  DetectVmwarePort();
  ::RaiseException(0xE0000001, 0, 0, nullptr);
  ::RemoveVectoredExceptionHandler(cookie);
  EXPECT_TRUE(seen);
}

TEST(VmDetection, HypervisorTestFollowsTheCpuidVendor) {
  const HypervisorFacts facts = ReadHypervisorFacts();
  EXPECT_EQ(facts.vendor.size(), facts.present ? 12u : 0u);
  EXPECT_EQ(DetectVmwareHypervisor(), facts.present && IsVmwareHypervisorVendor(facts.vendor));
  std::printf("cpuid: hypervisor bit %d, vendor \"%s\"\n", facts.present ? 1 : 0,
              facts.vendor.c_str());
}

TEST(VmDetection, WholeDetectionIsAnyOfTheNineTests) {
  bool any = false;
  for (const NamedTest& test : kTests) {
    const bool fired = test.run();
    std::printf("%-12s %s\n", test.name, fired ? "fires" : "-");
    any = any || fired;
  }
  EXPECT_EQ(DetectVirtualMachine(), any);
}

// ---- Detection: evidence placed in the prefix ----

class VmEvidence : public ::testing::Test {
 protected:
  // Evidence can show a test firing only where it does not fire already.
  void RequireQuiet(bool (*test)(), const char* name) {
    if (test()) GTEST_SKIP() << name << " fires on this machine without evidence";
  }
};

TEST_F(VmEvidence, VirtualBoxHookLibraryCountsOnlyFromTheSystemFolder) {
  RequireQuiet(DetectVirtualBox, "virtualbox");
  const std::wstring planted = BesideThisProgram(L"probe_planted.dll");
  {
    EvidenceFile beside(planted, BesideThisProgram(L"VBoxHook.dll"));
    ASSERT_TRUE(beside.placed());
    EXPECT_FALSE(DetectVirtualBox());
  }
  {
    wchar_t system[MAX_PATH] = {};
    ASSERT_GT(::GetSystemDirectoryW(system, MAX_PATH), 0u);
    EvidenceFile in_system(planted, std::wstring(system) + L"\\VBoxHook.dll");
    ASSERT_TRUE(in_system.placed());
    EXPECT_TRUE(DetectVirtualBox());
    EXPECT_TRUE(DetectVirtualMachine());
  }
  EXPECT_FALSE(DetectVirtualBox());
}

TEST_F(VmEvidence, VirtualPcFilesServiceKeysAndIdeDisk) {
  RequireQuiet(DetectVirtualPc, "virtual pc");
  const std::wstring stub = BesideThisProgram(L"probe_yzidiot_stub.exe");
  for (const wchar_t* file : {L"system32\\DRIVERS\\vpcubus.sys", L"system32\\DRIVERS\\vpcgbus.sys",
                              L"system32\\DRIVERS\\vpc-s3.sys", L"System32\\vpc-s3.dll"}) {
    EvidenceFile evidence(stub, WindowsFolder() + file);
    ASSERT_TRUE(evidence.placed());
    EXPECT_TRUE(DetectVirtualPc()) << "file";
  }
  for (const wchar_t* service : {L"vpcuhub", L"vpcubus", L"vpc-s3", L"1-vmsrvc"}) {
    EvidenceKey evidence(std::wstring(L"SYSTEM\\CurrentControlSet\\Services\\") + service);
    ASSERT_TRUE(evidence.ok());
    EXPECT_TRUE(DetectVirtualPc()) << "service";
  }
  struct IdeCase {
    const wchar_t* key;
    bool fires;
  };
  for (const IdeCase& c : {IdeCase{L"DiskVirtual_HD______________________________1.1.0___", true},
                           IdeCase{L"diskvirtual_hd", true},
                           IdeCase{L"DiskST3500418AS_____________________________CC38____", false},
                           IdeCase{L"CdRomVirtual_HD", false}}) {
    EvidenceKey evidence(std::wstring(L"SYSTEM\\CurrentControlSet\\Enum\\IDE\\") + c.key);
    ASSERT_TRUE(evidence.ok());
    EXPECT_EQ(DetectVirtualPc(), c.fires) << "IDE key";
  }
  EXPECT_FALSE(DetectVirtualPc());
}

TEST_F(VmEvidence, VirtualPcGuestServiceProcess) {
  RequireQuiet(DetectVirtualPc, "virtual pc");
  TempFolder folder;
  const std::wstring program = folder.File(L"VMUSrvc.exe");
  ASSERT_TRUE(::CopyFileW(BesideThisProgram(L"probe_yzidiot_stub.exe").c_str(), program.c_str(),
                          FALSE));
  std::wstring command = L"\"" + program + L"\" 30000";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  ASSERT_TRUE(::CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &info));
  ScopedHandle process(info.hProcess);
  ScopedHandle thread(info.hThread);
  EXPECT_TRUE(DetectVirtualPc());
  ::TerminateProcess(process.get(), 0);
  ::WaitForSingleObject(process.get(), 10000);
}

TEST_F(VmEvidence, KvmDriverAndNameValues) {
  RequireQuiet(DetectKvmQemu, "kvm/qemu");
  {
    EvidenceFile driver(BesideThisProgram(L"probe_yzidiot_stub.exe"),
                        WindowsFolder() + L"system32\\DRIVERS\\viostor.sys");
    ASSERT_TRUE(driver.placed());
    EXPECT_TRUE(DetectKvmQemu());
  }
  struct ValueCase {
    const wchar_t* key;
    const wchar_t* value;
    std::wstring text;
    bool fires;
  };
  const wchar_t* bios = L"HARDWARE\\DESCRIPTION\\System\\BIOS";
  const wchar_t* cpu = L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
  const ValueCase cases[] = {
      {bios, L"SystemProductName", L"Standard PC (KVM)", true},
      {bios, L"SystemProductName", L"kvm guest", false},  // case matters
      {cpu, L"ProcessorNameString", L"QEMU Virtual CPU version 2.5+", true},
      {cpu, L"ProcessorNameString", L"QEMU virtual cpu", false},
      // 80 bytes do not hold it with its terminator: counted as absent.
      {cpu, L"ProcessorNameString", std::wstring(69, L'x') + L"Virtual CPU", false},
      {cpu, L"ProcessorNameString", std::wstring(68, L'x') + L"Virtual CPU", true},
  };
  for (const ValueCase& c : cases) {
    EvidenceValue evidence(c.key, c.value, c.text);
    ASSERT_TRUE(evidence.ok());
    EXPECT_EQ(DetectKvmQemu(), c.fires) << c.text.size();
  }
  EXPECT_FALSE(DetectKvmQemu());
}

TEST_F(VmEvidence, PciVendorKeys) {
  RequireQuiet(DetectPciVendor, "pci vendor");
  struct PciCase {
    const wchar_t* key;
    bool fires;
  };
  const PciCase cases[] = {
      {L"VEN_80EE&DEV_CAFE&SUBSYS_00000000&REV_00", true},
      {L"VEN_15AD&DEV_0405&SUBSYS_040515AD&REV_00", true},
      {L"ven_1ab8&dev_4005", true},
      {L"VEN_80EE", false},
      {L"VEN_8086&DEV_7000&SUBSYS_00000000&REV_00", false},
  };
  for (const PciCase& c : cases) {
    EvidenceKey evidence(std::wstring(L"SYSTEM\\CurrentControlSet\\Enum\\PCI\\") + c.key);
    ASSERT_TRUE(evidence.ok());
    EXPECT_EQ(DetectPciVendor(), c.fires);
    if (c.fires) {
      EXPECT_TRUE(DetectVirtualMachine());
    }
  }
  EXPECT_FALSE(DetectPciVendor());
}

TEST_F(VmEvidence, SandboxLibraryLoadedInThisProcess) {
  RequireQuiet(DetectSandboxie, "sandboxie");
  TempFolder folder;
  ASSERT_TRUE(::CopyFileW(BesideThisProgram(L"probe_planted.dll").c_str(),
                          folder.File(L"SbieDll.dll").c_str(), FALSE));
  {
    kbase::ScopedModule injected(::LoadLibraryW(folder.File(L"SbieDll.dll").c_str()));
    ASSERT_TRUE(injected.valid());
    EXPECT_TRUE(DetectSandboxie());
    EXPECT_TRUE(DetectVirtualMachine());
  }
  EXPECT_FALSE(DetectSandboxie());
}

TEST(ProductName, ReadFromTheVersionResourceWithCodePageFallback) {
  std::wstring name;
  ASSERT_TRUE(ReadProductName(BesideThisProgram(L"probe_deep_freeze_stub.exe"), &name));
  EXPECT_EQ(name, L"Deep Freeze");
  // Its strings sit only in the 1252 block its translation table does not name.
  ASSERT_TRUE(ReadProductName(BesideThisProgram(L"probe_yzidiot_stub.exe"), &name));
  EXPECT_EQ(name, L"YzIdiot");
  // A program without a version resource.
  EXPECT_FALSE(ReadProductName(BesideThisProgram(L"probe_planted.dll"), &name));
  EXPECT_FALSE(ReadProductName(DriversFolder() + L"no-such-file.sys", &name));
}

TEST_F(VmEvidence, DriverFilesFireOnlyWithTheirProductName) {
  RequireQuiet(DetectDeepFreeze, "deep freeze");
  RequireQuiet(DetectYzIdiot, "yzidiot");
  const std::wstring deep_freeze = BesideThisProgram(L"probe_deep_freeze_stub.exe");
  const std::wstring yzidiot = BesideThisProgram(L"probe_yzidiot_stub.exe");
  struct DriverCase {
    const std::wstring* source;
    const wchar_t* file;
    bool deep_freeze_fires;
    bool yzidiot_fires;
  };
  const DriverCase cases[] = {
      {&deep_freeze, L"DeepFrz.sys", true, false},
      {&yzidiot, L"DeepFrz.sys", false, false},  // another product under that file name
      {&yzidiot, L"YzIdiot.sys", false, true},
      {&deep_freeze, L"YzIdiot.sys", false, false},
  };
  for (const DriverCase& c : cases) {
    EvidenceFile evidence(*c.source, DriversFolder() + c.file);
    ASSERT_TRUE(evidence.placed());
    EXPECT_EQ(DetectDeepFreeze(), c.deep_freeze_fires);
    EXPECT_EQ(DetectYzIdiot(), c.yzidiot_fires);
  }
}

}  // namespace
}  // namespace anti_cheat

// ---- Launch-chain survey, run in a chain of helper processes ----

namespace kbase {
namespace {

using test::BesideThisProgram;

struct Generation {
  std::string name;
  std::string digest;
};

struct SurveyOutput {
  Generation generations[KAntiCheatMgr::kGenerations];
  int report_result = -99;
};

// Splits the helper's output: three "name<TAB>digest" lines and the report result.
bool ParseOutput(const std::string& text, SurveyOutput* output) {
  size_t at = 0;
  for (Generation& generation : output->generations) {
    const size_t end = text.find('\n', at);
    if (end == std::string::npos) return false;
    const std::string line = text.substr(at, end - at);
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) return false;
    generation.name = line.substr(0, tab);
    generation.digest = line.substr(tab + 1);
    at = end + 1;
  }
  output->report_result = std::atoi(text.c_str() + at);
  return true;
}

std::string FileDigest(const std::wstring& path) {
  std::string hex;
  EXPECT_TRUE(PackageFileMd5(path, &hex));
  return hex;
}

DWORD OwnParentId() {
  ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == ::GetCurrentProcessId()) return entry.th32ParentProcessID;
  }
  return 0;
}

class LaunchChain : public ::testing::Test {
 protected:
  // Copies of the helper under the given names in the temporary folder.
  std::vector<std::wstring> Links(std::initializer_list<const wchar_t*> names) {
    std::vector<std::wstring> paths;
    for (const wchar_t* name : names) {
      paths.push_back(folder_.File(name));
      EXPECT_TRUE(::CopyFileW(BesideThisProgram(L"probe_chain_child.exe").c_str(),
                              paths.back().c_str(), FALSE));
    }
    return paths;
  }

  // Runs the chain; the first link is started by this test. Waits for the output file.
  SurveyOutput Run(const std::vector<std::wstring>& links, const std::string& host,
                   const wchar_t* mode) {
    const std::wstring output = folder_.File(L"survey.txt");
    std::wstring arguments = L"\"" + output + L"\" \"" +
                             std::wstring(host.begin(), host.end()) + L"\" " + mode;
    for (size_t i = 1; i < links.size(); ++i) arguments += L" \"" + links[i] + L"\"";
    EXPECT_EQ(test::RunProgram(links[0], arguments), 0);
    std::string text;
    for (int i = 0; i < 300 && !test::ReadWholeFile(output, &text); ++i) ::Sleep(50);
    SurveyOutput result;
    EXPECT_TRUE(ParseOutput(text, &result)) << text;
    return result;
  }

  test::TempFolder folder_;
};

TEST_F(LaunchChain, DirectChildReportsThisProgramAsParent) {
  const std::vector<std::wstring> links = Links({L"surveyor.exe"});
  const SurveyOutput output = Run(links, "-", L"wait");
  EXPECT_EQ(output.generations[0].name, "anti_cheat_test.exe");
  EXPECT_EQ(output.generations[0].digest, FileDigest(BesideThisProgram(L"anti_cheat_test.exe")));
  EXPECT_EQ(output.generations[0].digest.size(), 32u);
  // Started from a Linux shell, this program has no Windows parent, so the walk ends here.
  if (OwnParentId() == 0) {
    EXPECT_EQ(output.generations[1].name, "");
    EXPECT_EQ(output.generations[1].digest, "");
    EXPECT_EQ(output.generations[2].name, "");
  }
}

TEST_F(LaunchChain, StopsAfterThreeGenerations) {
  const std::vector<std::wstring> links =
      Links({L"relay_one.exe", L"relay_two.exe", L"relay_three.exe", L"surveyor.exe"});
  const SurveyOutput output = Run(links, "-", L"wait");
  const std::string digest = FileDigest(links[0]);
  EXPECT_EQ(output.generations[0].name, "relay_three.exe");
  EXPECT_EQ(output.generations[1].name, "relay_two.exe");
  EXPECT_EQ(output.generations[2].name, "relay_one.exe");
  for (const Generation& generation : output.generations) EXPECT_EQ(generation.digest, digest);
}

TEST_F(LaunchChain, ParentThatHasExitedLeavesEverythingEmpty) {
  const std::vector<std::wstring> links = Links({L"relay_one.exe", L"surveyor.exe"});
  const SurveyOutput output = Run(links, "-", L"orphan");
  for (const Generation& generation : output.generations) {
    EXPECT_EQ(generation.name, "");
    EXPECT_EQ(generation.digest, "");
  }
}

TEST_F(LaunchChain, ReportCarriesTheChainFlagAndChannel) {
  test::TelemetryEndpoint endpoint;
  ASSERT_TRUE(endpoint.Start());
  const std::vector<std::wstring> links = Links({L"relay_one.exe", L"surveyor.exe"});
  const SurveyOutput output = Run(links, endpoint.server().Host(), L"wait");
  EXPECT_EQ(output.report_result, 0);
  ASSERT_TRUE(endpoint.WaitFor(1, 5000));
  const auto messages = endpoint.Messages();
  ASSERT_EQ(messages.size(), 1u);
  const KDirectVestat::DecodedBlock& block = test::TableBlock(messages[0]);
  EXPECT_EQ(block.table_id, 3769);
  EXPECT_EQ(block.Text("parent_name"), "relay_one.exe");
  EXPECT_EQ(block.Text("parent_digest"), FileDigest(links[0]));
  EXPECT_EQ(block.Text("grandparent_name"), "anti_cheat_test.exe");
  EXPECT_EQ(block.Text("grandparent_digest"), output.generations[1].digest);
  EXPECT_EQ(block.Text("great_grandparent_name"), output.generations[2].name);
  EXPECT_EQ(block.Number("flag"), 1u);
  EXPECT_EQ(block.Number("company_id"), 186u);
  EXPECT_EQ(block.Number("tryno_id"), 336u);
}

TEST(LaunchChainSurvey, WithoutTheQueryFunctionFindsNothing) {
  KAntiCheatMgr survey;
  survey.ForgetQueryFunctionForTesting();
  EXPECT_EQ(survey.Survey(), 0);
  for (int generation = 0; generation < KAntiCheatMgr::kGenerations; ++generation) {
    EXPECT_TRUE(survey.name(generation).empty());
    EXPECT_TRUE(survey.digest(generation).empty());
  }
}

TEST(LaunchChainSurvey, SystemProcessIdsEndTheWalkAtOnce) {
  for (DWORD id : {0u, 4u, 8u}) {
    KAntiCheatMgr survey;
    EXPECT_EQ(survey.SurveyFrom(id), 0) << id;
  }
}

}  // namespace
}  // namespace kbase
