// The condition leaves and the city lookups against this machine (Wine): registry values,
// named objects, files and folders the tests make, the uninstall history, and the city
// services played by the test HTTP server. Reports go to the test telemetry endpoint.
#include <winsock2.h>
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>
#include <vector>

#include "common/codec/crc32.h"
#include "config/check_leaf_factory_impl.h"
#include "config/city_blacklist_leaf.h"
#include "config/city_info_record.h"
#include "config/city_lookup.h"
#include "config/reg_leaf.h"
#include "probe/system_facts.h"
#include "probe/vm_detection.h"
#include "report/report_endpoint.h"
#include "report/report_identity.h"
#include "support/http_test_server.h"
#include "support/win_test_util.h"

namespace kbase {
namespace {

using KDirectVestat::DecodedBlock;
using test::HttpRequest;
using test::HttpResponse;
using test::HttpTestServer;

constexpr wchar_t kTestKey[] = L"Software\\kinsttest_leaves";
constexpr wchar_t kProductKeyPath[] = L"SOFTWARE\\vesmark\\Antivirus";
constexpr wchar_t kRequestIdKey[] =
    L"CLSID\\{8AB9CCC4-75EC-438b-B6C0-D8D78882A12D}\\Implemented Categories\\"
    L"{6BC04964-67B7-4d50-BB9B-3653A5C305B3}";
constexpr wchar_t kAccountKey[] =
    L"CLSID\\{9B7A98EC-7EF9-468c-ACC8-37C793DBD7E0}\\Implemented Categories\\"
    L"{9B4EEDF7-FC98-4fa0-8440-9D1BC57B5F2F}";

// A leaf made by the factory from one "leaf" element's text; null when refused.
std::unique_ptr<ICheckLeaf> MakeLeaf(const std::string& xml) {
  TiXmlDocument document;
  document.Parse(xml.c_str());
  const TiXmlElement* element = document.RootElement();
  if (element == nullptr || element->Attribute("mode") == nullptr) return nullptr;
  KCheckLeafFactory factory;
  return factory.CreateLeaf(element->Attribute("mode"), 1, *element);
}

int32_t CheckLeaf(const std::string& xml) {
  std::unique_ptr<ICheckLeaf> leaf = MakeLeaf(xml);
  EXPECT_NE(leaf, nullptr) << xml;
  return leaf ? leaf->Check() : -1;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

bool SetValue(HKEY root, const wchar_t* subkey, REGSAM view, const wchar_t* name, DWORD type,
              const void* data, DWORD size) {
  HKEY key = nullptr;
  if (::RegCreateKeyExW(root, subkey, 0, nullptr, 0, KEY_WRITE | view, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const bool ok = ::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size) ==
                  ERROR_SUCCESS;
  ::RegCloseKey(key);
  return ok;
}
bool SetText(HKEY root, const wchar_t* subkey, REGSAM view, const wchar_t* name,
             const std::wstring& text, DWORD type = REG_SZ) {
  return SetValue(root, subkey, view, name, type, text.c_str(),
                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}
bool SetDword(HKEY root, const wchar_t* subkey, REGSAM view, const wchar_t* name, DWORD value) {
  return SetValue(root, subkey, view, name, REG_DWORD, &value, sizeof(value));
}
void DeleteKey(HKEY root, const wchar_t* subkey, REGSAM view) {
  ::RegDeleteKeyExW(root, subkey, view, 0);
}

class RegistryLeaves : public ::testing::Test {
 protected:
  void TearDown() override {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
      HKEY software = nullptr;
      if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS | view, &software) ==
          ERROR_SUCCESS) {
        ::RegDeleteTreeW(software, L"kinsttest_leaves");
        ::RegCloseKey(software);
      }
    }
  }
};

TEST_F(RegistryLeaves, ValueTypesAndResults) {
  ASSERT_TRUE(SetDword(HKEY_CURRENT_USER, kTestKey, 0, L"zero", 0));
  ASSERT_TRUE(SetDword(HKEY_CURRENT_USER, kTestKey, 0, L"seven", 7));
  ASSERT_TRUE(SetText(HKEY_CURRENT_USER, kTestKey, 0, L"text", L"x"));
  ASSERT_TRUE(SetText(HKEY_CURRENT_USER, kTestKey, 0, L"empty", L""));
  ASSERT_TRUE(SetText(HKEY_CURRENT_USER, kTestKey, 0, L"expand", L"%TEMP%", REG_EXPAND_SZ));
  ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, kTestKey, 0, L"binary", REG_BINARY, "\0", 1));
  const std::string big(600, 'b');
  ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, kTestKey, 0, L"big", REG_BINARY, big.data(), 600));

  const struct {
    const char* mainkey;
    const char* keyname;
    int keytype;
    int32_t result;
  } kCases[] = {
      {"hkcu", "zero", 4, 0},    {"hkcu", "seven", 4, 7},   {"HKCU", "seven", 4, 7},
      {"hkcu", "text", 1, 1},    {"hkcu", "empty", 1, 0},   {"hkcu", "expand", 2, 1},
      {"hkcu", "expand", 1, 0},  // the type must match exactly
      {"hkcu", "text", 4, 0},    {"hkcu", "binary", 3, 1},  {"hkcu", "missing", 1, 0},
      {"hkcu", "big", 3, 0},     // larger than the value buffer
      {"hkxx", "text", 1, 0},    {"hkcu", "", 1, 0},
  };
  for (const auto& c : kCases) {
    const std::string xml = std::string("<leaf mode=\"reg\" id=\"1\" mainkey=\"") + c.mainkey +
                            "\" subkey=\"" + Narrow(kTestKey) + "\" keyname=\"" + c.keyname +
                            "\" wow64=\"1\" keytype=\"" + std::to_string(c.keytype) + "\"/>";
    EXPECT_EQ(CheckLeaf(xml), c.result) << xml;
  }
}

