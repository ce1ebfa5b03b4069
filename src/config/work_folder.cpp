#include "config/work_folder.h"

#include <windows.h>
#include <winioctl.h>

#include <cwctype>
#include <vector>

#include "common/win/scoped_handle.h"
#include "config/directory_tree.h"
#include "config/path_text.h"
#include "config/work_folder_order.h"

namespace kbase {
namespace {

constexpr uint64_t kBytesPerMb = 1048576;
// The descriptor's fixed part up to and including the bus type fits in this.
constexpr DWORD kDescriptorBytes = 40;

std::vector<DriveCandidate> ListDrives() {
  std::vector<DriveCandidate> drives;
  wchar_t buffer[512] = {};
  const DWORD length = ::GetLogicalDriveStringsW(ARRAYSIZE(buffer) - 1, buffer);
  if (length == 0 || length >= ARRAYSIZE(buffer)) {
    for (const wchar_t* root : {L"C:\\", L"D:\\", L"E:\\", L"F:\\"}) drives.push_back({root, 0});
    return drives;
  }
  for (const wchar_t* root = buffer; *root != L'\0'; root += wcslen(root) + 1) {
    drives.push_back({root, 0});
  }
  return drives;
}

}  // namespace

bool IsInternalFixedDrive(const std::wstring& drive) {
  if (::GetDriveTypeW(drive.c_str()) != DRIVE_FIXED) return false;
  const std::wstring device = L"\\\\.\\" + drive;
  ScopedHandle handle(::CreateFileW(device.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    0, nullptr));
  if (!handle.valid()) return false;
  STORAGE_PROPERTY_QUERY query = {};
  query.PropertyId = StorageDeviceProperty;
  query.QueryType = PropertyStandardQuery;
  alignas(STORAGE_DEVICE_DESCRIPTOR) BYTE output[kDescriptorBytes] = {};
  DWORD returned = 0;
  if (!::DeviceIoControl(handle.get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query),
                         output, sizeof(output), &returned, nullptr)) {
    return false;
  }
  const auto* descriptor = reinterpret_cast<const STORAGE_DEVICE_DESCRIPTOR*>(output);
  // A short answer carries no bus type; treat it as unknown, not as USB.
  if (returned < offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) + sizeof(descriptor->BusType)) {
    return true;
  }
  return descriptor->BusType != BusTypeUsb;
}

std::wstring ChooseWorkFolder(uint32_t minimum_mb) {
  wchar_t windows[MAX_PATH] = {};
  const UINT length = ::GetWindowsDirectoryW(windows, MAX_PATH - 1);
  if (length < 8 || length >= MAX_PATH - 1 || !std::iswalpha(windows[0]) || windows[1] != L':' ||
      windows[2] != L'\\') {
    return std::wstring();
  }
  const std::wstring system_root(windows, 3);

  std::vector<DriveCandidate> drives = ListDrives();
  for (DriveCandidate& drive : drives) {
    ULARGE_INTEGER available = {};
    if (::GetDriveTypeW(drive.root.c_str()) == DRIVE_FIXED &&
        ::GetDiskFreeSpaceExW(drive.root.c_str(), &available, nullptr, nullptr)) {
      drive.free_bytes = available.QuadPart;
    }
  }
  drives = OrderWorkFolderCandidates(std::move(drives), uint64_t{minimum_mb} * kBytesPerMb,
                                     system_root);
  if (drives.empty()) return std::wstring();

  std::wstring chosen = system_root;
  for (const DriveCandidate& drive : drives) {
    if (IsInternalFixedDrive(drive.root.substr(0, 2))) {
      chosen = drive.root;
      break;
    }
  }
  for (wchar_t& c : chosen) c = static_cast<wchar_t>(std::towlower(c));
  AddTrailingBackslash(&chosen);
  chosen += L"kinsttemp\\";
  CreateDirectoryTree(chosen);
  return chosen;
}

}  // namespace kbase
