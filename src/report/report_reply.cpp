#include "report/report_reply.h"

#include "common/codec/crc32.h"
#include "report/report_ansi.h"

namespace KDirectVestat {

// Reply text grammar. Everything before the first "[" is ignored; a text without "["
// is rejected.
//
//   text    = *( line )
//   line    = *WS ( section / pair / "" ) *WS [ LF ]
//   section = "[" *SP name *SP "]"            ; name not empty
//   pair    = key *SP "=" *SP value           ; key not empty, ends at the first "="
//
// WS is any white space (space, tab, CR, LF, VT, FF), SP the space character. Section
// names and keys are case-insensitive (kept in lower case); a repeated key in a section
// keeps its last value. A "pair" before any section goes into the unnamed section "".

namespace {

uint32_t ReadLittleEndian(const std::string& bytes, size_t offset, size_t width) {
  uint32_t value = 0;
  for (size_t i = 0; i < width; ++i) {
    value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[offset + i])) << (8 * i);
  }
  return value;
}

bool IsWhiteSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

std::wstring TrimWhiteSpace(const std::wstring& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsWhiteSpace(text[begin])) ++begin;
  while (end > begin && IsWhiteSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::wstring TrimSpacesLeft(const std::wstring& text) {
  const size_t begin = text.find_first_not_of(L' ');
  return begin == std::wstring::npos ? std::wstring() : text.substr(begin);
}

std::wstring TrimSpacesRight(const std::wstring& text) {
  const size_t end = text.find_last_not_of(L' ');
  return end == std::wstring::npos ? std::wstring() : text.substr(0, end + 1);
}

std::wstring ToLowerAscii(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return text;
}

// Only a run of digits whose value is 1 ("1", "01").
bool IsIntegerOne(const std::wstring& value) {
  if (value.empty()) return false;
  size_t i = 0;
  while (i + 1 < value.size() && value[i] == L'0') ++i;
  return value.compare(i, std::wstring::npos, L"1") == 0;
}

}  // namespace

bool CheckReplyFrame(const std::string& reply) {
  if (reply.size() <= kReplyHeaderSize) return false;
  if (ReadLittleEndian(reply, 0, 2) != reply.size()) return false;
  if (static_cast<uint8_t>(reply[2]) != kReplyVersion) return false;
  const uint32_t crc = kbase::Crc32(reply.data() + kReplyHeaderSize,
                                    reply.size() - kReplyHeaderSize);
  return crc == ReadLittleEndian(reply, 3, 4);
}

bool ParseReplyText(const std::wstring& text, ReplySections* sections) {
  sections->clear();
  size_t position = text.find(L'[');
  if (position == std::wstring::npos) return false;
  std::wstring section;
  while (position < text.size()) {
    size_t end = text.find(L'\n', position);
    end = end == std::wstring::npos ? text.size() : end + 1;
    const std::wstring line = TrimWhiteSpace(text.substr(position, end - position));
    position = end;
    if (line.empty()) continue;
    if (line.size() >= 2 && line.front() == L'[' && line.back() == L']') {
      const std::wstring name =
          TrimSpacesRight(TrimSpacesLeft(line.substr(1, line.size() - 2)));
      if (name.empty()) return false;
      section = ToLowerAscii(name);
      (*sections)[section];
      continue;
    }
    const size_t equals = line.find(L'=');
    if (equals == std::wstring::npos) return false;
    const std::wstring key = TrimSpacesRight(line.substr(0, equals));
    if (key.empty()) return false;
    (*sections)[section][ToLowerAscii(key)] = TrimSpacesLeft(line.substr(equals + 1));
  }
  return true;
}

bool ReplyConfirms(const ReplySections& sections) {
  const auto common = sections.find(L"common");
  if (common == sections.end()) return false;
  const auto result = common->second.find(L"result");
  return result != common->second.end() && IsIntegerOne(result->second);
}

int JudgeReply(const std::string& reply, std::wstring* text) {
  if (!CheckReplyFrame(reply)) return -1;
  *text = ReportTextFromAnsi(reply.substr(kReplyHeaderSize));
  ReplySections sections;
  if (!ParseReplyText(*text, &sections)) return -1;
  return ReplyConfirms(sections) ? 0 : -1;
}

}  // namespace KDirectVestat
