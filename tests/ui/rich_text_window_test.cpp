// Rich text inside a real window under Wine: the markup laid out with GDI measurements
// and painted into a 32-bit back buffer (wrapping positions, line breaks, bold and colour
// runs, pictures), link hit testing, the redraw request of a hover change and the code 1
// notification that a release over a link sends to the parent of the host window.
#include <gtest/gtest.h>
#include <tinyxml.h>
#include <windows.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "support/png_writer.h"
#include "support/back_buffer.h"
#include "support/win_test_util.h"
#include "ui/gdi_owner.h"
#include "ui/utf8_text.h"
#include "ui/vw_bitmap.h"
#include "ui/vw_dialog.h"
#include "ui/vw_font_pool.h"
#include "ui/vw_gdi_canvas.h"
#include "ui/vw_notify.h"
#include "ui/vw_rich_text.h"
#include "ui/vw_style_table.h"
#include "ui/vw_win32_platform.h"
#include "ui/window_class.h"

namespace kbase {
namespace {

constexpr int kHostId = 1000;

struct Notified {
  HWND to;
  UINT code;
  UINT_PTR id_from;
  HWND from;
  int element_id;
  std::string tag;
  RECT rect;
};
std::vector<Notified> g_notified;

LRESULT CALLBACK RecordProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NOTIFY) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lparam);
    Notified n{window, header->code, header->idFrom, header->hwndFrom, 0, {}, {}};
    if (header->code == kVwNotifyClick) {
      const auto* record = reinterpret_cast<const VwNotifyElementTag*>(lparam);
      n.element_id = record->id;
      n.tag = record->tag != nullptr ? record->tag : "";
    } else if (header->code == kVwNotifyRedraw) {
      n.rect = reinterpret_cast<const VwNotifyRedraw*>(lparam)->rect;
    }
    g_notified.push_back(n);
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

using test::BackBuffer;

// DIB pixels are 0xRRGGBB.
bool Ink(uint32_t p) { return p != 0xFFFFFF; }
bool Dark(uint32_t p) { return ((p >> 16) & 0xFF) < 128 && ((p >> 8) & 0xFF) < 128 && (p & 0xFF) < 128; }
bool Reddish(uint32_t p) { return ((p >> 16) & 0xFF) > 160 && ((p >> 8) & 0xFF) < 110 && (p & 0xFF) < 110; }
bool Bluish(uint32_t p) { return (p & 0xFF) > 160 && ((p >> 16) & 0xFF) < 110 && ((p >> 8) & 0xFF) < 110; }
bool Greenish(uint32_t p) { return ((p >> 8) & 0xFF) > 100 && ((p >> 16) & 0xFF) < 90 && (p & 0xFF) < 90; }