TEST_F(RegistryLeaves, SixtyFourBitViewFirstOnlyWithWow64Zero) {
  ASSERT_TRUE(SetText(HKEY_LOCAL_MACHINE, kTestKey, KEY_WOW64_64KEY, L"only64", L"x"));
  ASSERT_TRUE(SetText(HKEY_LOCAL_MACHINE, kTestKey, KEY_WOW64_32KEY, L"only32", L"x"));
  const auto xml = [](const char* name, int wow64) {
    return std::string("<leaf mode=\"Reg\" id=\"1\" mainkey=\"hklm\" subkey=\"") +
           Narrow(kTestKey) + "\" keyname=\"" + name + "\" wow64=\"" + std::to_string(wow64) +
           "\" keytype=\"1\"/>";
  };
  EXPECT_EQ(CheckLeaf(xml("only64", 0)), 1);
  EXPECT_EQ(CheckLeaf(xml("only64", 1)), 0);
  EXPECT_EQ(CheckLeaf(xml("only32", 0)), 1);  // the 32-bit view is always the last try
  EXPECT_EQ(CheckLeaf(xml("only32", 1)), 1);
}

TEST_F(RegistryLeaves, RegFileJoinsFolderValueAndName) {
  test::TempFolder folder;
  ASSERT_TRUE(test::WriteWholeFile(folder.File(L"app.exe"), "x"));
  std::wstring bare = folder.path();
  bare.pop_back();
  ASSERT_TRUE(SetText(HKEY_CURRENT_USER, kTestKey, 0, L"quoted", L"\"" + bare + L"\""));
  ASSERT_TRUE(SetText(HKEY_CURRENT_USER, kTestKey, 0, L"slash", folder.path()));
  ASSERT_TRUE(SetText(HKEY_LOCAL_MACHINE, kTestKey, KEY_WOW64_64KEY, L"dir64", bare));
  const struct {
    const char* mainkey;
    const char* keyname;
    const char* name;
    int wow64;
    int32_t result;
  } kCases[] = {
      {"hkcu", "quoted", "app.exe", 1, 1}, {"hkcu", "slash", "app.exe", 1, 1},
      {"hkcu", "slash", "other.exe", 1, 0}, {"hkcu", "missing", "app.exe", 1, 0},
      {"hklm", "dir64", "app.exe", 0, 1},  {"hklm", "dir64", "app.exe", 1, 0},
      {"bad", "slash", "app.exe", 1, 0},
  };
  for (const auto& c : kCases) {
    const std::string xml = std::string("<leaf mode=\"regfile\" id=\"1\" mainkey=\"") +
                            c.mainkey + "\" subkey=\"" + Narrow(kTestKey) + "\" keyname=\"" +
                            c.keyname + "\" name=\"" + c.name + "\" wow64=\"" +
                            std::to_string(c.wow64) + "\"/>";
    EXPECT_EQ(CheckLeaf(xml), c.result) << xml;
  }
}

