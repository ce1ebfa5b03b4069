#include "report/report_ansi.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace KDirectVestat {

#ifdef _WIN32

std::string ReportTextToAnsi(const std::wstring& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr,
                                       nullptr);
  if (size <= 0) return {};
  std::string out(size, '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), length, &out[0], size, nullptr, nullptr);
  return out;
}

std::wstring ReportTextFromAnsi(const std::string& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (size <= 0) return {};
  std::wstring out(size, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), length, &out[0], size);
  return out;
}

#else

std::string ReportTextToAnsi(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) out += (c >= 0 && c < 0x80) ? static_cast<char>(c) : '?';
  return out;
}

std::wstring ReportTextFromAnsi(const std::string& text) {
  std::wstring out;
  out.reserve(text.size());
  for (char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    out += byte < 0x80 ? static_cast<wchar_t>(byte) : L'?';
  }
  return out;
}

#endif

}  // namespace KDirectVestat
