// libFuzzer target for the JSON document library: whatever parses must write back text
// that parses again and writes back exactly the same.
//
// The first byte picks how the rest becomes wide text: even, one byte per character
// (easy for the fuzzer to build JSON syntax); odd, little-endian byte pairs as UTF-16
// units (reaches surrogates, zero units and characters above U+00FF).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/json/vw_json.h"

namespace {

std::wstring ToText(const uint8_t* data, size_t size) {
  std::wstring text;
  if (size == 0) return text;
  const bool pairs = (data[0] & 1) != 0;
  ++data;
  --size;
  if (pairs) {
    for (size_t i = 0; i + 1 < size; i += 2) {
      text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    }
  } else {
    for (size_t i = 0; i < size; ++i) text += static_cast<wchar_t>(data[i]);
  }
  return text;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  VwJson::Document doc;
  if (!doc.Parse(ToText(data, size))) {
    Check(doc.Root() == nullptr && doc.ErrorCode() != 0 && doc.ErrorLine() >= 1 &&
          doc.ErrorColumn() >= 1);
    return 0;
  }
  const std::wstring written = doc.ToString();
  VwJson::Document again;
  Check(again.Parse(written));
  Check(again.ToString() == written);
  Check(again.Type() == doc.Type());

  // The pretty form must be readable too and mean the same.
  std::wstring pretty;
  doc.Root()->Write(pretty, true, 0, 4);
  VwJson::Document from_pretty;
  Check(from_pretty.Parse(pretty));
  Check(from_pretty.ToString() == written);

  // Adding a member to an object root shows up in the written text.
  if (doc.Type() == VwJson::kTypeObject) {
    Check(doc.Member(L"fuzz").SetInt(-42));
    VwJson::Document edited;
    Check(edited.Parse(doc.ToString()));
    Check(edited.Member(L"fuzz").Int() == -42);
  }
  return 0;
}