TEST(LeafFactory, ModesAndRequiredAttributes) {
  const struct {
    const char* xml;
    bool made;
  } kCases[] = {
      {"<leaf mode=\"REG\" id=\"1\" mainkey=\"a\" subkey=\"b\" keyname=\"c\" wow64=\"0\" "
       "keytype=\"1\"/>", true},
      {"<leaf mode=\"reg\" id=\"1\" mainkey=\"a\" subkey=\"b\" keyname=\"c\" wow64=\"0\"/>",
       false},
      {"<leaf mode=\"Service\" id=\"1\" name=\"x\"/>", true},
      {"<leaf mode=\"kernelobject\" id=\"1\" name=\"x\"/>", false},
      {"<leaf mode=\"driver\" id=\"1\" name=\"x\"/>", true},
      {"<leaf mode=\"regfile\" id=\"1\" mainkey=\"a\" subkey=\"b\" keyname=\"c\" name=\"d\"/>",
       false},
      {"<leaf mode=\"varexfile\" id=\"1\" path=\"x\" name=\"\"/>", true},
      {"<leaf mode=\"fullpathfile\" id=\"1\" path=\"x\"/>", false},
      {"<leaf mode=\"uninstcounts\" id=\"1\" Interval=\"1\" count=\"1\" param=\"1\" "
       "switch=\"1\"/>", true},
      {"<leaf mode=\"uninstcounts\" id=\"1\" interval=\"1\" count=\"1\" param=\"1\" "
       "switch=\"1\"/>", false},  // attribute names keep their case
      {"<leaf mode=\"cityblacklist\" id=\"1\" percent=\"5\" cityid=\"1\"/>", true},
      {"<leaf mode=\"cityblacklist\" id=\"1\" cityid=\"1\"/>", false},
      {"<leaf mode=\"VPN\" id=\"1\" switch=\"1\"/>", true},
      {"<leaf mode=\"vpn\" id=\"1\"/>", false},
      {"<leaf mode=\"uninstcountandtime\" id=\"1\" count=\"2\" Interval=\"30\"/>", true},
      {"<leaf mode=\"uninstcountandtime\" id=\"1\" count=\"2\"/>", false},
      {"<leaf mode=\"registry\" id=\"1\"/>", false},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(MakeLeaf(c.xml) != nullptr, c.made) << c.xml;
  }
  std::unique_ptr<ICheckLeaf> leaf = MakeLeaf(
      "<leaf mode=\"reg\" id=\"1\" mainkey=\"hkcu\" subkey=\"s\" keyname=\"k\" wow64=\"x\" "
      "keytype=\"4abc\"/>");
  ASSERT_NE(leaf, nullptr);
  auto* reg = static_cast<KRegLeaf*>(leaf.get());
  EXPECT_EQ(reg->wow64, 0);
  EXPECT_EQ(reg->keytype, 4);
}

TEST(ServiceLeaf, ServiceKeyPresence) {
  const wchar_t kService[] = L"SYSTEM\\CurrentControlSet\\services\\kinsttest_service";
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kService, 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key, nullptr),
            ERROR_SUCCESS);
  ::RegCloseKey(key);
  EXPECT_EQ(CheckLeaf("<leaf mode=\"service\" id=\"1\" name=\"kinsttest_service\"/>"), 1);
  ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kService);
  EXPECT_EQ(CheckLeaf("<leaf mode=\"service\" id=\"1\" name=\"kinsttest_service\"/>"), 0);
}

std::string KernelLeaf(const std::string& type, const std::string& name) {
  return "<leaf mode=\"kernelobject\" id=\"1\" type=\"" + type + "\" name=\"" + name + "\"/>";
}

