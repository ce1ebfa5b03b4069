// Rich text without a device context: the markup read into items, the wrapping and
// centring arithmetic over a fixed-pitch measure, and the elements' links, hover,
// cursor and click notification over a recording platform and canvas.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ui/rich_text_layout.h"
#include "ui/rich_text_markup.h"
#include "ui/vw_canvas.h"
#include "ui/vw_dialog.h"
#include "ui/vw_platform.h"
#include "ui/vw_rich_text.h"
#include "ui/vw_style_table.h"

namespace kbase {
namespace {

// --- markup -------------------------------------------------------------------------------

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

// One line per item: text{bits,steps,align,colour}, BR, O(n), A(id,text,colour,hover), IMG(src).
std::string Describe(const std::vector<RichTextItem>& items) {
  std::ostringstream out;
  for (const RichTextItem& item : items) {
    if (!out.str().empty()) out << "|";
    switch (item.kind) {
      case RichTextItemKind::kText:
        out << Narrow(item.text);
        if (item.format.font_bits != 0) out << "{b" << item.format.font_bits << "}";
        if (item.format.size_steps != 0) out << "{s" << item.format.size_steps << "}";
        if (item.format.align == RichTextAlign::kCentre) out << "{gc}";
        if (item.format.align == RichTextAlign::kBottom) out << "{gb}";
        if (item.format.colour != kVwColourUnset) out << "{c" << std::hex << item.format.colour << std::dec << "}";
        break;
      case RichTextItemKind::kBreak: out << "BR"; break;
      case RichTextItemKind::kOffset: out << "O(" << item.offset << ")"; break;
      case RichTextItemKind::kLink:
        out << "A(" << item.link_id << "," << Narrow(item.text) << "," << std::hex << item.link_colour << ","
            << item.link_hover_colour << std::dec << ")";
        break;
      case RichTextItemKind::kImage: out << "IMG(" << Narrow(item.text) << ")"; break;
    }
  }
  return out.str();
}

std::string Nested(const char* tag, int depth, const char* inner) {
  std::string out;
  for (int i = 0; i < depth; ++i) out += std::string("<") + tag + ">";
  out += inner;
  for (int i = 0; i < depth; ++i) out += std::string("</") + tag + ">";
  return out;
}

TEST(RichTextMarkup, ReadsTagsIntoResolvedItems) {
  const struct {
    const char* name;
    std::string markup;
    RichTextDialect dialect;
    const char* expected;
  } cases[] = {
      {"plain", "Hello", RichTextDialect::kBasic, "Hello"},
      {"empty", "", RichTextDialect::kBasic, ""},
      {"break", "a<br/>b", RichTextDialect::kBasic, "a|BR|b"},
      {"break content ignored", "<br>x</br>y", RichTextDialect::kBasic, "BR|y"},
      {"nesting combines and restores", "<b>x<u>y</u>z</b>w", RichTextDialect::kBasic, "x{b4}|y{b6}|z{b4}|w"},
      {"tags in any case", "<B>x</B><I>y</I><U>z</U>", RichTextDialect::kBasic, "x{b4}|y{b1}|z{b2}"},
      {"size is hexadecimal and adds up", "<s size='a'>x<s size='3'>y</s></s>", RichTextDialect::kBasic,
       "x{s10}|y{s13}"},
      {"vertical alignment", "<g align='c'><s size='4'>x</s></g><g align='b'>y</g><g align='t'>z</g>",
       RichTextDialect::kBasic, "x{s4}{gc}|y{gb}|z"},
      {"colour nests and restores", "<c color='FF0000'>x<c color='00ff00'>y</c>z</c>w", RichTextDialect::kBasic,
       "x{cff}|y{cff00}|z{cff}|w"},
      {"malformed colour reads as 0", "<c color='zz00FF'>x</c>", RichTextDialect::kBasic, "x{cff0000}"},
      {"colour without value keeps the outer", "<c color='0000FF'><c>x</c></c>", RichTextDialect::kBasic,
       "x{cff0000}"},
      {"link with everything inside as its text", "<a id='7' color='0000FF' hover_color='FF0000'>go<b>now</b></a>",
       RichTextDialect::kBasic, "A(7,gonow,ff0000,ff)"},
      {"link without attributes", "<a>t</a>", RichTextDialect::kBasic, "A(0,t,ffffffff,ffffffff)"},
      {"offset is hexadecimal", "<o offset='1A'/><o/>", RichTextDialect::kBasic, "O(26)|O(0)"},
      {"unknown tag is transparent", "<x>y<b>z</b></x>", RichTextDialect::kBasic, "y|z{b4}"},
      {"unclosed tag reads nothing", "<b>x", RichTextDialect::kBasic, ""},
      {"entities decoded", "a &amp; b &lt;c&gt;", RichTextDialect::kBasic, "a & b <c>"},
      {"img only in the extended dialect", "<img src='p.png'/>x", RichTextDialect::kBasic, "x"},
      {"img", "<img src='p.png'/><img/>x", RichTextDialect::kExtended, "IMG(p.png)|x"},
      {"no size or alignment in the extended dialect", "<s size='2'><g align='b'>x</g></s>",
       RichTextDialect::kExtended, "x"},
      {"deep nesting inside the bound", Nested("b", kRichTextMaxDepth - 1, "deep"), RichTextDialect::kBasic,
       "deep{b4}"},
      {"deeper nesting is dropped", Nested("b", kRichTextMaxDepth, "deep") + "after", RichTextDialect::kBasic,
       "after"},
  };
  for (const auto& c : cases) {
    // Colours print as COLORREF (red in the low byte): "0000FF" is 0xff0000.
    EXPECT_EQ(Describe(ParseRichTextMarkupText(c.markup, c.dialect)), c.expected) << c.name;
  }
}

TEST(RichTextMarkup, FontIdsCombineWithTheDefaultFont) {
  RichTextFormat format;
  format.font_bits = 0x4 | 0x2;
  format.size_steps = 4;
  EXPECT_EQ(RichTextFontId(0x0001, format), 0x0407);
  EXPECT_EQ(RichTextBaseFontId(0x0001, format), 0x0007);
  format.size_steps = 0x1FF;  // the 16-bit id wraps, as the id itself does
  EXPECT_EQ(RichTextFontId(0x0200, format), static_cast<uint16_t>(0x0206 + 0x1FF00));
}

TEST(RichTextMarkup, HostileInputStaysBounded) {
  // Far beyond the bound: the walk keeps its own stack and drops the deep part.
  const std::string deep = Nested("c", 5000, "x");
  EXPECT_EQ(Describe(ParseRichTextMarkupText(deep, RichTextDialect::kBasic)), "");
  const std::string wide(100000, 'w');
  EXPECT_EQ(ParseRichTextMarkupText("<a id='99999999999999'>" + wide + "</a>", RichTextDialect::kBasic)[0].text.size(),
            wide.size());
  EXPECT_TRUE(ParseRichTextMarkupText("<b><i></b></i>", RichTextDialect::kBasic).empty());
}

// --- layout ---------------------------------------------------------------------------------

// Every character is 6 pixels wide, 7 in bold, plus the size step; U+200B is zero wide.
// The height is 12 plus the size step.
class FixedPitch : public IRichTextMeasure {
 public:
  static double CharWidth(wchar_t c, uint16_t font) {
    if (c == 0x200B) return 0;
    return ((font & 0x4) ? 7 : 6) + static_cast<int8_t>(font >> 8);
  }
  RichTextFit Fit(const std::wstring& text, size_t start, size_t length, uint16_t font, double max_width) override {
    ++calls;
    RichTextFit fit;
    fit.height = 12 + static_cast<int8_t>(font >> 8);
    for (size_t i = start; i < text.size() && i < start + length; ++i) {
      const double next = fit.width + CharWidth(text[i], font);
      if (max_width >= 0 && next > max_width) break;
      fit.width = next;
      ++fit.count;
    }
    if (fit.count == 0) fit.height = 0;
    return fit;
  }
  bool ImageSize(const std::wstring& path, double* width, double* height) override {
    if (path == L"big.png") { *width = 40; *height = 40; return true; }
    if (path == L"small.png") { *width = 10; *height = 8; return true; }
    return false;
  }
  int calls = 0;
};

// Pieces as "text@x,y", links as "[text]@x,y", images as "<w x h>@x,y".
std::string Placed(const RichTextLayout& layout) {
  std::ostringstream out;
  auto sep = [&out] { if (!out.str().empty()) out << " "; };
  for (const RichTextPiece& p : layout.pieces) { sep(); out << Narrow(p.text) << "@" << p.x << "," << p.y; }
  for (const RichTextLinkBox& l : layout.links) { sep(); out << "[" << Narrow(l.text) << "]@" << l.box.left << "," << l.box.top; }
  for (const RichTextImageBox& i : layout.images) {
    sep();
    out << "<" << i.box.right - i.box.left << "x" << i.box.bottom - i.box.top << ">@" << i.box.left << "," << i.box.top;
  }
  return out.str();
}

std::string ZeroWidth(int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += "\xE2\x80\x8B";  // U+200B
  return out;
}

TEST(RichTextLayout, WrapsAndPlacesRuns) {
  const struct {
    const char* name;
    std::string markup;
    double spacing;
    bool centre;
    std::string expected;
  } cases[] = {
      {"one run", "Hello", 0, false, "Hello@0,0"},
      {"a word wider than the area is cut at the character that no longer fits",
       "abcdefghijklmnopqrstuvwxy", 0, false, "abcdefghij@0,0 klmnopqrst@0,20 uvwxy@0,40"},
      {"runs follow each other with the spacing", "ab<b>cd</b>ef", 4, false, "ab@0,0 cd@16,0 ef@34,0"},
      {"break", "ab<br/>cd<br/><br/>e", 0, false, "ab@0,0 cd@0,20 e@0,60"},
      {"bold is wider", "<b>abcdefghi</b>", 0, false, "abcdefgh@0,0 i@0,20"},
      {"the last character fits exactly at the edge", "aaaaaaaaa<c color='FF0000'>bb</c>", 0, false,
       "aaaaaaaaa@0,0 b@54,0 b@0,20"},
      {"nothing fits after the pen: the run starts the next line", "aaaaaaaaaa<b>b</b>", 0, false,
       "aaaaaaaaaa@0,0 b@0,20"},
      {"a link that starts near the right edge moves whole", "aaaaaaaa<a id='1'>link</a>", 0, false,
       "aaaaaaaa@0,0 [link]@0,20"},
      {"a link that fits stays", "aaaaa<a id='1'>link</a>x", 2, false, "aaaaa@0,0 x@0,20 [link]@32,0"},
      {"offset", "a<o offset='a'/>b", 0, false, "a@0,0 b@16,0"},
      {"offset past the edge carries its excess", "<o offset='46'/>b", 0, false, "b@10,20"},
      {"offset past several lines", "<o offset='82'/>b", 0, false, "b@10,40"},
      {"offset ending on the edge", "<o offset='3c'/>b", 0, false, "b@0,20"},
      {"centred start", "abc", 0, true, "abc@21,0"},
      {"centred start, odd space left", "<o offset='1'/>abc", 0, true, "abc@21,0"},
      {"centring only moves the first line", "abcdefghijklm", 0, true, "abcdefghij@0,0 klm@0,20"},
      {"enlarged text, centred", "<g align='c'><s size='4'>x</s></g>", 0, false, "x@0,-2"},
      {"enlarged text, bottom", "<g align='b'><s size='4'>x</s></g>", 0, false, "x@0,-4"},
      {"enlarged text, top", "<g align='t'><s size='4'>x</s></g>", 0, false, "x@0,0"},
      {"zero-width characters beyond the first probe do not end a line early", ZeroWidth(70) + "abcdefghijk", 0,
       false, std::string(70, '?') + "abcdefghij@0,0 k@0,20"},
      {"nothing", "", 0, false, ""},
  };
  for (const auto& c : cases) {
    FixedPitch measure;
    RichTextLayoutInput input;
    input.area = {0, 0, 60, 1000};
    input.spacing = c.spacing;
    input.centre = c.centre;
    EXPECT_EQ(Placed(LayOutRichText(ParseRichTextMarkupText(c.markup, RichTextDialect::kBasic), input, measure)),
              c.expected)
        << c.name;
  }
}

TEST(RichTextLayout, PicturesFitTheLineSpacing) {
  FixedPitch measure;
  RichTextLayoutInput input;
  input.area = {0, 0, 60, 1000};
  const auto items = ParseRichTextMarkupText("<img src='big.png'/><img src='small.png'/><img src='gone.png'/>"
                                             "aaaaa<img src='big.png'/>",
                                             RichTextDialect::kExtended);
  EXPECT_EQ(Placed(LayOutRichText(items, input, measure)), "aaaaa@30,0 <20x20>@0,0 <10x8>@20,0 <20x20>@0,20");
  input.image_scale = 1.5;
  input.fractional = true;
  EXPECT_EQ(Placed(LayOutRichText(ParseRichTextMarkupText("<img src='big.png'/>", RichTextDialect::kExtended), input,
                                  measure)),
            "<30x30>@0,0");
}

TEST(RichTextLayout, HostileAreasTerminate) {
  const std::wstring text(20000, L'x');
  std::vector<RichTextItem> items(1);
  items[0].text = text;
  const struct {
    const char* name;
    RichTextBox area;
    double line_spacing;
  } cases[] = {
      {"area narrower than a character", {0, 0, 3, 1.0e7}, 20},
      {"empty area", {10, 10, 10, 10}, 20},
      {"no line spacing", {0, 0, 60, 100}, 0},
      {"negative line spacing", {0, 0, 60, 100}, -20},
      {"inverted area", {60, 100, 0, 0}, 20},
  };
  for (const auto& c : cases) {
    FixedPitch measure;
    RichTextLayoutInput input;
    input.area = c.area;
    input.line_spacing = c.line_spacing;
    const RichTextLayout layout = LayOutRichText(items, input, measure);
    EXPECT_LE(layout.pieces.size(), kRichTextMaxPieces) << c.name;
    EXPECT_LT(measure.calls, 4 * static_cast<int>(kRichTextMaxPieces) + 8) << c.name;
  }
  // One character per line when none fits: every line still makes progress.
  FixedPitch measure;
  RichTextLayoutInput input;
  input.area = {0, 0, 3, 1000};
  items[0].text = L"abc";
  EXPECT_EQ(Placed(LayOutRichText(items, input, measure)), "a@0,0 b@0,20 c@0,40");
  // A huge offset is arithmetic, not a loop.
  items[0].kind = RichTextItemKind::kOffset;
  items[0].offset = 0xFFFFFFFFu;
  input.area = {0, 0, 1, 1.0e12};
  EXPECT_TRUE(LayOutRichText(items, input, measure).pieces.empty());
}

// --- elements over a recording platform --------------------------------------------------

struct Click {
  VwHostWindow host;
  int id;
  std::string tag;
};

class RecordingPlatform : public IVwPlatform {
 public:
  bool DpiAware() override { return false; }
  double DpiRatio() override { return 1.0; }
  // The fixed pitch again, through the default prefix search of IVwPlatform::FitText.
  VwSize MeasureText(const std::wstring& text, const VwTextMeasure& how) override {
    double width = 0;
    for (wchar_t c : text) width += FixedPitch::CharWidth(c, how.font_id);
    return {static_cast<int>(width), text.empty() ? 0 : 12 + static_cast<int8_t>(how.font_id >> 8)};
  }
  bool SkinDependsOnState(const std::string&) override { return false; }
  void SetCursor(int id) override { cursor = id; }
  void RequestRedraw(VwHostWindow, uint32_t, const VwRect& rect) override { redraws.push_back(rect); }
  void SendControlEvent(VwHostWindow, int, int) override {}
  void SendClickToHostParent(VwHostWindow host, int id, const char* tag) override { clicks.push_back({host, id, tag}); }
  // A YaHei face moving the text up by 3 pixels.
  VwRect AdjustYaheiRect(const VwRect& rect, uint32_t, uint16_t, bool, bool) override {
    ++yahei_adjustments;
    return {rect.left, rect.top - 3, rect.right, rect.bottom - 3};
  }
  int yahei_adjustments = 0;

