#include "config/leaf_attributes.h"

#include <tinyxml.h>

#include "common/win/ansi_text.h"
#include "config/expression_number.h"

namespace kbase {

bool ReadLeafText(const TiXmlElement& leaf, const char* name, std::wstring* value) {
  const char* text = leaf.Attribute(name);
  if (text == nullptr) return false;
  *value = FromAnsi(text);
  return true;
}

bool ReadLeafInt(const TiXmlElement& leaf, const char* name, int32_t* value) {
  const char* text = leaf.Attribute(name);
  if (text == nullptr) return false;
  *value = ReadLeadingInt(text);
  return true;
}

}  // namespace kbase
