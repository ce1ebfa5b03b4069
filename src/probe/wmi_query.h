#pragma once
// Text properties from WMI ("ROOT\CIMV2") queries.
#include <string>
#include <vector>

namespace kbase {

// The named property of every row of a WQL query that holds a non-empty text (numbers
// are given as decimal text), in row order. COM is joined and left again for the
// calling thread. Empty on any failure.
std::vector<std::wstring> QueryWmiTexts(const wchar_t* query, const wchar_t* property);

// The first usable value of QueryWmiTexts; empty when there is none.
std::wstring QueryWmiText(const wchar_t* query, const wchar_t* property);

}  // namespace kbase
