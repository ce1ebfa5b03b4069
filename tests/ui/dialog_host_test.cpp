// The dialog host window under Wine, in both forms: layer documents become windows with
// their styles and sizes; real window messages (mouse, keys, commands, sizing) reach the
// elements and come back as notification records; the modal run handles its owner and
// its result; the back buffer read through WM_PRINT shows the skin frame of each state.
// A dialog built from the shipped tables closes with its buttons and keys, and leaves
// PNG snapshots of what it drew in snapshots/ beside this program.
#include <gtest/gtest.h>
#include <windows.h>
#include <windowsx.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "res/resource_ids.h"
#include "support/png_writer.h"
#include "support/win_test_util.h"
#include "ui/element_registry.h"
#include "ui/gdi_owner.h"
#include "ui/vw_bitmap.h"
#include "ui/vw_dialog_impl.h"
#include "ui/vw_dialog_view_ex.h"
#include "ui/vw_notify.h"
#include "ui/vw_resource_loader.h"
#include "ui/vw_skin_pool.h"
#include "ui/vw_static.h"
#include "ui/vw_string_table.h"
#include "ui/vw_style_table.h"

namespace kbase {
namespace {

// ---------------------------------------------------------------- recording dialogs

struct Note {
  UINT code;
  WPARAM wparam;
  UINT_PTR id_from;
  HWND from;
  int id;
  std::string tag;
};

// What a dialog saw: its notifications (redraws apart), system commands and presses
// passed on for sizing. System commands are swallowed so that no move loop starts.
struct Recorder {
  std::vector<Note> notes;
  std::vector<RECT> redraws;
  std::vector<WPARAM> syscommands;
  std::vector<WPARAM> nc_presses;
  int init_calls = 0;
  bool pass_syscommands = false;
  std::function<void()> on_init;
  std::function<void(const Note&)> on_note;
  std::function<bool(UINT, WPARAM, LPARAM)> on_message;

  BOOL Take(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    if (on_message && on_message(message, wparam, lparam)) return TRUE;
    switch (message) {
      case WM_INITDIALOG:
        ++init_calls;
        if (on_init) on_init();
        return TRUE;
      case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        if (header->code == kVwNotifyRedraw) {
          redraws.push_back(reinterpret_cast<const VwNotifyRedraw*>(lparam)->rect);
          return FALSE;  // the host repaints
        }
        const auto* record = reinterpret_cast<const VwNotifyElementTag*>(lparam);
        Note note{header->code, wparam, header->idFrom, header->hwndFrom, record->id, ""};
        if (header->code == kVwNotifyClick || header->code == kVwNotifyDoubleClick) note.tag = record->tag;
        notes.push_back(note);
        if (on_note) on_note(note);
        result = 0;
        return TRUE;
      }
      case WM_SYSCOMMAND:
        syscommands.push_back(wparam);
        return pass_syscommands ? FALSE : TRUE;
      case WM_NCLBUTTONDOWN:
        nc_presses.push_back(wparam);
        return TRUE;
      default:
        return FALSE;
    }
  }
  std::vector<UINT> Codes() const {
    std::vector<UINT> codes;
    for (const Note& note : notes) codes.push_back(note.code);
    return codes;
  }
  void Clear() {
    notes.clear();
    redraws.clear();
    syscommands.clear();
    nc_presses.clear();
  }
};

class TestViewEx : public CVwDialogViewEx {
 public:
  explicit TestViewEx(int layout = 0) : CVwDialogViewEx(layout) {}
  BOOL ProcessWindowMessage(HWND, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override {
    return recorder.Take(message, wparam, lparam, result);
  }
  Recorder recorder;
};

class TestPopup : public CVwDialogImpl {
 public:
  explicit TestPopup(int layout = 0) : CVwDialogImpl(layout) {}
  BOOL ProcessWindowMessage(HWND, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override {
    return recorder.Take(message, wparam, lparam, result);
  }
  Recorder recorder;
};

// An element that reports a tag of the catalogue, for the clickable-tag rules.
class TaggedElement : public CVwStatic {
 public:
  explicit TaggedElement(const char* tag) : tag_(tag) {}
  const char* GetObjectClass() const override { return tag_; }

 private:
  const char* tag_;
};

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

RECT WindowRect(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return rect;
}

std::string Text(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

// The client area as the host presents it (WM_PRINT into a 32-bit bitmap).
class Printed {
 public:
  explicit Printed(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    bitmap_.Create(client.right, client.bottom);
    BitmapDc dc(bitmap_.handle());
    ::SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
  }
  uint32_t Rgb(int x, int y) const { return bitmap_.at(x, y) & 0xFFFFFF; }
  uint32_t Argb(int x, int y) const { return bitmap_.at(x, y); }
  const CVwBitmap& bitmap() const { return bitmap_; }

 private:
  CVwBitmap bitmap_;
};

std::string PngOf(const CVwBitmap& bitmap) {
  std::vector<uint32_t> pixels;
  for (int y = 0; y < bitmap.height(); ++y)
    for (int x = 0; x < bitmap.width(); ++x) pixels.push_back(bitmap.at(x, y) | 0xFF000000u);
  return test::EncodePng(bitmap.width(), bitmap.height(), pixels);
}

void SaveSnapshot(const CVwBitmap& bitmap, const wchar_t* name) {
  const std::wstring folder = test::BesideThisProgram(L"snapshots");
  ::CreateDirectoryW(folder.c_str(), nullptr);
  test::WriteWholeFile(folder + L"\\" + name, PngOf(bitmap));
}

// Colours of the test skin "frames": normal, hover, pressed (COLORREF-free 0xRRGGBB).
constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

class DialogHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::WriteWholeFile(folder_.File(L"300.png"), test::FramesPng(32, 32, {0xFFFF0000, 0xFF00FF00,
                                                                                          0xFF0000FF})));
    ASSERT_TRUE(test::WriteWholeFile(folder_.File(L"301.png"), test::FramesPng(8, 8, {0xFF404040})));
    VwResourceLoader::Instance().SetResourceFolder(folder_.path());
    VwResourceLoader::Instance().ClearImageCache();
    VwSkinPool::Instance().Clear();
    VwSkinPool::Instance().LoadFromText(
        R"(<skins><png name="frames" src="300" subwidth="32"/><png name="grey" src="301"/></skins>)");
    VwStyleTable::Instance().Clear();
    VwStyleTable::Instance().LoadFromText(R"(<style>
        <class name="btn" skin="frames" cursor="hand"/>
        <class name="plain" crtext="000000"/>
      </style>)");
  }
  void TearDown() override {
    VwSkinPool::Instance().Clear();
    VwStyleTable::Instance().Clear();
    VwResourceLoader::Instance().ClearImageCache();
    VwResourceLoader::Instance().SetResourceFolder(L"");
  }
  test::TempFolder folder_;
};

// A 300 x 200 layer: a 40-pixel header with a title text and a button, a body with two
// buttons and a disabled one, a 30-pixel footer.
constexpr char kLayer[] = R"(<layer title="Host" width="300" height="200" %s>
  <header height="40">
    <text id="100" pos="10,10" class="plain">Title</text>
    <text id="101" pos="-40,4,-8,36" class="btn" headacceptlbtndownmsg="1" tip="Close"/>
  </header>
  <body>
    <text id="11" pos="10,10,w32,h32" class="btn" tip="first"/>
    <text id="12" pos="60,10,w32,h32" class="btn" correctdrawbg="1"/>
    <text id="13" pos="110,10,w32,h32" class="btn" show="1"/>
    <text id="0" pos="160,10,w32,h32" class="btn"/>
    <text id="15" pos="210,10,w32,h32" class="plain" href=""/>
  </body>
  <footer height="30"><text id="21" pos="0,0,-0,-0" class="plain">Footer</text></footer>
</layer>)";

