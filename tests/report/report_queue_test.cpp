// The thread holder and the report queue: order of sends, start and stop rules, and a
// stop that does not wait for a stalled network.
#include <gtest/gtest.h>

#include <atomic>

#include "common/win/critical_section.h"
#include "report/report_endpoint.h"
#include "report/report_helper.h"
#include "report/report_identity.h"
#include "report/thread_base.h"

namespace kbase {
namespace {

// A thread whose Run waits the given time, then records that it got to its end.
class SampleThread : public kxThreadBase<CriticalSection> {
 public:
  explicit SampleThread(DWORD wait_ms)
      : wait_ms_(wait_ms), never_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~SampleThread() override { Terminate(); }
  int Run(int user_value, int reserved) override {
    runs_++;
    if (wait_ms_ > 0) WaitForSingleObject(never_.get(), wait_ms_);
    finished_ = true;
    return 7;
  }
  std::atomic<int> runs_{0};
  std::atomic<bool> finished_{false};

 private:
  DWORD wait_ms_;
  ScopedHandle never_;
};

TEST(ThreadBaseTest, StartStopAndTerminateAnswerByTheThreadsState) {
  SampleThread quick(0);
  EXPECT_EQ(quick.Stop(100), -3);
  EXPECT_EQ(quick.Terminate(), 253);
  EXPECT_EQ(quick.Start(), 0);  // returns although the thread is gone at once
  for (int i = 0; i < 500 && quick.IsRunning(); ++i) Sleep(2);
  EXPECT_FALSE(quick.IsRunning());
  EXPECT_TRUE(quick.finished_);
  EXPECT_EQ(quick.Stop(100), -3);

  SampleThread slow(300);
  ASSERT_EQ(slow.Start(), 0);
  EXPECT_TRUE(slow.IsRunning());
  EXPECT_EQ(slow.Start(), 255);
  EXPECT_EQ(slow.Stop(5000), 0);  // ends by itself within the wait
  EXPECT_TRUE(slow.finished_);
  EXPECT_FALSE(slow.IsRunning());
  EXPECT_EQ(slow.runs_, 1);

  SampleThread stuck(INFINITE);
  ASSERT_EQ(stuck.Start(), 0);
  const DWORD start = GetTickCount();
  EXPECT_EQ(stuck.Stop(300), 0);  // ended by force
  EXPECT_LT(GetTickCount() - start, 3000u);
  EXPECT_FALSE(stuck.IsRunning());
  EXPECT_FALSE(stuck.finished_);
  EXPECT_EQ(stuck.Terminate(), 253);
  ASSERT_EQ(stuck.Start(), 0);  // and can run again
  EXPECT_EQ(stuck.runs_, 2);
  EXPECT_EQ(stuck.Terminate(), 0);
}

class ReportQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(endpoint_.Start());
    KInstallTool::ReportIdentity identity;
    identity.company_id = L"186";
    identity.tryno_id = L"336";
    identity.third_number = L"2";
    identity.install_id = L"00112233445566778899AABBCCDDEEFF";
    identity.device_id = L"device";
    identity.survey_text = L"survey";
    KInstallTool::SetReportIdentity(identity);
  }
  void TearDown() override { KSemReport::GetReportHelper()->StopReporting(); }

  test::TelemetryEndpoint endpoint_;
};

TEST_F(ReportQueueTest, EventsAreSentInOrderOnlyWhileReporting) {
  KSemReport::ReportHelper* helper = KSemReport::GetReportHelper();
  EXPECT_EQ(helper, KSemReport::GetReportHelper());
  EXPECT_FALSE(helper->PostUiEvent(1, 2));  // not started

  helper->StartReporting();
  const DWORD thread = helper->thread_id();
  helper->StartReporting();  // no second thread
  EXPECT_EQ(helper->thread_id(), thread);
  EXPECT_TRUE(helper->IsRunning());
  // Queued right after the start, and in quick succession.
  EXPECT_TRUE(helper->PostUiEvent(4, 2));
  EXPECT_TRUE(helper->PostUiEvent(6, 2));
  EXPECT_TRUE(helper->PostUiEvent(5, 2));
  ASSERT_TRUE(endpoint_.WaitFor(3, 10000));

  const auto messages = endpoint_.Messages();
  ASSERT_EQ(messages.size(), 3u);
  const uint32_t events[] = {4, 6, 5};
  for (size_t i = 0; i < 3; ++i) {
    const auto& header = messages[i].blocks.at(0);
    EXPECT_EQ(header.Number("company_id"), 186u);
    EXPECT_EQ(header.Number("tryno_id"), 336u);
    EXPECT_EQ(header.Number("third_number"), 2u);
    const auto& block = test::TableBlock(messages[i]);
    EXPECT_EQ(block.table_id, 5010);
    EXPECT_EQ(block.Number("event"), events[i]);
    EXPECT_EQ(block.Number("value"), 2u);
    EXPECT_EQ(block.Number("detail"), 0u);
    EXPECT_EQ(block.Number("kind"), 3u);
    EXPECT_FALSE(block.Flag("flag1") || block.Flag("flag2") || block.Flag("flag3") ||
                 block.Flag("flag4"));
  }

  helper->StopReporting();
  EXPECT_FALSE(helper->IsRunning());
  EXPECT_FALSE(helper->PostUiEvent(7, 2));
  Sleep(200);
  EXPECT_EQ(endpoint_.Count(), 3u);
}

TEST_F(ReportQueueTest, FailedSendsAreNotRetried) {
  endpoint_.AnswerText("[common]\nresult=0\n");
  KSemReport::ReportHelper* helper = KSemReport::GetReportHelper();
  helper->StartReporting();
  EXPECT_TRUE(helper->PostUiEvent(8, 2));
  EXPECT_TRUE(helper->PostUiEvent(9, 2));
  ASSERT_TRUE(endpoint_.WaitFor(2, 10000));
  Sleep(300);
  EXPECT_EQ(endpoint_.Count(), 2u);
}

TEST_F(ReportQueueTest, StopEndsAStalledSendAfterThreeSecondsAndDropsTheRest) {
  test::HttpResponse stall = test::TelemetryEndpoint::Confirming();
  stall.stall_after = 0;
  stall.stall_ms = 20000;
  endpoint_.Answer(stall);
  KSemReport::ReportHelper* helper = KSemReport::GetReportHelper();
  helper->StartReporting();
  EXPECT_TRUE(helper->PostUiEvent(4, 2));
  EXPECT_TRUE(helper->PostUiEvent(5, 2));
  EXPECT_TRUE(helper->PostUiEvent(6, 2));
  ASSERT_TRUE(endpoint_.WaitFor(1, 5000));  // the first send waits for its reply

  const DWORD start = GetTickCount();
  helper->StopReporting();
  const DWORD elapsed = GetTickCount() - start;
  EXPECT_GE(elapsed, 2900u);
  EXPECT_LT(elapsed, 5000u);
  EXPECT_FALSE(helper->IsRunning());
  EXPECT_FALSE(helper->PostUiEvent(7, 2));

  // The queue starts again after a forced end, and the dropped reports stay dropped.
  endpoint_.Answer(test::TelemetryEndpoint::Confirming());
  helper->StartReporting();
  EXPECT_TRUE(helper->PostUiEvent(8, 2));
  ASSERT_TRUE(endpoint_.WaitFor(2, 10000));
  Sleep(300);
  const auto messages = endpoint_.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(test::TableBlock(messages[0]).Number("event"), 4u);
  EXPECT_EQ(test::TableBlock(messages[1]).Number("event"), 8u);
}

}  // namespace
}  // namespace kbase
