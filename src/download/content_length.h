#pragma once
#include <cstdint>
#include <string>

namespace kbase {

// Reads Content-Length from a reply's header text: lines split at CR and LF (empty ones
// skipped), each split at its first ':' with both parts non-empty; the first line named
// "content-length" in any case wins; its value, trimmed of white space, is read as a
// decimal number (clamped to 32 bits). False when no line has that name.
bool ParseContentLength(const std::wstring& headers, int32_t* length);

}  // namespace kbase
