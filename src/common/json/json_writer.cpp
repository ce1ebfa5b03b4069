// Writing values as JSON text, compact or pretty ("\r\n" line breaks, space indents).

#include <string>

#include "common/json/json_value.h"

namespace VwJson {
namespace {

void AppendSpaces(std::wstring& out, int32_t count) {
  if (count > 0) out.append(static_cast<size_t>(count), L' ');
}

void AppendQuoted(std::wstring& out, const std::wstring& text) {
  static const wchar_t kHex[] = L"0123456789abcdef";
  out += L'"';
  for (const wchar_t c : text) {
    switch (c) {
      case L'\b': out += L"\\b"; continue;
      case L'\t': out += L"\\t"; continue;
      case L'\n': out += L"\\n"; continue;
      case L'\f': out += L"\\f"; continue;
      case L'\r': out += L"\\r"; continue;
      case L'"': out += L"\\\""; continue;
      case L'/': out += L"\\/"; continue;
      case L'\\': out += L"\\\\"; continue;
      default: break;
    }
    // Other control characters and the Latin-1 upper half go out as \u00xx, keeping
    // the text 7-bit up to U+00FF. 0 is left as it is: it cannot be escaped back in.
    const uint32_t unit = static_cast<uint32_t>(c);
    if ((unit >= 1 && unit <= 31) || (unit >= 127 && unit <= 255)) {
      out += L"\\u00";
      out += kHex[unit >> 4];
      out += kHex[unit & 0xF];
    } else {
      out += c;
    }
  }
  out += L'"';
}

bool IsContainer(const Value& value) {
  return value.Type() == kTypeArray || value.Type() == kTypeObject;
}

}  // namespace

bool ValueNull::Write(std::wstring& out, bool, int32_t, int32_t) const {
  out += L"null";
  return true;
}

bool ValueBool::Write(std::wstring& out, bool, int32_t, int32_t) const {
  out += value_ ? L"true" : L"false";
  return true;
}

bool ValueString::Write(std::wstring& out, bool, int32_t, int32_t) const {
  AppendQuoted(out, text_);
  return true;
}

bool ValueLong::Write(std::wstring& out, bool, int32_t, int32_t) const {
  out += std::to_wstring(number_);
  return true;
}

bool ValueArray::Write(std::wstring& out, bool pretty, int32_t indent, int32_t step) const {
  bool multiline = pretty && items_.size() > 1;
  for (const auto& item : items_) multiline = multiline || (pretty && IsContainer(*item));
  out += L'[';
  if (!multiline) {
    for (size_t i = 0; i < items_.size(); ++i) {
      if (i > 0) out += pretty ? L", " : L",";
      items_[i]->Write(out, pretty, indent, step);
    }
    out += L']';
    return true;
  }
  out += L"\r\n";
  for (size_t i = 0; i < items_.size(); ++i) {
    if (i > 0) out += L", \r\n";
    AppendSpaces(out, indent + step);
    items_[i]->Write(out, true, indent + step, step);
  }
  out += L"\r\n";
  AppendSpaces(out, indent);
  out += L']';
  return true;
}

bool ValueObject::Write(std::wstring& out, bool pretty, int32_t indent, int32_t step) const {
  out += L'{';
  if (pretty) out += L"\r\n";
  size_t written = 0;
  for (const auto& member : members_) {
    if (pretty) {
      AppendSpaces(out, indent + step);
      AppendQuoted(out, member.first);
      out += L" : ";
      member.second->Write(out, true, indent + step, step);
      if (++written < members_.size()) out += L',';
      out += L"\r\n";
    } else {
      if (written++ > 0) out += L',';
      AppendQuoted(out, member.first);
      out += L':';
      member.second->Write(out, false, indent, step);
    }
  }
  if (pretty) AppendSpaces(out, indent);
  out += L'}';
  return true;
}

}  // namespace VwJson
