#include "ui/rich_text_layout.h"

#include <algorithm>
#include <cmath>

namespace kbase {
namespace {

bool IsHighSurrogate(wchar_t c) { return sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF; }

class Pen {
 public:
  Pen(const RichTextLayoutInput& input, IRichTextMeasure& measure, double start_x, RichTextLayout* out)
      : in_(input), measure_(measure), out_(out), x_(start_x), y_(input.area.top) {
    out_->content_right = input.area.left;
    out_->content_bottom = input.area.top;
  }

  void Place(const RichTextItem& item, size_t index) {
    if (Full()) return;
    switch (item.kind) {
      case RichTextItemKind::kText: PlaceText(item, index); break;
      case RichTextItemKind::kBreak: NewLine(); break;
      case RichTextItemKind::kOffset: PlaceOffset(item.offset); break;
      case RichTextItemKind::kLink: PlaceLink(item); break;
      case RichTextItemKind::kImage: PlaceImage(item); break;
    }
  }

 private:
  size_t placed() const { return out_->pieces.size() + out_->links.size() + out_->images.size(); }
  bool Full() const { return placed() >= kRichTextMaxPieces || y_ >= in_.area.bottom; }
  void NewLine() {
    x_ = in_.area.left;
    y_ += in_.line_spacing;
  }
  double Half(double value) const { return in_.fractional ? value / 2 : std::floor(value / 2); }
  void Extend(const RichTextBox& box) {
    out_->content_right = std::max(out_->content_right, box.right);
    out_->content_bottom = std::max(out_->content_bottom, box.bottom);
  }

  // The prefix of text[pos, end) that fits before the right edge; widens its probe when a
  // run of zero-width characters fits whole, and never splits a surrogate pair.
  RichTextFit FitPiece(const std::wstring& text, size_t pos, uint16_t font, double avail) {
    const size_t remaining = text.size() - pos;
    // A character is at least one pixel wide in practice, so more than avail + 2 of them
    // never fit; probing less keeps narrow areas from measuring the whole run per line.
    size_t probe = std::min(remaining, static_cast<size_t>(std::min(avail, 1e6)) + 2);
    RichTextFit fit = measure_.Fit(text, pos, probe, font, avail);
    while (fit.count >= probe && probe < remaining) {
      probe = std::min(remaining, probe * 2);
      fit = measure_.Fit(text, pos, probe, font, avail);
    }
    fit.count = std::min(fit.count, remaining);
    if (fit.count > 0 && fit.count < remaining && IsHighSurrogate(text[pos + fit.count - 1])) {
      fit = fit.count > 1 ? measure_.Fit(text, pos, fit.count - 1, font, -1) : RichTextFit{};
    }
    return fit;
  }

  void PlaceText(const RichTextItem& item, size_t index) {
    const std::wstring& text = item.text;
    const uint16_t font = RichTextFontId(in_.default_font, item.format);
    double raise = 0;
    if (item.format.align != RichTextAlign::kTop && item.format.size_steps != 0) {
      const double full = measure_.Fit(text, 0, text.size(), font, -1).height;
      const double base = measure_.Fit(text, 0, text.size(), RichTextBaseFontId(in_.default_font, item.format), -1).height;
      const double extra = full - base;
      raise = item.format.align == RichTextAlign::kCentre ? Half(extra) : extra;
    }
    size_t pos = 0;
    double last_width = 0;
    while (pos < text.size() && !Full()) {
      const double avail = std::max(0.0, in_.area.right - x_);
      RichTextFit fit = FitPiece(text, pos, font, avail);
      if (fit.count == 0) {
        if (x_ > in_.area.left) {
          NewLine();
          continue;
        }
        // Not even one character fits a whole line: it is drawn anyway (and clipped), so
        // every line makes progress.
        const size_t one = (IsHighSurrogate(text[pos]) && pos + 1 < text.size()) ? 2 : 1;
        fit = measure_.Fit(text, pos, one, font, -1);
        fit.count = one;
      }
      RichTextPiece piece;
      piece.text = text.substr(pos, fit.count);
      piece.x = x_;
      piece.y = y_ - raise;
      piece.width = fit.width;
      piece.height = fit.height;
      piece.item = index;
      piece.font_id = font;
      piece.colour = item.format.colour;
      Extend({piece.x, piece.y, piece.x + fit.width, piece.y + fit.height});
      out_->pieces.push_back(std::move(piece));
      pos += fit.count;
      last_width = fit.width;
      if (pos < text.size()) NewLine();
    }
    x_ += last_width + in_.spacing;
  }

