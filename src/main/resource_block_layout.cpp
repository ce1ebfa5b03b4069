#include "main/resource_block_layout.h"

#include <cstring>

#include "common/codec/crc32.h"

namespace kbase {

namespace {

// Offsets are compared in 64 bits so that no sum of a position and a length read from
// the file can wrap.
bool Fits(size_t size, uint64_t offset, uint64_t length) {
  return offset <= size && length <= size - offset;
}

uint32_t ReadU32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

void PutU32(uint32_t value, char* p) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>(value >> (8 * i));
}

void AppendU32(uint32_t value, std::string* out) {
  char bytes[4];
  PutU32(value, bytes);
  out->append(bytes, 4);
}

// The magic at `offset` gives the position after it.
bool MagicAt(const uint8_t* image, size_t size, uint64_t offset, size_t* position) {
  if (!Fits(size, offset, kBlockMagicLength)) return false;
  if (std::memcmp(image + offset, kBlockMagic, kBlockMagicLength) != 0) return false;
  *position = static_cast<size_t>(offset + kBlockMagicLength);
  return true;
}

// Offset of TimeDateStamp, or 0 when the header offset leads outside the image.
uint64_t TimeDateStampOffset(const uint8_t* image, size_t size) {
  if (!Fits(size, kPeHeaderOffsetField, 4)) return 0;
  const uint64_t field = uint64_t{ReadU32(image + kPeHeaderOffsetField)} + kPeTimeDateStampOffset;
  return Fits(size, field, 4) ? field : 0;
}

}  // namespace

bool LocateBlockByHeader(const uint8_t* image, size_t size, size_t* position) {
  const uint64_t field = TimeDateStampOffset(image, size);
  if (field == 0) return false;
  return MagicAt(image, size, ReadU32(image + field), position);
}

bool LocateBlockByMarker(const uint8_t* image, size_t size, size_t* position) {
  // A hit counts only when its whole trailer (marker, NUL, offset) lies in the file.
  constexpr size_t kTrailer = kBlockMarkerLength + 1 + 4;
  if (size < kTrailer) return false;
  const size_t first = size > kBlockMarkerSearchSpan ? size - kBlockMarkerSearchSpan : 0;
  for (size_t at = first; at + kTrailer <= size; ++at) {
    if (image[at] != kBlockMarker[0] ||
        std::memcmp(image + at, kBlockMarker, kBlockMarkerLength) != 0) {
      continue;
    }
    const uint32_t offset = ReadU32(image + at + kBlockMarkerLength + 1);
    if (offset == 0 || offset >= size) return false;
    return MagicAt(image, size, offset, position);
  }
  return false;
}

bool FindBlockPacket(const uint8_t* image, size_t size, size_t position, size_t index,
                     BlockPacket* packet) {
  if (!Fits(size, position, 2)) return false;
  const uint16_t count = ReadU16(image + position);
  if (index >= count) return false;
  uint64_t at = uint64_t{position} + 2;
  for (size_t i = 0;; ++i) {
    if (!Fits(size, at, 8)) return false;
    const uint32_t length = ReadU32(image + at);
    if (!Fits(size, at + 8, length)) return false;
    if (i == index) {
      const uint8_t* data = image + at + 8;
      if (Crc32(data, length) != ReadU32(image + at + 4)) return false;
      packet->data = data;
      packet->length = length;
      return true;
    }
    at += 8 + uint64_t{length};
  }
}

bool MakeBlock(const std::vector<std::string>& packets, std::string* block) {
  if (packets.size() > 0xFFFF) return false;
  std::string out(kBlockMagic, kBlockMagicLength);
  out.push_back(static_cast<char>(packets.size() & 0xFF));
  out.push_back(static_cast<char>(packets.size() >> 8));
  for (const std::string& data : packets) {
    if (data.size() > 0xFFFFFFFFu) return false;
    AppendU32(static_cast<uint32_t>(data.size()), &out);
    AppendU32(Crc32(data.data(), data.size()), &out);
    out += data;
  }
  *block = std::move(out);
  return true;
}

std::string MakeMarkerTrailer(uint32_t block_offset) {
  std::string trailer(kBlockMarker, kBlockMarkerLength);
  trailer.push_back('\0');
  AppendU32(block_offset, &trailer);
  return trailer;
}

const char* AttachResultText(AttachResult result) {
  switch (result) {
    case AttachResult::kOk: return "ok";
    case AttachResult::kNotMz: return "not a PE file: no MZ header";
    case AttachResult::kBadHeaderOffset: return "not a PE file: e_lfanew points outside the file";
    case AttachResult::kNotPe: return "not a PE file: no PE signature at e_lfanew";
    case AttachResult::kHasBlock: return "the file already carries a resource block";
    case AttachResult::kTooLarge: return "the file would outgrow 32-bit offsets";
  }
  return "unknown";
}

AttachResult CheckAttachable(const std::string& image) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(image.data());
  const size_t size = image.size();
  if (size < 2 || bytes[0] != 'M' || bytes[1] != 'Z') return AttachResult::kNotMz;
  if (!Fits(size, kPeHeaderOffsetField, 4)) return AttachResult::kBadHeaderOffset;
  const uint32_t pe = ReadU32(bytes + kPeHeaderOffsetField);
  // Signature and the whole file header (20 bytes) must be there.
  if (!Fits(size, pe, 4 + 20)) return AttachResult::kBadHeaderOffset;
  if (std::memcmp(bytes + pe, "PE\0\0", 4) != 0) return AttachResult::kNotPe;
  size_t existing;
  if (LocateBlockByHeader(bytes, size, &existing)) return AttachResult::kHasBlock;
  return AttachResult::kOk;
}

AttachResult AttachBlock(const std::string& block, std::string* image) {
  const AttachResult check = CheckAttachable(*image);
  if (check != AttachResult::kOk) return check;
  const size_t size = image->size();
  const auto* bytes = reinterpret_cast<const uint8_t*>(image->data());
  const uint32_t pe = ReadU32(bytes + kPeHeaderOffsetField);
  const std::string trailer = MakeMarkerTrailer(static_cast<uint32_t>(size));
  if (uint64_t{size} + block.size() + trailer.size() > 0xFFFFFFFFu) return AttachResult::kTooLarge;

  PutU32(static_cast<uint32_t>(size), &(*image)[pe + kPeTimeDateStampOffset]);
  *image += block;
  *image += trailer;
  return AttachResult::kOk;
}

}  // namespace kbase
