// Every report table, sent to the test endpoint and decoded field by field.
#include <gtest/gtest.h>

#include <string>

#include "report/dump_mgr.h"
#include "report/process_info_report.h"
#include "report/report_endpoint.h"
#include "report/report_identity.h"
#include "report/tool_report.h"
#include "report/ui_info_report.h"
#include "report/update_info_report.h"
#include "support/win_test_util.h"

namespace KInstallTool {
namespace {

using KDirectVestat::DecodedBlock;
using KDirectVestat::DecodedMessage;

constexpr wchar_t kInstallId[] = L"00112233445566778899AABBCCDDEEFF";
const std::string kInstallIdBytes(
    "\x00\x11\x22\x33\x44\x55\x66\x77\x88\x99\xAA\xBB\xCC\xDD\xEE\xFF", 16);

ReportIdentity TestIdentity() {
  ReportIdentity identity;
  identity.company_id = L"186";
  identity.tryno_id = L"336";
  identity.third_number = L"9";
  identity.install_id = kInstallId;
  identity.device_id = L"device-7";
  identity.survey_text = L"av1|av2";
  identity.os_code = 61;
  return identity;
}

class ReportTablesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(endpoint_.Start()); }

  // The only message received since the last call.
  DecodedMessage Next() {
    const auto messages = endpoint_.Messages();
    EXPECT_EQ(messages.size(), seen_ + 1);
    if (messages.size() <= seen_) return {};
    return messages[seen_++];
  }

  static void ExpectPublic(const DecodedMessage& message, uint32_t company, uint32_t tryno,
                           uint32_t third, const std::string& install_id = kInstallIdBytes) {
    ASSERT_FALSE(message.blocks.empty());
    const DecodedBlock& block = message.blocks[0];
    EXPECT_EQ(block.Text("install_id"), install_id);
    EXPECT_EQ(block.Number("company_id"), company);
    EXPECT_EQ(block.Number("tryno_id"), tryno);
    EXPECT_EQ(block.Number("third_number"), third);
    EXPECT_EQ(block.Text("product_key"), "r3kfw0tbm9pxq2jvzg7uhy4loe1d");
  }

  kbase::test::TelemetryEndpoint endpoint_;
  size_t seen_ = 0;
};

TEST_F(ReportTablesTest, InstallToolReportSendsStepPhaseAndPopupTables) {
  KInstallToolReport report;
  report.SetIdentity(TestIdentity());
  kbase::IInstallToolReport& sink = report;

  EXPECT_EQ(sink.ReportStep(40, 2, 56, 3, "timeout"), 0);
  DecodedMessage message = Next();
  ExpectPublic(message, 186, 336, 9);
  const DecodedBlock& step = kbase::test::TableBlock(message);
  EXPECT_EQ(step.table_id, 4680);
  EXPECT_EQ(step.Number("constant_b"), 2u);
  EXPECT_EQ(step.Number("event"), 40u);
  EXPECT_EQ(step.Number("step"), 2u);
  EXPECT_EQ(step.Text("survey_text"), "av1|av2");
  EXPECT_EQ(step.Number("value"), 56u);
  EXPECT_EQ(step.Number("code"), 3u);
  EXPECT_EQ(step.Text("text"), "timeout");

  EXPECT_EQ(sink.ReportStep(60, 1, 0, 0, nullptr), 0);  // null text goes out empty
  EXPECT_EQ(kbase::test::TableBlock(Next()).Text("text"), "");

  EXPECT_EQ(sink.ReportPhase(31, -252), 0);
  message = Next();
  ExpectPublic(message, 186, 336, 9);
  DecodedBlock phase = kbase::test::TableBlock(message);
  EXPECT_EQ(phase.table_id, 4679);
  EXPECT_EQ(phase.Number("constant_a"), 2u);
  EXPECT_EQ(phase.Number("channel_version"), 2u);  // no channel matched yet
  EXPECT_EQ(phase.Number("event"), 31u);
  EXPECT_EQ(static_cast<int32_t>(phase.Number("result")), -252);
  EXPECT_EQ(phase.Text("survey_text"), "av1|av2");
  EXPECT_EQ(phase.Number("os_code"), 61u);
  EXPECT_EQ(phase.Text("device_id"), "device-7");

  report.set_channel_version(5);
  EXPECT_EQ(sink.ReportPhase(40, 0), 0);
  EXPECT_EQ(kbase::test::TableBlock(Next()).Number("channel_version"), 5u);

  EXPECT_EQ(sink.ReportPopup(1, 0x1FF), 0);  // only the low byte of the result
  message = Next();
  ExpectPublic(message, 186, 336, 9);
  const DecodedBlock& popup = kbase::test::TableBlock(message);
  EXPECT_EQ(popup.table_id, 5847);
  EXPECT_EQ(popup.Number("constant_1"), 1u);
  EXPECT_EQ(popup.Number("kind"), 1u);
  EXPECT_EQ(popup.Number("result"), 0xFFu);

  endpoint_.AnswerText("[common]\nresult=0\n");
  EXPECT_EQ(sink.ReportPhase(50, 0), -1);
}

