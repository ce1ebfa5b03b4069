// The element tree inside a real window under Wine: natural sizes measured with GDI,
// layout in the window's client area, redraw requests and control events arriving as
// WM_NOTIFY records, hit testing, and painting of text, backgrounds and state skins into
// a 32-bit back buffer.
#include <gtest/gtest.h>
#include <tinyxml.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "support/png_writer.h"
#include "support/back_buffer.h"
#include "support/win_test_util.h"
#include "ui/element_registry.h"
#include "ui/gdi_owner.h"
#include "ui/vw_bitmap.h"
#include "ui/vw_dialog.h"
#include "ui/vw_font_pool.h"
#include "ui/vw_gdi_canvas.h"
#include "ui/vw_notify.h"
#include "ui/vw_resource_loader.h"
#include "ui/vw_skin_pool.h"
#include "ui/vw_style_table.h"
#include "ui/vw_win32_platform.h"
#include "ui/window_class.h"

namespace kbase {
namespace {

struct Received {
  UINT code;
  UINT_PTR id_from;
  HWND from;
  uint32_t element;
  RECT rect;
  int element_id;
  std::string class_text;
  int event;
};
std::vector<Received> g_received;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NOTIFY) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lparam);
    Received r{header->code, header->idFrom, header->hwndFrom, 0, {}, 0, {}, 0};
    if (header->code == kVwNotifyRedraw) {
      const auto* record = reinterpret_cast<const VwNotifyRedraw*>(lparam);
      r.element = record->element;
      r.rect = record->rect;
    } else if (header->code == kVwNotifyControlEvent) {
      const auto* record = reinterpret_cast<const VwNotifyControlEvent*>(lparam);
      r.element_id = record->id;
      r.class_text = record->class_text;
      r.event = record->event;
    }
    g_received.push_back(r);
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

class WindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterWindowClassOnce(L"KinstUiTestHost", HostProc);
  }
  void SetUp() override {
    VwWin32Platform::Install();
    host_ = ::CreateWindowExW(0, L"KinstUiTestHost", L"host", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr,
                              ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host_, nullptr);
    VwStyleTable::Instance().Clear();
    VwStyleTable::Instance().LoadFromText(R"(<style>
        <class name="red" crtext="FF0000" textmode="24"/>
        <class name="bg" crbg="0000FF"/>
        <class name="pad" margin="4"/>
        <class name="btn" skin="frames"/>
        <class name="btn_fixed" skin="frames"/>
      </style>)");
    g_received.clear();
  }
  void TearDown() override {
    root_.reset();
    ::DestroyWindow(host_);
    InstallVwPlatform(nullptr);
    VwStyleTable::Instance().Clear();
  }
  // Loads the layout into the window and lays it out over the client area.
  CVwDialog* Load(const char* xml) {
    TiXmlDocument document;
    document.Parse(xml, nullptr, TIXML_ENCODING_UTF8);
    EXPECT_FALSE(document.Error());
    root_ = std::make_unique<CVwDialog>();
    root_->SetContainer(host_);
    root_->Load(*document.RootElement());
    root_->SetAttribute("pos", "0,0,-0,-0", true);
    RECT client{};
    ::GetClientRect(host_, &client);
    LayoutPlacement placement{0, 0, client.right, client.bottom};
    intptr_t result = 0;
    root_->ProcessMessage(kVwMsgPositionChanged, 0, reinterpret_cast<intptr_t>(&placement), &result);
    return root_.get();
  }
  HWND host_ = nullptr;
  std::unique_ptr<CVwDialog> root_;
};

SIZE TextExtent(const wchar_t* text, uint16_t font_id) {
  ScopedScreenDc screen;
  ScopedMemoryDc dc(screen.get());
  ScopedSelectObject select(dc.get(), VwFontPool::Instance().Font(font_id, false));
  RECT rect{};
  ::DrawTextW(dc.get(), text, -1, &rect, DT_CALCRECT | DT_SINGLELINE);
  return SIZE{rect.right, rect.bottom};
}

