// libFuzzer target for the condition languages. The input is split at its first NUL
// byte: the part before is the expression of items 1 to 3 (each with leaves 1 true,
// 2 false, 3 true), the part after is a condition expression. Also reduces both parts
// directly. Any code outside the specified set, a crash or a sanitizer report is a find.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "config/boolean_evaluator.h"
#include "config/check_parser.h"

namespace {

class FixedLeaf : public kbase::ICheckLeaf {
 public:
  FixedLeaf(int32_t id, int32_t result) : ICheckLeaf(id), result_(result) {}
  int32_t Check() override { return result_; }

 private:
  int32_t result_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\0');
  const std::string_view item_text = input.substr(0, split);
  const std::string_view condition =
      split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

  kbase::KCheckParser parser;
  for (int32_t id = 1; id <= 3; ++id) {
    auto item = std::make_unique<kbase::KCheckItem>();
    item->id = id;
    item->value.assign(item_text.begin(), item_text.end());
    item->leaves.push_back(std::make_unique<FixedLeaf>(1, 1));
    item->leaves.push_back(std::make_unique<FixedLeaf>(2, 0));
    item->leaves.push_back(std::make_unique<FixedLeaf>(3, 7));
    parser.AddItem(std::move(item));
  }

  const int code = parser.EvaluateCondition(condition);
  if (code != 0 && code != 200 && code != 202 && code != 204) abort();
  // Same input, same answer: nothing in the evaluation keeps state.
  if (parser.EvaluateCondition(condition) != code) abort();

  bool value = false;
  const bool found = parser.Lookup(1, &value);
  std::string built;
  if (found && !parser.items()[0]->Build(&built)) abort();

  int reduced = -1;
  for (std::string_view text : {item_text, condition}) {
    if (kbase::EvaluateBooleanText(text, &reduced) && reduced != 0 && reduced != 1) abort();
  }
  return 0;
}