int TextWidth(const std::wstring& text, uint16_t font_id) {
  ScopedScreenDc screen;
  ScopedMemoryDc dc(screen.get());
  ScopedSelectObject select(dc.get(), VwFontPool::Instance().Font(font_id, false));
  SIZE size{};
  ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

class RichTextWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterWindowClassOnce(L"KinstRichTextTest", RecordProc);
  }
  void SetUp() override {
    VwWin32Platform::Install();
    parent_ = ::CreateWindowExW(0, L"KinstRichTextTest", L"parent", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
    host_ = ::CreateWindowExW(0, L"KinstRichTextTest", L"host", WS_CHILD, 0, 0, 400, 300, parent_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kHostId)), ::GetModuleHandleW(nullptr),
                              nullptr);
    ASSERT_NE(host_, nullptr);
    VwStyleTable::Instance().Clear();
    VwStyleTable::Instance().LoadFromText(R"(<style>
        <class name="body" crtext="000000" linespacing="20"/>
        <class name="lnk" crtext="0000FF" crhover="00C000" font="0002"/>
      </style>)");
    g_notified.clear();
  }
  void TearDown() override {
    root_.reset();
    ::DestroyWindow(host_);
    ::DestroyWindow(parent_);
    InstallVwPlatform(nullptr);
    VwStyleTable::Instance().Clear();
  }
  CVwDialog* Load(const std::string& xml) {
    TiXmlDocument document;
    document.Parse(xml.c_str(), nullptr, TIXML_ENCODING_UTF8);
    EXPECT_FALSE(document.Error());
    root_ = std::make_unique<CVwDialog>();
    root_->SetContainer(host_);
    root_->Load(*document.RootElement());
    root_->SetAttribute("pos", "0,0,-0,-0", true);
    LayoutPlacement placement{0, 0, 400, 300};
    intptr_t result = 0;
    root_->ProcessMessage(kVwMsgPositionChanged, 0, reinterpret_cast<intptr_t>(&placement), &result);
    return root_.get();
  }
  static void Send(CVwWindow* element, unsigned message, int x, int y) {
    VwPoint point{x, y};
    intptr_t result = 0;
    element->ProcessMessage(message, 0, reinterpret_cast<intptr_t>(&point), &result);
  }
  std::vector<Notified> Received(UINT code) const {
    std::vector<Notified> out;
    for (const Notified& n : g_notified)
      if (n.code == code) out.push_back(n);
    return out;
  }

  HWND parent_ = nullptr;
  HWND host_ = nullptr;
  std::unique_ptr<CVwDialog> root_;
};

TEST_F(RichTextWindowTest, WrapsAtTheCharacterThatNoLongerFitsAndBreaksLines) {
  CVwDialog* root = Load(R"(<dlg>
      <richtext id="1" pos="0,0,100,120" class="body">WWWWWWWWWWWWWWWWWWWWWWWWW<br/>ii</richtext>
    </dlg>)");
  auto* rich = dynamic_cast<CVwRichText*>(root->FindChildById(1));
  ASSERT_NE(rich, nullptr);
  const RichTextLayout layout = rich->LayOutNow();
  ASSERT_GE(layout.pieces.size(), 3u);
  // The first piece is the longest prefix that fits 100 pixels: one more W would not.
  const std::wstring first = layout.pieces[0].text;
  EXPECT_LE(TextWidth(first, 0), 100);
  EXPECT_GT(TextWidth(first + L"W", 0), 100);
  EXPECT_EQ(layout.pieces[1].y, 20);
  EXPECT_EQ(layout.pieces[1].x, 0);
  EXPECT_EQ(layout.pieces.back().text, L"ii");
  EXPECT_EQ(layout.pieces.back().y, 20.0 * (layout.pieces.size() - 1)) << "the break starts a new line";

  BackBuffer buffer(400, 300, /*white=*/true);
  VwGdiCanvas canvas(buffer.dc(), nullptr);
  rich->RedrawRegion(canvas);
  const int first_right = buffer.InkRight(RECT{0, 0, 400, 20});
  EXPECT_LE(first_right, TextWidth(first, 0)) << "first line ends where its piece ends";
  EXPECT_GT(first_right, TextWidth(first, 0) - TextWidth(L"W", 0));
  EXPECT_LT(buffer.InkRight(RECT{0, 0, 400, 300}), 100) << "nothing drawn right of the area";
  const int last_top = static_cast<int>(layout.pieces.back().y);
  EXPECT_GT(buffer.CountIf(RECT{0, last_top, 100, last_top + 20}, Ink), 0) << "the line after the break";
  EXPECT_LT(buffer.InkRight(RECT{0, last_top, 100, last_top + 20}), TextWidth(L"ii", 0) + 1);
}

