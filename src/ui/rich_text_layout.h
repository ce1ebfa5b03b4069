#pragma once
// Places rich text items in a drawing area: the pen starts at the area's left-top corner,
// text runs are cut at the character that no longer fits and continue on the next line,
// links move whole to the next line, "o" offsets that pass the right edge carry their
// excess onto the following lines, pictures shrink to the line spacing. With centring a
// first pass measures the content and the pen's start moves right by half of what is
// left over. Measuring goes through an interface, so the arithmetic runs without a
// device context.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ui/rich_text_markup.h"
#include "ui/vw_attribute_text.h"
#include "ui/vw_geometry.h"

namespace kbase {

struct RichTextFit {
  size_t count = 0;  // characters of the prefix that fit
  double width = 0;  // extent of that prefix
  double height = 0;
};

class IRichTextMeasure {
 public:
  virtual ~IRichTextMeasure() = default;
  // The longest prefix of text[start, start + length) whose extent in the font is at most
  // max_width, with its extent; the whole range when max_width is negative.
  virtual RichTextFit Fit(const std::wstring& text, size_t start, size_t length, uint16_t font_id,
                          double max_width) = 0;
  // A picture's natural size; false when it cannot be read.
  virtual bool ImageSize(const std::wstring& path, double* width, double* height) {
    return false;
  }
};

struct RichTextBox {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
  bool Contains(double x, double y) const { return x >= left && x < right && y >= top && y < bottom; }
};

struct RichTextLayoutInput {
  RichTextBox area;
  uint16_t default_font = 0;
  uint16_t link_font = 0;
  double line_spacing = 20;
  double spacing = 0;
  bool centre = false;
  // Whole pixels (GDI) or fractional positions (GDI+).
  bool fractional = false;
  // Pictures are scaled by this after fitting the line (the DPI ratio, or 1).
  double image_scale = 1.0;
};

struct RichTextPiece {
  std::wstring text;
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
  size_t item = 0;  // index of the text item it was cut from
  uint16_t font_id = 0;
  VwColour colour = kVwColourUnset;
};

struct RichTextLinkBox {
  RichTextBox box;
  int id = 0;
  std::wstring text;
  VwColour colour = kVwColourUnset;
  VwColour hover_colour = kVwColourUnset;
};

struct RichTextImageBox {
  RichTextBox box;
  std::wstring path;
};

struct RichTextLayout {
  std::vector<RichTextPiece> pieces;
  std::vector<RichTextLinkBox> links;
  std::vector<RichTextImageBox> images;
  // Right and bottom edges of everything placed (the area's left-top when empty).
  double content_right = 0;
  double content_bottom = 0;
};

// Layout stops adding pieces past the area's bottom or after this many pieces, which
// bounds the work a hostile document with a tiny area or line spacing can cause.
constexpr size_t kRichTextMaxPieces = 4096;

RichTextLayout LayOutRichText(const std::vector<RichTextItem>& items, const RichTextLayoutInput& input,
                              IRichTextMeasure& measure);

// The whole pixels a box touches.
VwRect RichTextPixelRect(const RichTextBox& box);

}  // namespace kbase
