#include "probe/disk_model.h"

#include <windows.h>
#include <winioctl.h>
#include <ntddscsi.h>

#include <cstring>
#include <vector>

#include "common/win/scoped_handle.h"
#include "probe/machine_id_recipe.h"

namespace kbase {

namespace {

constexpr int kDriveCount = 16;
constexpr BYTE kIdentifyCommand = 0xEC;
constexpr BYTE kAtapiIdentifyCommand = 0xA1;
constexpr ULONG kMiniportIdentify = 0x1B0501;
constexpr ULONG kMiniportTimeout = 10000;
constexpr DWORD kDescriptorBufferSize = 10000;

ScopedHandle OpenDevice(const std::wstring& path, DWORD access, DWORD share) {
  return ScopedHandle(::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
}

std::wstring PhysicalDrivePath(int drive) {
  return L"\\\\.\\PhysicalDrive" + std::to_wstring(drive);
}

bool GetSmartVersion(HANDLE device, GETVERSIONINPARAMS* version) {
  *version = {};
  DWORD returned = 0;
  return ::DeviceIoControl(device, SMART_GET_VERSION, nullptr, 0, version, sizeof(*version),
                           &returned, nullptr) != FALSE;
}

// SMART identify of one drive; the 512 bytes of identify data on success.
bool SmartIdentify(HANDLE device, int drive, BYTE command, std::vector<uint8_t>* data) {
  SENDCMDINPARAMS in = {};
  in.cBufferSize = IDENTIFY_BUFFER_SIZE;
  in.irDriveRegs.bSectorCountReg = 1;
  in.irDriveRegs.bSectorNumberReg = 1;
  in.irDriveRegs.bDriveHeadReg = static_cast<BYTE>(0xA0 | ((drive & 1) << 4));
  in.irDriveRegs.bCommandReg = command;
  in.bDriveNumber = static_cast<BYTE>(drive);
  std::vector<uint8_t> out(sizeof(SENDCMDOUTPARAMS) - 1 + IDENTIFY_BUFFER_SIZE, 0);
  DWORD returned = 0;
  if (!::DeviceIoControl(device, SMART_RCV_DRIVE_DATA, &in, sizeof(in) - 1, out.data(),
                         static_cast<DWORD>(out.size()), &returned, nullptr)) {
    return false;
  }
  const size_t offset = offsetof(SENDCMDOUTPARAMS, bBuffer);
  if (returned < offset + IDENTIFY_BUFFER_SIZE) return false;
  data->assign(out.begin() + offset, out.begin() + offset + IDENTIFY_BUFFER_SIZE);
  return true;
}

// Every answering drive overwrites what an earlier one gave.
void Take(const std::vector<uint8_t>& data, DiskIdentity* identity) {
  *identity = DiskIdentityFromIdentifyData(data.data(), data.size());
}

// Read and write access; the IDE device map decides between ATA and ATAPI identify.
void ReadBySmartWithDeviceMap(DiskIdentity* identity) {
  for (int drive = 0; drive < kDriveCount; ++drive) {
    ScopedHandle device = OpenDevice(PhysicalDrivePath(drive), GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (!device.valid()) continue;
    GETVERSIONINPARAMS version;
    if (!GetSmartVersion(device.get(), &version) || version.bIDEDeviceMap == 0) continue;
    const BYTE command =
        ((version.bIDEDeviceMap >> drive) & 0x10) ? kAtapiIdentifyCommand : kIdentifyCommand;
    std::vector<uint8_t> data;
    if (SmartIdentify(device.get(), drive, command, &data)) Take(data, identity);
  }
}

// The SCSI port of each controller, asking its first two targets.
void ReadByScsiMiniport(DiskIdentity* identity) {
  for (int controller = 0; controller < kDriveCount; ++controller) {
    ScopedHandle port = OpenDevice(L"\\\\.\\Scsi" + std::to_wstring(controller) + L":",
                                   GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (!port.valid()) continue;
    for (int target = 0; target < 2; ++target) {
      const size_t in_size = sizeof(SRB_IO_CONTROL) + sizeof(SENDCMDINPARAMS) - 1;
      const size_t out_offset = sizeof(SRB_IO_CONTROL);
      const size_t out_size =
          out_offset + sizeof(SENDCMDOUTPARAMS) - 1 + IDENTIFY_BUFFER_SIZE;
      std::vector<uint8_t> buffer(out_size > in_size ? out_size : in_size, 0);
      auto* header = reinterpret_cast<SRB_IO_CONTROL*>(buffer.data());
      header->HeaderLength = sizeof(SRB_IO_CONTROL);
      std::memcpy(header->Signature, "SCSIDISK", 8);
      header->Timeout = kMiniportTimeout;
      header->Length = static_cast<ULONG>(sizeof(SENDCMDOUTPARAMS) - 1 + IDENTIFY_BUFFER_SIZE);
      header->ControlCode = kMiniportIdentify;
      auto* in = reinterpret_cast<SENDCMDINPARAMS*>(buffer.data() + sizeof(SRB_IO_CONTROL));
      in->irDriveRegs.bCommandReg = kIdentifyCommand;
      in->bDriveNumber = static_cast<BYTE>(target);
      DWORD returned = 0;
      if (!::DeviceIoControl(port.get(), IOCTL_SCSI_MINIPORT, buffer.data(),
                             static_cast<DWORD>(buffer.size()), buffer.data(),
                             static_cast<DWORD>(buffer.size()), &returned, nullptr)) {
        continue;
      }
      const size_t data_offset = out_offset + offsetof(SENDCMDOUTPARAMS, bBuffer);
      if (returned < data_offset + IDENTIFY_BUFFER_SIZE) continue;
      std::vector<uint8_t> data(buffer.begin() + data_offset,
                                buffer.begin() + data_offset + IDENTIFY_BUFFER_SIZE);
      Take(data, identity);
    }
  }
}

// No access rights needed: the storage stack describes the device itself.
void ReadByStorageDescriptor(DiskIdentity* identity) {
  for (int drive = 0; drive < kDriveCount; ++drive) {
    ScopedHandle device =
        OpenDevice(PhysicalDrivePath(drive), 0, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (!device.valid()) continue;
    STORAGE_PROPERTY_QUERY query = {};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    std::vector<uint8_t> buffer(kDescriptorBufferSize, 0);
    DWORD returned = 0;
    if (!::DeviceIoControl(device.get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query),
                           buffer.data(), kDescriptorBufferSize, &returned, nullptr)) {
      continue;
    }
    const size_t size = returned < buffer.size() ? returned : buffer.size();
    if (size < sizeof(STORAGE_DEVICE_DESCRIPTOR) - 1) continue;
    const auto* descriptor = reinterpret_cast<const STORAGE_DEVICE_DESCRIPTOR*>(buffer.data());
    const std::string serial = StorageSerialText(
        DescriptorText(buffer.data(), size, descriptor->SerialNumberOffset));
    if (!IsUsableStorageSerial(serial)) continue;
    identity->serial = serial;
    identity->model = DescriptorText(buffer.data(), size, descriptor->ProductIdOffset);
    return;
  }
}

// Full sharing lets the query through while another program holds the drive.
void ReadBySmartShared(DiskIdentity* identity) {
  for (int drive = 0; drive < kDriveCount; ++drive) {
    ScopedHandle device =
        OpenDevice(PhysicalDrivePath(drive), GENERIC_READ | GENERIC_WRITE,
                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (!device.valid()) continue;
    GETVERSIONINPARAMS version;
    if (!GetSmartVersion(device.get(), &version)) continue;
    std::vector<uint8_t> data;
    if (SmartIdentify(device.get(), drive, kIdentifyCommand, &data)) Take(data, identity);
  }
}

bool IsNtPlatform() {
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  return ::GetVersionExW(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
#pragma GCC diagnostic pop
}

}  // namespace

std::string GetDiskModelText() {
  if (!IsNtPlatform()) return {};
  using Method = void (*)(DiskIdentity*);
  const Method methods[] = {ReadBySmartWithDeviceMap, ReadByScsiMiniport,
                            ReadByStorageDescriptor, ReadBySmartShared};
  for (Method method : methods) {
    DiskIdentity identity;
    method(&identity);
    if (!identity.serial.empty()) return identity.model;
  }
  return {};
}

}  // namespace kbase
