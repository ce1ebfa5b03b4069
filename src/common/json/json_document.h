#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "common/json/json_value.h"

namespace VwJson {

// A parsed or built JSON document: an owned root value (or none) and the error of the
// last parse. As a handle it refers to the root, with no container.
class Document : public Handle {
 public:
  Document() = default;
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;
  ~Document() override = default;

  // Replaces the root with the parsed text. On failure there is no root and ErrorCode,
  // ErrorLine and ErrorColumn tell what went wrong; on success they are 0, -1, -1.
  bool Parse(const std::wstring& text);

  // The compact text of the root; empty when there is no root.
  std::wstring ToString() const;

  // A handle to the root object's member `name`. Makes an empty object the root when
  // there is none, and adds a null member when the name is missing (so reading a
  // missing member adds it). A handle to nothing when the root is not an object.
  Handle Member(const std::wstring& name);

  Value* Root() const { return root_.get(); }
  int32_t ErrorCode() const { return error_code_; }
  int32_t ErrorLine() const { return error_line_; }
  int32_t ErrorColumn() const { return error_column_; }

 private:
  void SetRoot(std::unique_ptr<Value> root);

  std::unique_ptr<Value> root_;
  int32_t error_code_ = 0;
  int32_t error_line_ = -1;
  int32_t error_column_ = -1;
};

}  // namespace VwJson
