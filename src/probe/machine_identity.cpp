#include "probe/machine_identity.h"

#include <winsock2.h>
#include <windows.h>
#include <cpuid.h>
#include <objbase.h>

#include <cstdlib>
#include <ctime>
#include <cwctype>

#include "common/win/ansi_text.h"
#include "common/win/scoped_handle.h"
#include "probe/disk_model.h"
#include "probe/product_survey.h"
#include "probe/registry_text.h"
#include "probe/system_facts.h"
#include "probe/wmi_query.h"
#include "report/report_identity.h"

namespace kbase {

namespace {

// NDIS query of a network card's permanent (burnt-in) address.
constexpr DWORD kNdisQueryGlobalStats = 0x00170002;  // IOCTL_NDIS_QUERY_GLOBAL_STATS
constexpr DWORD kOid8023PermanentAddress = 0x01010101;

std::wstring ReadStoredText(const wchar_t* key_path, const wchar_t* name) {
  ScopedKey key;
  std::wstring text;
  if (::RegOpenKeyW(HKEY_CLASSES_ROOT, key_path, key.receive()) != ERROR_SUCCESS) return text;
  ReadRegistryText(key.get(), name, &text);
  return text;
}

bool WriteText(HKEY key, const wchar_t* name, const std::wstring& text) {
  return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) ==
         ERROR_SUCCESS;
}

bool CreateRecordKey(const wchar_t* key_path, ScopedKey* key) {
  return ::RegCreateKeyExW(HKEY_CLASSES_ROOT, key_path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                           key->receive(), nullptr) == ERROR_SUCCESS;
}

std::wstring Upper(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
  return text;
}

std::string ProcessorPart() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return {};
  return ProcessorPartText(edx, eax);
}

std::string PermanentAddress(const std::wstring& pnp_device_id) {
  ScopedHandle device(::CreateFileW(PermanentAddressDevicePath(pnp_device_id).c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    0, nullptr));
  if (!device.valid()) return {};
  DWORD oid = kOid8023PermanentAddress;
  uint8_t address[32] = {};
  DWORD returned = 0;
  if (!::DeviceIoControl(device.get(), kNdisQueryGlobalStats, &oid, sizeof(oid), address,
                         sizeof(address), &returned, nullptr)) {
    return {};
  }
  return MacText(address, returned < sizeof(address) ? returned : sizeof(address));
}

std::string NetworkPart() {
  const std::vector<std::wstring> adapters = QueryWmiTexts(
      L"select * from Win32_NetworkAdapter where PnpDeviceID like 'PCI%'  or "
      L"PnpDeviceID like 'USB%'",
      L"PNPDeviceID");
  for (const std::wstring& adapter : adapters) {
    std::string mac = PermanentAddress(adapter);
    if (!mac.empty()) return mac;
  }
  return {};
}

}  // namespace

std::wstring MakeInstallId() {
  InstallIdInputs inputs;
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  inputs.random_number = std::rand();

  GUID guid = {};
  if (SUCCEEDED(::CoCreateGuid(&guid))) {
    static const GUID kZero = {};
    inputs.has_guid = !IsEqualGUID(guid, kZero);
    inputs.guid_data1 = guid.Data1;
    inputs.guid_data2 = guid.Data2;
    inputs.guid_data3 = guid.Data3;
    for (int i = 0; i < 8; ++i) inputs.guid_data4[i] = guid.Data4[i];
  }

  SYSTEMTIME now = {};
  ::GetLocalTime(&now);
  inputs.year = now.wYear;
  inputs.month = now.wMonth;
  inputs.day = now.wDay;
  inputs.hour = now.wHour;
  inputs.minute = now.wMinute;
  inputs.second = now.wSecond;
  inputs.milliseconds = now.wMilliseconds;

  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD name_length = sizeof(name);
  if (::GetComputerNameA(name, &name_length) && name_length < sizeof(name)) {
    inputs.computer_name.assign(name, name_length);
  }

  wchar_t system_folder[MAX_PATH] = {};
  const UINT folder_length = ::GetSystemDirectoryW(system_folder, MAX_PATH);
  ULARGE_INTEGER available = {}, total = {}, free_bytes = {};
  if (folder_length > 0 && folder_length < MAX_PATH &&
      ::GetDiskFreeSpaceExW(system_folder, &available, &total, &free_bytes)) {
    inputs.free_bytes = free_bytes.QuadPart;
  }
  return FromAnsi(InstallIdFromInputs(inputs));
}

std::wstring GetInstallId() {
  std::wstring id = ReadStoredText(kInstallIdKey, kInstallIdValue);
  if (id.empty()) id = MakeInstallId();
  if (!id.empty()) {
    // Written back on every call: the product reads "idno" as "an id was issued".
    ScopedKey key;
    if (CreateRecordKey(kInstallIdKey, &key)) {
      WriteText(key.get(), kInstallIdValue, id);
      WriteText(key.get(), kInstallIdMarkValue, L"1");
    }
  }
  return Upper(id);
}

DeviceIdParts GatherDeviceIdParts() {
  DeviceIdParts parts;
  parts.processor = ProcessorPart();
  parts.disk = GetDiskModelText();
  parts.mainboard = RemoveSpaces(ToAnsi(QueryWmiText(
      L"SELECT * FROM Win32_BaseBoard WHERE (SerialNumber IS NOT NULL)", L"SerialNumber")));
  parts.mac = NetworkPart();
  parts.sound = ToAnsi(QueryWmiText(L"SELECT Caption FROM Win32_SoundDevice", L"Caption"));
  return parts;
}

std::wstring BuildDeviceId() { return FromAnsi(DeviceIdFromParts(GatherDeviceIdParts())); }

std::wstring GetDeviceId() {
  std::wstring id = ReadStoredText(kInstallerRecordsKey, kDeviceIdValue);
  if (!id.empty()) return id;
  id = BuildDeviceId();
  ScopedKey key;
  if (CreateRecordKey(kInstallerRecordsKey, &key)) WriteText(key.get(), kDeviceIdValue, id);
  return id;
}

void FillMachineFacts(KInstallTool::ReportIdentity* identity) {
  identity->install_id = GetInstallId();
  identity->device_id = GetDeviceId();
  identity->survey_text = GetSurveyText();
  identity->os_code = GetOsCode();
}

}  // namespace kbase