TEST_F(RichTextWindowTest, BoldAndColourRunsShowInPixels) {
  CVwDialog* root = Load(R"(<dlg>
      <richtext id="1" pos="0,0,300,100" class="body">mmmm<br/><b>mmmm</b><br/>ab<c color="FF0000">red</c>cd</richtext>
    </dlg>)");
  auto* rich = static_cast<CVwRichText*>(root->FindChildById(1));
  BackBuffer buffer(400, 300, /*white=*/true);
  VwGdiCanvas canvas(buffer.dc(), nullptr);
  rich->RedrawRegion(canvas);

  const int plain = buffer.CountIf(RECT{0, 0, 300, 20}, Dark);
  const int bold = buffer.CountIf(RECT{0, 20, 300, 40}, Dark);
  ASSERT_GT(plain, 0);
  EXPECT_GT(bold, plain) << "bold strokes cover more pixels";
  EXPECT_GT(buffer.InkRight(RECT{0, 20, 300, 40}), buffer.InkRight(RECT{0, 0, 300, 20})) << "bold is wider";

  const int red_left = TextWidth(L"ab", 0);
  const int red_right = red_left + TextWidth(L"red", 0);
  EXPECT_GT(buffer.CountIf(RECT{red_left, 40, red_right, 60}, Reddish), 0) << "the coloured run";
  EXPECT_EQ(buffer.CountIf(RECT{0, 40, red_left, 60}, Reddish), 0) << "text before the run keeps its colour";
  EXPECT_EQ(buffer.CountIf(RECT{red_right + 1, 40, 300, 60}, Reddish), 0) << "colour restored after the run";
  EXPECT_GT(buffer.CountIf(RECT{red_right, 40, 300, 60}, Dark), 0);
}

TEST_F(RichTextWindowTest, LinksHitHoverAndNotifyTheHostsParent) {
  // Enough x after the first link that the second does not fit behind them and moves
  // whole to the next line, while the x themselves stay on the first.
  std::wstring xs;
  const int used = TextWidth(L"go", 0) + TextWidth(L"here", 0x0002);
  while (used + TextWidth(xs + L"x", 0) <= 150) xs += L"x";
  ASSERT_GT(used + TextWidth(xs, 0) + TextWidth(L"there", 0x0002), 150);
  CVwDialog* root = Load(R"(<dlg>
      <richtext id="3" pos="10,10,160,80" class="body" linkclass="lnk">go <a id="42">here</a>)" +
                         Utf8FromWide(xs) + R"(<a id="43">there</a></richtext>
    </dlg>)");
  auto* rich = static_cast<CVwRichText*>(root->FindChildById(3));
  BackBuffer buffer(400, 300, /*white=*/true);
  VwGdiCanvas canvas(buffer.dc(), nullptr);
  rich->RedrawRegion(canvas);
  ASSERT_EQ(rich->links().size(), 2u);
  const RichTextLinkBox here = rich->links()[0];
  const RichTextLinkBox there = rich->links()[1];
  EXPECT_EQ(here.box.left, 10 + TextWidth(L"go", 0));
  EXPECT_EQ(here.box.right - here.box.left, TextWidth(L"here", 0x0002)) << "measured in the link style's font";
  EXPECT_EQ(there.box.left, 10) << "moved whole to the next line";
  EXPECT_EQ(there.box.top, 30);
  const VwRect here_rect = RichTextPixelRect(here.box);
  const RECT here_pixels{here_rect.left, here_rect.top, here_rect.right, here_rect.bottom};
  EXPECT_GT(buffer.CountIf(here_pixels, Bluish), 0) << "links in the link style's colour";

  // Hit testing: the link's box, not the text around it.
  const int cx = (here_rect.left + here_rect.right) / 2;
  const int cy = (here_rect.top + here_rect.bottom) / 2;
  Send(rich, kVwMsgMouseMove, 12, cy);
  EXPECT_EQ(rich->hovered_link(), -1);
  EXPECT_TRUE(Received(kVwNotifyRedraw).empty());
  Send(rich, kVwMsgMouseMove, cx, cy);
  EXPECT_EQ(rich->hovered_link(), 0);
  const std::vector<Notified> redraws = Received(kVwNotifyRedraw);
  ASSERT_EQ(redraws.size(), 1u);
  EXPECT_EQ(redraws[0].to, host_);
  EXPECT_EQ(redraws[0].rect.left, here_rect.left);
  EXPECT_EQ(redraws[0].rect.top, here_rect.top);
  EXPECT_EQ(redraws[0].rect.right, here_rect.right);
  EXPECT_EQ(redraws[0].rect.bottom, here_rect.bottom);
  rich->SetCursor();
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));

  BackBuffer hovered(400, 300, /*white=*/true);
  VwGdiCanvas hovered_canvas(hovered.dc(), nullptr);
  rich->RedrawRegion(hovered_canvas);
  EXPECT_GT(hovered.CountIf(here_pixels, Greenish), 0) << "hover colour";
  EXPECT_EQ(hovered.CountIf(here_pixels, Bluish), 0);

  // Press and release over the same link: code 1 to the host's parent.
  g_notified.clear();
  Send(rich, kVwMsgLButtonDown, cx, cy);
  Send(rich, kVwMsgLButtonUp, cx + 1, cy);
  const std::vector<Notified> clicks = Received(kVwNotifyClick);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0].to, parent_);
  EXPECT_EQ(clicks[0].from, host_);
  EXPECT_EQ(clicks[0].id_from, static_cast<UINT_PTR>(kHostId));
  EXPECT_EQ(clicks[0].element_id, 42);
  EXPECT_EQ(clicks[0].tag, "richtext");

  // Released elsewhere: nothing.
  g_notified.clear();
  Send(rich, kVwMsgLButtonDown, cx, cy);
  Send(rich, kVwMsgLButtonUp, static_cast<int>(there.box.left) + 2, static_cast<int>(there.box.top) + 2);
  EXPECT_TRUE(Received(kVwNotifyClick).empty());

  // Leaving the element clears the hover and repaints the old link.
  g_notified.clear();
  Send(rich, kVwMsgMouseLeave, 0, 0);
  EXPECT_EQ(rich->hovered_link(), -1);
  EXPECT_EQ(Received(kVwNotifyRedraw).size(), 1u);
  rich->SetCursor();
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
}

