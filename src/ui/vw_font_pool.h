#pragma once
// GDI fonts for font ids: the base face chosen from the installed fonts, the base
// LOGFONT, and fonts per (id, DPI flag) made once and kept for the process. GDI+ text
// takes its family from a private collection loaded from the face's font file.
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

#include "ui/gdi_owner.h"
#include "ui/gdiplus_image.h"

namespace kbase {

class VwFontPool {
 public:
  static VwFontPool& Instance();
  ~VwFontPool();

  // The face from the Fonts key's value names (YaHei, then SimSun), default "宋体".
  static std::wstring ChooseBaseFace(const std::wstring& fonts_key_path = std::wstring());

  const std::wstring& base_face() const { return base_face_; }
  int base_height() const { return base_height_; }
  const LOGFONTW& base_logfont() const { return base_logfont_; }
  bool IsYaheiFace() const;

  // The LOGFONT of an id: weight, underline and italic from the low bits, height from the
  // signed high byte, multiplied by the DPI ratio when `dpi` is set (and awareness on).
  LOGFONTW LogFontFor(uint16_t font_id, bool dpi) const;
  // The cached font for (id, DPI flag); null when GDI cannot make it.
  HFONT Font(uint16_t font_id, bool dpi);
  // The base height as text of the DPI flag sees it (for the YaHei nudge).
  int BaseHeightFor(bool dpi) const;

  // A private collection holding the face's font file; null when the file is missing.
  Gdiplus::GpFontCollection* PrivateFonts();

 private:
  VwFontPool();
  std::wstring base_face_;
  int base_height_ = -12;
  LOGFONTW base_logfont_{};
  std::map<uint32_t, ScopedFont> fonts_;
  Gdiplus::GpFontCollection* private_fonts_ = nullptr;
  bool private_fonts_tried_ = false;
};

}  // namespace kbase
