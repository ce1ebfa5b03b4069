#pragma once
// The inline markup of the rich text elements, read from the element's own XML content
// into a flat list of items whose formatting is already resolved, so that layout and
// painting never walk the XML again.
//
// markup   := content
// content  := ( text | element )*
// element  := "<" tag attribute* "/>" | "<" tag attribute* ">" content "</" tag ">"
// tag      := one of the words below, compared without regard to case
//   "br"                                    line break
//   "b" | "i" | "u"                         bold 0x4, italic 0x1, underline 0x2 on the font id
//   "s"   size=hex                          size x 256 added to the font id (pixels larger)
//   "g"   align="t" | "c" | "b"             vertical alignment of enlarged text in the line
//   "c"   color=rrggbb                      text colour of the content
//   "a"   id=decimal color=rrggbb hover_color=rrggbb   a link; its text is all text inside
//   "o"   offset=hex                        moves the pen right
//   "img" src=path                          a picture file (extended dialect only)
// Text arrives from the XML reader with entities already decoded. A tag the dialect does
// not know is transparent: its content is read as if the tag were absent. Elements nested
// deeper than kRichTextMaxDepth are dropped with their content, so hostile markup cannot
// grow the walk without bound; the walk itself keeps its own stack.
#include <cstdint>
#include <string>
#include <vector>

#include "ui/vw_attribute_text.h"

class TiXmlElement;

namespace kbase {

constexpr int kRichTextMaxDepth = 64;

enum class RichTextDialect {
  kBasic,     // "richtext": br b i u s g c a o
  kExtended,  // "richtextex": br b i u c a o img
};

enum class RichTextAlign { kTop, kCentre, kBottom };

enum class RichTextItemKind { kText, kBreak, kOffset, kLink, kImage };

// Formatting in force for a text item: bits OR-ed into the element's default font id and
// the sum of the size steps around it.
struct RichTextFormat {
  uint16_t font_bits = 0;
  uint32_t size_steps = 0;
  RichTextAlign align = RichTextAlign::kTop;
  VwColour colour = kVwColourUnset;  // unset: the element's text colour
};

struct RichTextItem {
  RichTextItemKind kind = RichTextItemKind::kText;
  std::wstring text;  // text, link text or picture path
  RichTextFormat format;
  uint32_t offset = 0;  // kOffset
  int link_id = 0;      // kLink
  VwColour link_colour = kVwColourUnset;
  VwColour link_hover_colour = kVwColourUnset;
};

// The font id of formatted text on top of a default font: bits combine, size steps add
// to the high byte (wrapping like the 16-bit id itself).
uint16_t RichTextFontId(uint16_t default_font, const RichTextFormat& format);
// The same font without the size steps, the reference for "g" alignment.
uint16_t RichTextBaseFontId(uint16_t default_font, const RichTextFormat& format);

// The items of an element's content (its child nodes, not the element's own tag).
std::vector<RichTextItem> ParseRichTextMarkup(const TiXmlElement& element, RichTextDialect dialect);
// The items of a markup fragment given as text (wrapped in a root element first); empty
// when the text is not well-formed XML.
std::vector<RichTextItem> ParseRichTextMarkupText(const std::string& markup, RichTextDialect dialect);

}  // namespace kbase
