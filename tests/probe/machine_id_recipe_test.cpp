// The identifier recipes with fixed parts, and the parsing of the answers that disks
// and adapters give (which may be short, unterminated or padded).
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "probe/machine_id_recipe.h"

namespace kbase {
namespace {

InstallIdInputs FixedInputs() {
  InstallIdInputs in;
  in.random_number = 42;
  in.has_guid = true;
  in.guid_data1 = 0x1A2B3C4D;
  in.guid_data2 = 0xABCD;
  in.guid_data3 = 0xEF01;
  const uint8_t data4[8] = {0xDE, 0xAD, 0xBE, 0xEF, 0x01, 0x02, 0x0A, 0xFF};
  std::memcpy(in.guid_data4, data4, 8);
  in.year = 2024;
  in.month = 3;
  in.day = 9;
  in.hour = 13;
  in.minute = 5;
  in.second = 4;
  in.milliseconds = 7;
  in.computer_name = "WINEHOST";
  in.free_bytes = 0x123456789ULL;  // only the low 32 bits count
  return in;
}

TEST(InstallIdRecipe, JoinsRandomGuidTimeNameDigestAndFreeSpace) {
  // Data3 is the one GUID field in lower case; time runs ms, minute, day, year, hour,
  // second, month.
  EXPECT_EQ(InstallIdText(FixedInputs()),
            "00042"
            "1A2B3C4DABCDef01DEADBEEF01020AFF"
            "007" "05" "09" "2024" "13" "04" "03"
            "5f310a1794297864058da7f2237068cb"
            "0591751049");
  EXPECT_EQ(InstallIdFromInputs(FixedInputs()), "2343a4e4a867c6f43ddadf9f8631c56b");
}

TEST(InstallIdRecipe, AllZeroGuidLeavesItsPartEmpty) {
  InstallIdInputs in = FixedInputs();
  in.has_guid = false;
  EXPECT_EQ(InstallIdFromInputs(in), "26421e59ceb70eeefbd1c9e82059b960");
}

TEST(InstallIdRecipe, EmptyComputerNameHashesTheEmptyText) {
  InstallIdInputs in = FixedInputs();
  in.computer_name.clear();
  EXPECT_NE(InstallIdText(in).find("d41d8cd98f00b204e9800998ecf8427e"), std::string::npos);
}

TEST(DeviceIdRecipe, PlaceholdersForEmptyPartsButNotForSound) {
  DeviceIdParts parts;
  EXPECT_EQ(DeviceIdText(parts), "NONECPUNOHARDDISKNOMAINBOARDNOMAC");
  parts = {"BFEBFBFF000906EA", "", "", "", ""};
  // A machine without WMI: processor and disk parts, then the two placeholders.
  EXPECT_EQ(DeviceIdFromParts(parts), "67BB6AB4713DC44CB19535AFBF905CB2");
  parts = {"CPU", "ST500", "BOARD1", "0011223344AA", "High Definition Audio"};
  EXPECT_EQ(DeviceIdText(parts), "CPUST500BOARD10011223344AAHigh Definition Audio");
  const std::string id = DeviceIdFromParts(parts);
  ASSERT_EQ(id.size(), 32u);
  EXPECT_EQ(id.find_first_not_of("0123456789ABCDEF"), std::string::npos);
}

TEST(DeviceIdRecipe, PartFormats) {
  EXPECT_EQ(ProcessorPartText(0xBFEBFBFF, 0x000906EA), "BFEBFBFF000906EA");
  EXPECT_EQ(ProcessorPartText(0, 0x1), "0000000000000001");
  EXPECT_EQ(RemoveSpaces(" To be filled by O.E.M. "), "TobefilledbyO.E.M.");
  const uint8_t mac[] = {0x00, 0x1b, 0x21, 0xAB, 0x0c, 0xFF};
  EXPECT_EQ(MacText(mac, sizeof(mac)), "001B21AB0CFF");
  EXPECT_EQ(MacText(nullptr, 6), "");
  EXPECT_EQ(PermanentAddressDevicePath(L"PCI\\VEN_8086&DEV_100E\\3&267A616A&0&18"),
            L"\\\\.\\PCI#VEN_8086&DEV_100E#3&267A616A&0&18"
            L"#{ad498944-762f-11d0-8dcb-00c04fc3358c}");
}

// Identify data stores each word's high byte first.
void PutWords(std::vector<uint8_t>* data, size_t first_word, const char* text) {
  for (size_t i = 0; text[i] != '\0'; ++i) {
    const size_t byte = first_word * 2 + (i ^ 1);
    (*data)[byte] = static_cast<uint8_t>(text[i]);
  }
}

TEST(DiskIdentify, SerialAndModelWordsSwappedAndTrailingSpacesRemoved) {
  std::vector<uint8_t> data(512, ' ');
  PutWords(&data, 10, "  WD-WCC4E1234567");
  PutWords(&data, 27, "WDC WD10EZEX-08WN4A0");
  const DiskIdentity identity = DiskIdentityFromIdentifyData(data.data(), data.size());
  EXPECT_EQ(identity.serial, "  WD-WCC4E1234567");  // leading spaces stay
  EXPECT_EQ(identity.model, "WDC WD10EZEX-08WN4A0");
}

TEST(DiskIdentify, ShortOrEmptyDataGivesEmptyTexts) {
  std::vector<uint8_t> data(512, 0);
  DiskIdentity identity = DiskIdentityFromIdentifyData(data.data(), data.size());
  EXPECT_EQ(identity.serial, "");
  EXPECT_EQ(identity.model, "");
  // Long enough for the serial only: the model words lie past the end.
  PutWords(&data, 10, "SERIAL");
  identity = DiskIdentityFromIdentifyData(data.data(), 40);
  EXPECT_EQ(identity.serial, "SERIAL");
  EXPECT_EQ(identity.model, "");
  EXPECT_EQ(DiskIdentityFromIdentifyData(nullptr, 512).serial, "");
  EXPECT_EQ(IdentifyWordsText(data.data(), data.size(), 20, 10), "");
}

TEST(StorageDescriptor, TextsStayInsideTheBuffer) {
  const char raw[] = "xxxxxxxx  Samsung SSD  \0tail";
  const auto* bytes = reinterpret_cast<const uint8_t*>(raw);
  EXPECT_EQ(DescriptorText(bytes, sizeof(raw), 8), "Samsung SSD");
  EXPECT_EQ(DescriptorText(bytes, sizeof(raw), 0), "");            // no such field
  EXPECT_EQ(DescriptorText(bytes, sizeof(raw), sizeof(raw)), "");  // outside
  EXPECT_EQ(DescriptorText(bytes, 8 + 9, 8), "Samsung");           // no terminator
  EXPECT_EQ(DescriptorText(bytes, 4, 0xFFFFFFF0u), "");
}

TEST(StorageDescriptor, SerialDecodedFromHexAndPairsSwapped) {
  struct Case {
    const char* raw;
    const char* serial;
  } cases[] = {
      {"2020202057202d44435759", "WD-WCY"},  // "    W -DCWY" decoded, then swapped
      {"5A3141", "1ZA"},                      // odd byte stays at the end
      {"S3Z9NB0K", "3S9ZBNK0"},               // not hexadecimal: only swapped
      {"  ABC", "BAC"},                       // odd hex length is text
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(StorageSerialText(c.raw), c.serial) << c.raw;
}

TEST(StorageDescriptor, SerialTakenWhenFirstOrTwentiethCharacterIsAlphanumeric) {
  EXPECT_TRUE(IsUsableStorageSerial("A"));
  EXPECT_TRUE(IsUsableStorageSerial("-------------------7"));
  EXPECT_FALSE(IsUsableStorageSerial("-------------------"));
  EXPECT_FALSE(IsUsableStorageSerial("-------------------."));
  EXPECT_FALSE(IsUsableStorageSerial(""));
}

}  // namespace
}  // namespace kbase
