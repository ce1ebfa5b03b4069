#include "probe/vm_detection.h"

#include <windows.h>
#include <iphlpapi.h>
#include <tlhelp32.h>
#include <winver.h>

#include <cpuid.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "common/win/file_facts.h"
#include "common/win/scoped_handle.h"
#include "common/win/scoped_module.h"
#include "probe/anti_cheat_rules.h"
#include "probe/system_facts.h"

// The VMware backdoor query: "in eax, dx" on port 0x5658 with EAX = 'VMXh', ECX = 10
// (get version), EBX = 0. Returns EBX, which holds 'VMXh' only when the port answered.
// Outside VMware the "in" faults; the vectored handler below resumes at
// kinst_vmware_backdoor_after with EBX cleared. The prologue is described to the unwinder
// because RBX is saved on the stack.
extern "C" uint32_t kinst_vmware_backdoor_query();
extern "C" const char kinst_vmware_backdoor_in[];
extern "C" const char kinst_vmware_backdoor_after[];

asm(R"(
  .text
  .globl kinst_vmware_backdoor_query
  .globl kinst_vmware_backdoor_in
  .globl kinst_vmware_backdoor_after
  .def kinst_vmware_backdoor_query; .scl 2; .type 32; .endef
  .seh_proc kinst_vmware_backdoor_query
kinst_vmware_backdoor_query:
  pushq %rbx
  .seh_pushreg %rbx
  .seh_endprologue
  movl $0x564D5868, %eax
  xorl %ebx, %ebx
  movl $10, %ecx
  movl $0x5658, %edx
kinst_vmware_backdoor_in:
  inl %dx, %eax
kinst_vmware_backdoor_after:
  movl %ebx, %eax
  popq %rbx
  ret
  .seh_endproc
)");

namespace anti_cheat {

using kbase::PathExists;

namespace {

constexpr uint32_t kVmwareMagic = 0x564D5868;  // "VMXh"

// Any processor exception at the backdoor instruction means "no answer": skip the
// instruction and leave EBX without the magic. Other exceptions are not ours.
LONG CALLBACK BackdoorFaultHandler(EXCEPTION_POINTERS* info) {
  if (info == nullptr || info->ExceptionRecord == nullptr || info->ContextRecord == nullptr) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  if (info->ExceptionRecord->ExceptionAddress !=
      static_cast<const void*>(kinst_vmware_backdoor_in)) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  info->ContextRecord->Rip = reinterpret_cast<DWORD64>(kinst_vmware_backdoor_after);
  info->ContextRecord->Rbx = 0;
  return EXCEPTION_CONTINUE_EXECUTION;
}

// Registration of the backdoor handler for the duration of one query.
class ScopedVectoredHandler {
 public:
  explicit ScopedVectoredHandler(PVECTORED_EXCEPTION_HANDLER handler)
      : cookie_(::AddVectoredExceptionHandler(1, handler)) {}
  ~ScopedVectoredHandler() {
    if (cookie_ != nullptr) ::RemoveVectoredExceptionHandler(cookie_);
  }
  ScopedVectoredHandler(const ScopedVectoredHandler&) = delete;
  ScopedVectoredHandler& operator=(const ScopedVectoredHandler&) = delete;
  bool valid() const { return cookie_ != nullptr; }