std::string Layer(const char* attributes) {
  char text[2048];
  std::snprintf(text, sizeof(text), kLayer, attributes);
  return text;
}

// ---------------------------------------------------------------- windows from layers

TEST_F(DialogHostTest, SingleWindowFromTheLayer) {
  TestViewEx dialog;
  ASSERT_EQ(dialog.LoadFromText(Layer("min_width=\"320\" appwin=\"1\"")), 1);
  HWND window = dialog.Create(nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(dialog.recorder.init_calls, 1);
  wchar_t title[32] = {};
  ::GetWindowTextW(window, title, 32);
  EXPECT_STREQ(title, L"Host");
  // Windows adds WS_CLIPSIBLINGS to top-level windows and keeps WS_EX_WINDOWEDGE only with
  // a frame.
  EXPECT_EQ(static_cast<uint32_t>(::GetWindowLongPtrW(window, GWL_STYLE)) & ~(WS_VISIBLE | WS_CLIPSIBLINGS),
            0x800A0000u);
  EXPECT_EQ(static_cast<uint32_t>(::GetWindowLongPtrW(window, GWL_EXSTYLE)) & ~WS_EX_WINDOWEDGE, 0x50200u);
  // The whole window is client area, min_width wins over width, and the window sits at (0, 0).
  RECT bounds = WindowRect(window), client{};
  ::GetClientRect(window, &client);
  EXPECT_EQ(bounds.left, 0);
  EXPECT_EQ(bounds.top, 0);
  EXPECT_EQ(client.right, 320);
  EXPECT_EQ(client.bottom, 200);
  EXPECT_EQ(bounds.right - bounds.left, 320);
  EXPECT_EQ(dialog.header().rect(), (VwRect{0, 0, 320, 40}));
  EXPECT_EQ(dialog.footer().rect(), (VwRect{0, 170, 320, 200}));
  EXPECT_EQ(dialog.body().rect(), (VwRect{0, 40, 320, 170}));
  EXPECT_EQ(dialog.FindElement(101)->rect(), (VwRect{280, 4, 312, 36}));
  EXPECT_EQ(dialog.FindElement(12)->rect(), (VwRect{60, 50, 92, 82}));
  // The shadow window exists beside a top-level dialog, hidden while the dialog is.
  ASSERT_NE(dialog.shadow().window(), nullptr);
  EXPECT_EQ(::GetWindow(dialog.shadow().window(), GW_OWNER), window);
  EXPECT_FALSE(::IsWindowVisible(dialog.shadow().window()));
  ::ShowWindow(window, SW_SHOWNA);
  EXPECT_TRUE(::IsWindowVisible(dialog.shadow().window()));
  RECT shadow = WindowRect(dialog.shadow().window());
  EXPECT_EQ(shadow.left, -4);
  EXPECT_EQ(shadow.right, 324);
  ::ShowWindow(window, SW_HIDE);
  EXPECT_FALSE(::IsWindowVisible(dialog.shadow().window()));

  // Messages the dialog sends itself.
  HWND answered = nullptr;
  ::SendMessageW(window, kVwMsgGetHostWindow, 0, reinterpret_cast<LPARAM>(&answered));
  EXPECT_EQ(answered, window);
  // Not layered: partial redraws only under composition (which Wine reports on).
  EXPECT_EQ(::SendMessageW(window, kVwMsgPartialRedraw, 0, 0), VwCompositionEnabled() ? 1 : 0);
  ::SendMessageW(window, kVwMsgSetToolTipText, 0, reinterpret_cast<LPARAM>(L"hello"));
  EXPECT_EQ(dialog.tool_tip_text(), L"hello");
  EXPECT_NE(dialog.tool_tip(), nullptr);
  ::DestroyWindow(window);
  EXPECT_EQ(dialog.hwnd(), nullptr);
}

TEST_F(DialogHostTest, StyleAttributesOnRealWindows) {
  const struct {
    const char* attributes;
    LONG_PTR style_set, style_clear, ex_set, ex_clear;
  } kCases[] = {
      {"noborder=\"1\"", 0, WS_MAXIMIZEBOX, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, WS_EX_APPWINDOW},
      {"noborder=\"1\" appwin=\"1\"", 0, 0, WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_APPWINDOW, 0},
      {"resize=\"1\"", WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX, 0, WS_EX_WINDOWEDGE, WS_EX_TOPMOST},
      {"layered=\"1\"", 0, 0, WS_EX_LAYERED, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.attributes);
    TestViewEx dialog;
    ASSERT_EQ(dialog.LoadFromText(Layer(c.attributes)), 1);
    HWND window = dialog.Create(nullptr);
    ASSERT_NE(window, nullptr);
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR ex = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
    EXPECT_EQ(style & c.style_set, c.style_set);
    EXPECT_EQ(style & c.style_clear, 0);
    EXPECT_EQ(ex & c.ex_set, c.ex_set);
    EXPECT_EQ(ex & c.ex_clear, 0);
    if (ex & WS_EX_LAYERED) {
      EXPECT_EQ(::SendMessageW(window, kVwMsgPartialRedraw, 0, 0), 1);
    }
  }
}

TEST_F(DialogHostTest, SizingRules) {
  {
    // holdsize: a request for 800 x 600 leaves the layer size.
    TestViewEx dialog;
    ASSERT_EQ(dialog.LoadFromText(Layer("holdsize=\"1\" resize=\"1\"")), 1);
    HWND window = dialog.Create(nullptr);
    ASSERT_NE(window, nullptr);
    ::SetWindowPos(window, nullptr, 10, 10, 800, 600, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT bounds = WindowRect(window);
    EXPECT_EQ(bounds.right - bounds.left, 300) << Text(bounds);
    EXPECT_EQ(bounds.bottom - bounds.top, 200) << Text(bounds);
  }
  {
    // A resizable window follows, lays its panels out again and keeps its back buffer size.
    TestViewEx dialog;
    ASSERT_EQ(dialog.LoadFromText(Layer("resize=\"1\"")), 1);
    HWND window = dialog.Create(nullptr);
    ::SetWindowPos(window, nullptr, 0, 0, 400, 260, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    EXPECT_EQ(dialog.footer().rect(), (VwRect{0, 230, 400, 260}));
    EXPECT_EQ(dialog.FindElement(101)->rect().left, 360);
    Printed printed(window);
    EXPECT_EQ(printed.bitmap().width(), 400);
    MINMAXINFO info{};
    ::SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 300);
    EXPECT_EQ(info.ptMinTrackSize.y, 200);
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(info.ptMaxSize.x, work.right - work.left);
  }
  {
    // Without "resize" a maximize request is undone by centring the window again.
    TestViewEx dialog;
    ASSERT_EQ(dialog.LoadFromText(Layer("")), 1);
    HWND window = dialog.Create(nullptr);
    ::ShowWindow(window, SW_SHOWNA);
    ::ShowWindow(window, SW_MAXIMIZE);
    EXPECT_FALSE(::IsZoomed(window));
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT bounds = WindowRect(window);
    EXPECT_EQ(bounds.right - bounds.left, 300) << Text(bounds);
    EXPECT_EQ(bounds.left, (work.left + work.right) / 2 - 150) << Text(bounds);
    EXPECT_EQ(bounds.top, (work.top + work.bottom) / 2 - 100) << Text(bounds);
  }
}

TEST_F(DialogHostTest, NonClientHitCodesOfAResizableWindow) {
  TestViewEx dialog;
  ASSERT_EQ(dialog.LoadFromText(Layer("resize=\"1\"")), 1);
  HWND window = dialog.Create(nullptr);
  ::SetWindowPos(window, nullptr, 100, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const struct {
    int x, y;
    LRESULT code;
  } kCases[] = {{0, 0, HTTOPLEFT},      {299, 3, HTTOPRIGHT},    {150, 0, HTTOP},        {0, 100, HTLEFT},
                {3, 199, HTBOTTOMLEFT}, {150, 196, HTBOTTOM},    {296, 199, HTBOTTOMRIGHT}, {299, 100, HTRIGHT},
                {4, 4, HTCLIENT},       {295, 195, HTCLIENT}};
  for (const auto& c : kCases) {
    EXPECT_EQ(::SendMessageW(window, WM_NCHITTEST, 0, Point(100 + c.x, 50 + c.y)), c.code) << c.x << "," << c.y;
  }
  // A press after a sizing code goes to Windows as a non-client press with that code.
  ::SendMessageW(window, WM_NCHITTEST, 0, Point(100 + 299, 50 + 100));
  ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(299, 100));
  ASSERT_EQ(dialog.recorder.nc_presses.size(), 1u);
  EXPECT_EQ(dialog.recorder.nc_presses[0], static_cast<WPARAM>(HTRIGHT));
  EXPECT_TRUE(dialog.recorder.notes.empty());

  TestViewEx fixed;
  ASSERT_EQ(fixed.LoadFromText(Layer("")), 1);
  HWND fixed_window = fixed.Create(nullptr);
  EXPECT_EQ(::SendMessageW(fixed_window, WM_NCHITTEST, 0, Point(0, 0)), HTCLIENT);
}

// ---------------------------------------------------------------- mouse and keyboard

TEST_F(DialogHostTest, MouseReachesElementsAsNotifications) {
  TestViewEx dialog;
  ASSERT_EQ(dialog.LoadFromText(Layer("")), 1);
  HWND window = dialog.Create(nullptr);
  ASSERT_NE(window, nullptr);
  Recorder& r = dialog.recorder;
  CVwWindow* first = dialog.FindElement(11);
  CVwWindow* second = dialog.FindElement(12);

  // Hover: code 3, the hover bit, a redraw of the skinned element, its tip.
  ::SendMessageW(window, WM_MOUSEMOVE, 0, Point(20, 60));
  EXPECT_EQ(r.Codes(), (std::vector<UINT>{3}));
  EXPECT_EQ(r.notes[0].id, 11);
  EXPECT_EQ(r.notes[0].wparam, static_cast<WPARAM>(-1));
  EXPECT_EQ(r.notes[0].id_from, static_cast<UINT_PTR>(-1));
  EXPECT_EQ(r.notes[0].from, window);
  EXPECT_TRUE(first->state() & kVwStateHover);
  ASSERT_EQ(r.redraws.size(), 1u);
  EXPECT_EQ(r.redraws[0].left, 10);
  EXPECT_EQ(r.redraws[0].top, 50);
  EXPECT_EQ(dialog.tool_tip_text(), L"first");

  // To the next element: the first leaves (code 4), the second is entered.
  r.Clear();
  ::SendMessageW(window, WM_MOUSEMOVE, 0, Point(70, 60));
  EXPECT_EQ(r.Codes(), (std::vector<UINT>{3, 4}));
  EXPECT_EQ(r.notes[0].id, 12);
  EXPECT_EQ(r.notes[1].id, 11);
  EXPECT_FALSE(first->state() & kVwStateHover);
  EXPECT_TRUE(second->state() & kVwStateHover);
  EXPECT_EQ(r.redraws.size(), 2u);

  // Press and release on it: code 7, capture, pushed bit; then code 1 with id and tag.
  r.Clear();
  ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(70, 60));
  EXPECT_EQ(r.Codes(), (std::vector<UINT>{7}));
  EXPECT_EQ(::GetCapture(), window);
  EXPECT_TRUE(dialog.capturing());
  EXPECT_TRUE(second->state() & kVwStatePushed);
  ::SendMessageW(window, WM_LBUTTONUP, 0, Point(71, 61));
  EXPECT_EQ(r.Codes(), (std::vector<UINT>{7, 1}));
  EXPECT_EQ(r.notes[1].id, 12);
  EXPECT_EQ(r.notes[1].tag, "text");
  EXPECT_NE(::GetCapture(), window);
  EXPECT_FALSE(second->state() & kVwStatePushed);

  // Released elsewhere: no click; the pressed element loses hover with code 4.
  r.Clear();
  ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(70, 60));
  ::SendMessageW(window, WM_LBUTTONUP, 0, Point(20, 60));
  EXPECT_EQ(r.Codes(), (std::vector<UINT>{7, 4}));
  EXPECT_EQ(r.notes[1].id, 12);
  EXPECT_FALSE(second->state() & (kVwStateHover | kVwStatePushed));

  // An element with id 0 is pressed but never clicked; a disabled one is not pressed.
  r.Clear();
  ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(170, 60));
  ::SendMessageW(window, WM_LBUTTONUP, 0, Point(170, 60));
  EXPECT_EQ(r.Codes(), (std::vector<UINT>{7}));
  ASSERT_TRUE(dialog.EnableElement(13, false));
  r.Clear();
  ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(120, 60));
  ::SendMessageW(window, WM_LBUTTONUP, 0, Point(120, 60));
  EXPECT_TRUE(r.notes.empty());
  EXPECT_EQ(::GetCapture(), nullptr);

  // Double click, right button down and up.
  r.Clear();
  ::SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, Point(20, 60));
  ::SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, Point(20, 60));
  ::SendMessageW(window, WM_RBUTTONUP, 0, Point(20, 60));
  ASSERT_EQ(r.Codes(), (std::vector<UINT>{8, 9, 13}));
  EXPECT_EQ(r.notes[0].id, 11);
  EXPECT_EQ(r.notes[0].tag, "text");
  EXPECT_EQ(r.notes[2].id, 11);

  // Leaving the window: code 4 with the hovered element's id, hover cleared.
  ::SendMessageW(window, WM_MOUSEMOVE, 0, Point(20, 60));
  r.Clear();
  ::SendMessageW(window, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(r.Codes(), (std::vector<UINT>{4}));
  EXPECT_EQ(r.notes[0].id, 11);
  EXPECT_FALSE(first->state() & kVwStateHover);
  r.Clear();
  ::SendMessageW(window, WM_MOUSELEAVE, 0, 0);
  ASSERT_EQ(r.Codes(), (std::vector<UINT>{4}));
  EXPECT_EQ(r.notes[0].id, 0);
}

