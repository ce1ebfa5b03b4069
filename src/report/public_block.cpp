#include "report/public_block.h"

#include <cstring>
#include <ctime>

namespace KDirectVestat {

namespace {

int UpperHexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

}  // namespace

void InstallIdBytes(const std::wstring& install_id, uint8_t (&bytes)[16]) {
  std::memset(bytes, 0, sizeof(bytes));
  if (install_id.size() != 32) return;
  uint8_t decoded[16];
  for (size_t i = 0; i < 16; ++i) {
    const int high = UpperHexDigit(install_id[2 * i]);
    const int low = UpperHexDigit(install_id[2 * i + 1]);
    if (high < 0 || low < 0) return;
    decoded[i] = static_cast<uint8_t>(high << 4 | low);
  }
  std::memcpy(bytes, decoded, sizeof(bytes));
}

uint32_t DecimalTextValue(const std::wstring& text) {
  uint32_t value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') break;
    value = value * 10 + static_cast<uint32_t>(c - L'0');
  }
  return value;
}

void KPublicBlock::FillPublic(const std::wstring& install_id, const std::wstring& company_id,
                              const std::wstring& tryno_id, const std::wstring& third_number) {
  uint8_t id[16];
  InstallIdBytes(install_id, id);
  PutBytes16(id);
  PutDword(DecimalTextValue(company_id));
  PutDword(0);
  PutDword(DecimalTextValue(tryno_id));
  PutDword(DecimalTextValue(third_number));
  PutByte(7);
  PutWord(0);
  PutDword(0);
  PutDword(static_cast<uint32_t>(std::time(nullptr)));
  PutDword(0);
  PutString(kProductKey);
  Finish();
}

}  // namespace KDirectVestat
