#pragma once
// Table 4, the first block of every message: who is reporting.
#include <cstdint>
#include <string>

#include "report/install_serialize.h"

namespace KDirectVestat {

class KPublicBlock : public KInstallSerialize {
 public:
  static constexpr uint16_t kTableId = 4;
  // Identifies the product to the endpoint.
  static constexpr wchar_t kProductKey[] = L"r3kfw0tbm9pxq2jvzg7uhy4loe1d";

  KPublicBlock() : KInstallSerialize(kTableId) {}

  // Writes the identity fields and finishes the block. The ids are decimal texts; an
  // install id other than 32 uppercase hexadecimal digits goes out as 16 zero bytes.
  void FillPublic(const std::wstring& install_id, const std::wstring& company_id,
                  const std::wstring& tryno_id, const std::wstring& third_number);
};

// The 16 bytes of an install id, high digit first; all zero unless the text is exactly
// 32 digits of 0-9 and A-F.
void InstallIdBytes(const std::wstring& install_id, uint8_t (&bytes)[16]);

// A decimal text as a number: its leading digits, 0 when there are none.
uint32_t DecimalTextValue(const std::wstring& text);

}  // namespace KDirectVestat