TEST_F(ReportTablesTest, ConditionLeafReportCarriesThirdNumberZero) {
  KInstallToolReport leaf;
  leaf.SetIdentity(TestIdentity());
  leaf.set_third_number(L"");
  EXPECT_EQ(leaf.ReportStep(30, 4, 1, 0, "city"), 0);
  ExpectPublic(Next(), 186, 336, 0);
}

TEST_F(ReportTablesTest, BadInstallIdsGiveSixteenZeroBytes) {
  for (const wchar_t* id : {L"00112233445566778899aabbccddeeff",
                            L"00112233445566778899AABBCCDDEEF"}) {
    KUpdateInfoReport report;
    report.set_install_id(id);
    EXPECT_EQ(report.Send(), 0);
    ExpectPublic(Next(), 0, 0, 0, std::string(16, '\0'));
  }
}

TEST_F(ReportTablesTest, ProcessInfoReportCutsTextsAndHasZeroIds) {
  KProcessInfoReport report;
  report.set_parent(std::wstring(60, L'p'), L"d1");
  report.set_grandparent(L"explorer.exe", L"d2");
  report.set_great_grandparent(L"", std::wstring(50, L'g'));
  report.set_flag(1);
  report.set_company_id(186);
  report.set_tryno_id(336);
  report.set_install_id(kInstallId);
  EXPECT_EQ(report.Send(), 0);
  const DecodedMessage message = Next();
  ExpectPublic(message, 0, 0, 0);
  const DecodedBlock& block = kbase::test::TableBlock(message);
  EXPECT_EQ(block.table_id, 3769);
  EXPECT_EQ(block.Text("parent_name"), std::string(50, 'p'));
  EXPECT_EQ(block.Text("parent_digest"), "d1");
  EXPECT_EQ(block.Text("grandparent_name"), "explorer.exe");
  EXPECT_EQ(block.Text("grandparent_digest"), "d2");
  EXPECT_EQ(block.Text("great_grandparent_name"), "");
  EXPECT_EQ(block.Text("great_grandparent_digest"), std::string(50, 'g'));
  EXPECT_EQ(block.Number("flag"), 1u);
  EXPECT_EQ(block.Number("company_id"), 186u);
  EXPECT_EQ(block.Number("tryno_id"), 336u);
}

TEST_F(ReportTablesTest, UpdateInfoReportCarriesOutcomeDetailAndError) {
  KUpdateInfoReport report;
  report.set_outcome(4);
  report.set_detail(252);
  report.set_download_error(404);
  report.set_install_id(kInstallId);
  EXPECT_EQ(report.Send(), 0);
  const DecodedMessage message = Next();
  ExpectPublic(message, 0, 0, 0);
  const DecodedBlock& block = kbase::test::TableBlock(message);
  EXPECT_EQ(block.table_id, 4033);
  EXPECT_EQ(block.Number("outcome"), 4u);
  EXPECT_EQ(block.Number("detail"), 252u);
  EXPECT_EQ(block.Number("download_error"), 404u);
  EXPECT_EQ(block.Text("text"), "");
}

TEST_F(ReportTablesTest, UiInfoReportPutsItsFourFlagsInOneBitmapByte) {
  struct Case {
    uint8_t flag1, flag2, flag3, flag4;
  };
  const Case cases[] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}, {1, 1, 1, 1}};
  for (const auto& c : cases) {
    KUIInfoReport report;
    report.SetIdentity(TestIdentity());
    report.flag1 = c.flag1;
    report.flag2 = c.flag2;
    report.flag3 = c.flag3;
    report.flag4 = c.flag4;
    report.kind = 3;
    report.event = 0;
    report.detail = 1;
    report.value = 2;
    EXPECT_EQ(report.Send(), 0);
    const DecodedMessage message = Next();
    ExpectPublic(message, 186, 336, 9);
    const DecodedBlock& block = kbase::test::TableBlock(message);
    EXPECT_EQ(block.table_id, 5010);
    EXPECT_EQ(block.Flag("flag1"), c.flag1 != 0);
    EXPECT_EQ(block.Flag("flag2"), c.flag2 != 0);
    EXPECT_EQ(block.Flag("flag3"), c.flag3 != 0);
    EXPECT_EQ(block.Flag("flag4"), c.flag4 != 0);
    EXPECT_EQ(block.Number("event"), 0u);
    EXPECT_EQ(block.Number("detail"), 1u);
    EXPECT_EQ(block.Number("value"), 2u);
    EXPECT_EQ(block.Number("kind"), 3u);
  }
  // The bitmap byte on the wire: flag 4 is bit 0, then flags 1, 2 and 3.
  const auto request = endpoint_.server().RequestsFor("/c/").at(3);
  const size_t table_at = request.body.size() - (2 + 1 + 4 + 4 + 4 + 1);
  EXPECT_EQ(request.body.substr(table_at, 3), std::string("\x92\x13\x01", 3));
}

