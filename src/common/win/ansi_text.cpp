#include "common/win/ansi_text.h"

#include <windows.h>

namespace kbase {

namespace {

std::string FromWide(UINT code_page, const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string out(size, '\0');
  WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), &out[0], size,
                      nullptr, nullptr);
  return out;
}

}  // namespace

std::string ToAnsi(const std::wstring& text) { return FromWide(CP_ACP, text); }

std::string ToUtf8(const std::wstring& text) { return FromWide(CP_UTF8, text); }

namespace {

std::wstring ToWide(UINT code_page, const std::string& text) {
  if (text.empty()) return {};
  const int size =
      MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (size <= 0) return {};
  std::wstring out(size, L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), &out[0], size);
  return out;
}

}  // namespace

std::wstring FromAnsi(const std::string& text) { return ToWide(CP_ACP, text); }

std::wstring FromUtf8(const std::string& text) { return ToWide(CP_UTF8, text); }

}  // namespace kbase
