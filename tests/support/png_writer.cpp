#include "support/png_writer.h"

#include <zlib.h>

namespace kbase::test {
namespace {

void PutBigEndian(std::string* out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<char>((value >> shift) & 0xFF));
}

void PutChunk(std::string* out, const char* type, const std::string& data) {
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  std::string body(type, 4);
  body += data;
  out->append(body);
  PutBigEndian(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                                static_cast<uInt>(body.size()))));
}

}  // namespace

std::string EncodePng(int width, int height, const std::vector<uint32_t>& pixels) {
  std::string raw;
  for (int y = 0; y < height; ++y) {
    raw.push_back('\0');  // filter type 0
    for (int x = 0; x < width; ++x) {
      const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
      raw.push_back(static_cast<char>((p >> 16) & 0xFF));
      raw.push_back(static_cast<char>((p >> 8) & 0xFF));
      raw.push_back(static_cast<char>(p & 0xFF));
      raw.push_back(static_cast<char>((p >> 24) & 0xFF));
    }
  }
  uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packed_size, '\0');
  compress(reinterpret_cast<Bytef*>(&packed[0]), &packed_size, reinterpret_cast<const Bytef*>(raw.data()),
           static_cast<uLong>(raw.size()));
  packed.resize(packed_size);

  std::string png("\x89PNG\r\n\x1a\n", 8);
  std::string header;
  PutBigEndian(&header, static_cast<uint32_t>(width));
  PutBigEndian(&header, static_cast<uint32_t>(height));
  header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter, no interlace
  PutChunk(&png, "IHDR", header);
  PutChunk(&png, "IDAT", packed);
  PutChunk(&png, "IEND", std::string());
  return png;
}

std::string FramesPng(int frame_width, int height, const std::vector<uint32_t>& colours) {
  const int width = frame_width * static_cast<int>(colours.size());
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = colours[x / frame_width];
  }
  return EncodePng(width, height, pixels);
}

}  // namespace kbase::test