  int cursor = 0;
  std::vector<VwRect> redraws;
  std::vector<Click> clicks;
};

class RecordingCanvas : public IVwCanvas {
 public:
  bool InRegion(const VwRect&) override { return true; }
  void SaveState() override {}
  void RestoreState() override {}
  void FrameRect(const VwRect&) override {}
  void FillRect(const VwRect&, VwColour, int, bool) override {}
  bool DrawSkin(const std::string&, const VwRect&, int, bool, int) override { return false; }
  void DrawText(const VwTextPaint&) override {}
  void IntersectClip(const VwRect& rect) override { clip = rect; }
  void DrawTextRun(const VwTextRun& run) override { runs.push_back(run); }

  VwRect clip;
  std::vector<VwTextRun> runs;
};

class RichTextElementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallVwPlatform(&platform_);
    VwStyleTable::Instance().Clear();
    VwStyleTable::Instance().LoadFromText(R"(<style>
        <class name="body" crtext="112233" margin="2" spacing="4" linespacing="20"/>
        <class name="lnk" crtext="0000FF" crhover="FF0000" crdisabled="999999" font="0002" hoverfont="0006"/>
        <class name="obj" crtext="00FF00" crhover="FF00FF" font="0004"/>
      </style>)");
  }
  void TearDown() override {
    root_.reset();
    InstallVwPlatform(nullptr);
    VwStyleTable::Instance().Clear();
  }
  CVwDialog* Load(const char* xml) {
    TiXmlDocument document;
    document.Parse(xml, nullptr, TIXML_ENCODING_UTF8);
    EXPECT_FALSE(document.Error());
    root_ = std::make_unique<CVwDialog>();
    root_->SetContainer(reinterpret_cast<VwHostWindow>(0x1234));
    root_->Load(*document.RootElement());
    LayoutPlacement placement{0, 0, 300, 200};
    intptr_t result = 0;
    root_->SetAttribute("pos", "0,0,-0,-0", true);
    root_->ProcessMessage(kVwMsgPositionChanged, 0, reinterpret_cast<intptr_t>(&placement), &result);
    return root_.get();
  }
  static void Send(CVwWindow* element, unsigned message, int x, int y) {
    VwPoint point{x, y};
    intptr_t result = 0;
    element->ProcessMessage(message, 0, reinterpret_cast<intptr_t>(&point), &result);
  }
  static void Paint(CVwWindow* element, RecordingCanvas* canvas) {
    intptr_t result = 0;
    element->ProcessMessage(kVwMsgPaint, reinterpret_cast<uintptr_t>(static_cast<IVwCanvas*>(canvas)), 0, &result);
  }

