// The appended block's byte layout: both ways of finding it, the packet walk with its
// bounds and CRC checks, and the writer the block tool uses.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "main/resource_block_layout.h"

namespace kbase {
namespace {

constexpr size_t kPeAt = 0x80;

void PutU32(std::string* s, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*s)[at + i] = static_cast<char>(value >> (8 * i));
}

// A file that passes for a PE image: "MZ", e_lfanew, "PE\0\0", a zero file header.
std::string FakePe(size_t size) {
  std::string image(size, '\0');
  for (size_t i = 0; i < size; ++i) image[i] = static_cast<char>('a' + i % 26);
  image[0] = 'M';
  image[1] = 'Z';
  PutU32(&image, kPeHeaderOffsetField, kPeAt);
  std::memcpy(&image[kPeAt], "PE\0\0", 4);
  std::memset(&image[kPeAt + 4], 0, 20);
  return image;
}

std::string Block(const std::vector<std::string>& packets) {
  std::string block;
  EXPECT_TRUE(MakeBlock(packets, &block));
  return block;
}

std::string Attached(size_t pe_size, const std::vector<std::string>& packets) {
  std::string image = FakePe(pe_size);
  EXPECT_EQ(AttachBlock(Block(packets), &image), AttachResult::kOk);
  return image;
}

std::string WithoutHeaderField(std::string image) {
  PutU32(&image, kPeAt + kPeTimeDateStampOffset, 0);
  return image;
}

// Filler, then a block at `block_at`, then the trailer, then `tail` filler bytes.
std::string MarkerOnly(size_t block_at, const std::string& block, size_t tail,
                       uint32_t trailer_offset) {
  std::string image(block_at, '.');
  image += block;
  image += MakeMarkerTrailer(trailer_offset);
  image += std::string(tail, '.');
  return image;
}

std::string MarkerOnly(size_t block_at, const std::string& block, size_t tail) {
  return MarkerOnly(block_at, block, tail, static_cast<uint32_t>(block_at));
}

TEST(ResourceBlockLayout, LocateAndWalk) {
  const std::string archive = "7z archive bytes";
  const std::string one = Block({archive});
  std::string flipped = Attached(4096, {archive});
  flipped[4096 + 4 + 2 + 8 + 3] ^= 0x01;  // inside packet 0's data
  std::string past_end = Attached(4096, {archive});
  PutU32(&past_end, 4096 + 6, 0x7FFFFFF0);  // packet 0's length
  std::string header_past_end = FakePe(4096);
  PutU32(&header_past_end, kPeAt + kPeTimeDateStampOffset, 4094);  // magic cannot fit
  std::string lfanew_past_end = FakePe(4096);
  PutU32(&lfanew_past_end, kPeHeaderOffsetField, 0xFFFFFFF8);
  // Two trailers: the first one found decides, even when it leads nowhere.
  std::string first_marker_bad = MarkerOnly(1000, one, 0, 3);
  first_marker_bad += MakeMarkerTrailer(1000);
  // The marker is whole but its offset is cut off by the end of the file.
  const std::string cut_trailer =
      (std::string(50, '.') + one + MakeMarkerTrailer(50)).substr(0, 50 + one.size() + 41);
  const auto end_of_small = static_cast<uint32_t>(10 + one.size() + 43);
  const size_t kSpan = kBlockMarkerSearchSpan;
  const char* kData = "7z archive bytes";

  const struct {
    const char* name;
    std::string image;
    bool by_header, by_marker;
    size_t index;
    const char* packet;  // nullptr: no packet
  } kCases[] = {
      {"header field finds the block", Attached(300000, {archive}), true, true, 0, kData},
      {"header 0, marker in the last 100 KB", WithoutHeaderField(Attached(300000, {archive})),
       false, true, 0, kData},
      {"trailer starts exactly 102400 bytes from the end", MarkerOnly(200000, one, kSpan - 43),
       false, true, 0, kData},
      {"trailer one byte before the search span", MarkerOnly(200000, one, kSpan - 43 + 1),
       false, false, 0, nullptr},
      {"small file searched from byte 0", MakeMarkerTrailer(43) + one, false, true, 0, kData},
      {"trailer cut short at the end", cut_trailer, false, false, 0, nullptr},
      {"marker offset 0", MarkerOnly(10, one, 0, 0), false, false, 0, nullptr},
      {"marker offset at the file size", MarkerOnly(10, one, 0, end_of_small), false, false, 0,
       nullptr},
      {"marker offset leaves no room for the magic", MarkerOnly(10, one, 2, end_of_small), false,
       false, 0, nullptr},
      {"marker offset not at a magic", MarkerOnly(10, one, 0, 11), false, false, 0, nullptr},
      {"first marker decides", first_marker_bad, false, false, 0, nullptr},
      {"header offset leaves no room for the magic", header_past_end, false, false, 0, nullptr},
      {"e_lfanew past the end", lfanew_past_end, false, false, 0, nullptr},
      {"tiny file", "MZ", false, false, 0, nullptr},
      {"count 0", Attached(4096, {}), true, true, 0, nullptr},
      {"packet past the end", past_end, true, true, 0, nullptr},
      {"flipped data byte fails the CRC", flipped, true, true, 0, nullptr},
      {"second packet", Attached(4096, {"first", "second"}), true, true, 1, "second"},
      {"index beyond count", Attached(4096, {"first", "second"}), true, true, 2, nullptr},
      {"empty packet", Attached(4096, {""}), true, true, 0, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const auto* image = reinterpret_cast<const uint8_t*>(c.image.data());
    size_t by_header = 0, by_marker = 0;
    EXPECT_EQ(LocateBlockByHeader(image, c.image.size(), &by_header), c.by_header);
    EXPECT_EQ(LocateBlockByMarker(image, c.image.size(), &by_marker), c.by_marker);
    if (c.by_header && c.by_marker) {
      EXPECT_EQ(by_header, by_marker);
    }
    if (!c.by_header && !c.by_marker) continue;
    const size_t position = c.by_header ? by_header : by_marker;
    EXPECT_EQ(std::string(c.image, position - 4, 4), "zzd.");
    BlockPacket packet;
    ASSERT_EQ(FindBlockPacket(image, c.image.size(), position, c.index, &packet),
              c.packet != nullptr);
    if (c.packet != nullptr) {
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(packet.data), packet.length), c.packet);
    }
  }
}

