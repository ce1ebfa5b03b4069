#include "dialogs/self_update_rules.h"

namespace kbase {
namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix) {
  size_t i = 0;
  for (; prefix[i] != '\0'; ++i) {
    if (i >= text.size()) return false;
    const char c = text[i];
    const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower != prefix[i]) return false;
  }
  return true;
}

}  // namespace

std::string UpdateInformationUrl(const std::string& host) {
  std::string base = host;
  while (!base.empty() && base.back() == '/') base.pop_back();
  if (base.empty()) return {};
  if (!StartsWithNoCase(base, "http://") && !StartsWithNoCase(base, "https://")) {
    base = "http://" + base;
  }
  return base + kUpdateInformationPath;
}

std::wstring BackupProgramName(const std::wstring& program_name) {
  const size_t dot = program_name.find_last_of(L'.');
  if (dot == std::wstring::npos) return {};
  return program_name.substr(0, dot) + L".bak" + program_name.substr(dot);
}

std::wstring PathFileName(const std::wstring& path) {
  const size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

}  // namespace kbase