  RecordingPlatform platform_;
  std::unique_ptr<CVwDialog> root_;
};

TEST_F(RichTextElementTest, PaintsRunsThenLinksInsideTheDeflatedArea) {
  CVwDialog* root = Load(R"(<dlg>
      <richtext id="5" pos="10,10,w64,h100" class="body" defaultfont="0001" linkclass="lnk">ab<c color="00FF00">cd</c><a id="9" color="00FFFF">go</a><b>x</b></richtext>
    </dlg>)");
  auto* rich = dynamic_cast<CVwRichText*>(root->FindChildById(5));
  ASSERT_NE(rich, nullptr);
  EXPECT_EQ(rich->default_font(), 0x0001);
  EXPECT_TRUE(rich->links().empty()) << "no links before the first paint";

  RecordingCanvas canvas;
  Paint(rich, &canvas);
  EXPECT_EQ(canvas.clip, (VwRect{12, 12, 72, 108}));
  ASSERT_EQ(canvas.runs.size(), 4u);
  // ab at 12; cd at 12+12+4; link "go" (font 0002, 12 px) after cd and its spacing; "x" bold.
  EXPECT_EQ(Narrow(canvas.runs[0].text), "ab");
  EXPECT_EQ(canvas.runs[0].x, 12);
  EXPECT_EQ(canvas.runs[0].font_id, 0x0001);
  EXPECT_EQ(canvas.runs[0].colour, VwRgb(0x11, 0x22, 0x33));
  EXPECT_EQ(canvas.runs[1].x, 28);
  EXPECT_EQ(canvas.runs[1].colour, VwRgb(0, 0xFF, 0));
  EXPECT_EQ(Narrow(canvas.runs[2].text), "x");
  EXPECT_EQ(canvas.runs[2].font_id, 0x0005);
  EXPECT_EQ(canvas.runs[2].x, 60);
  EXPECT_EQ(Narrow(canvas.runs[3].text), "go") << "links are drawn last";
  EXPECT_EQ(canvas.runs[3].x, 44);
  EXPECT_EQ(canvas.runs[3].font_id, 0x0002);
  EXPECT_EQ(canvas.runs[3].colour, VwRgb(0, 0xFF, 0xFF)) << "the link's own colour overrides the style";
  ASSERT_EQ(rich->links().size(), 1u);
  EXPECT_EQ(rich->links()[0].id, 9);
}