TEST_F(WindowTest, NaturalSizesAndLayoutInTheClientArea) {
  CVwDialog* root = Load(R"(<dlg class="pad">
      <text id="1" pos="10,10">Install now</text>
      <text id="2" pos="-0,-0" font="0804">Big</text>
      <text id="3" pos="|0,|0" class="pad">Pad</text>
      <text id="4" pos="0,0,-0,-0"/>
      <text id="5"></text>
    </dlg>)");
  const SIZE install = TextExtent(L"Install now", 0);
  ASSERT_GT(install.cx, 0);
  ASSERT_GT(install.cy, 0);
  EXPECT_EQ(root->FindChildById(1)->rect(), (VwRect{14, 14, 14 + install.cx, 14 + install.cy}));
  const SIZE big = TextExtent(L"Big", 0x0804);
  EXPECT_GT(big.cy, install.cy);
  EXPECT_EQ(root->FindChildById(2)->rect(), (VwRect{296, 196, 296 + big.cx, 196 + big.cy}));
  const SIZE pad = TextExtent(L"Pad", 0);
  EXPECT_EQ(root->FindChildById(3)->rect(), (VwRect{150, 100, 150 + pad.cx + 8, 100 + pad.cy + 8}));
  EXPECT_EQ(root->FindChildById(4)->rect(), (VwRect{4, 4, 296, 196}));
  EXPECT_TRUE(root->FindChildById(5)->rect().empty());
}

TEST_F(WindowTest, RedrawRequestsAndControlEventsReachTheHost) {
  CVwDialog* root = Load(R"(<dlg>
      <text id="1" pos="5,6,w20,h10" notify="1"/>
      <dlg show="0"><text id="2" pos="0,0,10,10"/></dlg>
    </dlg>)");
  CVwWindow* element = root->FindChildById(1);
  element->Invalidate();
  root->FindChildById(2)->Invalidate();
  ASSERT_EQ(g_received.size(), 1u);
  EXPECT_EQ(g_received[0].code, static_cast<UINT>(kVwNotifyRedraw));
  EXPECT_EQ(g_received[0].from, host_);
  EXPECT_EQ(g_received[0].id_from, static_cast<UINT_PTR>(kVwSelfViewId));
  EXPECT_EQ(g_received[0].element, element->handle());
  EXPECT_EQ(g_received[0].rect.left, 5);
  EXPECT_EQ(g_received[0].rect.bottom, 16);

  g_received.clear();
  VwPoint point{6, 7};
  intptr_t result = 0;
  element->ProcessMessage(kVwMsgMouseMove, 0, reinterpret_cast<intptr_t>(&point), &result);
  element->ProcessMessage(kVwMsgMouseLeave, 0, reinterpret_cast<intptr_t>(&point), &result);  // bit 0x2 not set
  ASSERT_EQ(g_received.size(), 1u);
  EXPECT_EQ(g_received[0].code, static_cast<UINT>(kVwNotifyControlEvent));
  EXPECT_EQ(g_received[0].element_id, 1);
  EXPECT_EQ(g_received[0].class_text, "wnd");
  EXPECT_EQ(g_received[0].event, kVwControlEventMove);
}

TEST_F(WindowTest, HitTestingInTheWindow) {
  CVwDialog* root = Load(R"(<dlg>
      <text id="1" pos="0,0,100,100"/>
      <text id="2" pos="50,50,150,150" float="1"/>
      <text id="3" pos="0,0,100,100" transparent="1"/>
      <dlg id="4" pos="200,0,-0,100" onlydrawchild="1"><text id="41" pos="0,0,-0,-0"/></dlg>
      <text id="5" pos="0,150,100,200" show="0"/>
    </dlg>)");
  const struct {
    int x, y, id;
  } cases[] = {{10, 10, 1}, {60, 60, 2}, {120, 120, 2}, {250, 50, 4}, {50, 170, 0}};
  for (const auto& c : cases) {
    CVwWindow* hit = ElementRegistry::Instance().Find(root->HitTest(c.x, c.y, 0));
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->id(), c.id) << c.x << "," << c.y;
  }
}

