#include "main/channel_identity.h"

#include <cstdint>
#include <limits>

#include "main/command_line.h"

namespace kbase {

namespace {

bool IsWhiteSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

// Leading white space, an optional sign and digits, clamped to 32 bits like the C
// library's conversion.
int32_t ReadLeadingNumber(const std::wstring& text, size_t at) {
  while (at < text.size() && IsWhiteSpace(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == L'+' || text[at] == L'-')) negative = text[at++] == L'-';
  int64_t value = 0;
  for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
    value = value * 10 + (text[at] - L'0');
    if (value > std::numeric_limits<int32_t>::max()) {
      return negative ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
    }
  }
  return static_cast<int32_t>(negative ? -value : value);
}

bool ReadTag(const std::wstring& text, const wchar_t* tag, int32_t* value) {
  const size_t at = text.find(tag);
  if (at == std::wstring::npos) return false;
  *value = ReadLeadingNumber(text, at + std::wstring(tag).size());
  return true;
}

bool EqualsNoCase(const std::wstring& a, const wchar_t* b) {
  return !CaseInsensitiveLess()(a, b) && !CaseInsensitiveLess()(b, a);
}

}  // namespace

bool ParseIdString(const std::wstring& text, ChannelIdentity* identity) {
  int32_t cid, tid, kid, scene = 0;
  if (!ReadTag(text, L"_", &cid) || !ReadTag(text, L"_f", &tid) || !ReadTag(text, L"_k", &kid)) {
    return false;
  }
  ReadTag(text, L"_ch", &scene);
  identity->cid = cid;
  identity->tid = tid;
  identity->kid = kid;
  identity->scene = scene;
  return true;
}

ChannelIdentity ReadChannelIdentity(const std::wstring& command_line,
                                    const std::wstring& program_path) {
  ChannelIdentity identity;
  const CommandLineMap options = ParseCommandLine(command_line);
  auto read = [&options](const wchar_t* key, int32_t* value) {
    const auto found = options.find(key);
    if (found != options.end()) *value = ShellStringToInt(found->second);
  };
  read(L"cid", &identity.cid);
  read(L"tid", &identity.tid);
  read(L"kid", &identity.kid);
  read(L"scene", &identity.scene);
  identity.silent = options.count(L"silent") != 0;
  identity.complete = identity.cid != 0 && identity.tid != 0 && identity.kid != 0;

  const size_t slash = program_path.find_last_of(L'\\');
  const std::wstring file_name =
      slash == std::wstring::npos ? program_path : program_path.substr(slash + 1);
  const size_t exe = file_name.find(L".exe");
  const std::wstring base = exe == std::wstring::npos ? file_name : file_name.substr(0, exe);
  if (!identity.complete && exe != std::wstring::npos) {
    identity.complete = ParseIdString(base, &identity);
  }

  // "_silent" as any piece but the first of the name also asks for silence.
  bool first = true;
  size_t start = 0;
  while (start <= base.size()) {
    size_t end = base.find(L'_', start);
    if (end == std::wstring::npos) end = base.size();
    if (end > start) {
      if (!first && EqualsNoCase(base.substr(start, end - start), L"silent")) identity.silent = true;
      first = false;
    }
    start = end + 1;
  }
  return identity;
}

}  // namespace kbase