TEST_F(RichTextElementTest, HoverRedrawsTheOldAndTheNewLink) {
  CVwDialog* root = Load(R"(<dlg>
      <richtext id="5" pos="0,0,200,100" linkclass="lnk"><a id="1">one</a><a id="2" hover_color="00FF00">two</a></richtext>
    </dlg>)");
  CVwWindow* rich_window = root->FindChildById(5);
  auto* rich = static_cast<CVwRichText*>(rich_window);
  RecordingCanvas canvas;
  Paint(rich, &canvas);
  ASSERT_EQ(rich->links().size(), 2u);
  const VwRect one = RichTextPixelRect(rich->links()[0].box);
  const VwRect two = RichTextPixelRect(rich->links()[1].box);
  EXPECT_EQ(one, (VwRect{0, 0, 18, 12}));
  EXPECT_EQ(two, (VwRect{18, 0, 36, 12}));

  Send(rich, kVwMsgMouseMove, 100, 50);
  EXPECT_TRUE(platform_.redraws.empty()) << "outside every link";
  rich->SetCursor();
  EXPECT_EQ(platform_.cursor, kVwCursorArrow);

  Send(rich, kVwMsgMouseMove, 5, 5);
  EXPECT_EQ(rich->hovered_link(), 0);
  ASSERT_EQ(platform_.redraws.size(), 1u);
  EXPECT_EQ(platform_.redraws[0], one);
  rich->SetCursor();
  EXPECT_EQ(platform_.cursor, kVwCursorHand);
  Send(rich, kVwMsgMouseMove, 6, 6);
  EXPECT_EQ(platform_.redraws.size(), 1u) << "same link, no redraw";

  Send(rich, kVwMsgMouseMove, 20, 5);
  ASSERT_EQ(platform_.redraws.size(), 3u);
  EXPECT_EQ(platform_.redraws[1], one);
  EXPECT_EQ(platform_.redraws[2], two);

  canvas.runs.clear();
  Paint(rich, &canvas);
  ASSERT_EQ(canvas.runs.size(), 2u);
  EXPECT_EQ(canvas.runs[0].colour, VwRgb(0, 0, 0xFF)) << "link style colour";
  EXPECT_EQ(canvas.runs[1].colour, VwRgb(0, 0xFF, 0)) << "the link's hover colour";
  EXPECT_EQ(canvas.runs[1].font_id, 0x0006) << "the link style's hover font";

  Send(rich, kVwMsgMouseLeave, 20, 5);
  EXPECT_EQ(rich->hovered_link(), -1);
  ASSERT_EQ(platform_.redraws.size(), 4u);
  EXPECT_EQ(platform_.redraws[3], two);

  // Hover without a colour of the link's own takes the style's hover colour.
  Send(rich, kVwMsgMouseMove, 5, 5);
  canvas.runs.clear();
  Paint(rich, &canvas);
  EXPECT_EQ(canvas.runs[0].colour, VwRgb(0xFF, 0, 0));

  // Disabled links draw in the style's disabled colour, even when hovered.
  rich->ModifyState(kVwStateDisabled, 0);
  canvas.runs.clear();
  Paint(rich, &canvas);
  EXPECT_EQ(canvas.runs[0].colour, VwRgb(0x99, 0x99, 0x99));
  EXPECT_EQ(canvas.runs[1].colour, VwRgb(0x99, 0x99, 0x99));
}

