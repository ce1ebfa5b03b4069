#pragma once
// The one platform seam of the telemetry codec: texts go on the wire in the system's
// ANSI code page. Windows converts with the code page; other builds (tests, tools) keep
// ASCII and turn every other character into '?'.
#include <string>

namespace KDirectVestat {

std::string ReportTextToAnsi(const std::wstring& text);
std::wstring ReportTextFromAnsi(const std::string& text);

}  // namespace KDirectVestat