 private:
  void* cookie_;
};

std::wstring WindowsFolder() {
  wchar_t buffer[MAX_PATH] = {};
  const UINT length = ::GetWindowsDirectoryW(buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  std::wstring folder(buffer, length);
  if (folder.back() != L'\\') folder += L'\\';
  return folder;
}

std::wstring SystemFolder() {
  wchar_t buffer[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryW(buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  std::wstring folder(buffer, length);
  if (folder.back() != L'\\') folder += L'\\';
  return folder;
}

bool KeyOpens(HKEY root, const std::wstring& path) {
  kbase::ScopedKey key;
  return ::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.receive()) == ERROR_SUCCESS;
}

// Calls `visit` with each subkey name until it returns true; true when one did.
template <typename Visit>
bool AnySubkey(HKEY root, const wchar_t* path, Visit visit) {
  kbase::ScopedKey key;
  if (::RegOpenKeyExW(root, path, 0, KEY_READ, key.receive()) != ERROR_SUCCESS) return false;
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD length = 256;
    const LONG result =
        ::RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_MORE_DATA) continue;  // a name too long for any prefix test here
    if (result != ERROR_SUCCESS) return false;
    if (visit(std::wstring(name, length))) return true;
  }
}

// A string value read into an 80-byte buffer; false when missing, not a string or longer.
bool ReadShortString(const char* path, const char* value, std::string* text) {
  kbase::ScopedKey key;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key.receive()) != ERROR_SUCCESS) {
    return false;
  }
  char buffer[80] = {};
  DWORD size = sizeof(buffer);
  DWORD type = 0;
  if (::RegQueryValueExA(key.get(), value, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                         &size) != ERROR_SUCCESS) {
    return false;
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  // The stored bytes need not end with a terminator.
  size_t length = size < sizeof(buffer) ? size : sizeof(buffer);
  while (length > 0 && buffer[length - 1] == '\0') --length;
  text->assign(buffer, strnlen(buffer, length));
  return true;
}

bool ValueContains(const char* path, const char* value, const char* needle) {
  std::string text;
  return ReadShortString(path, value, &text) && text.find(needle) != std::string::npos;
}

bool AdapterHasQemuAddress() {
  ULONG size = 0;
  std::vector<unsigned char> buffer;
  ULONG result = ::GetAdaptersInfo(nullptr, &size);
  for (int attempt = 0; attempt < 2 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
    if (size == 0) return false;
    buffer.assign(size, 0);
    result = ::GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
  }
  if (result != ERROR_SUCCESS || buffer.empty()) return false;
  for (auto* adapter = reinterpret_cast<const IP_ADAPTER_INFO*>(buffer.data());
       adapter != nullptr; adapter = adapter->Next) {
    const size_t length = adapter->AddressLength <= MAX_ADAPTER_ADDRESS_LENGTH
                              ? adapter->AddressLength
                              : MAX_ADAPTER_ADDRESS_LENGTH;
    if (IsQemuAdapterAddress(adapter->Address, length)) return true;
  }
  return false;
}

bool ProcessRunning(const wchar_t* file_name) {
  kbase::ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.valid()) return false;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    entry.szExeFile[MAX_PATH - 1] = 0;
    if (EqualsNoCase(entry.szExeFile, file_name)) return true;
  }
  return false;
}

// "On 64-bit Windows": a 64-bit process, or a 32-bit one under WOW64 (the machine facts
// keep that answer process-wide).
bool OnSixtyFourBitWindows() { return sizeof(void*) == 8 || kbase::IsWow64(); }

using Wow64DisableFunction = BOOL(WINAPI*)(PVOID*);
using Wow64RevertFunction = BOOL(WINAPI*)(PVOID);

struct Wow64Redirection {
  Wow64DisableFunction disable = nullptr;
  Wow64RevertFunction revert = nullptr;
};

// Looked up once; kernel32 stays loaded for the life of the process.
const Wow64Redirection& RedirectionFunctions() {
  static const Wow64Redirection functions = [] {
    Wow64Redirection found;
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr) return found;
    found.disable = reinterpret_cast<Wow64DisableFunction>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "Wow64DisableWow64FsRedirection")));
    found.revert = reinterpret_cast<Wow64RevertFunction>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "Wow64RevertWow64FsRedirection")));
    return found;
  }();
  return functions;
}

bool ReadProductNameOnce(const std::wstring& path, std::wstring* product_name) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return false;
  std::vector<unsigned char> block(size, 0);
  if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return false;

  struct Translation {
    WORD language;
    WORD code_page;
  };
  void* translations = nullptr;
  UINT translations_size = 0;
  if (!::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &translations,
                        &translations_size) ||
      translations == nullptr || translations_size < sizeof(Translation)) {
    return false;
  }
  Translation first;
  std::memcpy(&first, translations, sizeof(first));
  const WORD user_language = ::GetUserDefaultLangID();
  const Translation attempts[] = {
      {first.language, first.code_page},
      {user_language, first.code_page},
      {first.language, 1252},
      {user_language, 1252},
  };
  for (const Translation& attempt : attempts) {
    wchar_t query[64];
    std::swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\%ls", attempt.language,
                  attempt.code_page, L"ProductName");
    void* value = nullptr;
    UINT length = 0;  // characters, with the terminator
    if (::VerQueryValueW(block.data(), query, &value, &length) && value != nullptr) {
      const wchar_t* text = static_cast<const wchar_t*>(value);
      size_t count = 0;
      while (count < length && text[count] != 0) ++count;
      product_name->assign(text, count);
      return true;
    }
  }
  return false;
}

bool DriverHasProductName(const wchar_t* file_name, const wchar_t* expected) {
  wchar_t folder[MAX_PATH] = {};
  const DWORD length =
      ::ExpandEnvironmentStringsW(L"%Systemroot%\\system32\\drivers\\", folder, MAX_PATH);
  if (length == 0 || length > MAX_PATH) return false;
  const std::wstring path = std::wstring(folder) + file_name;
  if (!PathExists(path)) return false;
  std::wstring product;
  return ReadProductName(path, &product) && EqualsNoCase(product, expected);
}

}  // namespace

