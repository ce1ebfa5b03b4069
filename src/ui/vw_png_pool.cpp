#include "ui/vw_png_pool.h"

#include <cwchar>

#include "ui/vw_dpi_ratio.h"
#include "ui/vw_dpi_settings.h"
#include "ui/vw_resource_loader.h"

namespace kbase {
namespace {

std::wstring ProgramPath() {
  wchar_t path[MAX_PATH * 2] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  return length > 0 && length < MAX_PATH * 2 ? std::wstring(path, length) : std::wstring();
}

SharedGpImage DecodeResource(const wchar_t* type, int number) {
  std::string bytes;
  if (!VwResourceLoader::Instance().LoadResourceData(type, number, true, &bytes)) return nullptr;
  return ShareImage(DecodeImageBytes(bytes));
}

}  // namespace

SharedGpImage ShareImage(ScopedGpImage image) {
  if (image == nullptr) return nullptr;
  return SharedGpImage(image.release(), GpImageDeleter());
}

VwPngPool& VwPngPool::Instance() {
  static VwPngPool pool;
  return pool;
}

VwPngPool::VwPngPool() {
  const std::wstring program = ProgramPath();
  const size_t slash = program.find_last_of(L"\\/");
  std::wstring name = slash == std::wstring::npos ? program : program.substr(slash + 1);
  const size_t dot = name.find_last_of(L'.');
  if (dot != std::wstring::npos) name.resize(dot);
  dpi_folder_ = (slash == std::wstring::npos ? std::wstring() : program.substr(0, slash)) + L"\\ressrc\\chs\\dpiimg";
  program_name_ = name;
}

void VwPngPool::SetDpiImageSource(const std::wstring& dpi_folder, const std::wstring& program_name,
                                  VwDpiSettings* settings) {
  dpi_folder_ = dpi_folder;
  program_name_ = program_name;
  settings_ = settings;
  dpi_images_.clear();
  dpi_ratios_.clear();
}

SharedGpImage VwPngPool::Image(int number) {
  auto found = images_.find(number);
  if (found != images_.end()) return found->second;
  SharedGpImage image = DecodeResource(L"png", number);
  if (image != nullptr) images_[number] = image;
  return image;
}

std::wstring VwPngPool::DpiImagePath(int number, double ratio) const {
  wchar_t tail[MAX_PATH];
  std::swprintf(tail, MAX_PATH, L"\\%.1f\\%ls\\%d_%.1f.%ls", ratio, program_name_.c_str(), number, ratio, L"png");
  return dpi_folder_ + tail;
}

SharedGpImage VwPngPool::DpiImage(int number, double* ratio) {
  auto found = dpi_images_.find(number);
  if (found != dpi_images_.end()) {
    *ratio = dpi_ratios_[number];
    return found->second;
  }
  VwDpiSettings& settings = settings_ != nullptr ? *settings_ : VwDpiSettings::Instance();
  const double current = settings.DpiRatio();
  if (SameRatio(current, 1.0)) return nullptr;

  double chosen = 0.0;
  if (::GetFileAttributesW(DpiImagePath(number, current).c_str()) != INVALID_FILE_ATTRIBUTES) {
    chosen = current;
  } else {
    chosen = ChooseFallbackImageRatio(current, settings.SupportedRatios(), [&](double s) {
      return ::GetFileAttributesW(DpiImagePath(number, s).c_str()) != INVALID_FILE_ATTRIBUTES;
    });
  }
  if (chosen == 0.0) return nullptr;
  std::string bytes;
  if (!ReadSmallFile(DpiImagePath(number, chosen), VwResourceLoader::kMaxResourceBytes, &bytes)) return nullptr;
  SharedGpImage image = ShareImage(DecodeImageBytes(bytes));
  if (image == nullptr) return nullptr;
  dpi_images_[number] = image;
  dpi_ratios_[number] = chosen;
  *ratio = chosen;
  return image;
}

void VwPngPool::Clear() {
  images_.clear();
  dpi_images_.clear();
  dpi_ratios_.clear();
}

VwJpgPool& VwJpgPool::Instance() {
  static VwJpgPool pool;
  return pool;
}

SharedGpImage VwJpgPool::Image(int number) {
  auto found = images_.find(number);
  if (found != images_.end()) return found->second;
  SharedGpImage image = DecodeResource(L"jpg", number);
  if (image != nullptr) images_[number] = image;
  return image;
}

VwBmpPool& VwBmpPool::Instance() {
  static VwBmpPool pool;
  return pool;
}

VwBmpPool::~VwBmpPool() { Clear(); }

void VwBmpPool::Clear() {
  for (auto& entry : bitmaps_) ::DeleteObject(entry.second);
  bitmaps_.clear();
}

HBITMAP VwBmpPool::Bitmap(int number) {
  auto found = bitmaps_.find(number);
  if (found != bitmaps_.end()) return found->second;
  if (number <= 0 || number > 0xFFFF) return nullptr;
  HBITMAP bitmap = nullptr;
  // The provider has no bitmap form here; modules, then the folder's file.
  for (HMODULE module : {VwResourceLoader::Instance().resource_module(), ::GetModuleHandleW(nullptr)}) {
    if (bitmap != nullptr) break;
    if (module != nullptr) bitmap = static_cast<HBITMAP>(::LoadImageW(module, MAKEINTRESOURCEW(number), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  }
  const std::wstring& folder = VwResourceLoader::Instance().resource_folder();
  if (bitmap == nullptr && !folder.empty()) {
    wchar_t name[64];
    std::swprintf(name, 64, L"\\%d.bmp", number);
    bitmap = static_cast<HBITMAP>(
        ::LoadImageW(nullptr, (folder + name).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  }
  if (bitmap != nullptr) bitmaps_[number] = bitmap;
  return bitmap;
}

}  // namespace kbase
