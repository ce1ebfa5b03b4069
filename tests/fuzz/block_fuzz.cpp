// libFuzzer target for the appended block's layout walk: the input is a whole program
// file. Whatever it holds, locating and walking must stay inside it, and a packet that
// is handed out must lie within the file and match its CRC-32.
//
// Seeds (corpus/block_fuzz): "header" is a 64-byte DOS header whose e_lfanew (0x40) leads
// to "PE\0\0" and a TimeDateStamp of 0x5C, where a block with one packet "7z" sits;
// "marker" is a block at offset 0x10 with packets "ab" and an empty one, found through
// the marker trailer at the end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "common/codec/crc32.h"
#include "main/resource_block_layout.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void Walk(const uint8_t* data, size_t size, size_t position) {
  Check(position >= kbase::kBlockMagicLength && position <= size);
  // A few more indices than a count field can make sense of in a small input.
  for (size_t index = 0; index < 8; ++index) {
    kbase::BlockPacket packet;
    if (!kbase::FindBlockPacket(data, size, position, index, &packet)) continue;
    Check(packet.data >= data + position && packet.data + packet.length <= data + size);
    Check(kbase::Crc32(packet.data, packet.length) ==
          static_cast<uint32_t>(packet.data[-4] | packet.data[-3] << 8 | packet.data[-2] << 16 |
                                static_cast<uint32_t>(packet.data[-1]) << 24));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t position = 0;
  if (kbase::LocateBlockByHeader(data, size, &position)) Walk(data, size, position);
  if (kbase::LocateBlockByMarker(data, size, &position)) Walk(data, size, position);
  return 0;
}