bool ReadProductName(const std::wstring& path, std::wstring* product_name) {
  if (ReadProductNameOnce(path, product_name)) return true;
  if (!OnSixtyFourBitWindows()) return false;
  const Wow64Redirection& redirection = RedirectionFunctions();
  if (redirection.disable == nullptr || redirection.revert == nullptr) return false;
  void* old_value = nullptr;
  // A 64-bit process has no redirection to disable; the call then fails and so do we.
  if (!redirection.disable(&old_value)) return false;
  const bool found = ReadProductNameOnce(path, product_name);
  redirection.revert(old_value);
  return found;
}

HypervisorFacts ReadHypervisorFacts() {
  HypervisorFacts facts;
  unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
  __cpuid(1, eax, ebx, ecx, edx);
  facts.present = (ecx & 0x80000000u) != 0;
  if (!facts.present) return facts;
  __cpuid(0x40000000, eax, ebx, ecx, edx);
  char vendor[12];
  std::memcpy(vendor, &ebx, 4);
  std::memcpy(vendor + 4, &ecx, 4);
  std::memcpy(vendor + 8, &edx, 4);
  facts.vendor.assign(vendor, sizeof(vendor));
  return facts;
}

bool DetectVmwarePort() {
  ScopedVectoredHandler handler(BackdoorFaultHandler);
  // Without the handler a fault would end the process.
  if (!handler.valid()) return false;
  return kinst_vmware_backdoor_query() == kVmwareMagic;
}

bool DetectVmwareHypervisor() {
  const HypervisorFacts facts = ReadHypervisorFacts();
  return facts.present && IsVmwareHypervisorVendor(facts.vendor);
}

bool DetectVirtualBox() {
  // Only the system folder: a "VBoxHook.dll" beside the installer must not be loaded.
  const std::wstring system = SystemFolder();
  if (!system.empty()) {
    kbase::ScopedModule hook(::LoadLibraryExW((system + L"VBoxHook.dll").c_str(), nullptr,
                                              LOAD_WITH_ALTERED_SEARCH_PATH));
    if (hook.valid()) return true;
  }
  kbase::ScopedHandle device(::CreateFileA("\\\\.\\VBoxMiniRdrDN", GENERIC_READ,
                                           FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
  return device.valid();
}

bool DetectVirtualPc() {
  if (ProcessRunning(L"vmusrvc.exe")) return true;

  const std::wstring windows = WindowsFolder();
  if (!windows.empty()) {
    static const wchar_t* const kFiles[] = {
        L"system32\\DRIVERS\\vpcubus.sys",
        L"system32\\DRIVERS\\vpcgbus.sys",
        L"system32\\DRIVERS\\vpc-s3.sys",
        L"System32\\vpc-s3.dll",
    };
    for (const wchar_t* file : kFiles) {
      if (PathExists(windows + file)) return true;
    }
  }

  static const wchar_t* const kServices[] = {L"vpcuhub", L"vpcubus", L"vpc-s3", L"1-vmsrvc"};
  for (const wchar_t* service : kServices) {
    if (KeyOpens(HKEY_LOCAL_MACHINE,
                 std::wstring(L"SYSTEM\\CurrentControlSet\\Services\\") + service)) {
      return true;
    }
  }

  return AnySubkey(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Enum\\IDE",
                   [](const std::wstring& name) {
                     return StartsWithNoCase(name, L"DiskVirtual_HD");
                   });
}

bool DetectKvmQemu() {
  const std::wstring windows = WindowsFolder();
  if (!windows.empty() && PathExists(windows + L"system32\\DRIVERS\\viostor.sys")) return true;
  if (ValueContains("HARDWARE\\DESCRIPTION\\System\\BIOS", "SystemProductName", "KVM")) {
    return true;
  }
  if (ValueContains("HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", "ProcessorNameString",
                    "Virtual CPU")) {
    return true;
  }
  return AdapterHasQemuAddress();
}

bool CDetectVMFromPCI::Detect() const {
  return AnySubkey(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Enum\\PCI",
                   [this](const std::wstring& name) { return MatchDeviceKey(name) >= 0; });
}

bool DetectPciVendor() {
  CDetectVMFromPCI pci;
  return pci.Detect();
}

bool DetectSandboxie() { return ::GetModuleHandleW(L"SbieDll.dll") != nullptr; }

bool DetectDeepFreeze() { return DriverHasProductName(L"DeepFrz.sys", L"Deep Freeze"); }

bool DetectYzIdiot() { return DriverHasProductName(L"YzIdiot.sys", L"YzIdiot"); }

bool DetectVirtualMachine() {
  using Test = bool (*)();
  static const Test kTests[] = {
      DetectVmwarePort, DetectVmwareHypervisor, DetectVirtualBox,
      DetectVirtualPc,  DetectKvmQemu,          DetectPciVendor,
      DetectSandboxie,  DetectDeepFreeze,       DetectYzIdiot,
  };
  for (Test test : kTests) {
    if (test()) return true;
  }
  return false;
}

}  // namespace anti_cheat
