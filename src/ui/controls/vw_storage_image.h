#pragma once
// "storageimage": an image file ("filepath"; a relative path counts from the current
// folder) decoded at every paint and stretched into the rectangle, or with "subwidth" and
// at least two frames frame ("sub" mod frames). Its natural size is the frame's size.
// "storageimageex": the same at constant "alpha".
// "memimage": an image object of the program, named by its address ("mempointer"); only
// images the program registered as drawable (vw_memory_images.h) are drawn, so a layout
// cannot make the program read an arbitrary address.
#include <cstdint>
#include <string>

#include "ui/vw_window.h"

namespace kbase {

class CVwStorageImage : public CVwWindow {
 public:
  static constexpr const char* kTag = "storageimage";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;

  const std::wstring& path() const { return path_; }

 protected:
  int alpha_ = 255;

 private:
  std::wstring path_;
  int subwidth_ = 0;
  int sub_ = 0;
};

class CVwStorageImageEx : public CVwStorageImage {
 public:
  static constexpr const char* kTag = "storageimageex";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
};

class CVwMemoryImage : public CVwWindow {
 public:
  static constexpr const char* kTag = "memimage";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;

 private:
  uintptr_t image_ = 0;
};

}  // namespace kbase
