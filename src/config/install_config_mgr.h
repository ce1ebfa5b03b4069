#pragma once
// The channel configuration: fetched from the configuration server, opened with the
// built-in public key, parsed, and kept for the run controller.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "config/check_leaf_factory.h"
#include "config/check_parser.h"
#include "config/company_node.h"
#include "config/variable_parser.h"

namespace kbase {

// Results of a load.
enum ConfigLoadResult {
  kConfigLoaded = 0,
  kConfigDownloadFailed = 50,
  kConfigInvalid = 100,
  kConfigUndecodable = 101,
};

// Results of the uninstall interval test.
enum UninstallIntervalResult {
  kUninstallIntervalPassed = 0,
  kUninstallTooRecent = 352,        // by the product key's record
  kUninstallTooRecentCopy = 358,    // by the second copy of the record
};

// A program to start after installation ("run" section).
struct KRunItem {
  std::string condition;
  std::string path;
  std::string param;  // "#@#" already replaced by a double quote
};

class KInstallConfigMgr {
 public:
  // `leaves` builds the leaves of condition items; without one, every item with a leaf
  // is dropped.
  explicit KInstallConfigMgr(std::unique_ptr<ICheckLeafFactory> leaves = nullptr);
  virtual ~KInstallConfigMgr();
  KInstallConfigMgr(const KInstallConfigMgr&) = delete;
  KInstallConfigMgr& operator=(const KInstallConfigMgr&) = delete;

  // Fetches and parses the configuration of a channel; `scene` is the run's scene
  // (0 for none). 0, or 50, 100, 101 (ConfigLoadResult).
  int Load(int32_t company_id, int32_t tryno_id, int32_t scene);
  // The steps of Load after the download: the served body (signed transport) is opened
  // with the built-in key and parsed. 0, 100 or 101.
  int LoadBody(const std::string& body);
  // Parses a plain document, as operators have it before signing. 0 or 100.
  int LoadDocumentText(const std::string& text) { return ParseDocument(text); }

  // The document path with its query, e.g. "/seminstall/186/336_1.xml?time=1700000000".
  static std::string DocumentPath(int32_t company_id, int32_t tryno_id, int32_t scene,
                                  int64_t now);

  // The channel with this id in the loaded company, or null.
  const KTrynoNode* FindTryno(int32_t tryno_id) const;
  // 0 when the condition holds; 200, 201, 202 or 204 (ConditionResult).
  int EvaluateCondition(std::string_view condition) const;
  // 0, 352 or 358 for a channel's Interval in days (UninstallIntervalResult).
  int CheckUninstallInterval(int32_t interval_days) const;
  const std::vector<std::unique_ptr<KRunItem>>& run_list() const { return *run_list_; }
  // Configuration variables, then the built-in path variables.
  void ExpandVariables(std::wstring* text) const;

  const KCompanyNode* company() const { return company_.get(); }
  const KCheckParser* check_parser() const { return check_parser_.get(); }
  const KVariableParser* variable_parser() const { return variable_parser_.get(); }

  // Tests serve the document from a port of their own.
  void SetHostForTesting(std::string host) { host_for_testing_ = std::move(host); }

 private:
  int ParseDocument(const std::string& text);

  std::unique_ptr<KCompanyNode> company_;
  std::unique_ptr<KCheckParser> check_parser_;
  std::unique_ptr<KVariableParser> variable_parser_;
  std::unique_ptr<std::vector<std::unique_ptr<KRunItem>>> run_list_;
  std::unique_ptr<ICheckLeafFactory> leaves_;
  std::string host_for_testing_;
};

}  // namespace kbase
