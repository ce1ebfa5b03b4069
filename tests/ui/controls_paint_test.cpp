// The control catalogue painting into a 32-bit back buffer under Wine, read back pixel
// by pixel: the skin frame each button state shows, progress fractions and the marquee,
// check and radio boxes, link hover colours, and "realwnd" moving a real child window.
#include <gtest/gtest.h>
#include <tinyxml.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "support/png_writer.h"
#include "support/win_test_util.h"
#include "ui/controls/vw_control_creator.h"
#include "ui/gdi_owner.h"
#include "ui/vw_bitmap.h"
#include "ui/vw_dialog.h"
#include "ui/vw_gdi_canvas.h"
#include "ui/vw_notify.h"
#include "ui/vw_resource_loader.h"
#include "ui/vw_skin_pool.h"
#include "ui/vw_style_table.h"
#include "ui/vw_win32_platform.h"

namespace kbase {
namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00, kGrey = 0x808080;
constexpr uint32_t kPlainFill = 0x426190;  // red 66, green 97, blue 144

std::vector<VwNotifyRealWndMoved> g_moved;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NOTIFY) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lparam);
    if (header->code == kVwNotifyRealWndMoved) g_moved.push_back(*reinterpret_cast<const VwNotifyRealWndMoved*>(lparam));
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

class BackBuffer {
 public:
  BackBuffer(int width, int height) : dc_(nullptr) {
    bitmap_.Create(width, height);
    select_ = std::make_unique<ScopedSelectObject>(dc_.get(), bitmap_.handle());
  }
  HDC dc() const { return dc_.get(); }
  uint32_t At(int x, int y) const {
    ::GdiFlush();
    return bitmap_.bits()[static_cast<size_t>(y) * bitmap_.width() + x] & 0xFFFFFF;
  }
  // Pixels of one colour on a row between two columns.
  int CountRow(int y, int from, int to, uint32_t colour) const {
    int count = 0;
    for (int x = from; x < to; ++x) count += At(x, y) == colour;
    return count;
  }

 private:
  ScopedMemoryDc dc_;
  CVwBitmap bitmap_;
  std::unique_ptr<ScopedSelectObject> select_;
};

class ControlsPaint : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = HostProc;
    window_class.hInstance = ::GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"KinstControlsHost";
    ::RegisterClassW(&window_class);
  }
  void SetUp() override {
    VwWin32Platform::Install();
    host_ = ::CreateWindowExW(0, L"KinstControlsHost", L"host", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr,
                              ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host_, nullptr);
    folder_ = std::make_unique<test::TempFolder>();
    auto write = [&](const wchar_t* name, const std::string& png) {
      ASSERT_TRUE(test::WriteWholeFile(folder_->File(name), png));
    };
    write(L"100.png", test::FramesPng(10, 10, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF}));
    write(L"101.png", test::FramesPng(10, 10, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00}));
    write(L"102.png", test::FramesPng(3, 3, {0xFF808080}));
    write(L"103.png", test::FramesPng(3, 3, {0xFF0000FF}));
    write(L"104.png", test::FramesPng(12, 12, {0xFFFF0000}));
    write(L"105.png", test::FramesPng(12, 12, {0xFF00FF00}));
    VwResourceLoader::Instance().SetResourceFolder(folder_->path());
    VwResourceLoader::Instance().ClearImageCache();
    VwSkinPool::Instance().Clear();
    VwSkinPool::Instance().LoadFromText(R"(<skins>
        <png name="three" src="100" subwidth="10"/>
        <png name="four" src="101" subwidth="10"/>
        <png name="progressbg" src="102"/>
        <png name="progresspos" src="103"/>
        <png name="box" src="104"/>
        <png name="box_checked" src="105"/>
      </skins>)");
    VwStyleTable::Instance().Clear();
    VwStyleTable::Instance().LoadFromText(R"(<style>
        <class name="btn3" skin="three"/>
        <class name="btn4" skin="four"/>
        <class name="linkstyle" crtext="FF0000" crhover="0000FF" textmode="24"/>
      </style>)");
    g_moved.clear();
  }
  void TearDown() override {
    root_.reset();
    ::DestroyWindow(host_);
    InstallVwPlatform(nullptr);
    VwStyleTable::Instance().Clear();
    VwSkinPool::Instance().Clear();
    VwResourceLoader::Instance().ClearImageCache();
    VwResourceLoader::Instance().SetResourceFolder(L"");
  }
  CVwDialog* Load(const char* xml) {
    TiXmlDocument document;
    document.Parse(xml, nullptr, TIXML_ENCODING_UTF8);
    EXPECT_FALSE(document.Error());
    root_ = std::make_unique<CVwDialog>();
    root_->set_control_creator(&creator_);
    root_->SetContainer(host_);
    root_->Load(*document.RootElement());
    root_->SetAttribute("pos", "0,0,-0,-0", true);
    LayoutPlacement placement{0, 0, 300, 200};
    intptr_t result = 0;
    root_->ProcessMessage(kVwMsgPositionChanged, 0, reinterpret_cast<intptr_t>(&placement), &result);
    return root_.get();
  }
  // Paints the whole tree into a fresh buffer.
  std::unique_ptr<BackBuffer> Paint() {
    auto buffer = std::make_unique<BackBuffer>(300, 200);
    VwGdiCanvas canvas(buffer->dc(), nullptr);
    root_->RedrawRegion(canvas);
    return buffer;
  }
  static void Release(CVwWindow* element, int x, int y) {
    VwPoint point{x, y};
    intptr_t result = 0;
    element->ProcessMessage(kVwMsgLButtonUp, 0, reinterpret_cast<intptr_t>(&point), &result);
  }

  HWND host_ = nullptr;
  std::unique_ptr<test::TempFolder> folder_;
  CVwControlCreator creator_;
  std::unique_ptr<CVwDialog> root_;
};