TEST(KernelObjectLeaf, FourKindsAndSessionToken) {
  DWORD session = 0;
  ASSERT_TRUE(::ProcessIdToSessionId(::GetCurrentProcessId(), &session));
  const std::wstring suffix = std::to_wstring(session);
  ScopedHandle mutex(::CreateMutexW(nullptr, FALSE, (L"kinsttest_mutex_" + suffix).c_str()));
  ScopedHandle event(::CreateEventW(nullptr, TRUE, FALSE, L"kinsttest_event"));
  ScopedHandle semaphore(::CreateSemaphoreW(nullptr, 0, 1, L"kinsttest_semaphore"));
  ScopedHandle pipe(::CreateNamedPipeW(L"\\\\.\\pipe\\kinsttest_pipe", PIPE_ACCESS_DUPLEX,
                                       PIPE_TYPE_BYTE, PIPE_UNLIMITED_INSTANCES, 512, 512, 0,
                                       nullptr));
  ScopedHandle pipe2(::CreateNamedPipeW(L"\\\\.\\pipe\\kinsttest_pipe", PIPE_ACCESS_DUPLEX,
                                        PIPE_TYPE_BYTE, PIPE_UNLIMITED_INSTANCES, 512, 512, 0,
                                        nullptr));
  ASSERT_TRUE(mutex.valid() && event.valid() && semaphore.valid() && pipe.valid() &&
              pipe2.valid());

  const struct {
    std::string type, name;
    int32_t result;
  } kCases[] = {
      {"Mutex", "kinsttest_mutex_$SessionID", 1},
      {"mutex", "kinsttest_mutex_" + Narrow(suffix), 1},
      {"mutex", "kinsttest_no_mutex", 0},
      {"EVENT", "kinsttest_event", 1},
      {"event", "kinsttest_mutex_$SessionID", 0},  // another kind of object
      {"semaphore", "kinsttest_semaphore", 1},
      {"semaphore", "kinsttest_no_semaphore", 0},
      {"namedpipe", "kinsttest_pipe", 1},
      {"namedpipe", "\\\\.\\pipe\\kinsttest_pipe", 1},  // not prefixed twice
      {"namedpipe", "kinsttest_no_pipe", 0},
      {"file", "kinsttest_event", 0},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(CheckLeaf(KernelLeaf(c.type, c.name)), c.result) << c.type << " " << c.name;
  }
}

TEST(KernelObjectLeaf, MutexWithoutRightsCountsAsPresent) {
  // An empty access list: nobody, this process included, may open the mutex.
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:", SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
  SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor, FALSE};
  ScopedHandle mutex(::CreateMutexW(&attributes, FALSE, L"kinsttest_locked_mutex"));
  ::LocalFree(descriptor);
  ASSERT_TRUE(mutex.valid());
  ScopedHandle probe(::OpenMutexW(MUTEX_ALL_ACCESS, FALSE, L"kinsttest_locked_mutex"));
  const DWORD error = ::GetLastError();
  if (probe.valid()) GTEST_SKIP() << "this system does not enforce the empty access list";
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(CheckLeaf(KernelLeaf("mutex", "kinsttest_locked_mutex")), 1);
  // An event is different: without a handle it is not there.
  EXPECT_EQ(CheckLeaf(KernelLeaf("event", "kinsttest_locked_mutex")), 0);
}

TEST(DriverLeaf, PublishedDeviceOrNot) {
  EXPECT_EQ(CheckLeaf("<leaf mode=\"driver\" id=\"1\" name=\"C:\"/>"), 1);
  EXPECT_EQ(CheckLeaf("<leaf mode=\"driver\" id=\"1\" name=\"kinsttest_no_device\"/>"), 0);
}

TEST(FileLeaves, PathsAndNames) {
  test::TempFolder folder;
  ASSERT_TRUE(test::WriteWholeFile(folder.File(L"app.exe"), "x"));
  std::wstring bare = folder.path();
  bare.pop_back();
  ASSERT_TRUE(::SetEnvironmentVariableW(L"KINSTTEST_DIR", bare.c_str()));
  ASSERT_TRUE(::SetEnvironmentVariableW(L"KINSTTEST_LONG", std::wstring(300, L'a').c_str()));
  std::wstring slashed = bare;
  for (wchar_t& c : slashed) {
    if (c == L'\\') c = L'/';
  }
  const struct {
    const char* mode;
    std::string path, name;
    int32_t result;
  } kCases[] = {
      {"fullpathfile", Narrow(bare), "", 1},
      {"fullpathfile", Narrow(folder.path()), "app.exe", 1},  // the slash is not doubled
      {"fullpathfile", Narrow(slashed) + "/", "app.exe", 1},
      {"fullpathfile", Narrow(bare), "other.exe", 0},
      {"fullpathfile", Narrow(bare) + "_missing", "", 0},
      {"fullpathfile", "%KINSTTEST_DIR%", "", 0},  // no expansion
      {"varexfile", "%KINSTTEST_DIR%", "app.exe", 1},
      {"varexfile", "%KINSTTEST_DIR%\\", "", 1},
      {"varexfile", "%KINSTTEST_DIR%", "other.exe", 0},
      {"varexfile", "%KINSTTEST_LONG%", "", 0},  // longer than a path may be
  };
  for (const auto& c : kCases) {
    const std::string xml = std::string("<leaf mode=\"") + c.mode + "\" id=\"1\" path=\"" +
                            c.path + "\" name=\"" + c.name + "\"/>";
    EXPECT_EQ(CheckLeaf(xml), c.result) << xml;
  }
  ::SetEnvironmentVariableW(L"KINSTTEST_DIR", nullptr);
  ::SetEnvironmentVariableW(L"KINSTTEST_LONG", nullptr);
}

