#pragma once
#include <string>
#include <string_view>

namespace kbase {

// Decodes standard Base64 with "=" padding. The text's length must be a non-zero
// multiple of 4 and every character must belong to the alphabet; otherwise the result
// is empty. So a document saved with a trailing line break decodes to nothing.
std::string Base64Decode(std::string_view text);

std::string Base64Encode(std::string_view bytes);

}  // namespace kbase