TEST_F(ControlsPaint, ButtonStatesPickTheirFrames) {
  CVwDialog* root = Load(R"(<dlg>
      <imgbtn id="1" pos="0,0" skin="four"/>
      <dlgbtn id="2" pos="20,0,30,10" class="btn3"/>
      <dlgbtnEx2 id="3" pos="40,0,50,10" class="btn4"/>
      <imgbtn id="4" pos="60,0" skin="three" group="g"/>
      <imgbtn id="5" pos="80,0" skin="three" group="g"/>
    </dlg>)");
  EXPECT_EQ(root->FindChildById(1)->rect(), (VwRect{0, 0, 10, 10})) << "natural size is the frame";
  const struct {
    unsigned state;
    uint32_t imgbtn, dlgbtn, ex2;
  } cases[] = {
      {0, kRed, kRed, kRed},
      {kVwStateHover, kGreen, kGreen, kGreen},
      {kVwStateHover | kVwStatePushed, kBlue, kRed, kBlue},  // dlgbtn: raw bits 3, frame 0
      {kVwStateDisabled, kYellow, kGreen, kYellow},          // dlgbtn: 16 mod 3 = 1
  };
  for (const auto& c : cases) {
    for (int id : {1, 2, 3}) {
      root->FindChildById(id)->ModifyState(0, ~0u);
      root->FindChildById(id)->ModifyState(c.state, 0);
    }
    auto buffer = Paint();
    EXPECT_EQ(buffer->At(5, 5), c.imgbtn) << c.state;
    EXPECT_EQ(buffer->At(25, 5), c.dlgbtn) << c.state;
    EXPECT_EQ(buffer->At(45, 5), c.ex2) << c.state;
  }
  // A group member that is checked shows frame 2; the others keep 0 (1 when hovered).
  Release(root->FindChildById(4), 65, 5);
  root->FindChildById(5)->ModifyState(kVwStateHover, 0);
  auto buffer = Paint();
  EXPECT_EQ(buffer->At(65, 5), kBlue);
  EXPECT_EQ(buffer->At(85, 5), kGreen);
}

TEST_F(ControlsPaint, ProgressFillsItsFraction) {
  const struct {
    const char* value;
    int blue_columns;
  } cases[] = {{"0", 0}, {"50", 50}, {"100", 100}, {"150", 100}, {"-5", 0}};
  for (const auto& c : cases) {
    const std::string xml = std::string(R"(<dlg>
        <progress id="1" pos="0,0,100,3" min="0" max="100" bgskin="progressbg" posskin="progresspos" skinposx="0" value=")") +
                            c.value + R"("/>
        <progress id="2" pos="0,10,104,20" min="0" max="100" value=")" + c.value + R"("/>
      </dlg>)";
    Load(xml.c_str());
    EXPECT_EQ(root_->FindChildById(1)->rect(), (VwRect{0, 0, 100, 3}));
    auto buffer = Paint();
    EXPECT_EQ(buffer->CountRow(1, 0, 100, kBlue), c.blue_columns) << c.value;
    EXPECT_EQ(buffer->CountRow(1, 0, 100, kGrey), 100 - c.blue_columns) << c.value;
    // Without skins: the 100-pixel inner span of the plain bar.
    const int plain = buffer->CountRow(15, 0, 104, kPlainFill);
    EXPECT_NEAR(plain, c.blue_columns, 2) << c.value;
  }
}