TEST_F(DialogHostTest, CaptionDragAndHeaderRules) {
  TestViewEx dialog;
  ASSERT_EQ(dialog.LoadFromText(Layer("resize=\"1\"")), 1);
  HWND window = dialog.Create(nullptr);
  // Two catalogue tags in the header: "imgbtn" is clickable in this form, "richtext" is not.
  dialog.header().AppendChild(std::make_unique<TaggedElement>("imgbtn"))->SetAttribute("pos", "100,0,w20,h20", false);
  dialog.header().AppendChild(std::make_unique<TaggedElement>("richtext"))->SetAttribute("pos", "130,0,w20,h20", false);
  Recorder& r = dialog.recorder;
  const struct {
    int x, y;
    bool drags;
    const char* what;
  } kPresses[] = {{200, 30, true, "header background"},
                  {20, 15, true, "plain text in the header"},
                  {290, 20, false, "text that accepts header presses"},
                  {110, 10, false, "clickable tag"},
                  {140, 10, true, "richtext is not clickable in the single-window form"},
                  {20, 60, false, "body"}};
  for (const auto& press : kPresses) {
    SCOPED_TRACE(press.what);
    r.Clear();
    ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(press.x, press.y));
    ::SendMessageW(window, WM_LBUTTONUP, 0, Point(press.x, press.y));
    if (press.drags) {
      EXPECT_EQ(r.syscommands, (std::vector<WPARAM>{0xF012}));
      EXPECT_TRUE(r.notes.empty());
    } else {
      EXPECT_TRUE(r.syscommands.empty());
      ASSERT_FALSE(r.notes.empty());
      EXPECT_EQ(r.notes[0].code, static_cast<UINT>(kVwNotifyLButtonDown));
    }
  }
  // Double click on the header of a resizable window maximizes, and restores when maximized.
  r.Clear();
  ::SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, Point(200, 30));
  EXPECT_EQ(r.syscommands, (std::vector<WPARAM>{0xF032}));
  EXPECT_TRUE(r.notes.empty());

  // "nomove": no drag, but elements still work; without "resize" no maximize.
  TestViewEx still;
  ASSERT_EQ(still.LoadFromText(Layer("nomove=\"1\"")), 1);
  HWND still_window = still.Create(nullptr);
  ::SendMessageW(still_window, WM_LBUTTONDOWN, MK_LBUTTON, Point(200, 30));
  ::SendMessageW(still_window, WM_LBUTTONUP, 0, Point(200, 30));
  ::SendMessageW(still_window, WM_LBUTTONDBLCLK, MK_LBUTTON, Point(200, 30));
  EXPECT_TRUE(still.recorder.syscommands.empty());
  ASSERT_EQ(still.recorder.Codes(), (std::vector<UINT>{8}));
  ::SendMessageW(still_window, WM_LBUTTONDOWN, MK_LBUTTON, Point(290, 20));
  ::SendMessageW(still_window, WM_LBUTTONUP, 0, Point(290, 20));
  ASSERT_EQ(still.recorder.Codes(), (std::vector<UINT>{8, 7, 1}));
  EXPECT_EQ(still.recorder.notes[2].id, 101);
}