TEST_F(RichTextWindowTest, ExtendedPicturesShrinkToTheLineSpacing) {
  test::TempFolder folder;
  const std::wstring path = folder.File(L"pic.png");
  ASSERT_TRUE(test::WriteWholeFile(path, test::FramesPng(40, 40, {0xFFFF00FF})));
  const std::string xml = "<dlg><richtextex id=\"1\" pos=\"0,0,200,100\" class=\"body\">ab<img src=\"" +
                          Utf8FromWide(path) + "\"/>cd</richtextex></dlg>";
  CVwDialog* root = Load(xml);
  auto* rich = dynamic_cast<CVwRichTextEx*>(root->FindChildById(1));
  ASSERT_NE(rich, nullptr);
  const RichTextLayout layout = rich->LayOutNow();
  ASSERT_EQ(layout.images.size(), 1u);
  const RichTextBox box = layout.images[0].box;
  EXPECT_DOUBLE_EQ(box.bottom - box.top, 20.0);
  EXPECT_DOUBLE_EQ(box.right - box.left, 20.0);
  EXPECT_GT(box.left, 0.0) << "after the first run";
  ASSERT_EQ(layout.pieces.size(), 2u);
  EXPECT_DOUBLE_EQ(layout.pieces[1].x, box.right) << "the next run follows the picture";

  BackBuffer buffer(400, 300, /*white=*/true);
  VwGdiCanvas canvas(buffer.dc(), nullptr);
  rich->RedrawRegion(canvas);
  const int left = static_cast<int>(std::ceil(box.left)) + 1;
  auto magenta = [](uint32_t p) { return p == 0xFF00FF; };
  EXPECT_GT(buffer.CountIf(RECT{left, 2, left + 16, 18}, magenta), 200) << "the picture, scaled to 20 x 20";
  EXPECT_EQ(buffer.CountIf(RECT{0, 22, 200, 100}, magenta), 0) << "nothing below its 20 pixels";
  EXPECT_GT(buffer.CountIf(RECT{0, 0, left - 1, 20}, Ink), 0) << "text through GDI+";
}

}  // namespace
}  // namespace kbase
