#pragma once
// The text rules of path variables, apart from where the values come from.
#include <cstddef>
#include <functional>
#include <string>

namespace kbase {

// The built-in tokens, in the order in which a text is searched for them.
constexpr size_t kPathTokenCount = 8;
extern const wchar_t* const kPathTokens[kPathTokenCount];

// Value of the built-in token kPathTokens[index]; false when it cannot be resolved.
using PathTokenResolver = std::function<bool(size_t index, std::wstring* value)>;
// Next pseudo-random number, 0 to 32767.
using RandomNumberSource = std::function<int()>;
// Value of a configuration variable; false when no variable has that name.
using ConfigVariableLookup = std::function<bool(const std::wstring& name, std::wstring* value)>;

// Resolves the first token kind (in table order) that occurs: every occurrence of it,
// and only of it, is replaced; then the first run of "?" becomes random upper-case hex
// digits and separators are normalised. False, with the text unchanged, when the text
// is empty, holds no token or the token cannot be resolved.
bool ExpandPathTokens(std::wstring* text, const PathTokenResolver& resolve,
                      const RandomNumberSource& random);

// Replaces the "%#name%" references whose names the lookup knows, scanning left to right.
void ExpandConfigReferences(std::wstring* text, const ConfigVariableLookup& lookup);

}  // namespace kbase