  // The excess of an offset past the right edge continues from the left edge of the
  // following lines, a line width at a time.
  void PlaceOffset(uint32_t offset) {
    x_ += offset;
    if (x_ <= in_.area.right) return;
    const double excess = x_ - in_.area.right;
    const double width = in_.area.right - in_.area.left;
    NewLine();
    if (width <= 0) return;
    const double extra_lines = std::ceil(excess / width) - 1;
    x_ = in_.area.left + excess - extra_lines * width;
    y_ += extra_lines * in_.line_spacing;
  }

  void PlaceLink(const RichTextItem& item) {
    if (item.text.empty()) return;
    const RichTextFit fit = measure_.Fit(item.text, 0, item.text.size(), in_.link_font, -1);
    if (x_ + fit.width > in_.area.right && x_ > in_.area.left) NewLine();
    if (Full()) return;
    RichTextLinkBox link;
    link.box = {x_, y_, x_ + fit.width, y_ + fit.height};
    link.id = item.link_id;
    link.text = item.text;
    link.colour = item.link_colour;
    link.hover_colour = item.link_hover_colour;
    Extend(link.box);
    out_->links.push_back(std::move(link));
    x_ += fit.width + in_.spacing;
  }

  void PlaceImage(const RichTextItem& item) {
    double width = 0;
    double height = 0;
    if (!measure_.ImageSize(item.text, &width, &height) || !(width > 0) || !(height > 0)) return;
    if (in_.line_spacing > 0 && height > in_.line_spacing) {
      width = width * in_.line_spacing / height;
      height = in_.line_spacing;
    }
    width *= in_.image_scale;
    height *= in_.image_scale;
    if (x_ + width > in_.area.right && x_ > in_.area.left) NewLine();
    if (Full()) return;
    RichTextImageBox image;
    image.box = {x_, y_, x_ + width, y_ + height};
    image.path = item.text;
    Extend(image.box);
    out_->images.push_back(std::move(image));
    x_ += width + in_.spacing;
  }

  const RichTextLayoutInput& in_;
  IRichTextMeasure& measure_;
  RichTextLayout* out_;
  double x_;
  double y_;
};

RichTextLayout LayOut(const std::vector<RichTextItem>& items, const RichTextLayoutInput& input,
                      IRichTextMeasure& measure, double start_x) {
  RichTextLayout layout;
  Pen pen(input, measure, start_x, &layout);
  for (size_t i = 0; i < items.size(); ++i) pen.Place(items[i], i);
  return layout;
}

}  // namespace

RichTextLayout LayOutRichText(const std::vector<RichTextItem>& items, const RichTextLayoutInput& input,
                              IRichTextMeasure& measure) {
  double start_x = input.area.left;
  if (input.centre) {
    const RichTextLayout first = LayOut(items, input, measure, start_x);
    const double left_over = (input.area.right - input.area.left) - (first.content_right - input.area.left);
    if (left_over > 0) start_x += input.fractional ? left_over / 2 : std::floor(left_over / 2);
  }
  return LayOut(items, input, measure, start_x);
}

VwRect RichTextPixelRect(const RichTextBox& box) {
  auto whole = [](double value) {
    return static_cast<int>(std::clamp(value, -1.0e9, 1.0e9));
  };
  return {whole(std::floor(box.left)), whole(std::floor(box.top)), whole(std::ceil(box.right)),
          whole(std::ceil(box.bottom))};
}

}  // namespace kbase
