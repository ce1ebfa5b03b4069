#include "common/codec/crc32.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace kbase {

uint32_t Crc32(const void* data, size_t size, uint32_t crc) {
  // zlib takes a uInt length; feed larger buffers in slices.
  const Bytef* p = static_cast<const Bytef*>(data);
  uLong value = crc;
  while (size > 0) {
    const uInt slice = static_cast<uInt>(std::min<size_t>(size, UINT_MAX));
    value = crc32(value, p, slice);
    p += slice;
    size -= slice;
  }
  return static_cast<uint32_t>(value);
}

}  // namespace kbase