using test::BackBuffer;

TEST_F(WindowTest, PaintsTextBackgroundsAndStateFrames) {
  test::TempFolder folder;
  ASSERT_TRUE(test::WriteWholeFile(folder.File(L"100.png"),
                                   test::FramesPng(32, 32, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF})));
  VwResourceLoader::Instance().SetResourceFolder(folder.path());
  VwResourceLoader::Instance().ClearImageCache();
  VwSkinPool::Instance().Clear();
  VwSkinPool::Instance().LoadFromText(R"(<skins><png name="frames" src="100" subwidth="32"/></skins>)");

  CVwDialog* root = Load(R"(<dlg>
      <text id="1" pos="0,0,100,30" class="red">WWWW</text>
      <text id="2" pos="0,40,100,70" class="bg"/>
      <text id="3" pos="0,80,100,110" class="bg" show="0"/>
      <text id="4" pos="120,0,152,32" class="btn"/>
      <text id="5" pos="160,0,192,32" class="btn"/>
      <text id="6" pos="200,0,232,32" class="btn_fixed" correctdrawbg="1"/>
      <text id="7" pos="240,0,272,32" class="btn" correctdrawbg="1"/>
    </dlg>)");
  EXPECT_TRUE(root->FindChildById(4)->NeedRedrawWhenStateChange());
  root->FindChildById(4)->ModifyState(kVwStateHover, 0);
  root->FindChildById(5)->ModifyState(kVwStateHover | kVwStatePushed, 0);  // raw bits 3: frame 0
  root->FindChildById(6)->ModifyState(kVwStateHover | kVwStatePushed, 0);  // ordered: pushed = 2
  root->FindChildById(7)->ModifyState(kVwStateDisabled, 0);                // ordered: 3 mod 3 = 0

  BackBuffer buffer(300, 200);
  VwGdiCanvas canvas(buffer.dc(), nullptr);
  ::SetBkMode(buffer.dc(), TRANSPARENT);
  EXPECT_EQ(root->RedrawRegion(canvas), 1);
  // COLORREF "FF0000" is red; in the DIB red is the high byte of the RGB triple.
  EXPECT_GT(buffer.Count(RECT{0, 0, 100, 30}, 0xFF0000), 0) << "red text";
  EXPECT_EQ(buffer.Count(RECT{0, 30, 100, 40}, 0xFF0000), 0) << "nothing between the elements";
  EXPECT_EQ(buffer.At(50, 55), 0x0000FFu) << "own style's background";
  EXPECT_EQ(buffer.At(50, 95), 0u) << "hidden element";
  EXPECT_EQ(buffer.At(136, 16), 0x00FF00u) << "hover shows frame 1";
  EXPECT_EQ(buffer.At(176, 16), 0xFF0000u) << "raw bits 3 show frame 0";
  EXPECT_EQ(buffer.At(216, 16), 0x0000FFu) << "pushed shows frame 2 with correctdrawbg";
  EXPECT_EQ(buffer.At(256, 16), 0xFF0000u) << "disabled is index 3, frame 0";

  // With an invalid region only what it touches is painted.
  BackBuffer partial(300, 200);
  ScopedRegion region(::CreateRectRgn(120, 0, 140, 10));
  VwGdiCanvas clipped(partial.dc(), region.get());
  root->RedrawRegion(clipped);
  EXPECT_EQ(partial.At(136, 16), 0x00FF00u);
  EXPECT_EQ(partial.At(50, 55), 0u);

  VwSkinPool::Instance().Clear();
  VwResourceLoader::Instance().ClearImageCache();
  VwResourceLoader::Instance().SetResourceFolder(L"");
}

}  // namespace
}  // namespace kbase