TEST_F(DialogHostTest, OkAndCancelAreClicksOfIdsOneAndTwo) {
  TestViewEx dialog;
  ASSERT_EQ(dialog.LoadFromText(Layer("")), 1);
  HWND window = dialog.Create(nullptr);
  ::SendMessageW(window, WM_COMMAND, IDOK, 0);
  ::SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
  ::SendMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
  ::SendMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
  ::SendMessageW(window, WM_KEYDOWN, 'A', 0);
  const std::vector<int> kIds = {1, 2, 1, 2};
  ASSERT_EQ(dialog.recorder.Codes(), (std::vector<UINT>{1, 1, 1, 1}));
  for (size_t i = 0; i < kIds.size(); ++i) {
    EXPECT_EQ(dialog.recorder.notes[i].id, kIds[i]);
    EXPECT_EQ(dialog.recorder.notes[i].tag, "");
  }
  // A disabled window ignores the keys.
  dialog.recorder.Clear();
  ::EnableWindow(window, FALSE);
  ::SendMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(dialog.recorder.notes.empty());
  EXPECT_EQ(::SendMessageW(window, WM_GETDLGCODE, 0, 0), 0x85);
}

// Moves the cursor and waits until Windows reports the new position (the X server
// moves it asynchronously under Wine).
bool MoveCursor(int x, int y) {
  if (!::SetCursorPos(x, y)) return false;
  for (int i = 0; i < 50; ++i) {
    POINT now{};
    if (::GetCursorPos(&now) && now.x == x && now.y == y) return true;
    ::Sleep(10);
  }
  return false;
}

