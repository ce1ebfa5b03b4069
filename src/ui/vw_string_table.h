#pragma once
// The process-wide string table: decimal id -> wide text, filled from string documents
// ("string" root, "s" children with "id"); the first text of an id stays.
#include <map>
#include <string>

namespace kbase {

class VwString {
 public:
  static VwString& Instance();

  void Clear() { strings_.clear(); }
  // 1 when the document parsed with the "string" root.
  int LoadFromText(const std::string& xml);
  // The text of an id; empty when there is none.
  std::wstring Get(int id) const;
  bool Contains(int id) const { return strings_.count(id) != 0; }
  size_t size() const { return strings_.size(); }

 private:
  std::map<int, std::wstring> strings_;
};

// Replaces each "%str<N>%" (N >= 1) by string N of the table (empty when it has none).
// Stops at the first reference whose number is below 1 or that lacks its closing "%",
// leaving that one and the rest of the text as they stand.
std::wstring SubstituteStringReferences(const std::wstring& text, const VwString& table);

}  // namespace kbase
