// The operators' dry run explains a configuration with the installer's own evaluation.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "config/check_leaf.h"
#include "config/check_leaf_factory.h"
#include "config/config_dry_run.h"
#include "config/install_config_mgr.h"
#include "config/fixed_leaf_factory.h"

namespace kbase {
namespace {

using test::FixedLeafFactory;

constexpr char kDocument[] = R"xml(<?xml version="1.0" encoding="utf-8"?>
<root>
  <check>
    <item id="1" name="yes" value="1|2"><leaf mode="fixed" id="1" result="0"/><leaf mode="fixed" id="2" result="7"/></item>
    <item id="2" name="no" value="1"><leaf mode="fixed" id="1" result="0"/></item>
  </check>
  <install>
    <company id="186" version="3">
      <tryno id="336" version="2" Interval="0" condition="1&amp;~2" softname="suite">
        <dlfile url="http://cdn/p.exe" md5="ABC" moduletype="exe" path="C:\pkg\p.exe" downloadtype="1" condition="2"/>
        <dlfile url="http://cdn/q.dll" md5="DEF" moduletype="dll" path="C:\pkg\q.dll" downloadtype="1" funcname="Run" delaydownload="1"/>
      </tryno>
      <tryno id="337" version="1" condition="2">
        <dlfile url="http://cdn/r.exe" md5="0" moduletype="exe" path="C:\r.exe" downloadtype="1"/>
      </tryno>
    </company>
  </install>
  <run><item path="C:\run.exe" param="a#@#b" condition="1"/></run>
</root>)xml";

TEST(ConfigDryRun, ExplainsItemsChannelsEntriesAndRunList) {
  KInstallConfigMgr config(std::make_unique<FixedLeafFactory>());
  ASSERT_EQ(config.LoadDocumentText(kDocument), 0);
  const std::string text = ExplainConfiguration(config);
  const char* kExpected[] = {
      "company 186, version 3, 2 channel(s)",
      "  item 1 \"yes\": \"1|2\"\n    leaf 1 answers 0\n    leaf 2 answers 7\n    -> \"0|1\" -> true",
      "  item 2 \"no\": \"1\"\n    leaf 1 answers 0\n    -> \"0\" -> false",
      "channel (tryno) 336, version 2, Interval 0 days, softname suite",
      "  condition \"1&~2\" -> \"1&1\" -> holds (0)",
      "  uninstall interval -> 0",
      "  environment check -> 0 (the packages would be downloaded)",
      "  entry 1: exe http://cdn/p.exe md5 ABC\n    path C:\\pkg\\p.exe\n"
      "    condition \"2\" -> \"0\" -> false (200)",
      "  entry 2: dll http://cdn/q.dll md5 DEF",
      "delaydownload 1",
      "channel (tryno) 337, version 1, Interval 0 days\n  condition \"2\" -> \"0\" -> false (200)\n"
      "  environment check -> 200\n",
      "run list: 1 item(s)\n  C:\\run.exe a\"b\n    condition \"1\" -> \"1\" -> holds (0)",
  };
  for (const char* expected : kExpected) {
    EXPECT_NE(text.find(expected), std::string::npos) << "missing:\n" << expected << "\nin:\n" << text;
  }
  // The same verdicts the installer computes.
  EXPECT_EQ(config.EvaluateCondition("1&~2"), 0);
  EXPECT_EQ(config.EvaluateCondition("2"), 200);
}

TEST(ConfigDryRun, SaysWhenNothingLoaded) {
  KInstallConfigMgr config;
  EXPECT_EQ(config.LoadDocumentText("<notroot/>"), 100);
  EXPECT_EQ(ExplainConfiguration(config).substr(0, 24), "no configuration loaded\n");
}

}  // namespace
}  // namespace kbase