TEST_F(RichTextElementTest, ReleaseOverThePressedLinkNotifies) {
  CVwDialog* root = Load(R"(<dlg>
      <richtext id="5" pos="0,0,200,100" linkclass="lnk">text <a id="41">one</a><a id="42">two</a></richtext>
    </dlg>)");
  auto* rich = static_cast<CVwRichText*>(root->FindChildById(5));
  RecordingCanvas canvas;
  Paint(rich, &canvas);
  ASSERT_EQ(rich->links().size(), 2u);
  const RichTextBox one = rich->links()[0].box;
  const RichTextBox two = rich->links()[1].box;
  const int y = static_cast<int>(one.top) + 2;
  const struct {
    const char* name;
    int press_x;
    int release_x;
    int expected_id;  // 0: no notification
  } cases[] = {
      {"press and release on a link", static_cast<int>(one.left) + 1, static_cast<int>(one.left) + 2, 41},
      {"press on one link, release on another", static_cast<int>(one.left) + 1, static_cast<int>(two.left) + 1, 0},
      {"press on text, release on a link", 1, static_cast<int>(two.left) + 1, 0},
      {"press on a link, release outside", static_cast<int>(two.left) + 1, 150, 0},
      {"the second link", static_cast<int>(two.left) + 1, static_cast<int>(two.left) + 1, 42},
  };
  for (const auto& c : cases) {
    platform_.clicks.clear();
    Send(rich, kVwMsgLButtonDown, c.press_x, y);
    Send(rich, kVwMsgLButtonUp, c.release_x, y);
    if (c.expected_id == 0) {
      EXPECT_TRUE(platform_.clicks.empty()) << c.name;
      continue;
    }
    ASSERT_EQ(platform_.clicks.size(), 1u) << c.name;
    EXPECT_EQ(platform_.clicks[0].id, c.expected_id) << c.name;
    EXPECT_EQ(platform_.clicks[0].tag, "richtext") << c.name;
    EXPECT_EQ(platform_.clicks[0].host, reinterpret_cast<VwHostWindow>(0x1234)) << c.name;
  }
  // A release without a new press does not repeat the click.
  platform_.clicks.clear();
  Send(rich, kVwMsgLButtonUp, static_cast<int>(one.left) + 1, y);
  EXPECT_TRUE(platform_.clicks.empty());
  // A disabled element sends nothing.
  root->ModifyState(kVwStateDisabled, 0);
  Send(rich, kVwMsgLButtonDown, static_cast<int>(one.left) + 1, y);
  Send(rich, kVwMsgLButtonUp, static_cast<int>(one.left) + 1, y);
  EXPECT_TRUE(platform_.clicks.empty());
}

