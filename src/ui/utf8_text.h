#pragma once
// UTF-8 to wide text and back without the Win32 code page functions, so that the
// element tree builds everywhere. Wide text is UTF-16 where wchar_t has 16 bits, else
// one code point per character. Malformed sequences become U+FFFD.
#include <string>

namespace kbase {

std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);

}  // namespace kbase
