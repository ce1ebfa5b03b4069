#include "probe/machine_id_recipe.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>

#include "common/codec/md5.h"

namespace kbase {

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Format(const char* format, ...) {
  char buffer[128];
  va_list args;
  va_start(args, format);
  const int length = std::vsnprintf(buffer, sizeof(buffer), format, args);
  va_end(args);
  if (length < 0) return {};
  return std::string(buffer, static_cast<size_t>(length) < sizeof(buffer)
                                 ? static_cast<size_t>(length)
                                 : sizeof(buffer) - 1);
}

std::string TrimSpaces(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

bool IsHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  return (std::tolower(static_cast<unsigned char>(c)) - 'a') + 10;
}

}  // namespace

std::string LowerHexMd5(const std::string& bytes) {
  const Md5Digest digest = Md5Of(bytes.data(), bytes.size());
  std::string hex;
  for (uint8_t byte : digest) hex += Format("%02x", byte);
  return hex;
}

std::string InstallIdText(const InstallIdInputs& in) {
  std::string text = Format("%05ld", in.random_number);
  if (in.has_guid) {
    text += Format("%08lX%04X%04x%02X%02X%02X%02X%02X%02X%02X%02X",
                   static_cast<unsigned long>(in.guid_data1), in.guid_data2, in.guid_data3,
                   in.guid_data4[0], in.guid_data4[1], in.guid_data4[2], in.guid_data4[3],
                   in.guid_data4[4], in.guid_data4[5], in.guid_data4[6], in.guid_data4[7]);
  }
  text += Format("%03d%02d%02d%04d%02d%02d%02d", in.milliseconds, in.minute, in.day, in.year,
                 in.hour, in.second, in.month);
  text += LowerHexMd5(in.computer_name);
  text += Format("%010lu", static_cast<unsigned long>(static_cast<uint32_t>(in.free_bytes)));
  return text;
}

std::string InstallIdFromInputs(const InstallIdInputs& inputs) {
  return LowerHexMd5(InstallIdText(inputs));
}

std::string DeviceIdText(const DeviceIdParts& parts) {
  std::string text = parts.processor.empty() ? "NONECPU" : parts.processor;
  text += parts.disk.empty() ? "NOHARDDISK" : parts.disk;
  text += parts.mainboard.empty() ? "NOMAINBOARD" : parts.mainboard;
  text += parts.mac.empty() ? "NOMAC" : parts.mac;
  text += parts.sound;
  return text;
}

std::string DeviceIdFromParts(const DeviceIdParts& parts) {
  const std::string text = DeviceIdText(parts);
  return Md5ToHex(Md5Of(text.data(), text.size()));
}

std::string ProcessorPartText(uint32_t edx, uint32_t eax) {
  return Format("%08X%08X", static_cast<unsigned>(edx), static_cast<unsigned>(eax));
}

std::string RemoveSpaces(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c != ' ') out += c;
  }
  return out;
}

std::string IdentifyWordsText(const uint8_t* data, size_t size, size_t first_word,
                              size_t last_word) {
  if (data == nullptr || last_word < first_word || (last_word + 1) * 2 > size) return {};
  std::string text;
  for (size_t word = first_word; word <= last_word; ++word) {
    text += static_cast<char>(data[word * 2 + 1]);
    text += static_cast<char>(data[word * 2]);
  }
  // A terminator inside the field ends the text.
  const size_t end = text.find('\0');
  if (end != std::string::npos) text.resize(end);
  const size_t last = text.find_last_not_of(' ');
  text.resize(last == std::string::npos ? 0 : last + 1);
  return text;
}

DiskIdentity DiskIdentityFromIdentifyData(const uint8_t* data, size_t size) {
  DiskIdentity identity;
  identity.serial = IdentifyWordsText(data, size, 10, 19);
  identity.model = IdentifyWordsText(data, size, 27, 46);
  return identity;
}

std::string DescriptorText(const uint8_t* descriptor, size_t size, size_t offset) {
  if (descriptor == nullptr || offset == 0 || offset >= size) return {};
  size_t end = offset;
  while (end < size && descriptor[end] != 0) ++end;
  return TrimSpaces(std::string(reinterpret_cast<const char*>(descriptor) + offset, end - offset));
}

std::string StorageSerialText(const std::string& raw) {
  const std::string trimmed = TrimSpaces(raw);
  bool hex = !trimmed.empty() && trimmed.size() % 2 == 0;
  for (char c : trimmed) hex = hex && IsHexDigit(c);
  std::string bytes;
  if (hex) {
    for (size_t i = 0; i + 1 < trimmed.size(); i += 2) {
      const char byte = static_cast<char>(HexValue(trimmed[i]) * 16 + HexValue(trimmed[i + 1]));
      if (byte == '\0') break;  // padding
      bytes += byte;
    }
  } else {
    bytes = trimmed;
  }
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
  return TrimSpaces(bytes);
}

bool IsUsableStorageSerial(const std::string& serial) {
  auto alnum = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; };
  return (!serial.empty() && alnum(serial[0])) || (serial.size() > 19 && alnum(serial[19]));
}

std::wstring PermanentAddressDevicePath(const std::wstring& pnp_device_id) {
  std::wstring path = L"\\\\.\\";
  for (wchar_t c : pnp_device_id) path += c == L'\\' ? L'#' : c;
  path += L"#{ad498944-762f-11d0-8dcb-00c04fc3358c}";
  return path;
}

std::string MacText(const uint8_t* bytes, size_t count) {
  std::string text;
  for (size_t i = 0; bytes != nullptr && i < count; ++i) text += Format("%02X", bytes[i]);
  return text;
}

}  // namespace kbase