TEST_F(RichTextElementTest, RepositioningClearsLinksUntilTheNextPaint) {
  CVwDialog* root = Load(R"(<dlg>
      <richtext id="5" pos="0,0,200,100" forcecursor="1"><a id="1">one</a></richtext>
    </dlg>)");
  auto* rich = static_cast<CVwRichText*>(root->FindChildById(5));
  rich->SetCursor();
  EXPECT_EQ(platform_.cursor, kVwCursorHand) << "forcecursor: the hand everywhere";
  RecordingCanvas canvas;
  Paint(rich, &canvas);
  Send(rich, kVwMsgMouseMove, 2, 2);
  EXPECT_EQ(rich->hovered_link(), 0);
  rich->SetAttribute("pos", "50,50,250,150", false);
  EXPECT_EQ(rich->rect(), (VwRect{50, 50, 250, 150}));
  EXPECT_TRUE(rich->links().empty());
  EXPECT_EQ(rich->hovered_link(), -1);
  Send(rich, kVwMsgMouseMove, 52, 52);
  EXPECT_EQ(rich->hovered_link(), -1) << "nothing to hit before the next paint";
  Paint(rich, &canvas);
  ASSERT_EQ(rich->links().size(), 1u);
  EXPECT_EQ(rich->links()[0].box.left, 50);
}

