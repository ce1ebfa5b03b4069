#pragma once
// The endpoint's answer to a message: a frame around an INI-style text. Only a text whose
// section "common" gives "result" the value 1 confirms delivery.
#include <cstdint>
#include <map>
#include <string>

namespace KDirectVestat {

// Frame: total length (16 bits), version byte 2, CRC-32 of the text (32 bits), the text.
constexpr size_t kReplyHeaderSize = 7;
constexpr uint8_t kReplyVersion = 2;

// True when the reply is longer than its header, its length field equals its size, its
// version byte is 2 and the CRC-32 of the text matches.
bool CheckReplyFrame(const std::string& reply);

// Section name -> key -> value; names and keys in lower case.
using ReplySections = std::map<std::wstring, std::map<std::wstring, std::wstring>>;

// Parses the reply text; false when a line breaks the grammar.
bool ParseReplyText(const std::wstring& text, ReplySections* sections);

// True when section "common" holds "result" with the integer value 1.
bool ReplyConfirms(const ReplySections& sections);

// A whole reply body as the transport received it: 0 when it confirms delivery, else -1.
// *text receives the reply text once the frame checks out.
int JudgeReply(const std::string& reply, std::wstring* text);

}  // namespace KDirectVestat
