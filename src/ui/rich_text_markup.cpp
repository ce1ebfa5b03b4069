#include "ui/rich_text_markup.h"

#include <tinyxml.h>

#include <cctype>

#include "ui/utf8_text.h"

namespace kbase {
namespace {

// Hexadecimal number of up to eight digits, stopping at the first other character; a
// missing or malformed value reads as 0.
uint32_t ParseHexNumber(const char* text) {
  if (text == nullptr) return 0;
  uint32_t value = 0;
  for (int i = 0; i < 8 && text[i] != '\0'; ++i) {
    const char c = text[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else break;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return value;
}

std::string LowerAscii(const char* text) {
  std::string out = text != nullptr ? text : "";
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

VwColour OptionalColour(const TiXmlElement& element, const char* name) {
  const char* value = element.Attribute(name);
  return value != nullptr ? ParseColour(value) : kVwColourUnset;
}

// All text inside an element, depth first, within the same depth bound as the markup.
std::wstring CollectText(const TiXmlElement& element, int depth) {
  std::wstring out;
  struct Frame {
    const TiXmlNode* node;
    int depth;
  };
  std::vector<Frame> stack{{element.FirstChild(), depth + 1}};
  while (!stack.empty()) {
    const TiXmlNode* node = stack.back().node;
    const int level = stack.back().depth;
    if (node == nullptr) {
      stack.pop_back();
      continue;
    }
    stack.back().node = node->NextSibling();
    if (const TiXmlText* text = node->ToText()) {
      out += WideFromUtf8(text->ValueStr());
    } else if (node->ToElement() != nullptr && level < kRichTextMaxDepth) {
      stack.push_back({node->FirstChild(), level + 1});
    }
  }
  return out;
}

}  // namespace

uint16_t RichTextFontId(uint16_t default_font, const RichTextFormat& format) {
  return static_cast<uint16_t>((default_font | format.font_bits) + (format.size_steps << 8));
}

uint16_t RichTextBaseFontId(uint16_t default_font, const RichTextFormat& format) {
  return static_cast<uint16_t>(default_font | format.font_bits);
}

std::vector<RichTextItem> ParseRichTextMarkup(const TiXmlElement& element, RichTextDialect dialect) {
  std::vector<RichTextItem> items;
  const bool basic = dialect == RichTextDialect::kBasic;
  const bool extended = dialect == RichTextDialect::kExtended;
  struct Frame {
    const TiXmlNode* node;
    RichTextFormat format;
    int depth;
  };
  std::vector<Frame> stack{{element.FirstChild(), RichTextFormat{}, 1}};
  while (!stack.empty()) {
    const TiXmlNode* node = stack.back().node;
    if (node == nullptr) {
      stack.pop_back();
      continue;
    }
    stack.back().node = node->NextSibling();
    RichTextFormat format = stack.back().format;
    const int depth = stack.back().depth;

    if (const TiXmlText* text = node->ToText()) {
      RichTextItem item;
      item.text = WideFromUtf8(text->ValueStr());
      if (item.text.empty()) continue;
      item.format = format;
      items.push_back(std::move(item));
      continue;
    }
    const TiXmlElement* child = node->ToElement();
    if (child == nullptr || depth >= kRichTextMaxDepth) continue;

    const std::string tag = LowerAscii(child->Value());
    RichTextItem item;
    item.format = format;
    if (tag == "br") {
      item.kind = RichTextItemKind::kBreak;
      items.push_back(std::move(item));
      continue;
    }
    if (tag == "o") {
      item.kind = RichTextItemKind::kOffset;
      item.offset = ParseHexNumber(child->Attribute("offset"));
      items.push_back(std::move(item));
      continue;
    }
    if (tag == "a") {
      item.kind = RichTextItemKind::kLink;
      item.text = CollectText(*child, depth);
      const char* id = child->Attribute("id");
      item.link_id = id != nullptr ? ParseDecimal(id) : 0;
      item.link_colour = OptionalColour(*child, "color");
      item.link_hover_colour = OptionalColour(*child, "hover_color");
      items.push_back(std::move(item));
      continue;
    }
    if (extended && tag == "img") {
      const char* src = child->Attribute("src");
      if (src != nullptr && *src != '\0') {
        item.kind = RichTextItemKind::kImage;
        item.text = WideFromUtf8(src);
        items.push_back(std::move(item));
      }
      continue;
    }
    if (tag == "b") {
      format.font_bits |= 0x4;
    } else if (tag == "i") {
      format.font_bits |= 0x1;
    } else if (tag == "u") {
      format.font_bits |= 0x2;
    } else if (basic && tag == "s") {
      format.size_steps += ParseHexNumber(child->Attribute("size"));
    } else if (basic && tag == "g") {
      const std::string align = LowerAscii(child->Attribute("align"));
      if (align == "c") format.align = RichTextAlign::kCentre;
      else if (align == "b") format.align = RichTextAlign::kBottom;
      else if (align == "t") format.align = RichTextAlign::kTop;
    } else if (tag == "c") {
      const VwColour colour = OptionalColour(*child, "color");
      if (colour != kVwColourUnset) format.colour = colour;
    }
    stack.push_back({child->FirstChild(), format, depth + 1});
  }
  return items;
}

std::vector<RichTextItem> ParseRichTextMarkupText(const std::string& markup, RichTextDialect dialect) {
  TiXmlDocument document;
  const std::string wrapped = "<richtext>" + markup + "</richtext>";
  document.Parse(wrapped.c_str(), nullptr, TIXML_ENCODING_UTF8);
  const TiXmlElement* root = document.RootElement();
  if (document.Error() || root == nullptr) return {};
  return ParseRichTextMarkup(*root, dialect);
}

}  // namespace kbase