TEST_F(DialogHostTest, CursorFollowsSizingCodesAndStyles) {
  TestViewEx dialog;
  ASSERT_EQ(dialog.LoadFromText(Layer("resize=\"1\"")), 1);
  HWND window = dialog.Create(nullptr);
  ::SetWindowPos(window, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::ShowWindow(window, SW_SHOWNA);
  ::SendMessageW(window, WM_NCHITTEST, 0, Point(100, 200));
  ::SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTLEFT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_SIZEWE));
  if (!MoveCursor(100 + 20, 100 + 60)) GTEST_SKIP() << "no cursor position on this display";
  // The host asks for the cursor position; under Wine a late pointer event from the X
  // server can still move it back once, so each position is tried a few times.
  auto cursor_at = [window](int x, int y) {
    HCURSOR cursor = nullptr;
    for (int attempt = 0; attempt < 5; ++attempt) {
      if (!MoveCursor(x, y)) continue;
      ::SendMessageW(window, WM_NCHITTEST, 0, Point(x, y));
      ::SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
      cursor = ::GetCursor();
      POINT now{};
      if (::GetCursorPos(&now) && now.x == x && now.y == y) break;
    }
    return cursor;
  };
  EXPECT_EQ(cursor_at(100 + 20, 100 + 60), ::LoadCursorW(nullptr, IDC_HAND)) << "style \"btn\" names the hand";
  EXPECT_EQ(cursor_at(100 + 20, 100 + 185), ::LoadCursorW(nullptr, IDC_ARROW));
}

// ---------------------------------------------------------------- the popup form

TEST_F(DialogHostTest, PopupFormSendsThroughItsView) {
  TestPopup dialog;
  ASSERT_EQ(dialog.LoadFromText(Layer("noborder=\"1\"")), 1);
  HWND window = dialog.Create(nullptr);
  ASSERT_NE(window, nullptr);
  HWND view = dialog.view_window();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(::GetParent(view), window);
  EXPECT_EQ(::GetDlgCtrlID(view), 1000);
  RECT client{}, view_rect{};
  ::GetClientRect(window, &client);
  ::GetClientRect(view, &view_rect);
  EXPECT_EQ(view_rect.right, client.right);
  EXPECT_EQ(view_rect.bottom, client.bottom);
  EXPECT_EQ(dialog.view().FindElement(12)->rect().top, 50);

  Recorder& r = dialog.recorder;
  ::SendMessageW(view, WM_MOUSEMOVE, 0, Point(70, 60));
  ::SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, Point(70, 60));
  ::SendMessageW(view, WM_LBUTTONUP, 0, Point(70, 60));
  ::SendMessageW(view, WM_RBUTTONDOWN, MK_RBUTTON, Point(70, 60));
  ::SendMessageW(view, WM_RBUTTONUP, 0, Point(70, 60));
  ASSERT_EQ(r.Codes(), (std::vector<UINT>{3, 7, 1, 9})) << "no code 13 in this form";
  for (const Note& note : r.notes) {
    EXPECT_EQ(note.wparam, 1000u);
    EXPECT_EQ(note.id_from, 1000u);
    EXPECT_EQ(note.from, view);
  }
  EXPECT_EQ(r.notes[2].id, 12);

  // The view acts on a release only while the pressed element is still hovered, and
  // sends no code 4 then.
  r.Clear();
  ::SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, Point(70, 60));
  ::SendMessageW(view, WM_MOUSEMOVE, MK_LBUTTON, Point(20, 60));
  ::SendMessageW(view, WM_LBUTTONUP, 0, Point(70, 60));
  EXPECT_EQ(r.Codes(), (std::vector<UINT>{7, 3, 4}));

  // In this form "richtext" is clickable and "imgbtn" too, "radio" is not.
  dialog.view().header().AppendChild(std::make_unique<TaggedElement>("richtext"))->SetAttribute("pos", "100,0,w20,h20", false);
  dialog.view().header().AppendChild(std::make_unique<TaggedElement>("radio"))->SetAttribute("pos", "130,0,w20,h20", false);
  r.Clear();
  ::SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, Point(110, 10));
  ::SendMessageW(view, WM_LBUTTONUP, 0, Point(110, 10));
  EXPECT_TRUE(r.syscommands.empty());
  ::SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, Point(140, 10));
  ::SendMessageW(view, WM_LBUTTONUP, 0, Point(140, 10));
  EXPECT_EQ(r.syscommands, (std::vector<WPARAM>{0xF012}));

  HWND answered = nullptr;
  ::SendMessageW(window, kVwMsgGetHostWindow, 0, reinterpret_cast<LPARAM>(&answered));
  EXPECT_EQ(answered, window);
}

TEST_F(DialogHostTest, FullHeaderOnlyFillsTheSingleWindowForm) {
  const std::string layer = R"(<layer width="200" height="100"><header height="full">
      <text id="1" pos="0,0,-0,-0" class="btn"/></header></layer>)";
  TestViewEx single;
  TestPopup popup;
  ASSERT_EQ(single.LoadFromText(layer), 1);
  ASSERT_EQ(popup.LoadFromText(layer), 1);
  ASSERT_NE(single.Create(nullptr), nullptr);
  ASSERT_NE(popup.Create(nullptr), nullptr);
  EXPECT_EQ(single.header().rect(), (VwRect{0, 0, 200, 100}));
  EXPECT_EQ(popup.view().header().rect().height(), 0);
}

// ---------------------------------------------------------------- painting

