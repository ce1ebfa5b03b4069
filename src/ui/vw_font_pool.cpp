#include "ui/vw_font_pool.h"

#include "common/win/scoped_handle.h"
#include "ui/vw_attribute_text.h"
#include "ui/vw_dpi_ratio.h"
#include "ui/vw_dpi_settings.h"

namespace kbase {
namespace {

constexpr wchar_t kFontsKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr wchar_t kYaheiChinese[] = L"\x5FAE\x8F6F\x96C5\x9ED1";  // 微软雅黑
constexpr wchar_t kYahei[] = L"Microsoft YaHei";
constexpr wchar_t kSimsunChinese[] = L"\x5B8B\x4F53";  // 宋体
constexpr wchar_t kSimsun[] = L"SimSun";

bool HasValue(HKEY key, const wchar_t* name) {
  wchar_t data[260] = {};
  DWORD size = sizeof(data), type = 0;
  const LONG result = ::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  return result == ERROR_SUCCESS || result == ERROR_MORE_DATA;
}

}  // namespace

VwFontPool& VwFontPool::Instance() {
  static VwFontPool pool;
  return pool;
}

std::wstring VwFontPool::ChooseBaseFace(const std::wstring& fonts_key_path) {
  ScopedKey key;
  const std::wstring path = fonts_key_path.empty() ? kFontsKey : fonts_key_path;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.receive()) != ERROR_SUCCESS)
    return kSimsunChinese;
  if (HasValue(key.get(), L"\x5FAE\x8F6F\x96C5\x9ED1 (TrueType)")) return kYaheiChinese;
  if (HasValue(key.get(), L"Microsoft YaHei (TrueType)") ||
      HasValue(key.get(), L"Microsoft YaHei (TrueType) & Microsoft YaHei UI (TrueType)") ||
      HasValue(key.get(), L"Microsoft YaHei & Microsoft YaHei UI (TrueType)"))
    return kYahei;
  if (HasValue(key.get(), L"\x5B8B\x4F53 & \x65B0\x5B8B\x4F53 (TrueType)")) return kSimsunChinese;
  if (HasValue(key.get(), L"SimSun & NSimSun (TrueType)")) return kSimsun;
  return kSimsunChinese;
}

VwFontPool::VwFontPool() : base_face_(ChooseBaseFace()) {
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(base_logfont_), &base_logfont_);
  base_logfont_.lfHeight = base_height_;
  base_logfont_.lfWidth = 0;
  lstrcpynW(base_logfont_.lfFaceName, base_face_.c_str(), LF_FACESIZE);
  base_logfont_.lfQuality = IsYaheiFace() ? CLEARTYPE_QUALITY : ANTIALIASED_QUALITY;
}

VwFontPool::~VwFontPool() {
  if (private_fonts_ != nullptr) gp::GdipDeletePrivateFontCollection(&private_fonts_);
}

bool VwFontPool::IsYaheiFace() const { return base_face_ == kYaheiChinese || base_face_ == kYahei; }

int VwFontPool::BaseHeightFor(bool dpi) const {
  VwDpiSettings& settings = VwDpiSettings::Instance();
  return dpi && settings.IsDpiAware() ? ScaleByRatio(base_height_, settings.DpiRatio()) : base_height_;
}

LOGFONTW VwFontPool::LogFontFor(uint16_t font_id, bool dpi) const {
  LOGFONTW font = base_logfont_;
  font.lfWeight = FontIdBold(font_id) ? FW_BOLD : FW_NORMAL;
  font.lfUnderline = FontIdUnderline(font_id) ? TRUE : FALSE;
  font.lfItalic = FontIdItalic(font_id) ? TRUE : FALSE;
  font.lfHeight = FontIdHeight(font_id, base_height_);
  VwDpiSettings& settings = VwDpiSettings::Instance();
  if (dpi && settings.IsDpiAware()) font.lfHeight = ScaleByRatio(font.lfHeight, settings.DpiRatio());
  return font;
}

HFONT VwFontPool::Font(uint16_t font_id, bool dpi) {
  const uint32_t key = font_id | (dpi ? 0x80000000u : 0u);
  auto found = fonts_.find(key);
  if (found != fonts_.end()) return found->second.get();
  const LOGFONTW font = LogFontFor(font_id, dpi);
  ScopedFont made(::CreateFontIndirectW(&font));
  if (!made.valid()) return nullptr;
  HFONT handle = made.get();
  fonts_.emplace(key, std::move(made));
  return handle;
}

Gdiplus::GpFontCollection* VwFontPool::PrivateFonts() {
  if (private_fonts_tried_) return private_fonts_;
  private_fonts_tried_ = true;
  if (!EnsureGdiplus()) return nullptr;
  const wchar_t* file = nullptr;
  if (base_face_ == kYaheiChinese || base_face_ == kYahei) file = L"msyh.ttf";
  else if (base_face_ == kSimsunChinese) file = L"simsun.ttc";
  else if (base_face_ == kSimsun) file = L"SimSun.ttc";
  if (file == nullptr) return nullptr;
  wchar_t windows[MAX_PATH] = {};
  const UINT length = ::GetWindowsDirectoryW(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::wstring path(windows, length);
  if (path.back() != L'\\') path += L'\\';
  path += L"fonts\\";
  path += file;
  if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return nullptr;
  if (gp::GdipNewPrivateFontCollection(&private_fonts_) != Gdiplus::Ok) {
    private_fonts_ = nullptr;
    return nullptr;
  }
  gp::GdipPrivateAddFontFile(private_fonts_, path.c_str());
  return private_fonts_;
}

}  // namespace kbase
