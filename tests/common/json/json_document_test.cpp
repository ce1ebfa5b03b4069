#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/json/vw_json.h"

namespace VwJson {
namespace {

// Which reader a parse case runs: the whole document, or one value kind on its own
// (to see errors the document's later root attempts would cover up).
enum class Reader { kDocument, kLong, kString, kArray };

struct ParseCase {
  const char* name;
  Reader reader;
  std::wstring input;
  bool ok;
  int32_t type;          // root type when ok
  std::wstring written;  // compact text when ok
  int32_t code;          // error when not ok; 0, -1, -1 when ok or failed without a code
  int32_t line;
  int32_t column;
};

constexpr Reader kDoc = Reader::kDocument;

const ParseCase kParseCases[] = {
    // Round trips and member order.
    {"members sorted by name", kDoc, L"{\"b\":1,\"a\":2}", true, kTypeObject, L"{\"a\":2,\"b\":1}", 0, -1, -1},
    {"ordinal order is case-sensitive", kDoc, L"{\"b\":1,\"B\":2,\"a\":3,\"_\":4,\"\x4e2d\":5,\"\xe9\":6}", true, kTypeObject,
     L"{\"B\":2,\"_\":4,\"a\":3,\"b\":1,\"\\u00e9\":6,\"\x4e2d\":5}", 0, -1, -1},
    {"repeated name replaces value", kDoc, L"{\"a\":1,\"b\":2,\"a\":\"x\"}", true, kTypeObject, L"{\"a\":\"x\",\"b\":2}", 0, -1, -1},
    {"nested containers", kDoc, L"{\"o\":{\"z\":[1,{\"y\":null}],\"a\":true},\"f\":false}", true, kTypeObject,
     L"{\"f\":false,\"o\":{\"a\":true,\"z\":[1,{\"y\":null}]}}", 0, -1, -1},
    {"whitespace dropped", kDoc, L" \t\r\n{ \"a\" :\r\n [ 1 ,\t2 ] , \"b\":{ } }", true, kTypeObject, L"{\"a\":[1,2],\"b\":{}}", 0, -1, -1},
    {"empty array", kDoc, L"[ ]", true, kTypeArray, L"[]", 0, -1, -1},
    {"empty object", kDoc, L"{}", true, kTypeObject, L"{}", 0, -1, -1},

    // Strings: escapes in and out.
    {"U+00E9 written escaped", kDoc, L"\"\xe9\"", true, kTypeString, L"\"\\u00e9\"", 0, -1, -1},
    {"U+4E2D written unchanged", kDoc, L"\"\x4e2d\"", true, kTypeString, L"\"\x4e2d\"", 0, -1, -1},
    {"upper-case hex read, lower-case written", kDoc, L"\"\\u00E9\\u4E2d\"", true, kTypeString, L"\"\\u00e9\x4e2d\"", 0, -1, -1},
    {"\\u takes up to four digits", kDoc, L"\"\\u41x\\u12345\"", true, kTypeString, L"\"Ax\x1234" L"5\"", 0, -1, -1},
    {"named escapes round trip", kDoc, L"\"\\\"\\/\\\\\\b\\f\\n\\r\\t\"", true, kTypeString, L"\"\\\"\\/\\\\\\b\\f\\n\\r\\t\"", 0, -1, -1},
    {"raw control and Latin-1 characters", kDoc, L"\"\x01\x1f\t/ \x7e\x7f\x80\xff\x100\"", true, kTypeString,
     L"\"\\u0001\\u001f\\t\\/ \x7e\\u007f\\u0080\\u00ff\x100\"", 0, -1, -1},
    {"string root skips whitespace", kDoc, L"\r\n \"s\"", true, kTypeString, L"\"s\"", 0, -1, -1},

    // Roots: what follows the root value is not examined.
    {"integer then letters", kDoc, L"12abc", true, kTypeLong, L"12", 0, -1, -1},
    {"true then text", kDoc, L"true, and more", true, kTypeBool, L"true", 0, -1, -1},
    {"false then letters", kDoc, L"falsehood", true, kTypeBool, L"false", 0, -1, -1},
    {"fraction ignored", kDoc, L"1.5", true, kTypeLong, L"1", 0, -1, -1},
    {"array then text", kDoc, L"[1]]]", true, kTypeArray, L"[1]", 0, -1, -1},
    {"null is no root kind", kDoc, L"null", false, 0, L"", 1, 1, 1},
    {"plus sign", kDoc, L"+1", false, 0, L"", 1, 1, 1},
    {"empty text", kDoc, L"", false, 0, L"", 1, 1, 1},
    {"leading space before true", kDoc, L" true", false, 0, L"", 1, 1, 2},
    {"leading space before integer", kDoc, L"\n12", false, 0, L"", 1, 2, 1},

    // Integers: 32-bit accumulation that wraps.
    {"largest int32", kDoc, L"2147483647", true, kTypeLong, L"2147483647", 0, -1, -1},
    {"2^31 wraps negative", kDoc, L"2147483648", true, kTypeLong, L"-2147483648", 0, -1, -1},
    {"2^32 wraps to 0", kDoc, L"4294967296", true, kTypeLong, L"0", 0, -1, -1},
    {"2^32+1 wraps to 1", kDoc, L"4294967297", true, kTypeLong, L"1", 0, -1, -1},
    {"smallest int32", kDoc, L"-2147483648", true, kTypeLong, L"-2147483648", 0, -1, -1},
    {"below int32 wraps positive", kDoc, L"-2147483649", true, kTypeLong, L"2147483647", 0, -1, -1},
    {"wrap inside array", kDoc, L"[4294967295,-0,007]", true, kTypeArray, L"[-1,0,7]", 0, -1, -1},

    // Errors the document keeps (always the object attempt's).
    {"array error covered by object's", kDoc, L"[1, 2 3]", false, 0, L"", 1, 1, 1},
    {"minus alone", kDoc, L"-", false, 0, L"", 1, 1, 1},
    {"missing colon", kDoc, L"{\"a\" 1}", false, 0, L"", 6, 1, 6},
    {"object not closed", kDoc, L"{\"a\":1", false, 0, L"", 7, 1, 7},
    {"missing comma", kDoc, L"{\"a\":1 \"b\":2}", false, 0, L"", 7, 1, 8},
    {"missing value", kDoc, L"{\"a\":}", false, 0, L"", 9, 1, 6},
    {"unknown value", kDoc, L"{\"a\":x}", false, 0, L"", 9, 1, 6},
    {"broken null", kDoc, L"{\"a\":nul}", false, 0, L"", 9, 1, 6},
    {"minus without digits", kDoc, L"{\"a\":-}", false, 0, L"", 9, 1, 7},
    {"minus at end in member", kDoc, L"{\"a\":-", false, 0, L"", 9, 1, 7},
    {"nested array error becomes 9", kDoc, L"{\"a\":[1 2]}", false, 0, L"", 9, 1, 9},
    {"bad escape in value becomes 9", kDoc, L"{\"a\":\"\\q\"}", false, 0, L"", 9, 1, 7},
    {"name not a string", kDoc, L"{1:2}", false, 0, L"", 3, 1, 2},
    {"trailing comma", kDoc, L"{\"a\":1,}", false, 0, L"", 3, 1, 8},
    {"bad escape in name", kDoc, L"{\"\\q\":1}", false, 0, L"", 8, 1, 3},
    {"escaped x", kDoc, L"{\"ab\\x\":1}", false, 0, L"", 8, 1, 5},
    {"\\u0000 refused", kDoc, L"{\"\\u0000\":1}", false, 0, L"", 8, 1, 3},
    {"short \\u of zero refused", kDoc, L"{\"\\u00\":1}", false, 0, L"", 8, 1, 3},
    {"\\u without hex digit", kDoc, L"{\"\\ug\":1}", false, 0, L"", 8, 1, 3},
    {"name not terminated", kDoc, L"{\"a", false, 0, L"", 4, 1, 4},
    {"backslash at end", kDoc, L"{\"a\\", false, 0, L"", 4, 1, 5},
    {"\\u at end", kDoc, L"{\"a\\u", false, 0, L"", 4, 1, 6},
    {"line and column after line feeds", kDoc, L"{\n\"a\":1,\n  \"b\" 2}", false, 0, L"", 6, 3, 7},
    {"carriage return is no line break", kDoc, L"{\r\n\"a\"\r}", false, 0, L"", 6, 2, 5},
    {"error at end of last line", kDoc, L"{\n", false, 0, L"", 3, 2, 1},

    // Single value kinds.
    {"array: second value without comma", Reader::kArray, L"[1, 2 3]", false, 0, L"", 7, 1, 7},
    {"array: leading space", Reader::kArray, L" true", false, 0, L"", 10, 1, 2},
    {"array: missing item", Reader::kArray, L"[1,", false, 0, L"", 9, 1, 4},
    {"array: broken word", Reader::kArray, L"[tru]", false, 0, L"", 9, 1, 2},
    {"array: nested failure", Reader::kArray, L"[[1 2]]", false, 0, L"", 9, 1, 5},
    {"array: values of each kind", Reader::kArray, L"[null,true,false,-5,\"s\",[],{}]", true, kTypeArray,
     L"[null,true,false,-5,\"s\",[],{}]", 0, -1, -1},
    {"string: leading space", Reader::kString, L" true", false, 0, L"", 3, 1, 2},
    {"string: bad escape", Reader::kString, L"\"a\\q\"", false, 0, L"", 8, 1, 3},
    {"string: \\u0000", Reader::kString, L"\"\\u0000\"", false, 0, L"", 8, 1, 2},
    {"string: not terminated", Reader::kString, L"\"abc", false, 0, L"", 4, 1, 5},
    {"long: minus at end", Reader::kLong, L"-", false, 0, L"", 5, 1, 2},
    {"long: minus then letter has no code", Reader::kLong, L"-x", false, 0, L"", 0, -1, -1},
    {"long: leading space has no code", Reader::kLong, L" 1", false, 0, L"", 0, -1, -1},
};

std::unique_ptr<Value> MakeReader(Reader reader) {
  switch (reader) {
    case Reader::kLong: return std::make_unique<ValueLong>();
    case Reader::kString: return std::make_unique<ValueString>();
    case Reader::kArray: return std::make_unique<ValueArray>();
    case Reader::kDocument: break;
  }
  return nullptr;
}

TEST(JsonParse, Cases) {
  for (const ParseCase& c : kParseCases) {
    SCOPED_TRACE(c.name);
    bool ok = false;
    int32_t type = kTypeNone;
    std::wstring written;
    int32_t code = 0, line = 0, column = 0;
    if (c.reader == Reader::kDocument) {
      Document doc;
      ok = doc.Parse(c.input);
      type = doc.Type();
      written = doc.ToString();
      code = doc.ErrorCode();
      line = doc.ErrorLine();
      column = doc.ErrorColumn();
      EXPECT_EQ(doc.Root() != nullptr, ok);
    } else {
      std::unique_ptr<Value> value = MakeReader(c.reader);
      Error reader(c.input);
      ok = value->Parse(reader);
      if (ok) {
        type = value->Type();
        value->Write(written, false, 0, 4);
      }
      code = reader.Code();
      line = reader.Line();
      column = reader.Column();
    }
    EXPECT_EQ(ok, c.ok);
    EXPECT_EQ(type, c.ok ? c.type : kTypeNone);
    EXPECT_EQ(written, c.written);
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(line, c.line);
    EXPECT_EQ(column, c.column);
  }
}

std::wstring Repeat(const std::wstring& piece, int times) {
  std::wstring out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(JsonParse, NestingDepthIsBounded) {
  const int max = Error::kMaxDepth;
  struct DepthCase {
    int depth;
    bool ok;
    int32_t code, column;  // of the document error
  };
  // Objects: the innermost is an empty object; each level opens with {"a": (5 chars).
  const DepthCase kCases[] = {
      {max, true, 0, -1},
      {max + 1, false, 9, 5 * max + 1},      // at the '{' opening level max + 1
      {100000, false, 9, 5 * max + 1},       // far too deep: same place, no crash
  };
  for (const DepthCase& c : kCases) {
    SCOPED_TRACE(c.depth);
    const std::wstring text = Repeat(L"{\"a\":", c.depth - 1) + L"{}" + Repeat(L"}", c.depth - 1);
    Document doc;
    EXPECT_EQ(doc.Parse(text), c.ok);
    EXPECT_EQ(doc.ErrorCode(), c.code);
    EXPECT_EQ(doc.ErrorColumn(), c.column);
    if (c.ok) {
      EXPECT_EQ(doc.ToString(), text);
    }

    // Arrays the same way, through the array reader (the document would report the
    // object attempt's error 1).
    const std::wstring arrays = Repeat(L"[", c.depth) + Repeat(L"]", c.depth);
    ValueArray array;
    Error reader(arrays);
    EXPECT_EQ(array.Parse(reader), c.ok);
    EXPECT_EQ(reader.Code(), c.code);
    EXPECT_EQ(reader.Column(), c.ok ? -1 : max + 1);
  }
}

TEST(JsonDocument, MemberAddsNullMemberThatIsWritten) {
  Document doc;
  ASSERT_TRUE(doc.Parse(L"{\"b\":1,\"s\":\"x\"}"));
  const Handle missing = doc.Member(L"a");
  EXPECT_EQ(missing.Type(), kTypeNull);
  EXPECT_EQ(doc.ToString(), L"{\"a\":null,\"b\":1,\"s\":\"x\"}");
  // Present members read back their values and add nothing.
  EXPECT_EQ(doc.Member(L"b").Int(), 1);
  EXPECT_EQ(doc.Member(L"s").String(), L"x");
  EXPECT_EQ(doc.Member(L"s").Int(), 0);
  EXPECT_EQ(doc.Member(L"b").String(), L"");
  EXPECT_EQ(doc.ToString(), L"{\"a\":null,\"b\":1,\"s\":\"x\"}");
}

TEST(JsonDocument, MemberWithoutRootMakesObject) {
  for (const wchar_t* failing : {L"", L"[1,"}) {  // never parsed, and a failed parse
    Document doc;
    if (*failing) {
      ASSERT_FALSE(doc.Parse(failing));
    }
    EXPECT_EQ(doc.ToString(), L"");
    EXPECT_TRUE(doc.Member(L"b").SetInt(2));
    EXPECT_TRUE(doc.Member(L"a").SetInt(-1));
    EXPECT_EQ(doc.Type(), kTypeObject);
    EXPECT_EQ(doc.ToString(), L"{\"a\":-1,\"b\":2}");
  }
}

TEST(JsonDocument, MemberOnNonObjectRootIsNothing) {
  for (const wchar_t* text : {L"[1]", L"\"s\"", L"5", L"true"}) {
    SCOPED_TRACE(text);
    Document doc;
    ASSERT_TRUE(doc.Parse(text));
    const std::wstring before = doc.ToString();
    Handle member = doc.Member(L"a");
    EXPECT_EQ(member.Type(), kTypeNone);
    EXPECT_EQ(member.Target(), nullptr);
    EXPECT_FALSE(member.SetInt(3));
    EXPECT_EQ(doc.ToString(), before);
  }
}

TEST(JsonDocument, SetIntReplacesObjectMemberInPlace) {
  Document doc;
  ASSERT_TRUE(doc.Parse(L"{\"a\":\"x\",\"b\":[true],\"c\":{\"d\":1},\"n\":4}"));
  auto* const root = static_cast<ValueObject*>(doc.Root());
  const int32_t position = root->Find(L"b")->Position();

  Handle b = doc.Member(L"b");
  EXPECT_TRUE(b.SetInt(-2));
  EXPECT_EQ(b.Type(), kTypeLong);
  EXPECT_EQ(b.Int(), -2);
  EXPECT_EQ(b.Target(), root->Find(L"b"));
  EXPECT_EQ(root->Find(L"b")->Position(), position);
  EXPECT_EQ(root->Find(L"b")->Container(), root);

  EXPECT_TRUE(doc.Member(L"a").SetInt(7));
  EXPECT_TRUE(root->Find(L"c")->SetInt(8));  // the value as its own handle
  Value* const n = root->Find(L"n");
  EXPECT_TRUE(n->SetInt(5));                 // already an integer: same value
  EXPECT_EQ(root->Find(L"n"), n);
  EXPECT_EQ(root->Size(), 4u);
  EXPECT_EQ(doc.ToString(), L"{\"a\":7,\"b\":-2,\"c\":8,\"n\":5}");
}

TEST(JsonDocument, SetIntReplacesArrayItemInPlace) {
  Document doc;
  ASSERT_TRUE(doc.Parse(L"[null,\"s\",[1],4]"));
  auto* const root = static_cast<ValueArray*>(doc.Root());
  Handle item = *root->At(1);
  EXPECT_TRUE(item.SetInt(9));
  EXPECT_EQ(item.Target(), root->At(1));
  EXPECT_EQ(item.Int(), 9);
  EXPECT_TRUE(root->At(2)->SetInt(2147483647));  // the value as its own handle
  EXPECT_EQ(root->At(2)->Position(), 2);
  EXPECT_EQ(root->At(2)->Container(), root);
  EXPECT_EQ(root->Size(), 4u);
  EXPECT_EQ(doc.ToString(), L"[null,9,2147483647,4]");
}

TEST(JsonDocument, SetIntOnRootNeedsAnInteger) {
  Document doc;
  ASSERT_TRUE(doc.Parse(L"12"));
  EXPECT_TRUE(doc.SetInt(13));
  EXPECT_EQ(doc.ToString(), L"13");
  ASSERT_TRUE(doc.Parse(L"\"s\""));
  EXPECT_FALSE(doc.SetInt(13));  // no container to replace it in
  EXPECT_EQ(doc.ToString(), L"\"s\"");
  EXPECT_FALSE(Handle().SetInt(1));
}

TEST(JsonWrite, PrettyForm) {
  struct PrettyCase {
    const wchar_t* input;
    const wchar_t* pretty;
  };
  const PrettyCase kCases[] = {
      {L"{\"b\":{\"c\":\"x\"},\"a\":[1,2],\"d\":[],\"e\":[7],\"f\":[[]],\"g\":{}}",
       L"{\r\n"
       L"    \"a\" : [\r\n"
       L"        1, \r\n"
       L"        2\r\n"
       L"    ],\r\n"
       L"    \"b\" : {\r\n"
       L"        \"c\" : \"x\"\r\n"
       L"    },\r\n"
       L"    \"d\" : [],\r\n"
       L"    \"e\" : [7],\r\n"
       L"    \"f\" : [\r\n"
       L"        []\r\n"
       L"    ],\r\n"
       L"    \"g\" : {\r\n"
       L"    }\r\n"
       L"}"},
      {L"[{\"k\":true},\"s\"]",
       L"[\r\n"
       L"    {\r\n"
       L"        \"k\" : true\r\n"
       L"    }, \r\n"
       L"    \"s\"\r\n"
       L"]"},
      {L"[null]", L"[null]"},
  };
  for (const PrettyCase& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.input)));
    Document doc;
    ASSERT_TRUE(doc.Parse(c.input));
    std::wstring out;
    EXPECT_TRUE(doc.Root()->Write(out, true, 0, 4));
    EXPECT_EQ(out, c.pretty);
  }
}

}  // namespace
}  // namespace VwJson
