#pragma once
// A byte buffer that grows by whole steps: an append that does not fit moves the bytes to
// a new buffer of the old capacity plus the appended size plus one more step, so a block
// of small fields reallocates rarely.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace KDirectVestat {

class GrowableBuffer {
 public:
  static constexpr size_t kStep = 1024;

  GrowableBuffer();
  GrowableBuffer(const GrowableBuffer&) = delete;
  GrowableBuffer& operator=(const GrowableBuffer&) = delete;

  void Append(const void* data, size_t size);
  void Clear() { size_ = 0; }

  const uint8_t* data() const { return bytes_.get(); }
  size_t size() const { return size_; }
  size_t capacity() const { return capacity_; }

 private:
  std::unique_ptr<uint8_t[]> bytes_;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

}  // namespace KDirectVestat
