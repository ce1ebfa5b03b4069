#include "report/growable_buffer.h"

#include <cstring>

namespace KDirectVestat {

GrowableBuffer::GrowableBuffer() : bytes_(new uint8_t[kStep]), capacity_(kStep) {}

void GrowableBuffer::Append(const void* data, size_t size) {
  if (size == 0) return;
  if (capacity_ - size_ < size) {
    const size_t capacity = capacity_ + size + kStep;
    std::unique_ptr<uint8_t[]> moved(new uint8_t[capacity]);
    std::memcpy(moved.get(), bytes_.get(), size_);
    bytes_ = std::move(moved);
    capacity_ = capacity;
  }
  std::memcpy(bytes_.get() + size_, data, size);
  size_ += size;
}

}  // namespace KDirectVestat
