#pragma once
// Conversions between wide text and the system's ANSI code page, for URLs, log lines
// and telemetry texts. Characters outside the code page become the code page's
// default character.
#include <string>

namespace kbase {

std::string ToAnsi(const std::wstring& text);
std::wstring FromAnsi(const std::string& text);

// UTF-8, for documents and text meant for people.
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

}  // namespace kbase