TEST_F(ReportTablesTest, CrashReportGathersOnceAndRecordsEachException) {
  SetReportIdentity(TestIdentity());
  kbase::KDumpMgr& manager = kbase::KDumpMgr::Instance();
  manager.SetChannel(186, 336);
  EXCEPTION_RECORD record = {};
  record.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
  record.ExceptionAddress = reinterpret_cast<void*>(0x12345678);
  EXCEPTION_POINTERS pointers = {&record, nullptr};
  // Not installed: there is no previous filter to ask.
  EXPECT_EQ(manager.OnException(&pointers), EXCEPTION_CONTINUE_SEARCH);
  EXPECT_EQ(manager.last_send_result(), 0);
  DecodedMessage message = Next();
  ExpectPublic(message, 0, 0, 0);
  DecodedBlock block = kbase::test::TableBlock(message);
  EXPECT_EQ(block.table_id, 3806);
  EXPECT_EQ(block.Text("device_id"), "device-7");
  EXPECT_EQ(block.Number("company_id"), 186u);
  EXPECT_EQ(block.Number("tryno_id"), 336u);
  EXPECT_EQ(block.Text("module_name"), "report_tables_test.exe");
  EXPECT_EQ(block.Text("process_name"), "report_tables_test.exe");
  EXPECT_EQ(block.Text("module_version"), block.Text("process_version"));
  EXPECT_EQ(block.Number("exception_code"), 0xC0000005u);
  EXPECT_EQ(block.Number("exception_address"), 0x12345678u);
  EXPECT_EQ(block.Number("system_id"), 61u);
  EXPECT_EQ(block.Number("is_64bit"), 1u);
  EXPECT_NEAR(block.Number("uptime"), GetTickCount() / 1000, 2);

  // A second exception: new code and address, the identity gathered the first time.
  ReportIdentity changed = TestIdentity();
  changed.device_id = L"other";
  SetReportIdentity(changed);
  record.ExceptionCode = EXCEPTION_INT_DIVIDE_BY_ZERO;
  record.ExceptionAddress = reinterpret_cast<void*>(0x9ABC);
  manager.OnException(&pointers);
  block = kbase::test::TableBlock(Next());
  EXPECT_EQ(block.Text("device_id"), "device-7");
  EXPECT_EQ(block.Number("exception_code"), 0xC0000094u);
  EXPECT_EQ(block.Number("exception_address"), 0x9ABCu);
}

TEST_F(ReportTablesTest, CrashInAChildProgramIsReportedBeforeThePreviousFilterRuns) {
  const std::wstring child = kbase::test::BesideThisProgram(L"report_crash_child.exe");
  const std::string host = endpoint_.server().Host();
  // The child's own filter, replaced by the crash reporter, exits with 77.
  EXPECT_EQ(kbase::test::RunProgram(child, std::wstring(host.begin(), host.end())), 77);
  const DecodedMessage message = Next();
  ExpectPublic(message, 0, 0, 0);
  const DecodedBlock& block = kbase::test::TableBlock(message);
  EXPECT_EQ(block.table_id, 3806);
  EXPECT_EQ(block.Text("device_id"), "child-device");
  EXPECT_EQ(block.Number("company_id"), 186u);
  EXPECT_EQ(block.Number("tryno_id"), 336u);
  EXPECT_EQ(block.Text("module_name"), "report_crash_child.exe");
  EXPECT_EQ(block.Text("module_version"), "1.2.3.4");
  EXPECT_EQ(block.Text("process_name"), "report_crash_child.exe");
  EXPECT_EQ(block.Text("process_version"), "1.2.3.4");
  EXPECT_EQ(block.Number("exception_code"), 0xC0000005u);
  EXPECT_NE(block.Number("exception_address"), 0u);
  EXPECT_EQ(block.Number("is_64bit"), 1u);
}

}  // namespace
}  // namespace KInstallTool
