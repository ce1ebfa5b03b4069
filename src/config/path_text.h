#pragma once
// Small text rules for paths and registry values.
#include <string>

namespace kbase {

// Removes one leading and one trailing double quote, each if present.
void StripQuotes(std::wstring* text);
// Removes one trailing backslash.
void StripTrailingBackslash(std::wstring* text);
// Every "/" becomes "\", then double backslashes collapse until none is left (a UNC
// prefix too).
void NormalizeSeparators(std::wstring* text);
// NormalizeSeparators, then a backslash unless the text ends in "\" or "/".
void AddTrailingBackslash(std::wstring* text);

}  // namespace kbase