TEST_F(RichTextElementTest, YaheiAdjustmentOncePerPlacement) {
  CVwDialog* root = Load(R"(<dlg>
      <richtext id="1" pos="0,10,100,50" autoadjustyahei="1">a</richtext>
      <richtext id="2" pos="0,60,100,100">a</richtext>
    </dlg>)");
  RecordingCanvas canvas;
  CVwWindow* adjusted = root->FindChildById(1);
  Paint(adjusted, &canvas);
  Paint(adjusted, &canvas);
  EXPECT_EQ(canvas.clip, (VwRect{0, 7, 100, 47})) << "moved once, not once per paint";
  EXPECT_EQ(canvas.runs.back().y, 7);
  EXPECT_EQ(platform_.yahei_adjustments, 1);
  adjusted->SetAttribute("pos", "0,20,100,60", false);
  Paint(adjusted, &canvas);
  EXPECT_EQ(canvas.clip, (VwRect{0, 17, 100, 57})) << "again after a repositioning";
  EXPECT_EQ(platform_.yahei_adjustments, 2);
  Paint(root->FindChildById(2), &canvas);
  EXPECT_EQ(canvas.clip, (VwRect{0, 60, 100, 100})) << "not without autoadjustyahei";
}

TEST_F(RichTextElementTest, NaturalSizeAndTheOtherTags) {
  CVwDialog* root = Load(R"(<dlg>
      <richtext id="1" pos="0,0" class="body">abc<br/>de</richtext>
      <richtextex id="2" pos="0,50,200,100"><s size="2">x</s><img src="none.png"/></richtextex>
      <richtext2 id="3" pos="0,100,200,200" broadcaststate="1" checkdcvieworg="1">
        <text class="obj">plain</text><break/><offset length="12"/>
        <text class="obj" id="77" notifymsg="1" adjust="3">click</text><unknown/>
      </richtext2>
    </dlg>)");
  // 18 wide for "abc", the second line 20 below and 12 high, plus the margins 2.
  EXPECT_EQ(root->FindChildById(1)->rect(), (VwRect{0, 0, 18 + 4, 32 + 4}));

  auto* extended = dynamic_cast<CVwRichTextEx*>(root->FindChildById(2));
  ASSERT_NE(extended, nullptr);
  EXPECT_STREQ(extended->GetObjectClass(), "richtextex");
  ASSERT_EQ(extended->markup().size(), 2u);
  EXPECT_EQ(extended->markup()[0].format.size_steps, 0u) << "no size tag in the extended markup";

  auto* objects = dynamic_cast<CVwRichText2Wnd*>(root->FindChildById(3));
  ASSERT_NE(objects, nullptr);
  EXPECT_EQ(objects->GetObjectCount(), 4u);
  EXPECT_STREQ(objects->GetObjectAt(1)->GetObjectKind(), "break");
  EXPECT_EQ(objects->broadcast_state(), 1);
  EXPECT_EQ(objects->check_dc_view_org(), 1);
  RecordingCanvas canvas;
  Paint(objects, &canvas);
  ASSERT_EQ(canvas.runs.size(), 2u);
  EXPECT_EQ(canvas.runs[0].font_id, 0x0004) << "the object's style font";
  EXPECT_EQ(canvas.runs[0].colour, VwRgb(0, 0xFF, 0));
  EXPECT_EQ(canvas.runs[1].x, 12) << "offset";
  EXPECT_EQ(canvas.runs[1].y, 123) << "next line plus adjust";

  Send(objects, kVwMsgMouseMove, 14, 125);
  EXPECT_EQ(objects->hovered_object(), 3);
  EXPECT_FALSE(platform_.redraws.empty());
  Send(objects, kVwMsgLButtonDown, 14, 125);
  Send(objects, kVwMsgLButtonUp, 14, 125);
  ASSERT_EQ(platform_.clicks.size(), 1u);
  EXPECT_EQ(platform_.clicks[0].id, 77);
  EXPECT_EQ(platform_.clicks[0].tag, "richtext2");
  Send(objects, kVwMsgLButtonDown, 2, 102);  // "plain" has no notifymsg
  Send(objects, kVwMsgLButtonUp, 2, 102);
  EXPECT_EQ(platform_.clicks.size(), 1u);
}

}  // namespace
}  // namespace kbase
