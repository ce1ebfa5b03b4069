#pragma once
// A minimal PNG encoder for test images: 8-bit RGBA, no filtering, one IDAT chunk.
#include <cstdint>
#include <string>
#include <vector>

namespace kbase::test {

// Pixels are 0xAARRGGBB, row by row from the top.
std::string EncodePng(int width, int height, const std::vector<uint32_t>& pixels);

// An image of `frames` equal-width frames, frame i filled with colours[i].
std::string FramesPng(int frame_width, int height, const std::vector<uint32_t>& colours);

}  // namespace kbase::test
