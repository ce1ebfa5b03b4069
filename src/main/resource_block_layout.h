#pragma once
// The resource block appended to the installer's file, as bytes: finding it, walking its
// packets, and (for the block tool and tests) writing it.
//
//   block   = magic count packet{count}
//   magic   = "zzd."
//   count   = u16                          number of packets
//   packet  = length:u32 crc:u32 data      data is `length` bytes; crc is zlib's CRC-32
//   trailer = marker NUL offset:u32        within the file's last 102400 bytes
//   marker  = "{9B8A9862-3FE6-452e-A096-31E845BF839B}"
//
// Integers are little-endian. The block's file offset is kept in the PE file header's
// TimeDateStamp (e_lfanew + 8); the trailer is the second way to find it. Packet 0 is
// the 7z archive of the install_res items.
//
// Nothing here trusts the bytes: every read is checked against the image size first.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kbase {

inline constexpr char kBlockMagic[] = "zzd.";
inline constexpr size_t kBlockMagicLength = 4;
inline constexpr char kBlockMarker[] = "{9B8A9862-3FE6-452e-A096-31E845BF839B}";
inline constexpr size_t kBlockMarkerLength = 38;
// The marker is searched for only this far from the end of the file.
inline constexpr size_t kBlockMarkerSearchSpan = 102400;
// Offset of e_lfanew in the DOS header, and of TimeDateStamp after it.
inline constexpr size_t kPeHeaderOffsetField = 0x3C;
inline constexpr size_t kPeTimeDateStampOffset = 8;

// Both locate functions give the position right after the block's magic.

// Through the offset kept in the PE header's TimeDateStamp.
bool LocateBlockByHeader(const uint8_t* image, size_t size, size_t* position);
// Through the marker trailer; the first marker in the search span counts.
bool LocateBlockByMarker(const uint8_t* image, size_t size, size_t* position);

struct BlockPacket {
  const uint8_t* data = nullptr;
  uint32_t length = 0;
};

// Packet `index` of the block whose magic ends at `position`, when the count, every
// packet up to it and its CRC-32 check out.
bool FindBlockPacket(const uint8_t* image, size_t size, size_t position, size_t index,
                     BlockPacket* packet);

// The block's bytes; false when there are more than 65535 packets or one is 4 GiB or more.
bool MakeBlock(const std::vector<std::string>& packets, std::string* block);

// Marker, NUL and the block's offset.
std::string MakeMarkerTrailer(uint32_t block_offset);

enum class AttachResult {
  kOk,
  kNotMz,            // no "MZ" at the start
  kBadHeaderOffset,  // e_lfanew points outside the file
  kNotPe,            // no "PE\0\0" at e_lfanew
  kHasBlock,         // the header already leads to a block
  kTooLarge,         // the result would not fit 32-bit offsets
};
const char* AttachResultText(AttachResult result);

// Whether a block can be appended to `image` (kTooLarge is judged by AttachBlock).
AttachResult CheckAttachable(const std::string& image);

// Appends `block` and the trailer to a PE image and keeps the block's offset in
// TimeDateStamp. The image is changed only on kOk.
AttachResult AttachBlock(const std::string& block, std::string* image);

}  // namespace kbase
