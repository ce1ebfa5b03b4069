// The machine identifiers under Wine: stored, stable, written back as the product expects,
// and built from the parts this machine (Wine) answers.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/win/ansi_text.h"
#include "common/win/scoped_handle.h"
#include "probe/machine_identity.h"
#include "probe/system_facts.h"
#include "report/report_identity.h"

namespace kbase {
namespace {

bool IsHex(const std::wstring& text, const wchar_t* digits) {
  return text.size() == 32 && text.find_first_not_of(digits) == std::wstring::npos;
}
const wchar_t kUpperHex[] = L"0123456789ABCDEF";
const wchar_t kLowerHex[] = L"0123456789abcdef";

std::wstring ReadValue(const wchar_t* key_path, const wchar_t* name) {
  wchar_t buffer[256] = {};
  DWORD size = sizeof(buffer) - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CLASSES_ROOT, key_path, name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
      ERROR_SUCCESS) {
    return L"<missing>";
  }
  return buffer;
}

void WriteRaw(const wchar_t* key_path, const wchar_t* name, DWORD type, const void* data,
              DWORD size) {
  ScopedKey key;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, key_path, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            key.receive(), nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size),
            ERROR_SUCCESS);
}

void WriteText(const wchar_t* key_path, const wchar_t* name, const std::wstring& text) {
  WriteRaw(key_path, name, REG_SZ, text.c_str(),
           static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// Each test starts without stored identifiers and leaves none behind.
class MachineIdentity : public ::testing::Test {
 protected:
  void SetUp() override { Clear(); }
  void TearDown() override { Clear(); }
  static void Clear() {
    RegDeleteKeyValueW(HKEY_CLASSES_ROOT, kInstallIdKey, kInstallIdValue);
    RegDeleteKeyValueW(HKEY_CLASSES_ROOT, kInstallIdKey, kInstallIdMarkValue);
    RegDeleteKeyValueW(HKEY_CLASSES_ROOT, kInstallerRecordsKey, kDeviceIdValue);
  }
};

TEST_F(MachineIdentity, FreshInstallIdIsStoredInLowerCaseAndReturnedInUpperCase) {
  const std::wstring id = GetInstallId();
  EXPECT_TRUE(IsHex(id, kUpperHex)) << id;
  const std::wstring stored = ReadValue(kInstallIdKey, kInstallIdValue);
  EXPECT_TRUE(IsHex(stored, kLowerHex)) << stored;
  EXPECT_EQ(ReadValue(kInstallIdKey, kInstallIdMarkValue), L"1");
  std::wstring upper = stored;
  for (wchar_t& c : upper) c = static_cast<wchar_t>(towupper(c));
  EXPECT_EQ(id, upper);
  EXPECT_EQ(GetInstallId(), id);  // stable once stored
}

TEST_F(MachineIdentity, StoredInstallIdKeepsItsCaseAndMarkIsRewritten) {
  WriteText(kInstallIdKey, kInstallIdValue, L"0123456789abcdef0123456789abcdef");
  WriteText(kInstallIdKey, kInstallIdMarkValue, L"7");
  EXPECT_EQ(GetInstallId(), L"0123456789ABCDEF0123456789ABCDEF");
  EXPECT_EQ(ReadValue(kInstallIdKey, kInstallIdValue), L"0123456789abcdef0123456789abcdef");
  EXPECT_EQ(ReadValue(kInstallIdKey, kInstallIdMarkValue), L"1");
}

TEST_F(MachineIdentity, HostileStoredValuesAreReadWithinTheirBounds) {
  // No terminator, an odd byte count.
  const wchar_t unterminated[] = {L'a', L'b', L'c'};
  WriteRaw(kInstallIdKey, kInstallIdValue, REG_SZ, unterminated, 5);
  EXPECT_EQ(GetInstallId(), L"AB");
  // Over-long text is taken as it is.
  const std::wstring long_text(5000, L'f');
  WriteText(kInstallIdKey, kInstallIdValue, long_text);
  EXPECT_EQ(GetInstallId(), std::wstring(5000, L'F'));
  // A value of another type counts as none: a fresh id replaces it.
  const DWORD number = 5;
  RegDeleteKeyValueW(HKEY_CLASSES_ROOT, kInstallIdKey, kInstallIdValue);
  WriteRaw(kInstallIdKey, kInstallIdValue, REG_DWORD, &number, sizeof(number));
  EXPECT_TRUE(IsHex(GetInstallId(), kUpperHex));
  EXPECT_TRUE(IsHex(ReadValue(kInstallIdKey, kInstallIdValue), kLowerHex));
}

TEST_F(MachineIdentity, RecipeGivesFreshLowerCaseIds) {
  const std::wstring first = MakeInstallId();
  const std::wstring second = MakeInstallId();
  EXPECT_TRUE(IsHex(first, kLowerHex)) << first;
  EXPECT_NE(first, second);  // the GUID differs
}

TEST_F(MachineIdentity, DeviceIdIsBuiltOnceStoredAndStable) {
  const std::wstring id = GetDeviceId();
  EXPECT_TRUE(IsHex(id, kUpperHex)) << id;
  EXPECT_EQ(ReadValue(kInstallerRecordsKey, kDeviceIdValue), id);
  EXPECT_EQ(GetDeviceId(), id);
  // Wine answers the same hardware each time, so a rebuild agrees.
  EXPECT_EQ(BuildDeviceId(), id);
  // A stored value is returned as it stands, whatever it holds.
  WriteText(kInstallerRecordsKey, kDeviceIdValue, L"stored by an earlier run");
  EXPECT_EQ(GetDeviceId(), L"stored by an earlier run");
}

TEST_F(MachineIdentity, PartsWineAnswers) {
  const DeviceIdParts parts = GatherDeviceIdParts();
  RecordProperty("mainboard", parts.mainboard);
  RecordProperty("sound", parts.sound);
  EXPECT_EQ(parts.processor.size(), 16u);
  EXPECT_EQ(parts.processor.find_first_not_of("0123456789ABCDEF"), std::string::npos);
  EXPECT_EQ(parts.mainboard.find(' '), std::string::npos);
  // Wine has no disk identify or NDIS queries: both parts take their placeholders.
  EXPECT_EQ(parts.disk, "");
  EXPECT_EQ(parts.mac, "");
  EXPECT_EQ(FromAnsi(DeviceIdFromParts(parts)), BuildDeviceId());
}

TEST_F(MachineIdentity, FillsTheReportIdentitysMachineFacts) {
  KInstallTool::ReportIdentity identity;
  identity.company_id = L"186";
  FillMachineFacts(&identity);
  EXPECT_EQ(identity.company_id, L"186");
  EXPECT_EQ(identity.install_id, GetInstallId());
  EXPECT_EQ(identity.device_id, GetDeviceId());
  EXPECT_EQ(identity.os_code, GetOsCode());
  EXPECT_EQ(identity.survey_text.rfind(L"{\"2345Explorer\":", 0), 0u) << identity.survey_text;
}

}  // namespace
}  // namespace kbase
