#pragma once
// Package paths recorded between runs: "PacketPath_<company>_<tryno>_<entry>" under the
// installer's records key, which is opened but never created.
#include <cstdint>
#include <string>

namespace kbase {

std::wstring ReadPackagePath(int32_t company_id, int32_t tryno_id, int entry_number);
// False when the key does not exist or the value cannot be written.
bool RecordPackagePath(int32_t company_id, int32_t tryno_id, int entry_number,
                       const std::wstring& path);

}  // namespace kbase