// Leaves that report: the endpoint receives one step message per test.
class ReportingLeaves : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(endpoint_.Start());
    KInstallTool::ReportIdentity identity;
    identity.company_id = L"186";
    identity.tryno_id = L"336";
    identity.third_number = L"9";
    identity.install_id = L"00112233445566778899AABBCCDDEEFF";
    identity.survey_text = L"av1";
    KInstallTool::SetReportIdentity(identity);
  }
  void TearDown() override {
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kProductKeyPath, L"uninstall_count");
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kProductKeyPath, L"uninstall_time");
  }

  // The step block of the only message since the last call.
  DecodedBlock NextStep() {
    const auto messages = endpoint_.Messages();
    EXPECT_EQ(messages.size(), seen_ + 1);
    if (messages.size() <= seen_) return {};
    const auto& message = messages[seen_++];
    EXPECT_EQ(message.blocks.at(0).Number("company_id"), 186u);
    EXPECT_EQ(message.blocks.at(0).Number("third_number"), 0u);  // a leaf clears it
    DecodedBlock block = test::TableBlock(message);
    EXPECT_EQ(block.table_id, 4680);
    EXPECT_EQ(block.Number("event"), 30u);
    EXPECT_EQ(block.Text("survey_text"), "av1");
    return block;
  }

  static void SetHistory(DWORD count, int64_t days_ago) {
    const DWORD when = static_cast<DWORD>(time(nullptr) - days_ago * 86400 - 60);
    ASSERT_TRUE(SetDword(HKEY_LOCAL_MACHINE, kProductKeyPath, 0, L"uninstall_count", count));
    ASSERT_TRUE(SetDword(HKEY_LOCAL_MACHINE, kProductKeyPath, 0, L"uninstall_time", when));
  }

  test::TelemetryEndpoint endpoint_;
  size_t seen_ = 0;
};

TEST_F(ReportingLeaves, UninstallCounts) {
  const std::string leaf =
      "<leaf mode=\"uninstcounts\" id=\"1\" Interval=\"7\" count=\"3\" param=\"10\" switch=\"";
  const struct {
    DWORD count;
    int64_t days;
    const char* switch_on;
    const char* count_attribute;
    int32_t result;
    uint32_t code;
  } kCases[] = {
      {4, 16, "1", "3", 0, 357},  // threshold 17
      {4, 17, "1", "3", 1, 0},
      {4, 17, "0", "3", 0, 0},    // passed, but switched off
      {4, 400, "1", "0", 0, 0},   // count 0
  };
  for (const auto& c : kCases) {
    SetHistory(c.count, c.days);
    const std::string xml = "<leaf mode=\"uninstcounts\" id=\"1\" Interval=\"7\" count=\"" +
                            std::string(c.count_attribute) + "\" param=\"10\" switch=\"" +
                            c.switch_on + "\"/>";
    EXPECT_EQ(CheckLeaf(xml), c.result) << xml << " days " << c.days;
    const DecodedBlock step = NextStep();
    EXPECT_EQ(step.Number("step"), 1u);
    EXPECT_EQ(step.Number("value"), c.code);
    EXPECT_EQ(step.Number("code"), c.count);
    EXPECT_EQ(step.Text("text"), "");
  }
}

TEST_F(ReportingLeaves, UninstallCountAndTime) {
  const struct {
    DWORD count;
    int64_t days;
    int32_t result;
  } kCases[] = {{2, 30, 1}, {2, 31, 0}, {1, 3, 0}, {5, 0, 1}};
  for (const auto& c : kCases) {
    SetHistory(c.count, c.days);
    EXPECT_EQ(CheckLeaf("<leaf mode=\"uninstcountandtime\" id=\"1\" count=\"2\" Interval=\"30\"/>"),
              c.result)
        << c.count << " " << c.days;
    const DecodedBlock step = NextStep();
    EXPECT_EQ(step.Number("step"), 1u);
    EXPECT_EQ(step.Number("value"), c.result ? 359u : 0u);
    EXPECT_EQ(step.Number("code"), c.count);
  }
}

