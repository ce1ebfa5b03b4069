#pragma once
// The texts the machine identifiers are made of, from parts the platform code gathers.
// Free of Win32 calls so that the recipes are tested with fixed inputs.
#include <cstddef>
#include <cstdint>
#include <string>

namespace kbase {

// Inputs of the install-id recipe.
struct InstallIdInputs {
  long random_number = 0;  // the C library's rand(), 0 to 32767
  bool has_guid = false;   // false for an all-zero GUID
  uint32_t guid_data1 = 0;
  uint16_t guid_data2 = 0;
  uint16_t guid_data3 = 0;
  uint8_t guid_data4[8] = {};
  // Local time.
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, milliseconds = 0;
  std::string computer_name;  // ANSI, without terminator
  uint64_t free_bytes = 0;    // of the system folder's volume
};

// The joined text that is hashed: random number, GUID, time, computer-name digest,
// free space.
std::string InstallIdText(const InstallIdInputs& inputs);
// 32 lower-case hexadecimal digits.
std::string InstallIdFromInputs(const InstallIdInputs& inputs);

// Lower-case hexadecimal MD5 of the bytes.
std::string LowerHexMd5(const std::string& bytes);

// Parts of the device id, in ANSI text; empty parts get their placeholders.
struct DeviceIdParts {
  std::string processor;
  std::string disk;
  std::string mainboard;
  std::string mac;
  std::string sound;  // no placeholder
};

std::string DeviceIdText(const DeviceIdParts& parts);
// 32 upper-case hexadecimal digits.
std::string DeviceIdFromParts(const DeviceIdParts& parts);

// cpuid leaf 1: feature flags (EDX), then signature (EAX).
std::string ProcessorPartText(uint32_t edx, uint32_t eax);

std::string RemoveSpaces(const std::string& text);

// ATA identify data (512 bytes): serial number in words 10 to 19, model in words 27 to
// 46, each word's high byte first, trailing spaces removed.
struct DiskIdentity {
  std::string serial;
  std::string model;
};
DiskIdentity DiskIdentityFromIdentifyData(const uint8_t* data, size_t size);

// Text of words first..last of identify data; empty when the data is too short.
std::string IdentifyWordsText(const uint8_t* data, size_t size, size_t first_word,
                              size_t last_word);

// A text at `offset` of a storage device descriptor of `size` bytes, up to its
// terminator or the end of the buffer, surrounding spaces removed. Empty for offset 0
// or an offset outside the buffer.
std::string DescriptorText(const uint8_t* descriptor, size_t size, size_t offset);

// The serial number of a storage device descriptor: decoded when it is hexadecimal
// text, with its byte pairs swapped, surrounding spaces removed.
std::string StorageSerialText(const std::string& raw);

// A descriptor serial number is taken when its first or its 20th character is a
// letter or digit.
bool IsUsableStorageSerial(const std::string& serial);

// The NDIS device path of a network adapter's plug-and-play id.
std::wstring PermanentAddressDevicePath(const std::wstring& pnp_device_id);

// Address bytes as two upper-case hexadecimal digits each.
std::string MacText(const uint8_t* bytes, size_t count);

}  // namespace kbase
