#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace VwJson {

class Error;
class Value;

// Type codes as callers see them; 6 is not used. A handle to nothing reports kTypeNone.
constexpr int32_t kTypeNone = 0;
constexpr int32_t kTypeNull = 1;
constexpr int32_t kTypeObject = 2;
constexpr int32_t kTypeBool = 3;
constexpr int32_t kTypeString = 4;
constexpr int32_t kTypeLong = 5;
constexpr int32_t kTypeArray = 7;

// A light reference to a value: the container holding it (object, array or none) and
// the value itself (or none). Copies share the pointers, so a handle does not keep its
// value alive; it dangles once the value is destroyed or replaced through another handle.
class Handle {
 public:
  Handle() = default;
  Handle(Value* container, Value* value) : container_(container), value_(value) {}
  Handle(const Handle&) = default;
  Handle& operator=(const Handle&) = default;
  virtual ~Handle() = default;

  Value* Container() const { return container_; }
  Value* Target() const { return value_; }

  int32_t Type() const;          // kTypeNone when the handle refers to nothing
  std::wstring String() const;   // the text of a string value, otherwise empty
  int32_t Int() const;           // the number of an integer value, otherwise 0

  // Makes the referenced value an integer holding `number`. A value of another type is
  // replaced in its container by a new integer value, and this handle then refers to
  // it. Fails (false) for a handle to nothing, and for a non-integer value that has no
  // container to be replaced in.
  bool SetInt(int32_t number);

 protected:
  Value* container_ = nullptr;
  Value* value_ = nullptr;
};

// A typed value. As a handle its container is its owner and its value is itself.
class Value : public Handle {
 public:
  Value(const Value&) = delete;
  Value& operator=(const Value&) = delete;
  ~Value() override = default;  // owned children go with their unique_ptrs

  // Index in the owning array, or entry in the owning object; -1 when not owned.
  int32_t Position() const { return position_; }

  // Reads this value's text at the reader's position; false with the reader's error
  // set (or without a code, see the reader) when the text does not fit.
  virtual bool Parse(Error& reader) = 0;

  // Appends the value's text. `pretty` selects the multi-line form with "\r\n" breaks,
  // `indent` spaces for the closing bracket and `indent` + `step` for members/items.
  virtual bool Write(std::wstring& out, bool pretty, int32_t indent, int32_t step) const = 0;

 protected:
  explicit Value(int32_t type) : Handle(nullptr, this), type_(type) {}

 private:
  friend class Handle;
  friend class ValueArray;
  friend class ValueObject;

  void Attach(Value* owner, int32_t position) {
    container_ = owner;
    position_ = position;
  }

  const int32_t type_;
  int32_t position_ = -1;
};

class ValueNull : public Value {
 public:
  ValueNull() : Value(kTypeNull) {}
  bool Parse(Error& reader) override;
  bool Write(std::wstring& out, bool pretty, int32_t indent, int32_t step) const override;
};

class ValueBool : public Value {
 public:
  explicit ValueBool(bool value = false) : Value(kTypeBool), value_(value) {}
  bool IsTrue() const { return value_; }
  void Set(bool value) { value_ = value; }
  bool Parse(Error& reader) override;
  bool Write(std::wstring& out, bool pretty, int32_t indent, int32_t step) const override;

 private:
  bool value_;
};

class ValueString : public Value {
 public:
  explicit ValueString(std::wstring text = std::wstring())
      : Value(kTypeString), text_(std::move(text)) {}
  const std::wstring& Text() const { return text_; }
  void SetText(std::wstring text) { text_ = std::move(text); }
  bool Parse(Error& reader) override;
  bool Write(std::wstring& out, bool pretty, int32_t indent, int32_t step) const override;

 private:
  std::wstring text_;
};

class ValueLong : public Value {
 public:
  explicit ValueLong(int32_t number = 0) : Value(kTypeLong), number_(number) {}
  int32_t Number() const { return number_; }
  void SetNumber(int32_t number) { number_ = number; }
  bool Parse(Error& reader) override;
  bool Write(std::wstring& out, bool pretty, int32_t indent, int32_t step) const override;

 private:
  int32_t number_;
};

class ValueArray : public Value {
 public:
  ValueArray() : Value(kTypeArray) {}
  size_t Size() const { return items_.size(); }
  Value* At(size_t index) const;  // nullptr past the end
  // Takes ownership and returns the stored item (nullptr when given none).
  Value* Append(std::unique_ptr<Value> item);
  bool Parse(Error& reader) override;
  bool Write(std::wstring& out, bool pretty, int32_t indent, int32_t step) const override;

 private:
  friend class Handle;
  void Replace(int32_t position, std::unique_ptr<Value> item);

  std::vector<std::unique_ptr<Value>> items_;
};

// Member names compare unit by unit as unsigned numbers (ordinal, case-sensitive), so
// the order does not depend on wchar_t's signedness or the locale.
struct OrdinalLess {
  bool operator()(const std::wstring& a, const std::wstring& b) const;
};

class ValueObject : public Value {
 public:
  ValueObject() : Value(kTypeObject) {}
  size_t Size() const { return members_.size(); }
  Value* Find(const std::wstring& name) const;  // nullptr when missing
  // Adds a member, or replaces the value of the member with that name (keeping its
  // entry). Takes ownership and returns the stored value (nullptr when given none).
  Value* Set(const std::wstring& name, std::unique_ptr<Value> value);
  bool Parse(Error& reader) override;
  bool Write(std::wstring& out, bool pretty, int32_t indent, int32_t step) const override;

 private:
  friend class Handle;
  using Members = std::map<std::wstring, std::unique_ptr<Value>, OrdinalLess>;

  void Replace(int32_t position, std::unique_ptr<Value> value);

  Members members_;  // sorted by name: the writing order
  // Entry number (a member value's position) -> member. Map iterators stay valid on
  // insertion and members are never removed, so entries never move.
  std::vector<Members::iterator> entries_;
};

}  // namespace VwJson