TEST_F(ReportingLeaves, VpnReportsEvenWhenSwitchedOff) {
  // This system has no dial-up connections.
  for (int switch_on : {1, 0}) {
    EXPECT_EQ(CheckLeaf("<leaf mode=\"vpn\" id=\"1\" switch=\"" + std::to_string(switch_on) +
                        "\"/>"),
              0);
    const DecodedBlock step = NextStep();
    EXPECT_EQ(step.Number("step"), 2u);
    EXPECT_EQ(step.Number("value"), 0u);
    EXPECT_EQ(step.Number("code"), static_cast<uint32_t>(switch_on));
  }
}

TEST_F(ReportingLeaves, OsVersionComparesTheOsCode) {
  const int code = GetOsCode();
  const struct {
    std::string value;
    int32_t result;
  } kCases[] = {
      {std::to_string(code), 1},
      {std::to_string(code) + "abc", 1},  // read as a leading decimal number
      {std::to_string(code + 1), 0},
      {"", code == 0 ? 1 : 0},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(CheckLeaf("<leaf mode=\"osversion\" id=\"1\" versionvalue=\"" + c.value + "\"/>"),
              c.result)
        << c.value;
  }
  EXPECT_EQ(endpoint_.Count(), seen_);  // this leaf reports nothing
}

TEST_F(ReportingLeaves, VirtualMachineLeafReportsWhateverTheSwitch) {
  // The machine decides; the leaf must agree with the detection and report it either way.
  const bool detected = anti_cheat::DetectVirtualMachine();
  for (int switch_on : {1, 0}) {
    EXPECT_EQ(CheckLeaf("<leaf mode=\"vmvare\" id=\"1\" switch=\"" +
                        std::to_string(switch_on) + "\"/>"),
              detected && switch_on ? 1 : 0);
    const DecodedBlock step = NextStep();
    EXPECT_EQ(step.Number("step"), 3u);
    EXPECT_EQ(step.Number("value"), detected ? 1u : 0u);
    EXPECT_EQ(step.Number("code"), static_cast<uint32_t>(switch_on));
  }
}

// A city information reply as the service frames it.
std::string CityReply(std::string text) {
  ScrambleCityInfo(&text[0], text.size());
  std::string reply(6, '\0');
  const uint32_t crc = Crc32(text.data(), text.size());
  for (int i = 0; i < 4; ++i) reply[2 + i] = static_cast<char>((crc >> (8 * i)) & 0xFF);
  return reply + text;
}

constexpr char kIdex[] = "0123456789abcdef0123456789abcdef";
constexpr char kCityAnswer[] = "{\"cityid\":\"101010100\",\"ret\":0}";

// The city information service on three local endpoints, and the stored request id.
class CityLeaves : public ReportingLeaves {
 protected:
  void SetUp() override {
    ReportingLeaves::SetUp();
    for (HttpTestServer& server : servers_) ASSERT_TRUE(server.Start());
    SetCityInfoEndpointsForTesting(
        {servers_[0].Host(), servers_[1].Host(), servers_[2].Host()});
    ASSERT_TRUE(SetText(HKEY_CLASSES_ROOT, kRequestIdKey, 0, L"idex",
                        std::wstring(kIdex, kIdex + 32)));
    ResetCityReplyCacheForTesting();
  }
  void TearDown() override {
    SetCityInfoEndpointsForTesting({});
    ResetCityReplyCacheForTesting();
    DeleteKey(HKEY_CLASSES_ROOT, kRequestIdKey, 0);
    ReportingLeaves::TearDown();
  }
  void Answer(int server, const std::string& body) {
    HttpResponse response;
    response.body = body;
    servers_[server].Serve("/cityinfo", response);
  }
  size_t Asked(int server) const { return servers_[server].RequestsFor("/cityinfo").size(); }

  HttpTestServer servers_[3];
};

std::string CityLeaf(int percent, const std::string& city) {
  return "<leaf mode=\"cityblacklist\" id=\"1\" percent=\"" + std::to_string(percent) +
         "\" cityid=\"" + city + "\"/>";
}

