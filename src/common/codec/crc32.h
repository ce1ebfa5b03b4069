#pragma once
#include <cstddef>
#include <cstdint>

namespace kbase {

// CRC-32 in the IEEE 802.3 form zlib computes. Pass a previous result as `crc` to
// continue over data that arrives in pieces; start from 0.
uint32_t Crc32(const void* data, size_t size, uint32_t crc = 0);

}  // namespace kbase