TEST_F(DialogHostTest, BackBufferShowsTheFrameOfEachState) {
  TestViewEx dialog;
  ASSERT_EQ(dialog.LoadFromText(Layer("frame=\"grey\" layered=\"1\"")), 1);
  HWND window = dialog.Create(nullptr);
  ASSERT_NE(window, nullptr);
  {
    Printed printed(window);
    EXPECT_EQ(printed.Argb(2, 100), 0xFF404040u) << "frame skin over the whole client area";
    EXPECT_EQ(printed.Rgb(26, 66), kRed) << "normal";
    EXPECT_EQ(printed.Rgb(76, 66), kRed);
    SaveSnapshot(printed.bitmap(), L"host_normal.png");
  }
  ::SendMessageW(window, WM_MOUSEMOVE, 0, Point(76, 66));
  {
    Printed printed(window);
    EXPECT_EQ(printed.Rgb(76, 66), kGreen) << "hover";
    EXPECT_EQ(printed.Rgb(26, 66), kRed);
  }
  ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(76, 66));
  {
    Printed printed(window);
    EXPECT_EQ(printed.Rgb(76, 66), kBlue) << "pressed (ordered states)";
    SaveSnapshot(printed.bitmap(), L"host_pressed.png");
  }
  ::SendMessageW(window, WM_LBUTTONUP, 0, Point(76, 66));
  EXPECT_EQ(Printed(window).Rgb(76, 66), kGreen) << "hovered again after the release";

  // Element access with its redraws: hide, show, text with a natural size.
  dialog.recorder.Clear();
  ASSERT_TRUE(dialog.ShowElement(12, false));
  EXPECT_TRUE(dialog.FindElement(12)->hidden());
  EXPECT_EQ(Printed(window).Argb(76, 66), 0xFF404040u) << "hidden: the frame shows through";
  ASSERT_TRUE(dialog.ShowElement(12, true));
  EXPECT_EQ(Printed(window).Rgb(76, 66), kGreen);
  const VwRect title = dialog.FindElement(100)->rect();
  ASSERT_TRUE(dialog.SetElementText(100, L"A much longer title"));
  const VwRect longer = dialog.FindElement(100)->rect();
  EXPECT_EQ(longer.left, title.left);
  EXPECT_EQ(longer.top, title.top);
  EXPECT_GT(longer.width(), title.width());
  ASSERT_TRUE(dialog.SetElementAttribute(11, "pos", std::wstring(L"10,70,w32,h32")));
  EXPECT_EQ(dialog.FindElement(11)->rect().top, 110);
  ASSERT_TRUE(dialog.SetElementCheck(11, true));
  EXPECT_TRUE(dialog.FindElement(11)->state() & kVwStateChecked);
  EXPECT_FALSE(dialog.SetElementText(999, L"none"));
}

TEST_F(DialogHostTest, PartialRedrawKeepsWhatIsOutsideTheRegion) {
  TestViewEx dialog;
  ASSERT_EQ(dialog.LoadFromText(Layer("layered=\"1\"")), 1);
  HWND window = dialog.Create(nullptr);
  dialog.RepaintAll();
  ::GdiFlush();
  // Scribble outside every element; a partial redraw of one element leaves it alone.
  dialog.back_buffer().bits()[150 * 300 + 150] = 0xFF123456u;
  ::SendMessageW(window, WM_MOUSEMOVE, 0, Point(20, 60));
  Printed printed(window);
  EXPECT_EQ(printed.Rgb(20, 60), kGreen);
  EXPECT_EQ(printed.Argb(150, 150), 0xFF123456u);
  // A full redraw clears it.
  dialog.RepaintAll();
  EXPECT_EQ(Printed(window).Argb(150, 150), 0u);
}

TEST_F(DialogHostTest, PopupViewDrawsItsCutCornerBorder) {
  TestPopup dialog;
  ASSERT_EQ(dialog.LoadFromText(R"(<layer width="120" height="80" noborder="1"><body/></layer>)"), 1);
  HWND window = dialog.Create(nullptr);
  ASSERT_NE(window, nullptr);
  Printed printed(dialog.view_window());
  SaveSnapshot(printed.bitmap(), L"popup_border.png");
  const int w = printed.bitmap().width(), h = printed.bitmap().height();
  for (const POINT p : {POINT{10, 0}, POINT{0, 10}, POINT{w - 1, 10}, POINT{10, h - 1}}) {
    EXPECT_EQ(printed.Argb(p.x, p.y) >> 24, 0x6Eu) << p.x << "," << p.y;
    EXPECT_EQ(printed.Argb(p.x, p.y) & 0xFFFFFF, 0u);
  }
  EXPECT_EQ(printed.Argb(0, 0), 0u) << "cut corner";
  EXPECT_EQ(printed.Argb(w - 1, h - 1), 0u);
  EXPECT_EQ(printed.Argb(w / 2, h / 2), 0u) << "inside";
  dialog.view().set_draw_border(false);
  dialog.view().RepaintAll();
  EXPECT_EQ(Printed(dialog.view_window()).Argb(10, 0), 0u);
}

// ---------------------------------------------------------------- modal runs

class OwnerWindow {
 public:
  OwnerWindow(int x, int y, int w, int h, bool visible) {
    window_ = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | (visible ? WS_VISIBLE : 0), x, y, w, h, nullptr,
                                nullptr, ::GetModuleHandleW(nullptr), nullptr);
  }
  ~OwnerWindow() { ::DestroyWindow(window_); }
  HWND get() const { return window_; }

 private:
  HWND window_;
};

constexpr UINT kScript = WM_APP + 1;

TEST_F(DialogHostTest, ModalRunEndsWithItsCodeAndFreesTheOwner) {
  OwnerWindow owner(100, 100, 600, 400, true);
  TestPopup dialog;
  ASSERT_EQ(dialog.LoadFromText(Layer("")), 1);
  HWND seen_window = nullptr;
  bool owner_was_disabled = false;
  RECT placed{};
  dialog.recorder.on_init = [&] { ::PostMessageW(dialog.hwnd(), kScript, 0, 0); };
  dialog.recorder.on_message = [&](UINT message, WPARAM, LPARAM) {
    if (message != kScript) return false;
    seen_window = dialog.hwnd();
    owner_was_disabled = !::IsWindowEnabled(owner.get());
    placed = WindowRect(dialog.hwnd());
    EXPECT_EQ(VwCurrentModalHost(), dialog.hwnd());
    EXPECT_EQ(::GetWindow(dialog.hwnd(), GW_OWNER), owner.get());
    EXPECT_TRUE(::IsWindowVisible(dialog.hwnd()));
    // The click that ends it, through the view.
    ::PostMessageW(dialog.view_window(), WM_MOUSEMOVE, 0, Point(20, 60));
    ::PostMessageW(dialog.view_window(), WM_LBUTTONDOWN, MK_LBUTTON, Point(20, 60));
    ::PostMessageW(dialog.view_window(), WM_LBUTTONUP, 0, Point(20, 60));
    return true;
  };
  dialog.recorder.on_note = [&](const Note& note) {
    if (note.code == kVwNotifyClick) dialog.EndDialog(note.id + 1000);
  };
  EXPECT_EQ(dialog.DoModal(owner.get()), 1011);
  EXPECT_TRUE(owner_was_disabled);
  EXPECT_TRUE(::IsWindowEnabled(owner.get()));
  EXPECT_FALSE(::IsWindow(seen_window));
  EXPECT_EQ(VwCurrentModalHost(), nullptr);
  // Centred over the visible owner.
  EXPECT_EQ(placed.left, 400 - 150) << Text(placed);
  EXPECT_EQ(placed.top, 300 - 100) << Text(placed);
}