TEST_F(CityLeaves, RequestEndpointsAndCache) {
  Answer(0, "");  // nothing from the host name: the next endpoint is asked
  Answer(1, CityReply(kCityAnswer));
  Answer(2, CityReply("{\"cityid\":\"999\"}"));

  EXPECT_EQ(CheckLeaf(CityLeaf(0, "101010100")), 0);
  EXPECT_EQ(Asked(0), 1u);
  EXPECT_EQ(Asked(1), 1u);
  EXPECT_EQ(Asked(2), 0u);
  const std::vector<HttpRequest> sent = servers_[1].RequestsFor("/cityinfo");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].method, "POST");
  EXPECT_EQ(sent[0].body, BuildCityInfoRequest(kIdex));
  EXPECT_EQ(servers_[0].RequestsFor("/cityinfo")[0].body, sent[0].body);  // byte-identical
  DecodedBlock step = NextStep();
  EXPECT_EQ(step.Number("step"), 4u);
  EXPECT_EQ(step.Number("value"), 101010100u);
  EXPECT_EQ(step.Number("code"), 0u);
  EXPECT_EQ(step.Text("text"), kCityAnswer);
  EXPECT_EQ(Narrow(CachedCityReply()), kCityAnswer);

  // The cached reply serves every later test; matching ignores case.
  EXPECT_EQ(CheckLeaf(CityLeaf(100, "101010100")), 1);
  EXPECT_EQ(NextStep().Number("code"), 1u);
  EXPECT_EQ(CheckLeaf(CityLeaf(0, "202020200")), 1);  // another city: no report
  EXPECT_EQ(CheckLeaf(CityLeaf(0, "")), 1);
  const int32_t drawn = CheckLeaf(CityLeaf(50, "101010100"));
  EXPECT_TRUE(drawn == 0 || drawn == 1);
  EXPECT_EQ(NextStep().Number("code"), static_cast<uint32_t>(drawn));
  EXPECT_EQ(Asked(1), 1u);
  EXPECT_EQ(endpoint_.Count(), seen_);
}

TEST_F(CityLeaves, FailedLookupsLeaveTheCacheEmptyAndAreRetried) {
  std::string corrupt = CityReply(kCityAnswer);
  corrupt[2] ^= 1;
  const struct {
    const char* name;
    std::string first, second;
    size_t third_asked;
  } kCases[] = {
      {"corrupt stops the loop", corrupt, CityReply(kCityAnswer), 0},
      {"six bytes", std::string(6, '\0'), CityReply(kCityAnswer), 0},
      {"refusal", CityReply("2#x"), CityReply(kCityAnswer), 0},
      {"all silent", "", "", 1},
  };
  for (const auto& c : kCases) {
    for (HttpTestServer& server : servers_) server.ClearRequests();
    Answer(0, c.first);
    Answer(1, c.second);
    Answer(2, "");
    EXPECT_EQ(CheckLeaf(CityLeaf(0, "101010100")), 1) << c.name;
    EXPECT_TRUE(CachedCityReply().empty()) << c.name;
    EXPECT_EQ(Asked(2), c.third_asked) << c.name;
    EXPECT_EQ(CheckLeaf(CityLeaf(0, "101010100")), 1) << c.name;  // asked again
    EXPECT_EQ(Asked(0), 2u) << c.name;
  }
  EXPECT_EQ(endpoint_.Count(), 0u);

  std::wstring reply;
  Answer(0, CityReply("1#busy"));
  EXPECT_FALSE(LookupCityInfo(&reply));
  EXPECT_EQ(reply, L"1#busy");  // the refusal's text comes back
  Answer(0, CityReply(kCityAnswer));
  EXPECT_TRUE(LookupCityInfo(&reply));
  EXPECT_EQ(Narrow(reply), kCityAnswer);
}

TEST_F(CityLeaves, ShortStoredIdIsZeroFilled) {
  ASSERT_TRUE(SetText(HKEY_CLASSES_ROOT, kRequestIdKey, 0, L"idex", L"abc"));
  EXPECT_EQ(CityInfoRequestId(), "abc");
  Answer(0, CityReply(kCityAnswer));
  std::wstring reply;
  EXPECT_TRUE(LookupCityInfo(&reply));
  EXPECT_EQ(servers_[0].RequestsFor("/cityinfo").at(0).body, BuildCityInfoRequest("abc"));
}

