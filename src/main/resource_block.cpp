#include "main/resource_block.h"

#include <vector>

#include "download/seven_zip_extract.h"
#include "main/install_log.h"
#include "main/resource_block_layout.h"

namespace kbase {

namespace {

std::wstring ThisProgramPath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::wstring();
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

int KResourceBlock::LoadImageToMem(const std::wstring& path) {
  Unmap();
  const std::wstring file_path = path.empty() ? ThisProgramPath() : path;
  ScopedHandle file(CreateFileW(file_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    KLog("LoadImageToMem CreateFile error:%d, path:%ws", static_cast<int>(GetLastError()),
         file_path.c_str());
    return 0;
  }
  LARGE_INTEGER size = {};
  GetFileSizeEx(file.get(), &size);
  ScopedHandle mapping(CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, size.HighPart,
                                          size.LowPart, nullptr));
  if (!mapping.valid()) {
    KLog("CreateFileByMem CreateFileMapping error:%d, path:%ws", static_cast<int>(GetLastError()),
         file_path.c_str());
    return 0;
  }
  ScopedMapView view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
  if (!view.valid()) {
    KLog("CreateFileByMem MapViewOfFile error:%d, path:%ws", static_cast<int>(GetLastError()),
         file_path.c_str());
    return 0;
  }
  mapping_ = std::move(mapping);
  view_ = std::move(view);
  size_ = static_cast<size_t>(size.QuadPart);
  return 1;
}

int KResourceBlock::LocateByHeader() {
  if (!view_.valid()) return 0;
  return LocateBlockByHeader(static_cast<const uint8_t*>(view_.get()), size_, &position_) ? 1 : 0;
}

int KResourceBlock::LocateByMarker() {
  if (!view_.valid()) return 0;
  return LocateBlockByMarker(static_cast<const uint8_t*>(view_.get()), size_, &position_) ? 1 : 0;
}

const uint8_t* KResourceBlock::GetPacketData(size_t index, uint32_t* length) const {
  if (!view_.valid() || position_ == 0) return nullptr;
  BlockPacket packet;
  if (!FindBlockPacket(static_cast<const uint8_t*>(view_.get()), size_, position_, index,
                       &packet)) {
    return nullptr;
  }
  if (length != nullptr) *length = packet.length;
  return packet.data;
}

int KResourceBlock::Extract(const std::wstring& folder) {
  KLog("GetPacketData %d", 0);
  uint32_t length = 0;
  const uint8_t* data = GetPacketData(0, &length);
  KLog("GetPacketData return:%d", data != nullptr ? 1 : 0);
  if (data == nullptr) {
    error_ = true;
    return 0;
  }
  Scoped7zExtract extract = C7zExtractImpl::Create();
  KLog("Extract...");
  const bool unpacked = extract->ExtractToFolder(data, length, folder.c_str()) == S_OK;
  KLog("Extract return:%d", unpacked ? 1 : 0);
  return unpacked ? 1 : 0;
}

void KResourceBlock::Unmap() {
  view_.Reset();
  mapping_.Reset();
  size_ = 0;
  position_ = 0;
}

}  // namespace kbase