TEST_F(DialogHostTest, QuitStaysQueuedAndAGoneWindowEndsTheLoop) {
  TestViewEx dialog;
  ASSERT_EQ(dialog.LoadFromText(Layer("")), 1);
  dialog.recorder.on_init = [&] { ::PostQuitMessage(7); };
  EXPECT_EQ(dialog.DoModal(), 0);
  MSG quit{};
  ASSERT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 7u);

  TestViewEx gone;
  ASSERT_EQ(gone.LoadFromText(Layer("")), 1);
  gone.recorder.on_init = [&] { ::PostMessageW(gone.hwnd(), kScript, 0, 0); };
  gone.recorder.on_message = [&](UINT message, WPARAM, LPARAM) {
    if (message != kScript) return false;
    gone.EndDialog(5);
    ::DestroyWindow(gone.hwnd());
    return true;
  };
  EXPECT_EQ(gone.DoModal(), 5);
}

TEST_F(DialogHostTest, KeysInTheModalLoopAndTheWorkAreaCentre) {
  TestViewEx dialog;
  ASSERT_EQ(dialog.LoadFromText(Layer("")), 1);
  RECT placed{};
  dialog.recorder.on_init = [&] { ::PostMessageW(dialog.hwnd(), kScript, 0, 0); };
  dialog.recorder.on_message = [&](UINT message, WPARAM, LPARAM) {
    if (message != kScript) return false;
    placed = WindowRect(dialog.hwnd());
    ::PostMessageW(dialog.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    return true;
  };
  dialog.recorder.on_note = [&](const Note& note) {
    if (note.code == kVwNotifyClick) dialog.EndDialog(note.id);
  };
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(placed.left, (work.left + work.right) / 2 - 150) << Text(placed);
  EXPECT_EQ(placed.top, (work.top + work.bottom) / 2 - 100) << Text(placed);
}

TEST_F(DialogHostTest, SecondModalHostIsOwnedByTheFirst) {
  TestViewEx first;
  TestPopup second;
  ASSERT_EQ(first.LoadFromText(Layer("")), 1);
  ASSERT_EQ(second.LoadFromText(Layer("")), 1);
  HWND second_owner = nullptr;
  HWND first_window = nullptr;
  bool first_disabled = false;
  int second_result = -1;
  first.recorder.on_init = [&] { ::PostMessageW(first.hwnd(), kScript, 0, 0); };
  first.recorder.on_message = [&](UINT message, WPARAM, LPARAM) {
    if (message != kScript) return false;
    first_window = first.hwnd();
    second_result = second.DoModal();
    EXPECT_TRUE(::IsWindowEnabled(first.hwnd()));
    first.EndDialog(1);
    return true;
  };
  second.recorder.on_init = [&] { ::PostMessageW(second.hwnd(), kScript, 0, 0); };
  second.recorder.on_message = [&](UINT message, WPARAM, LPARAM) {
    if (message != kScript) return false;
    second_owner = ::GetWindow(second.hwnd(), GW_OWNER);
    first_disabled = !::IsWindowEnabled(first.hwnd());
    second.EndDialog(2);
    return true;
  };
  EXPECT_EQ(first.DoModal(), 1);
  EXPECT_EQ(second_result, 2);
  EXPECT_NE(second_owner, nullptr);
  EXPECT_EQ(second_owner, first_window);
  EXPECT_TRUE(first_disabled);
}

TEST_F(DialogHostTest, MissingLayoutFailsAndFreesTheOwner) {
  OwnerWindow owner(0, 0, 100, 100, true);
  TestPopup missing(9099);
  EXPECT_EQ(missing.Create(owner.get()), nullptr);
  EXPECT_EQ(missing.DoModal(owner.get()), 0);
  EXPECT_TRUE(::IsWindowEnabled(owner.get()));
  TestViewEx malformed(9098);
  ASSERT_TRUE(test::WriteWholeFile(folder_.File(L"9098.xml"), "<dlg/>"));
  EXPECT_EQ(malformed.DoModal(), 0);
  // From the resource folder by number.
  ASSERT_TRUE(test::WriteWholeFile(folder_.File(L"9097.xml"), Layer("")));
  TestViewEx by_number(9097);
  EXPECT_NE(by_number.Create(nullptr), nullptr);
  EXPECT_EQ(by_number.FindElement(12)->id(), 12);
}

// ---------------------------------------------------------------- the shipped tables

// A dialog of the large layout's size from the built-in skins, styles and strings; the
// two title buttons take their skins through two classes added for the test, because
// the shipped buttons are catalogue controls that carry their skin themselves.
constexpr char kShippedLayer[] = R"(<layer width="602" height="402" frame="mainbg_new" title="Tovel"
    noborder="1" appwin="1" layered="1">
  <header height="40">
    <text id="1003" pos="16,12" class="main_title_text">%str101%</text>
    <text id="2" pos="-45,15,-32,27" class="test_minimize" headacceptlbtndownmsg="1"/>
    <text id="1" pos="-24,15,-12,27" class="test_close" headacceptlbtndownmsg="1"/>
  </header>
  <body>
    <text id="105" pos="|-70,-110,|70,-74" class="page_btn">%str106%</text>
    <text id="106" pos="|-50,-60,|50,-30" class="recommend_btn_ok" correctdrawbg="1"/>
  </body>
</layer>)";

class ShippedDialog : public TestViewEx {
 public:
  ShippedDialog() { EXPECT_EQ(LoadFromText(kShippedLayer), 1); }
};

class ShippedTablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    VwResourceLoader::Instance().SetResourceFolder(L"");
    VwResourceLoader::Instance().ClearImageCache();
    ASSERT_EQ(VwResourceLoader::Instance().LoadSkins(IDR_SKIN_TABLE), 1);
    ASSERT_EQ(VwResourceLoader::Instance().LoadStyles(IDR_STYLE_TABLE), 1);
    ASSERT_EQ(VwResourceLoader::Instance().LoadStrings(IDR_STRING_TABLE), 1);
    VwStyleTable::Instance().LoadFromText(R"(<style>
        <class name="test_close" skin="close_new" cursor="hand"/>
        <class name="test_minimize" skin="minimize_new" cursor="hand"/>
      </style>)");
  }
  void TearDown() override {
    VwSkinPool::Instance().Clear();
    VwStyleTable::Instance().Clear();
    VwResourceLoader::Instance().ClearImageCache();
  }
  // What the host should show in a rectangle: the frame skin with the skin of a state on it.
  static std::unique_ptr<CVwBitmap> Expected(int width, int height, const char* skin, const RECT& rect, int state) {
    auto expected = std::make_unique<CVwBitmap>();
    expected->Create(width, height);
    BitmapDc dc(expected->handle());
    VwSkinPool::Instance().Find("mainbg_new")->Draw(dc.get(), RECT{0, 0, width, height}, 0);
    VwSkinPool::Instance().Find(skin)->DrawState(dc.get(), rect.left, rect.top, rect.right, rect.bottom, state, false,
                                                 255);
    return expected;
  }
  static int Differences(const CVwBitmap& a, const std::unique_ptr<CVwBitmap>& b, const RECT& rect) {
    return Differences(a, *b, rect);
  }
  static int Differences(const std::unique_ptr<CVwBitmap>& a, const std::unique_ptr<CVwBitmap>& b, const RECT& rect) {
    return Differences(*a, *b, rect);
  }
  static int Differences(const CVwBitmap& a, const CVwBitmap& b, const RECT& rect) {
    int count = 0;
    for (LONG y = rect.top; y < rect.bottom; ++y)
      for (LONG x = rect.left; x < rect.right; ++x) count += a.at(x, y) != b.at(x, y);
    return count;
  }
};

TEST_F(ShippedTablesTest, RendersFramesAtTheirPositions) {
  ShippedDialog dialog;
  HWND window = dialog.Create(nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(dialog.FindElement(1003)->text(), L"Tovel\x5728\x7EBF\x5B89\x88C5");
  const RECT close{578, 15, 590, 27};
  const RECT minimize{557, 15, 570, 27};
  EXPECT_EQ(dialog.FindElement(1)->rect(), (VwRect{578, 15, 590, 27}));
  EXPECT_EQ(dialog.FindElement(2)->rect(), (VwRect{557, 15, 570, 27}));
  {
    Printed printed(window);
    SaveSnapshot(printed.bitmap(), L"shipped_normal.png");
    EXPECT_EQ(Differences(printed.bitmap(), Expected(602, 402, "close_new", close, 0), close), 0);
    EXPECT_EQ(Differences(printed.bitmap(), Expected(602, 402, "minimize_new", minimize, 0), minimize), 0);
    // Frame 0 and frame 1 of the close button differ, so the comparison means something.
    EXPECT_GT(Differences(Expected(602, 402, "close_new", close, 0), Expected(602, 402, "close_new", close, 1), close),
              0);
  }
  ::SendMessageW(window, WM_MOUSEMOVE, 0, Point(584, 21));
  {
    Printed printed(window);
    SaveSnapshot(printed.bitmap(), L"shipped_close_hover.png");
    EXPECT_EQ(Differences(printed.bitmap(), Expected(602, 402, "close_new", close, 1), close), 0) << "hover frame";
  }
  ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(584, 21));
  {
    Printed printed(window);
    // Raw state bits 3 (hover | pushed) pick frame 3 mod 3 = 0 without "correctdrawbg".
    EXPECT_EQ(Differences(printed.bitmap(), Expected(602, 402, "close_new", close, 3), close), 0);
  }
  ::SendMessageW(window, WM_LBUTTONUP, 0, Point(584, 21));
  const RECT button = {dialog.FindElement(106)->rect().left, dialog.FindElement(106)->rect().top,
                       dialog.FindElement(106)->rect().right, dialog.FindElement(106)->rect().bottom};
  EXPECT_EQ(button.right - button.left, 100);
  ::SendMessageW(window, WM_MOUSEMOVE, 0, Point(button.left + 50, button.top + 15));
  ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(button.left + 50, button.top + 15));
  {
    Printed printed(window);
    SaveSnapshot(printed.bitmap(), L"shipped_button_pressed.png");
    EXPECT_EQ(Differences(printed.bitmap(), Expected(602, 402, "dlg_recommend_btnok_png", button, 2), button), 0)
        << "pressed frame with correctdrawbg";
  }
  ::SendMessageW(window, WM_LBUTTONUP, 0, Point(button.left + 50, button.top + 15));
  ASSERT_GE(dialog.recorder.notes.size(), 2u);
  EXPECT_EQ(dialog.recorder.notes.back().code, static_cast<UINT>(kVwNotifyClick));
  EXPECT_EQ(dialog.recorder.notes.back().id, 106);
}

TEST_F(ShippedTablesTest, RunsModallyAndClosesWithButtonsAndKeys) {
  const struct {
    const char* what;
    std::function<void(HWND)> act;
    int code;
  } kRuns[] = {
      {"close button",
       [](HWND w) {
         ::PostMessageW(w, WM_MOUSEMOVE, 0, Point(584, 21));
         ::PostMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, Point(584, 21));
         ::PostMessageW(w, WM_LBUTTONUP, 0, Point(584, 21));
       },
       1},
      {"minimize button",
       [](HWND w) {
         ::PostMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, Point(563, 21));
         ::PostMessageW(w, WM_LBUTTONUP, 0, Point(563, 21));
       },
       2},
      {"Enter", [](HWND w) { ::PostMessageW(w, WM_KEYDOWN, VK_RETURN, 0); }, 1},
      {"Esc", [](HWND w) { ::PostMessageW(w, WM_KEYDOWN, VK_ESCAPE, 0); }, 2},
  };
  for (const auto& run : kRuns) {
    SCOPED_TRACE(run.what);
    ShippedDialog dialog;
    bool shown = false;
    dialog.recorder.on_init = [&] { ::PostMessageW(dialog.hwnd(), kScript, 0, 0); };
    dialog.recorder.on_message = [&](UINT message, WPARAM, LPARAM) {
      if (message != kScript) return false;
      shown = ::IsWindowVisible(dialog.hwnd()) && ::IsWindowVisible(dialog.shadow().window());
      run.act(dialog.hwnd());
      return true;
    };
    dialog.recorder.on_note = [&](const Note& note) {
      if (note.code == kVwNotifyClick && (note.id == 1 || note.id == 2)) dialog.EndDialog(note.id);
    };
    EXPECT_EQ(dialog.DoModal(), run.code);
    EXPECT_TRUE(shown);
  }
}

}  // namespace
}  // namespace kbase