TEST(ResourceBlockLayout, TruncatedBlocksYieldNoPacket) {
  // Every cut of a two-packet block short of its end must fail for the cut packet.
  const std::string block = Block({"abc", "defgh"});
  for (size_t cut = 4; cut < block.size(); ++cut) {
    const std::string image = block.substr(0, cut);
    const auto* bytes = reinterpret_cast<const uint8_t*>(image.data());
    BlockPacket packet;
    const bool first_whole = cut >= 4 + 2 + 8 + 3;
    EXPECT_EQ(FindBlockPacket(bytes, image.size(), 4, 0, &packet), first_whole) << cut;
    EXPECT_FALSE(FindBlockPacket(bytes, image.size(), 4, 1, &packet)) << cut;
  }
}

TEST(ResourceBlockLayout, AttachWritesOffsetBlockAndTrailer) {
  const std::string pe = FakePe(1000);
  std::string image = pe;
  const std::string block = Block({"payload"});
  ASSERT_EQ(AttachBlock(block, &image), AttachResult::kOk);
  ASSERT_EQ(image.size(), 1000 + block.size() + 43);
  EXPECT_EQ(image.substr(1000, block.size()), block);
  EXPECT_EQ(image.substr(1000 + block.size()), MakeMarkerTrailer(1000));
  EXPECT_EQ(image.substr(kPeAt + kPeTimeDateStampOffset, 4), std::string("\xE8\x03\0\0", 4));
  // Apart from TimeDateStamp the image is untouched.
  std::string head = image.substr(0, 1000);
  PutU32(&head, kPeAt + kPeTimeDateStampOffset, 0);
  EXPECT_EQ(head, pe);
  EXPECT_EQ(MakeMarkerTrailer(0x01020304).substr(38),
            std::string("\0\x04\x03\x02\x01", 5));
}

TEST(ResourceBlockLayout, AttachRefusesWhatIsNotAPlainPe) {
  std::string no_signature = FakePe(1000);
  no_signature[kPeAt + 1] = 'X';
  std::string lfanew_outside = FakePe(1000);
  PutU32(&lfanew_outside, kPeHeaderOffsetField, 1000 - 20);  // file header cut off
  const struct {
    const char* name;
    std::string image;
    AttachResult result;
  } kCases[] = {
      {"empty", "", AttachResult::kNotMz},
      {"text", std::string(1000, 'x'), AttachResult::kNotMz},
      {"MZ only", "MZ", AttachResult::kBadHeaderOffset},
      {"e_lfanew outside", lfanew_outside, AttachResult::kBadHeaderOffset},
      {"no PE signature", no_signature, AttachResult::kNotPe},
      {"block already there", Attached(1000, {"x"}), AttachResult::kHasBlock},
  };
  for (const auto& c : kCases) {
    std::string image = c.image;
    EXPECT_EQ(AttachBlock(Block({"y"}), &image), c.result) << c.name;
    EXPECT_EQ(image, c.image) << c.name;
  }
}

}  // namespace
}  // namespace kbase
