#pragma once
// The channel part of a configuration: the company, its channels (trynos) and their
// download entries. Strings keep the document's UTF-8 bytes.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "config/download_entry.h"

class TiXmlElement;

namespace kbase {

class KTrynoNode {
 public:
  KTrynoNode() = default;
  virtual ~KTrynoNode() = default;
  KTrynoNode(const KTrynoNode&) = delete;
  KTrynoNode& operator=(const KTrynoNode&) = delete;

  // A channel with its valid download entries; invalid entries are dropped.
  static std::unique_ptr<KTrynoNode> FromElement(const TiXmlElement& element);
  bool IsValid() const { return id >= 0 && version > 0 && Interval >= 0 && !entries.empty(); }
  // The entry at `index`, or null outside 0..count-1.
  const KDownloadEntry* EntryAt(int index) const;

  int32_t id = 0;
  int32_t version = 0;
  int32_t Interval = 0;  // days that must have passed since the last uninstall
  std::string condition;
  std::string softname;
  std::vector<std::unique_ptr<KDownloadEntry>> entries;
};

class KCompanyNode {
 public:
  KCompanyNode() = default;
  virtual ~KCompanyNode() = default;
  KCompanyNode(const KCompanyNode&) = delete;
  KCompanyNode& operator=(const KCompanyNode&) = delete;

  // The company with its valid trynos; of two trynos with one id the first stays.
  static std::unique_ptr<KCompanyNode> FromElement(const TiXmlElement& element);
  bool IsValid() const { return id > 0 && version > 0 && !trynos.empty(); }

  int32_t id = 0;
  int32_t version = 0;
  std::map<int32_t, std::unique_ptr<KTrynoNode>> trynos;
};

// A "dlfile" element as a download entry, whether valid or not.
std::unique_ptr<KDownloadEntry> DownloadEntryFromElement(const TiXmlElement& element);

}  // namespace kbase