TEST_F(CityLeaves, WithoutStoredIdEveryRequestCarriesAFreshId) {
  DeleteKey(HKEY_CLASSES_ROOT, kRequestIdKey, 0);
  Answer(0, "");
  Answer(1, "");
  Answer(2, "");
  std::wstring reply;
  EXPECT_FALSE(LookupCityInfo(&reply));
  EXPECT_FALSE(LookupCityInfo(&reply));
  const std::vector<HttpRequest> sent = servers_[0].RequestsFor("/cityinfo");
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_NE(sent[0].body, sent[1].body);
  for (const std::string& id : {CityInfoRequestId(), CityInfoRequestId()}) {
    ASSERT_EQ(id.size(), 32u);
    EXPECT_EQ(id.find_first_not_of("0123456789abcdef"), std::string::npos) << id;
  }
  EXPECT_NE(CityInfoRequestId(), CityInfoRequestId());
  HKEY key = nullptr;  // the fresh id is not stored
  EXPECT_NE(RegOpenKeyExW(HKEY_CLASSES_ROOT, kRequestIdKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  if (key) RegCloseKey(key);
}

class CityIdLookup : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Start());
    SetCityIdHostForTesting(server_.Host());
  }
  void TearDown() override {
    SetCityIdHostForTesting("");
    DeleteKey(HKEY_CLASSES_ROOT, kAccountKey, KEY_WOW64_32KEY);
  }
  void Answer(const std::string& body) {
    HttpResponse response;
    response.body = body;
    server_.Serve("/ip/cityid", response);
  }
  HttpTestServer server_;
};

TEST_F(CityIdLookup, HeadersCarryTheAccountUid) {
  const std::wstring uid = L"0123456789ABCDEF0123456789ABCDEF";
  ASSERT_TRUE(SetText(HKEY_CLASSES_ROOT, kAccountKey, KEY_WOW64_32KEY, L"uid", uid));
  ASSERT_TRUE(SetDword(HKEY_CLASSES_ROOT, kAccountKey, KEY_WOW64_32KEY, L"user_type", 3));
  EXPECT_EQ(ReadProductAccount().uid, uid);
  EXPECT_EQ(ReadProductAccount().user_type, 3u);
  Answer("{\"data\":\"101010100\"}");
  EXPECT_EQ(LookupCityId(), L"101010100");
  const std::vector<HttpRequest> sent = server_.RequestsFor("/ip/cityid");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].method, "POST");
  EXPECT_TRUE(sent[0].body.empty());
  std::vector<std::string> names;
  for (const auto& header : sent[0].headers) names.push_back(header.first);
  const std::vector<std::pair<std::string, std::string>> kExpected = {
      {"User-Agent", "Mozilla/4.0"}, {"Content-Type", "text/plain"}, {"from", "tovel"},
      {"version", "1"}, {"lnt", "0"}, {"lat", "0"},
      {"uniqid", "0123456789ABCDEF0123456789ABCDEF"}};
  size_t last = 0;
  for (const auto& expected : kExpected) {
    EXPECT_EQ(sent[0].Header(expected.first), expected.second) << expected.first;
    size_t at = 0;
    while (at < names.size() && names[at] != expected.first) ++at;
    EXPECT_GE(at, last) << expected.first << " out of order";
    last = at;
  }
}

TEST_F(CityIdLookup, RepliesAndAccounts) {
  // A uid that is not 32 characters long is not used.
  ASSERT_TRUE(SetText(HKEY_CLASSES_ROOT, kAccountKey, KEY_WOW64_32KEY, L"uid", L"short"));
  EXPECT_EQ(ReadProductAccount().uid, L"");
  const struct {
    const char* body;
    std::wstring city;
  } kCases[] = {
      {"{\"data\":\"330100\",\"ret\":0}", L"330100"},
      {"{\"data\":\"\xE6\x9D\xAD\"}", L"\x676D"},  // UTF-8 text
      {"{\"data\":330100}", L"330100"},
      {"{\"other\":1}", L""},
      {"[1,2]", L""},
      {"not json", L""},
      {"", L""},
      {"{\"data\":{\"x\":1}}", L""},
  };
  for (const auto& c : kCases) {
    Answer(c.body);
    EXPECT_EQ(LookupCityId(), c.city) << c.body;
  }
  EXPECT_EQ(server_.RequestsFor("/ip/cityid").back().Header("uniqid"), "");
}

}  // namespace
}  // namespace kbase
