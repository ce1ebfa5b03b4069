#pragma once
// The endpoint's side of the telemetry codec, for the test endpoint and the operators'
// dump tool: decodes a message into named fields by the known table layouts, prints it,
// and frames replies.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace KDirectVestat {

enum class FieldKind { kByte, kWord, kDword, kString, kBytes16 };

struct FieldLayout {
  const char* name;
  FieldKind kind;
};

struct TableLayout {
  uint16_t table_id;
  const char* name;
  std::vector<const char*> flags;  // in bitmap order
  std::vector<FieldLayout> fields;
};

// The layout of a table, or null for a table this decoder does not know.
const TableLayout* FindTableLayout(uint16_t table_id);

struct DecodedField {
  std::string name;
  FieldKind kind = FieldKind::kDword;
  uint32_t number = 0;  // byte, word and dword fields
  std::string bytes;    // strings unmasked (ANSI bytes), or the 16 raw bytes
};

struct DecodedBlock {
  uint16_t table_id = 0;
  std::vector<std::pair<std::string, bool>> flags;
  std::vector<DecodedField> fields;

  // Values by name; a missing name gives 0, empty text or false.
  uint32_t Number(const std::string& name) const;
  std::string Text(const std::string& name) const;
  bool Flag(const std::string& name) const;
  bool Has(const std::string& name) const;
};

struct DecodedMessage {
  uint16_t length = 0;
  uint8_t version = 0;
  uint8_t kind = 0;
  uint16_t block_count = 0;
  uint32_t crc = 0;
  std::vector<DecodedBlock> blocks;
};

// Decodes a request body; false with a reason when any check fails (length, CRC, an
// unknown table, a field that runs past the end, bytes left over).
bool DecodeMessage(const std::string& body, DecodedMessage* message, std::string* error);

// Readable text, one line per field.
std::string FormatMessage(const DecodedMessage& message);

// A reply frame around a text, as the endpoint sends it.
std::string EncodeReply(const std::string& text);

}  // namespace KDirectVestat
