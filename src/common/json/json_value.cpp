#include "common/json/json_value.h"

#include <algorithm>
#include <utility>

namespace VwJson {

int32_t Handle::Type() const { return value_ ? value_->type_ : kTypeNone; }

std::wstring Handle::String() const {
  if (Type() != kTypeString) return std::wstring();
  return static_cast<const ValueString*>(value_)->Text();
}

int32_t Handle::Int() const {
  if (Type() != kTypeLong) return 0;
  return static_cast<const ValueLong*>(value_)->Number();
}

bool Handle::SetInt(int32_t number) {
  if (!value_) return false;
  if (value_->type_ == kTypeLong) {
    // Already an integer: storing the number is the same as replacing the value, and
    // keeps other handles to it valid.
    static_cast<ValueLong*>(value_)->SetNumber(number);
    return true;
  }
  Value* const container = container_;
  if (!container) return false;
  const int32_t position = value_->position_;
  auto replacement = std::make_unique<ValueLong>(number);
  // When this handle is the old value itself, Replace destroys *this: touch no member
  // after it. Otherwise point at the new value before the old one goes.
  if (value_ != this) value_ = replacement.get();
  if (container->type_ == kTypeObject) {
    static_cast<ValueObject*>(container)->Replace(position, std::move(replacement));
  } else {
    static_cast<ValueArray*>(container)->Replace(position, std::move(replacement));
  }
  return true;
}

Value* ValueArray::At(size_t index) const {
  return index < items_.size() ? items_[index].get() : nullptr;
}

Value* ValueArray::Append(std::unique_ptr<Value> item) {
  if (!item) return nullptr;
  item->Attach(this, static_cast<int32_t>(items_.size()));
  items_.push_back(std::move(item));
  return items_.back().get();
}

void ValueArray::Replace(int32_t position, std::unique_ptr<Value> item) {
  item->Attach(this, position);
  items_[static_cast<size_t>(position)] = std::move(item);
}

bool OrdinalLess::operator()(const std::wstring& a, const std::wstring& b) const {
  return std::lexicographical_compare(
      a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
        return static_cast<uint32_t>(x) < static_cast<uint32_t>(y);
      });
}

Value* ValueObject::Find(const std::wstring& name) const {
  const auto it = members_.find(name);
  return it == members_.end() ? nullptr : it->second.get();
}

Value* ValueObject::Set(const std::wstring& name, std::unique_ptr<Value> value) {
  if (!value) return nullptr;
  auto it = members_.find(name);
  if (it != members_.end()) {
    Replace(it->second->position_, std::move(value));
    return it->second.get();
  }
  value->Attach(this, static_cast<int32_t>(entries_.size()));
  it = members_.emplace(name, std::move(value)).first;
  entries_.push_back(it);
  return it->second.get();
}

void ValueObject::Replace(int32_t position, std::unique_ptr<Value> value) {
  value->Attach(this, position);
  entries_[static_cast<size_t>(position)]->second = std::move(value);
}

}  // namespace VwJson
