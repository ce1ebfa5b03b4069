#pragma once
// Reads the resource block appended to the program's own file (layout in
// main/resource_block_layout.h): maps the file, finds the block, checks a packet's
// CRC-32 and unpacks packet 0, a 7z archive of the install_res items.
#include <windows.h>

#include <cstdint>
#include <string>

#include "common/win/scoped_handle.h"
#include "common/win/scoped_view.h"

namespace kbase {

class KResourceBlock {
 public:
  KResourceBlock() = default;
  KResourceBlock(const KResourceBlock&) = delete;
  KResourceBlock& operator=(const KResourceBlock&) = delete;

  // Maps the whole file read-only: the running program's file, or `path` when given.
  // 1 when mapped, else 0.
  int LoadImageToMem(const std::wstring& path = std::wstring());
  // 1 when TimeDateStamp of the PE header leads to the block, else 0.
  int LocateByHeader();
  // 1 when the marker trailer leads to the block, else 0.
  int LocateByMarker();
  // Data of packet `index` and its length, or null when the block is not located, the
  // index is not below the count, a packet reaches past the file or the CRC differs.
  const uint8_t* GetPacketData(size_t index, uint32_t* length) const;
  // Unpacks packet 0 below `folder` (its items carry the install_res folder). 1 when
  // unpacked, else 0; a missing packet 0 also sets the error flag.
  int Extract(const std::wstring& folder);
  // Releases the view and the mapping.
  void Unmap();

  bool error() const { return error_; }

 private:
  ScopedHandle mapping_;
  ScopedMapView view_;
  size_t size_ = 0;
  size_t position_ = 0;  // right after the magic once located; 0 before
  bool error_ = false;
};

}  // namespace kbase
