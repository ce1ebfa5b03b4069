#include "config/config_dry_run.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "common/win/ansi_text.h"
#include "config/boolean_evaluator.h"
#include "config/check_parser.h"
#include "config/install_config_mgr.h"

namespace kbase {

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, format);
  vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

const char* ConditionWord(int code) {
  switch (code) {
    case kConditionHolds: return "holds";
    case kConditionFails: return "false";
    case kConditionMalformed: return "malformed";
    case kConditionBadCharacter: return "bad character";
    default: return "error";
  }
}

// "condition "1&~2" -> "1&0" -> false (200)"
std::string ExplainCondition(const KInstallConfigMgr& config, const std::string& condition) {
  if (condition.empty()) return "no condition -> holds (0)";
  std::string text;
  const KCheckParser* parser = config.check_parser();
  const int translated = parser != nullptr ? parser->TranslateCondition(condition, &text)
                                           : kConditionNoConfig;
  const int code = config.EvaluateCondition(condition);
  if (translated != 0) {
    return Format("condition \"%s\" -> %s (%d)", condition.c_str(), ConditionWord(code), code);
  }
  return Format("condition \"%s\" -> \"%s\" -> %s (%d)", condition.c_str(), text.c_str(),
                ConditionWord(code), code);
}

std::string ExpandedPath(const KInstallConfigMgr& config, const std::string& path) {
  std::wstring wide = FromAnsi(path);
  config.ExpandVariables(&wide);
  return ToUtf8(wide);
}

}  // namespace

std::string ExplainConfiguration(const KInstallConfigMgr& config) {
  std::string out;
  const KCompanyNode* company = config.company();
  if (company == nullptr) return "no configuration loaded\n";
  out += Format("company %d, version %d, %zu channel(s)\n", company->id, company->version,
                company->trynos.size());

  out += "condition items:\n";
  if (const KCheckParser* parser = config.check_parser()) {
    for (const auto& item : parser->items()) {
      out += Format("  item %d \"%s\": \"%s\"\n", item->id, ToUtf8(item->name).c_str(),
                    ToUtf8(item->value).c_str());
      for (const auto& leaf : item->leaves) {
        out += Format("    leaf %d answers %d\n", leaf->id, static_cast<int>(leaf->Check()));
      }
      std::string text;
      int value = 0;
      if (!item->Build(&text)) {
        out += "    -> cannot be translated: the item is not found\n";
      } else if (!EvaluateBooleanText(text, &value)) {
        out += Format("    -> \"%s\" -> malformed: the item is not found\n", text.c_str());
      } else {
        out += Format("    -> \"%s\" -> %s\n", text.c_str(), value != 0 ? "true" : "false");
      }
    }
  }

  for (const auto& [id, tryno] : company->trynos) {
    out += Format("channel (tryno) %d, version %d, Interval %d days%s%s\n", id, tryno->version,
                  tryno->Interval, tryno->softname.empty() ? "" : ", softname ",
                  tryno->softname.c_str());
    out += "  " + ExplainCondition(config, tryno->condition) + "\n";
    int environment = config.EvaluateCondition(tryno->condition);
    if (environment == 0) {
      environment = config.CheckUninstallInterval(tryno->Interval);
      out += Format("  uninstall interval -> %d\n", environment);
    }
    out += Format("  environment check -> %d%s\n", environment,
                  environment == 0 ? " (the packages would be downloaded)" : "");
    int number = 1;
    for (const auto& entry : tryno->entries) {
      out += Format("  entry %d: %s %s md5 %s\n", number++, entry->moduletype.c_str(),
                    entry->url.c_str(), entry->md5.c_str());
      out += "    path " + ExpandedPath(config, entry->path) + "\n";
      out += "    " + ExplainCondition(config, entry->condition) + "\n";
      out += Format("    delaydownload %d, sd %d, downloadtime %d, tovelpack %d, showpop %d, ndp %d\n",
                    entry->delaydownload, entry->sd, entry->downloadtime, entry->tovelpack,
                    entry->showpop, entry->ndp);
    }
  }

  out += Format("run list: %zu item(s)\n", config.run_list().size());
  for (const auto& item : config.run_list()) {
    out += "  " + ExpandedPath(config, item->path) + " " + item->param + "\n";
    out += "    " + ExplainCondition(config, item->condition) + "\n";
  }
  return out;
}

}  // namespace kbase
