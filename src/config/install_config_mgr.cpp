// The configuration document, after Base64 and RSA unwrapping:
//
//   <root>
//     <variable> item* </variable>     optional: configuration variables
//     <check> item* </check>           required: condition items
//     <install> <company> ... </company> </install>   required
//     <run> <item path=".." [condition=".."] [param=".."]/>* </run>   optional
//   </root>
//
// Of each section the first is used. Names are case-sensitive.
#include "config/install_config_mgr.h"

#include <tinyxml.h>

#include <cstdio>
#include <ctime>

#include "build_settings.h"
#include "common/codec/signed_transport.h"
#include "common/win/ansi_text.h"
#include "config/path_variables.h"
#include "config/product_registry.h"
#include "download/http_request.h"

namespace kbase {
namespace {

constexpr int64_t kSecondsPerDay = 86400;

std::string Attribute(const TiXmlElement& element, const char* name) {
  const char* value = element.Attribute(name);
  return value != nullptr ? value : "";
}

std::unique_ptr<KRunItem> RunItemFromElement(const TiXmlElement& element) {
  if (element.Attribute("path") == nullptr || *element.Attribute("path") == '\0') {
    return nullptr;
  }
  auto item = std::make_unique<KRunItem>();
  item->condition = Attribute(element, "condition");
  item->path = Attribute(element, "path");
  // The document cannot carry a quote inside an attribute the server writes, so "#@#"
  // stands for one.
  const std::string param = Attribute(element, "param");
  static const std::string kQuoteMark = "#@#";
  for (size_t at = 0;;) {
    const size_t found = param.find(kQuoteMark, at);
    item->param.append(param, at, found == std::string::npos ? std::string::npos : found - at);
    if (found == std::string::npos) break;
    item->param.push_back('"');
    at = found + kQuoteMark.size();
  }
  return item;
}

}  // namespace

KInstallConfigMgr::KInstallConfigMgr(std::unique_ptr<ICheckLeafFactory> leaves)
    : run_list_(std::make_unique<std::vector<std::unique_ptr<KRunItem>>>()),
      leaves_(std::move(leaves)) {}

KInstallConfigMgr::~KInstallConfigMgr() = default;

std::string KInstallConfigMgr::DocumentPath(int32_t company_id, int32_t tryno_id,
                                            int32_t scene, int64_t now) {
  char name[32];
  if (scene != 0) {
    std::snprintf(name, sizeof(name), "%d_%d", tryno_id, scene);
  } else {
    std::snprintf(name, sizeof(name), "%d", tryno_id);
  }
  char path[128];
  std::snprintf(path, sizeof(path), "/seminstall/%d/%s.xml?time=%d", company_id, name,
                static_cast<int32_t>(static_cast<uint32_t>(now)));
  return path;
}

int KInstallConfigMgr::Load(int32_t company_id, int32_t tryno_id, int32_t scene) {
  const std::string host = host_for_testing_.empty() ? kConfigHost : host_for_testing_;
  const std::string url =
      "http://" + host + DocumentPath(company_id, tryno_id, scene, std::time(nullptr));
  std::string body;
  if (GetUrlContent(FromAnsi(url), &body) != 0 || body.empty()) return kConfigDownloadFailed;
  return LoadBody(body);
}

int KInstallConfigMgr::LoadBody(const std::string& body) {
  RsaPublicKey key;
  std::string text;
  if (ParseRsaPublicKey(kRsaPublicKeyBlob, sizeof(kRsaPublicKeyBlob), &key)) {
    text = DecodeSignedTransport(body, key);
  }
  if (text.empty()) return kConfigUndecodable;
  return ParseDocument(text);
}

int KInstallConfigMgr::ParseDocument(const std::string& text) {
  variable_parser_ = std::make_unique<KVariableParser>();
  run_list_ = std::make_unique<std::vector<std::unique_ptr<KRunItem>>>();

  TiXmlDocument document;
  document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
  const TiXmlElement* root = document.RootElement();
  if (document.Error() || root == nullptr || root->ValueStr() != "root") return kConfigInvalid;

  variable_parser_->Load(root->FirstChildElement("variable"));

  const TiXmlElement* check = root->FirstChildElement("check");
  if (check == nullptr) return kConfigInvalid;
  check_parser_ = std::make_unique<KCheckParser>();
  check_parser_->Load(check, leaves_.get());

  const TiXmlElement* install = root->FirstChildElement("install");
  const TiXmlElement* company =
      install != nullptr ? install->FirstChildElement("company") : nullptr;
  if (company == nullptr) return kConfigInvalid;
  company_ = KCompanyNode::FromElement(*company);
  if (!company_->IsValid()) return kConfigInvalid;

  if (const TiXmlElement* run = root->FirstChildElement("run")) {
    for (const TiXmlElement* element = run->FirstChildElement("item"); element != nullptr;
         element = element->NextSiblingElement("item")) {
      std::unique_ptr<KRunItem> item = RunItemFromElement(*element);
      if (item != nullptr) run_list_->push_back(std::move(item));
    }
  }
  return kConfigLoaded;
}

const KTrynoNode* KInstallConfigMgr::FindTryno(int32_t tryno_id) const {
  if (company_ == nullptr) return nullptr;
  const auto found = company_->trynos.find(tryno_id);
  return found != company_->trynos.end() ? found->second.get() : nullptr;
}

int KInstallConfigMgr::EvaluateCondition(std::string_view condition) const {
  if (company_ == nullptr || check_parser_ == nullptr) return kConditionNoConfig;
  return check_parser_->EvaluateCondition(condition);
}

int KInstallConfigMgr::CheckUninstallInterval(int32_t interval_days) const {
  if (interval_days == 0) return kUninstallIntervalPassed;
  DWORD uninstall_time = 0;
  const UninstallHistoryPlace place = ReadUninstallValue(L"uninstall_time", &uninstall_time);
  if (place == kUninstallHistoryNone) return kUninstallIntervalPassed;
  const int64_t days =
      (static_cast<int64_t>(std::time(nullptr)) - static_cast<int64_t>(uninstall_time)) /
      kSecondsPerDay;
  if (days >= interval_days) return kUninstallIntervalPassed;
  return place == kUninstallHistoryProductKey ? kUninstallTooRecent : kUninstallTooRecentCopy;
}

void KInstallConfigMgr::ExpandVariables(std::wstring* text) const {
  ExpandConfigVariables(*this, text);
}

}  // namespace kbase
