#include "common/json/json_document.h"

#include <utility>

#include "common/json/json_reader.h"

namespace VwJson {
namespace {

template <class Kind>
std::unique_ptr<Value> Make() {
  return std::make_unique<Kind>();
}

}  // namespace

bool Document::Parse(const std::wstring& text) {
  SetRoot(nullptr);
  // Root kinds in the order they are tried, each from the first character. The last
  // failure (the object's) is the one the document keeps.
  static std::unique_ptr<Value> (*const kKinds[])() = {
      Make<ValueBool>, Make<ValueLong>, Make<ValueString>, Make<ValueArray>, Make<ValueObject>,
  };
  for (const auto make : kKinds) {
    Error reader(text);
    std::unique_ptr<Value> candidate = make();
    if (candidate->Parse(reader)) {
      SetRoot(std::move(candidate));
      error_code_ = 0;
      error_line_ = -1;
      error_column_ = -1;
      return true;
    }
    error_code_ = reader.Code();
    error_line_ = reader.Line();
    error_column_ = reader.Column();
  }
  return false;
}

std::wstring Document::ToString() const {
  std::wstring out;
  if (root_) root_->Write(out, false, 0, 4);
  return out;
}

Handle Document::Member(const std::wstring& name) {
  if (!root_) SetRoot(std::make_unique<ValueObject>());
  if (root_->Type() != kTypeObject) return Handle();
  auto* const object = static_cast<ValueObject*>(root_.get());
  Value* member = object->Find(name);
  if (!member) member = object->Set(name, std::make_unique<ValueNull>());
  return Handle(object, member);
}

void Document::SetRoot(std::unique_ptr<Value> root) {
  root_ = std::move(root);
  value_ = root_.get();
}

}  // namespace VwJson
