#pragma once
// Reading the attributes of a "leaf" element: every attribute a kind lists is required.
#include <cstdint>
#include <string>

class TiXmlElement;

namespace kbase {

// The attribute converted with the ANSI code page; false when it is missing.
bool ReadLeafText(const TiXmlElement& leaf, const char* name, std::wstring* value);
// The attribute's leading decimal integer (0 for text that is not a number); false when
// it is missing.
bool ReadLeafInt(const TiXmlElement& leaf, const char* name, int32_t* value);

}  // namespace kbase
