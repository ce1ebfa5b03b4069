#include "report/report_decoder.h"

#include <cstdio>

#include "build_settings.h"
#include "common/codec/crc32.h"

namespace KDirectVestat {

namespace {

constexpr FieldKind B = FieldKind::kByte;
constexpr FieldKind W = FieldKind::kWord;
constexpr FieldKind D = FieldKind::kDword;
constexpr FieldKind S = FieldKind::kString;
constexpr FieldKind X = FieldKind::kBytes16;

const std::vector<TableLayout>& Tables() {
  static const std::vector<TableLayout> tables = {
      {4, "public", {},
       {{"install_id", X}, {"company_id", D}, {"reserved1", D}, {"tryno_id", D},
        {"third_number", D}, {"constant_7", B}, {"reserved2", W}, {"reserved3", D},
        {"time", D}, {"reserved4", D}, {"product_key", S}}},
      {4680, "install step", {},
       {{"constant_b", D}, {"event", D}, {"step", D}, {"survey_text", S}, {"value", D},
        {"code", D}, {"text", S}}},
      {4679, "install phase", {},
       {{"constant_a", D}, {"channel_version", D}, {"event", D}, {"result", D},
        {"survey_text", S}, {"os_code", D}, {"device_id", S}}},
      {5847, "pop-up", {}, {{"constant_1", B}, {"kind", B}, {"result", B}}},
      {3769, "process information", {},
       {{"parent_name", S}, {"parent_digest", S}, {"grandparent_name", S},
        {"grandparent_digest", S}, {"great_grandparent_name", S},
        {"great_grandparent_digest", S}, {"flag", B}, {"company_id", D}, {"tryno_id", D}}},
      {4033, "self-update", {},
       {{"outcome", D}, {"detail", D}, {"download_error", D}, {"text", S}}},
      {3806, "crash", {},
       {{"device_id", S}, {"company_id", D}, {"tryno_id", D}, {"module_name", S},
        {"module_version", S}, {"exception_code", D}, {"exception_address", D},
        {"process_name", S}, {"process_version", S}, {"system_id", D}, {"is_64bit", D},
        {"uptime", D}}},
      {5010, "interface", {"flag4", "flag1", "flag2", "flag3"},
       {{"event", D}, {"detail", D}, {"value", D}, {"kind", B}}},
  };
  return tables;
}

class Reader {
 public:
  Reader(const std::string& bytes, size_t position) : bytes_(bytes), position_(position) {}

  bool Number(size_t width, uint32_t* value) {
    if (bytes_.size() - position_ < width) return false;
    *value = 0;
    for (size_t i = 0; i < width; ++i) {
      *value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes_[position_ + i])) << (8 * i);
    }
    position_ += width;
    return true;
  }
  bool Bytes(size_t count, std::string* out) {
    if (bytes_.size() - position_ < count) return false;
    *out = bytes_.substr(position_, count);
    position_ += count;
    return true;
  }
  size_t position() const { return position_; }
  bool AtEnd() const { return position_ == bytes_.size(); }

 private:
  const std::string& bytes_;
  size_t position_;
};

const DecodedField* FindField(const DecodedBlock& block, const std::string& name) {
  for (const auto& field : block.fields) {
    if (field.name == name) return &field;
  }
  return nullptr;
}

bool DecodeBlock(Reader* reader, DecodedBlock* block, std::string* error) {
  uint32_t table_id = 0;
  if (!reader->Number(2, &table_id)) {
    *error = "block header runs past the end";
    return false;
  }
  const TableLayout* layout = FindTableLayout(static_cast<uint16_t>(table_id));
  if (!layout) {
    *error = "unknown table " + std::to_string(table_id);
    return false;
  }
  block->table_id = layout->table_id;
  std::string bitmap;
  if (!reader->Bytes((layout->flags.size() + 7) / 8, &bitmap)) {
    *error = "flag bitmap of table " + std::to_string(table_id) + " runs past the end";
    return false;
  }
  for (size_t i = 0; i < layout->flags.size(); ++i) {
    const bool set = (static_cast<uint8_t>(bitmap[i / 8]) >> (i % 8)) & 1;
    block->flags.emplace_back(layout->flags[i], set);
  }
  for (const FieldLayout& field_layout : layout->fields) {
    DecodedField field;
    field.name = field_layout.name;
    field.kind = field_layout.kind;
    bool ok = true;
    uint32_t count = 0;
    switch (field_layout.kind) {
      case FieldKind::kByte: ok = reader->Number(1, &field.number); break;
      case FieldKind::kWord: ok = reader->Number(2, &field.number); break;
      case FieldKind::kDword: ok = reader->Number(4, &field.number); break;
      case FieldKind::kString:
        ok = reader->Number(2, &count) && reader->Bytes(count, &field.bytes);
        for (char& c : field.bytes) c = static_cast<char>(static_cast<uint8_t>(c) ^ kbase::kStringMask);
        break;
      case FieldKind::kBytes16:
        ok = reader->Number(2, &count) && count == 16 && reader->Bytes(16, &field.bytes);
        break;
    }
    if (!ok) {
      *error = "field " + field.name + " of table " + std::to_string(table_id) +
               " is cut short or malformed";
      return false;
    }
    block->fields.push_back(std::move(field));
  }
  return true;
}

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (char c : bytes) {
    out += kDigits[static_cast<uint8_t>(c) >> 4];
    out += kDigits[static_cast<uint8_t>(c) & 15];
  }
  return out;
}

