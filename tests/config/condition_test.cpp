// The condition languages: the 0/1 reducer, item expressions and condition expressions,
// with fake leaves that record every test they run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/boolean_evaluator.h"
#include "config/check_parser.h"

namespace kbase {
namespace {

class RecordingLeaf : public ICheckLeaf {
 public:
  RecordingLeaf(int32_t id, int32_t result, std::vector<int32_t>* calls)
      : ICheckLeaf(id), result_(result), calls_(calls) {}
  int32_t Check() override {
    calls_->push_back(id);
    return result_;
  }

 private:
  int32_t result_;
  std::vector<int32_t>* calls_;
};

struct FakeLeaf {
  int32_t id;
  int32_t result;
};

class ConditionTest : public ::testing::Test {
 protected:
  void AddItem(int32_t id, const wchar_t* value, std::vector<FakeLeaf> leaves) {
    auto item = std::make_unique<KCheckItem>();
    item->id = id;
    item->value = value;
    for (const FakeLeaf& leaf : leaves) {
      item->leaves.push_back(std::make_unique<RecordingLeaf>(leaf.id, leaf.result, &calls_));
    }
    parser_.AddItem(std::move(item));
  }

  KCheckParser parser_;
  std::vector<int32_t> calls_;
};

TEST(BooleanEvaluator, ReducesWithNotOverAndOverOr) {
  const struct {
    const char* text;
    bool ok;
    int value;
  } kCases[] = {
      {"0", true, 0},
      {"1", true, 1},
      {"~0", true, 1},
      {"~~1", true, 1},
      {"1&0|1", true, 1},
      {"1|0&0", true, 1},
      {"0&1|1&0", true, 0},
      {"~1&0", true, 0},
      {"1&~0", true, 1},
      {"~(0|0)", true, 1},      // a group counts as one value
      {"(1|0)&(0|0)", true, 0},
      {"((((1))))", true, 1},
      {"1)(0", true, 1},        // an outer ")" ends the text
      {"", false, 0},
      {"()", false, 0},
      {"01", false, 0},        // two values, no operator
      {"1&", false, 0},
      {"|1", false, 0},
      {"1||1", false, 0},
      {"1&&1", false, 0},
      {"~", false, 0},
      {"(1", false, 0},
      {"1)", false, 0},
      {"(1)(0)&1", false, 0},  // a value left over
      {"2", false, 0},
      {"1 ", false, 0},
  };
  for (const auto& c : kCases) {
    int value = -1;
    EXPECT_EQ(EvaluateBooleanText(c.text, &value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}

TEST(BooleanEvaluator, NestingIsBoundedInsteadOfExhaustingTheStack) {
  const auto nested = [](int depth) {
    return std::string(depth, '(') + "1" + std::string(depth, ')');
  };
  int value = 0;
  EXPECT_TRUE(EvaluateBooleanText(nested(kMaxConditionNesting), &value));
  EXPECT_EQ(value, 1);
  EXPECT_FALSE(EvaluateBooleanText(nested(kMaxConditionNesting + 1), &value));
  EXPECT_FALSE(EvaluateBooleanText(nested(1000000), &value));
  EXPECT_FALSE(EvaluateBooleanText(std::string(1000000, '(') + "1", &value));
}

// Item 1 is true, item 2 false, item 12 false: the cases of the condition language.
TEST_F(ConditionTest, ConditionExpressionsGiveTheirCodes) {
  AddItem(1, L"1", {{1, 1}});
  AddItem(2, L"1", {{1, 0}});
  AddItem(12, L"1", {{1, 0}});
  const std::string deep = std::string(kMaxConditionNesting + 1, '(') + "1" +
                           std::string(kMaxConditionNesting + 1, ')');
  const struct {
    std::string condition;
    int code;
  } kCases[] = {
      {"", 0},
      {"1", 0},
      {"2", 200},
      {"1&2", 200},
      {"1|2", 0},
      {"~1|2", 200},
      {"1&~2", 0},
      {"(1|2)&1", 0},
      {"~(2|1)", 0},  // "~" negates item 2 only
      {"~~2", 0},     // a second "~" does not cancel the first
      {"7", 0},       // no such item: satisfied
      {"~7", 0},      // and not negated
      {"12", 200},    // item 12, not items 1 and 2
      {"00000000000000000000000000000001", 0},    // 32 digits: item 1
      {"000000000000000000000000000000002", 202},  // 33 digits
      {"99999999999", 0},   // beyond int32: names no item
      {"~99999999999", 0},
      {"1 & 2", 204},
      {"1&2x", 204},
      {"-1", 204},
      {"1&(2", 202},
      {"1)|(2", 0},
      {"1&", 202},
      {"&1", 202},
      {"~", 202},
      {"()", 202},
      {"1(2)", 202},
      {deep, 202},
      {std::string(100000, '(') + "1", 202},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(parser_.EvaluateCondition(c.condition), c.code) << c.condition;
  }
}

TEST_F(ConditionTest, EmptyConditionTouchesNoItem) {
  AddItem(1, L"1", {{1, 1}});
  EXPECT_EQ(parser_.EvaluateCondition(""), 0);
  EXPECT_TRUE(calls_.empty());
}

// Items whose expressions translate to texts the reducer rejects count as satisfied.
TEST_F(ConditionTest, ItemExpressionsAndTheirFailures) {
  AddItem(5, L"1&2", {{1, 1}});             // leaf 2 missing: "1&"
  AddItem(6, L"~(1|2)", {{1, 0}, {2, 0}});  // "~" negates the whole group here
  AddItem(7, L"1", {{1, 1}, {1, 0}});       // doubled leaf id: "10"
  AddItem(8, L"1&2", {{1, 7}, {2, 1}});     // any non-zero result is true
  AddItem(9, L"(1|2)&~3", {{1, 0}, {2, 1}, {3, 1}});
  const struct {
    const char* condition;
    int code;
  } kCases[] = {
      {"5", 0}, {"~5", 0},  // not found: never negated
      {"6", 0}, {"~6", 200},
      {"7", 0}, {"~7", 0},
      {"8", 0}, {"~8", 200},
      {"9", 200},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(parser_.EvaluateCondition(c.condition), c.code) << c.condition;
  }
}

TEST_F(ConditionTest, LookupTakesTheNextItemOnlyWhenReductionFails) {
  AddItem(3, L"1&", {{1, 1}});  // builds, does not reduce: try the next item 3
  AddItem(3, L"1", {{1, 0}});
  AddItem(4, L"1 ", {{1, 1}});  // cannot be built: the lookup ends here
  AddItem(4, L"1", {{1, 0}});
  AddItem(10, L"000000000000000000000000000000001", {{1, 0}});  // 33-digit leaf id
  bool value = true;
  ASSERT_TRUE(parser_.Lookup(3, &value));
  EXPECT_FALSE(value);
  EXPECT_FALSE(parser_.Lookup(4, &value));
  EXPECT_FALSE(parser_.Lookup(10, &value));
  EXPECT_FALSE(parser_.Lookup(11, &value));
  EXPECT_EQ(parser_.EvaluateCondition("3"), 200);
  EXPECT_EQ(parser_.EvaluateCondition("4"), 0);
  EXPECT_EQ(parser_.EvaluateCondition("~10"), 0);
}

TEST_F(ConditionTest, EveryReferenceRunsItsTestsInTextOrderWithoutShortCircuit) {
  AddItem(1, L"10", {{10, 0}});
  AddItem(2, L"20|21", {{20, 1}, {21, 1}});
  AddItem(3, L"31&30&31", {{30, 0}, {31, 1}});
  EXPECT_EQ(parser_.EvaluateCondition("1&2&3|1"), 200);
  EXPECT_EQ(calls_, (std::vector<int32_t>{10, 20, 21, 31, 30, 31, 10}));

  calls_.clear();  // a character outside the alphabet stops before later items
  EXPECT_EQ(parser_.EvaluateCondition("2&1+3"), 204);
  EXPECT_EQ(calls_, (std::vector<int32_t>{20, 21, 10}));
}

TEST(CheckItem, LoadRuleForItemValues) {
  const struct {
    const wchar_t* value;
    bool ok;
  } kCases[] = {
      {L"", true},          {L"1&(2|~3)", true}, {L")(", true},
      {L"1&(2", false},     {L"1 & 2", false},   {L"a", false},
      {L"1\x0661", false},  // a digit of another script
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(KCheckItem::IsWellFormedValue(c.value), c.ok) << c.value;
  }
}

}  // namespace
}  // namespace kbase