TEST_F(ControlsPaint, MarqueeBlockMovesOnePaintAtATime) {
  Load(R"(<dlg><progress id="1" pos="0,0,104,10" progressbar="1"/></dlg>)");
  // Inner span 2..102: the block grows to 30 pixels, then moves right by 10 a paint.
  const struct {
    int left, right;
  } expected[] = {{2, 12}, {2, 22}, {2, 32}, {12, 42}, {22, 52}};
  for (const auto& e : expected) {
    auto buffer = Paint();
    int first = -1, last = -1;
    for (int x = 0; x < 104; ++x) {
      if (buffer->At(x, 5) != kPlainFill) continue;
      if (first < 0) first = x;
      last = x;
    }
    EXPECT_NEAR(first, e.left, 1);
    EXPECT_NEAR(last + 1, e.right, 1);
  }
}

TEST_F(ControlsPaint, CheckAndRadioBoxesShowTheCheckedBit) {
  CVwDialog* root = Load(R"(<dlg>
      <check id="1" pos="0,0,100,12" skin="box" skin_check="box_checked"/>
      <radio id="2" pos="0,20,100,32" skin="box" skin_check="box_checked" group="r" check="1"/>
      <radio id="3" pos="0,40,100,52" skin="box" skin_check="box_checked" group="r"/>
    </dlg>)");
  auto before = Paint();
  EXPECT_EQ(before->At(6, 6), kRed);
  EXPECT_EQ(before->At(6, 26), kGreen);
  EXPECT_EQ(before->At(6, 46), kRed);
  Release(root->FindChildById(1), 50, 6);
  Release(root->FindChildById(3), 50, 46);
  auto after = Paint();
  EXPECT_EQ(after->At(6, 6), kGreen);
  EXPECT_EQ(after->At(6, 26), kRed) << "the group keeps one checked member";
  EXPECT_EQ(after->At(6, 46), kGreen);
}

TEST_F(ControlsPaint, LinkHoverColour) {
  CVwDialog* root = Load(R"(<dlg><link id="1" pos="0,0,120,20" class="linkstyle" href="https://example.invalid/">WWWWWW</link></dlg>)");
  CVwWindow* link = root->FindChildById(1);
  EXPECT_TRUE(link->NeedRedrawWhenStateChange());
  auto count = [](const BackBuffer& buffer, uint32_t colour) {
    int n = 0;
    for (int y = 0; y < 20; ++y) n += buffer.CountRow(y, 0, 120, colour);
    return n;
  };
  auto normal = Paint();
  EXPECT_GT(count(*normal, kRed), 0);
  EXPECT_EQ(count(*normal, kBlue), 0);
  link->ModifyState(kVwStateHover, 0);
  auto hovered = Paint();
  EXPECT_EQ(count(*hovered, kRed), 0);
  EXPECT_GT(count(*hovered, kBlue), 0);
}

TEST_F(ControlsPaint, RealWindowIsMovedShownAndHidden) {
  HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, host_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(106)), ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(edit, nullptr);
  HWND hidden_edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, host_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(107)), ::GetModuleHandleW(nullptr),
                                       nullptr);
  CVwDialog* root = Load(R"(<dlg>
      <realwnd id="106" ctrlid="106" pos="10,20,-10,40"/>
      <dlg id="5" show="0" pos="0,0,-0,-0"><realwnd id="107" pos="0,50,100,70"/></dlg>
      <realwnd id="999" pos="0,0,10,10"/>
    </dlg>)");
  RECT placed{};
  ::GetWindowRect(edit, &placed);
  ::MapWindowPoints(nullptr, host_, reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(placed.left, 10);
  EXPECT_EQ(placed.top, 20);
  EXPECT_EQ(placed.right, 290);
  EXPECT_EQ(placed.bottom, 40);
  // One code 2 per real window that exists; id 999 has none.
  ASSERT_EQ(g_moved.size(), 2u);
  EXPECT_EQ(g_moved[0].id, 106);
  EXPECT_EQ(g_moved[0].rect.right, 290);
  EXPECT_EQ(g_moved[0].header.hwndFrom, host_);

  // Shown by the dialog while its container is hidden: stays hidden.
  intptr_t result = 0;
  root->FindChildById(107)->ProcessMessage(kVwMsgShow, 1, 0, &result);
  EXPECT_FALSE(::GetWindowLongPtrW(hidden_edit, GWL_STYLE) & WS_VISIBLE);
  root->FindChildById(5)->ProcessMessage(kVwMsgShow, 1, 0, &result);
  EXPECT_TRUE(::GetWindowLongPtrW(hidden_edit, GWL_STYLE) & WS_VISIBLE);
  // Removing the element hides the real window but leaves it to its owner.
  root->RemoveChildById(106, true);
  EXPECT_TRUE(::IsWindow(edit));
  EXPECT_FALSE(::GetWindowLongPtrW(edit, GWL_STYLE) & WS_VISIBLE);
}

}  // namespace
}  // namespace kbase