// Printable ASCII stays, every other byte becomes \xNN.
std::string Escaped(const std::string& bytes) {
  std::string out;
  for (char c : bytes) {
    const uint8_t byte = static_cast<uint8_t>(c);
    if (byte >= 0x20 && byte < 0x7F && byte != '\\' && byte != '"') {
      out += c;
    } else {
      char escape[8];
      std::snprintf(escape, sizeof(escape), "\\x%02X", byte);
      out += escape;
    }
  }
  return out;
}

}  // namespace

const TableLayout* FindTableLayout(uint16_t table_id) {
  for (const auto& table : Tables()) {
    if (table.table_id == table_id) return &table;
  }
  return nullptr;
}

uint32_t DecodedBlock::Number(const std::string& name) const {
  const DecodedField* field = FindField(*this, name);
  return field ? field->number : 0;
}

std::string DecodedBlock::Text(const std::string& name) const {
  const DecodedField* field = FindField(*this, name);
  return field ? field->bytes : std::string();
}

bool DecodedBlock::Flag(const std::string& name) const {
  for (const auto& flag : flags) {
    if (flag.first == name) return flag.second;
  }
  return false;
}

bool DecodedBlock::Has(const std::string& name) const { return FindField(*this, name) != nullptr; }

bool DecodeMessage(const std::string& body, DecodedMessage* message, std::string* error) {
  *message = DecodedMessage();
  Reader reader(body, 0);
  uint32_t length = 0, version = 0, kind = 0, count = 0, crc = 0;
  if (!reader.Number(2, &length) || !reader.Number(1, &version) || !reader.Number(1, &kind) ||
      !reader.Number(2, &count) || !reader.Number(4, &crc)) {
    *error = "shorter than the 10-byte header";
    return false;
  }
  message->length = static_cast<uint16_t>(length);
  message->version = static_cast<uint8_t>(version);
  message->kind = static_cast<uint8_t>(kind);
  message->block_count = static_cast<uint16_t>(count);
  message->crc = crc;
  if (length != body.size()) {
    *error = "length field " + std::to_string(length) + " but " + std::to_string(body.size()) +
             " bytes";
    return false;
  }
  if (version != 2 || kind != 1) {
    *error = "unexpected header bytes " + std::to_string(version) + " " + std::to_string(kind);
    return false;
  }
  if (kbase::Crc32(body.data() + 10, body.size() - 10) != crc) {
    *error = "CRC-32 does not match the blocks";
    return false;
  }
  for (uint32_t i = 0; i < count; ++i) {
    DecodedBlock block;
    if (!DecodeBlock(&reader, &block, error)) return false;
    message->blocks.push_back(std::move(block));
  }
  if (!reader.AtEnd()) {
    *error = std::to_string(body.size() - reader.position()) + " bytes after the last block";
    return false;
  }
  return true;
}

std::string FormatMessage(const DecodedMessage& message) {
  std::string out = "message: " + std::to_string(message.length) + " bytes, " +
                    std::to_string(message.block_count) + " blocks\n";
  for (const auto& block : message.blocks) {
    const TableLayout* layout = FindTableLayout(block.table_id);
    out += "table " + std::to_string(block.table_id) + " (" + (layout ? layout->name : "?") +
           ")\n";
    for (const auto& flag : block.flags) {
      out += "  " + flag.first + " = " + (flag.second ? "true" : "false") + "\n";
    }
    for (const auto& field : block.fields) {
      out += "  " + field.name + " = ";
      switch (field.kind) {
        case FieldKind::kString: out += "\"" + Escaped(field.bytes) + "\""; break;
        case FieldKind::kBytes16: out += Hex(field.bytes); break;
        default: out += std::to_string(field.number); break;
      }
      out += "\n";
    }
  }
  return out;
}

std::string EncodeReply(const std::string& text) {
  std::string reply(7, '\0');
  reply += text;
  const uint32_t length = static_cast<uint32_t>(reply.size());
  const uint32_t crc = kbase::Crc32(text.data(), text.size());
  reply[0] = static_cast<char>(length);
  reply[1] = static_cast<char>(length >> 8);
  reply[2] = 2;
  for (int i = 0; i < 4; ++i) reply[3 + i] = static_cast<char>(crc >> (8 * i));
  return reply;
}

}  // namespace KDirectVestat
