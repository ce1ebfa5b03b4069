// libFuzzer target for rich text markup: whatever the text, reading it into items, laying
// it out in a small area and driving a "richtext" element over it (paint, hover, click)
// must stay inside memory and terminate.
//
// Byte 0 and 1 choose the area's width and height, byte 2 the line spacing (signed),
// byte 3 centring (bit 0), the extended dialect (bit 1) and fractional positions (bit 2);
// the rest is the markup.

#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "ui/rich_text_layout.h"
#include "ui/rich_text_markup.h"
#include "ui/vw_canvas.h"
#include "ui/vw_rich_text.h"
#include "ui/vw_style_table.h"

namespace {

using namespace kbase;

// Widths depend on the character and the font, so wrapping takes every path.
class VaryingPitch : public IRichTextMeasure {
 public:
  RichTextFit Fit(const std::wstring& text, size_t start, size_t length, uint16_t font, double max_width) override {
    RichTextFit fit;
    fit.height = 10 + static_cast<int8_t>(font >> 8);
    for (size_t i = start; i < text.size() && i < start + length; ++i) {
      const double next = fit.width + (static_cast<unsigned>(text[i]) % 9) + (font & 0x7);
      if (max_width >= 0 && next > max_width) break;
      fit.width = next;
      ++fit.count;
    }
    return fit;
  }
  bool ImageSize(const std::wstring& path, double* width, double* height) override {
    *width = static_cast<double>(path.size() * 7 % 90);
    *height = static_cast<double>(path.size() * 13 % 70);
    return true;
  }
};

class NullCanvas : public IVwCanvas {
 public:
  bool InRegion(const VwRect&) override { return true; }
  void SaveState() override {}
  void RestoreState() override {}
  void FrameRect(const VwRect&) override {}
  void FillRect(const VwRect&, VwColour, int, bool) override {}
  bool DrawSkin(const std::string&, const VwRect&, int, bool, int) override { return false; }
  void DrawText(const VwTextPaint&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const double width = data[0] * 2;
  const double height = data[1] * 2;
  const double line_spacing = static_cast<int8_t>(data[2]);
  const bool centre = (data[3] & 1) != 0;
  const RichTextDialect dialect = (data[3] & 2) != 0 ? RichTextDialect::kExtended : RichTextDialect::kBasic;
  const std::string markup(reinterpret_cast<const char*>(data + 4), size - 4);

  const std::vector<RichTextItem> items = ParseRichTextMarkupText(markup, dialect);
  VaryingPitch measure;
  RichTextLayoutInput input;
  input.area = {3, 5, 3 + width, 5 + height};
  input.line_spacing = line_spacing;
  input.spacing = data[3] >> 4;
  input.centre = centre;
  input.fractional = (data[3] & 4) != 0;
  input.default_font = static_cast<uint16_t>(data[0] << 8 | data[1]);
  input.link_font = data[2];
  const RichTextLayout layout = LayOutRichText(items, input, measure);
  if (layout.pieces.size() + layout.links.size() + layout.images.size() > kRichTextMaxPieces) __builtin_trap();

  // The element over the same markup, with the neutral platform.
  TiXmlDocument document;
  const std::string wrapped = "<richtext linkclass=\"x\" defaultfont=\"0104\">" + markup + "</richtext>";
  document.Parse(wrapped.c_str(), nullptr, TIXML_ENCODING_UTF8);
  if (document.Error() || document.RootElement() == nullptr) return 0;
  CVwRichText element;
  element.Load(*document.RootElement());
  LayoutPlacement placement{0, 0, static_cast<int>(width), static_cast<int>(height)};
  intptr_t result = 0;
  element.ProcessMessage(kVwMsgPositionChanged, 0, reinterpret_cast<intptr_t>(&placement), &result);
  NullCanvas canvas;
  element.RedrawRegion(canvas);
  for (int i = 0; i < 16; ++i) {
    VwPoint point{i * data[0] / 8, i * data[1] / 8};
    const unsigned messages[] = {kVwMsgMouseMove, kVwMsgLButtonDown, kVwMsgLButtonUp};
    element.ProcessMessage(messages[i % 3], 0, reinterpret_cast<intptr_t>(&point), &result);
  }
  element.ProcessMessage(kVwMsgMouseLeave, 0, 0, &result);
  return 0;
}
