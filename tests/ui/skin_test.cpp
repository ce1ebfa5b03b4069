// Skins, image pools and resources under Wine: frames chosen by state and read back from
// a 32-bit DIB, nine parts, flips, grey copies, lazy image loading, first definitions,
// the resource source order with a resource folder, DPI settings and DPI image variants,
// and the font pool.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/win/scoped_handle.h"
#include "support/png_writer.h"
#include "support/win_test_util.h"
#include "ui/gdi_owner.h"
#include "ui/png_skin.h"
#include "ui/vw_bitmap.h"
#include "ui/vw_dpi_settings.h"
#include "ui/vw_font_pool.h"
#include "ui/vw_png_pool.h"
#include "ui/vw_resource_loader.h"
#include "ui/vw_skin_pool.h"
#include "ui/vw_string_table.h"

namespace kbase {
namespace {

using test::FramesPng;
using test::TempFolder;
using test::WriteWholeFile;

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF,
                   kBlack = 0xFF000000;

// A memory DC over a cleared 32-bit DIB; pixels read back as 0x00RRGGBB.
class Surface {
 public:
  Surface(int width, int height) : dc_(nullptr) {
    bitmap_.Create(width, height);
    select_ = std::make_unique<ScopedSelectObject>(dc_.get(), bitmap_.handle());
  }
  HDC dc() const { return dc_.get(); }
  uint32_t At(int x, int y) const {
    ::GdiFlush();
    return bitmap_.bits()[static_cast<size_t>(y) * bitmap_.width() + x] & 0xFFFFFF;
  }
  uint32_t AlphaAt(int x, int y) const {
    ::GdiFlush();
    return bitmap_.bits()[static_cast<size_t>(y) * bitmap_.width() + x] >> 24;
  }

 private:
  ScopedMemoryDc dc_;
  CVwBitmap bitmap_;
  std::unique_ptr<ScopedSelectObject> select_;
};

class SkinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    VwResourceLoader::Instance().SetResourceFolder(folder_.path());
    VwResourceLoader::Instance().SetPreferFolder(false);
    VwResourceLoader::Instance().ClearImageCache();
    VwSkinPool::Instance().Clear();
  }
  void TearDown() override {
    VwSkinPool::Instance().Clear();
    VwResourceLoader::Instance().ClearImageCache();
    VwResourceLoader::Instance().SetResourceFolder(L"");
  }
  void WriteImage(int number, const std::string& png) {
    ASSERT_TRUE(WriteWholeFile(folder_.File((std::to_wstring(number) + L".png").c_str()), png));
  }
  TempFolder folder_;
};

TEST_F(SkinTest, StateChoosesTheFrame) {
  WriteImage(100, FramesPng(32, 32, {kRed, kGreen, kBlue}));
  WriteImage(101, FramesPng(140, 36, {kRed, kGreen, kBlue, kWhite}));
  ASSERT_EQ(VwSkinPool::Instance().LoadFromText(R"(<skins>
      <png name="close" src="100" subwidth="32"/>
      <png name="fast_install_btn" src="101" subwidth="140"/>
      <png name="whole" src="100"/>
    </skins>)"),
            1);
  CVwSkinBase* close = VwSkinPool::Instance().Find("close");
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(static_cast<CVwPngSkin*>(close)->frame_count(), 3);
  EXPECT_FALSE(close->IgnoreState());
  EXPECT_EQ(close->GetSkinSize().cx, 32);
  EXPECT_EQ(close->GetSkinSize().cy, 32);
  const struct {
    int state;
    uint32_t colour;
  } cases[] = {{0, 0xFF0000}, {1, 0x00FF00}, {2, 0x0000FF}, {3, 0xFF0000}, {4, 0x00FF00}, {-1, 0xFF0000}, {-2, 0x00FF00}};
  for (const auto& c : cases) {
    Surface surface(64, 64);
    close->DrawState(surface.dc(), 0, 0, 64, 40, c.state, false, 255);
    EXPECT_EQ(surface.At(30, 20), c.colour) << "state " << c.state;
    EXPECT_EQ(surface.At(63, 39), c.colour) << "stretched over the rectangle, state " << c.state;
    EXPECT_EQ(surface.AlphaAt(30, 20), 255u);
    EXPECT_EQ(surface.At(30, 50), 0u) << "nothing below the rectangle";
  }
  CVwSkinBase* fast = VwSkinPool::Instance().Find("fast_install_btn");
  EXPECT_EQ(static_cast<CVwPngSkin*>(fast)->frame_count(), 4);
  EXPECT_EQ(fast->GetSkinSize().cx, 140);
  EXPECT_EQ(fast->GetSkinSize().cy, 36);
  Surface surface(200, 40);
  fast->DrawState(surface.dc(), 0, 0, 140, 36, 3, false, 255);
  EXPECT_EQ(surface.At(70, 18), 0xFFFFFFu);

  // Without "subwidth" one picture serves every state: the whole strip is stretched.
  CVwSkinBase* whole = VwSkinPool::Instance().Find("whole");
  EXPECT_TRUE(whole->IgnoreState());
  EXPECT_EQ(whole->GetSkinSize().cx, 96);
  for (int state : {0, 1, 2}) {
    Surface strip(96, 8);
    whole->DrawState(strip.dc(), 0, 0, 96, 8, state, false, 255);
    EXPECT_EQ(strip.At(10, 4), 0xFF0000u);
    EXPECT_EQ(strip.At(85, 4), 0x0000FFu);
  }
}

TEST_F(SkinTest, ConstantAlphaAndNaturalSizeDraw) {
  WriteImage(102, FramesPng(10, 10, {kWhite, kBlue}));
  VwSkinPool::Instance().LoadFromText(R"(<skins><png name="s" src="102" subwidth="10"/></skins>)");
  CVwSkinBase* skin = VwSkinPool::Instance().Find("s");
  Surface half(40, 40);
  skin->DrawState(half.dc(), 0, 0, 10, 10, 0, false, 128);
  EXPECT_EQ(half.AlphaAt(5, 5), 128u);
  // Draw puts the frame at its natural size at the left-top corner.
  Surface natural(40, 40);
  skin->Draw(natural.dc(), RECT{5, 5, 40, 40}, 1);
  EXPECT_EQ(natural.At(10, 10), 0x0000FFu);
  EXPECT_EQ(natural.At(20, 20), 0u);
}

TEST_F(SkinTest, NinePartsKeepTheMargins) {
  // 9 x 9: a 3-pixel black border around a white middle.
  std::vector<uint32_t> pixels(81);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) pixels[y * 9 + x] = (x >= 3 && x < 6 && y >= 3 && y < 6) ? kWhite : kBlack;
  WriteImage(103, test::EncodePng(9, 9, pixels));
  VwSkinPool::Instance().LoadFromText(R"(<skins>
      <png name="framed" src="103" margin_left="3" margin_right="3" margin_top="3" margin_bottom="3"/>
      <png name="stretched" src="103"/>
    </skins>)");
  Surface framed(30, 30);
  VwSkinPool::Instance().Find("framed")->DrawState(framed.dc(), 0, 0, 30, 30, 0, false, 255);
  Surface stretched(30, 30);
  VwSkinPool::Instance().Find("stretched")->DrawState(stretched.dc(), 0, 0, 30, 30, 0, false, 255);
  EXPECT_EQ(framed.At(1, 1), 0u);     // black corner
  EXPECT_EQ(framed.At(15, 1), 0u);    // black top edge
  EXPECT_EQ(framed.At(5, 15), 0xFFFFFFu);   // the border stays 3 pixels wide
  EXPECT_EQ(framed.At(28, 28), 0u);
  EXPECT_EQ(framed.AlphaAt(28, 28), 255u);
  EXPECT_EQ(stretched.At(5, 15), 0u);  // scaled border is 10 pixels wide
  EXPECT_EQ(stretched.At(15, 15), 0xFFFFFFu);
}

TEST_F(SkinTest, FlipGreyAndMissingImages) {
  WriteImage(104, FramesPng(4, 4, {kRed, kBlue}));
  VwSkinPool::Instance().LoadFromText(R"(<skins>
      <png name="flipped" src="104" flip="1"/>
      <png name="plain" src="104"/>
      <png name="nothing" src="999"/>
      <png name="plain" src="999"/>
      <bogus name="odd" src="104"/>
    </skins>)");
  Surface flipped(8, 4);
  VwSkinPool::Instance().Find("flipped")->DrawState(flipped.dc(), 0, 0, 8, 4, 0, false, 255);
  EXPECT_EQ(flipped.At(1, 1), 0x0000FFu);
  EXPECT_EQ(flipped.At(6, 1), 0xFF0000u);

  // The second "plain" is ignored: the first definition with an image wins.
  CVwSkinBase* plain = VwSkinPool::Instance().Find("plain");
  ASSERT_TRUE(plain->EnsureLoaded());
  Surface grey(8, 4);
  plain->DrawGray(grey.dc(), RECT{0, 0, 8, 4}, RECT{0, 0, 8, 4});
  EXPECT_EQ(grey.At(1, 1), 0x4C4C4Cu);  // 255 * 30 / 100 = 76
  EXPECT_EQ(grey.At(6, 1), 0x1C1C1Cu);  // 255 * 11 / 100 = 28

  // Listed without an image: draws nothing and has no size.
  CVwSkinBase* nothing = VwSkinPool::Instance().Find("nothing");
  ASSERT_NE(nothing, nullptr);
  EXPECT_FALSE(nothing->EnsureLoaded());
  EXPECT_EQ(nothing->GetSkinSize().cx, 0);
  Surface empty(8, 8);
  nothing->DrawState(empty.dc(), 0, 0, 8, 8, 0, false, 255);
  EXPECT_EQ(empty.AlphaAt(4, 4), 0u);
  EXPECT_EQ(VwSkinPool::Instance().Find("odd"), nullptr);
  EXPECT_EQ(VwSkinPool::Instance().Find("absent"), nullptr);
}

TEST_F(SkinTest, ImagesAreReadOnFirstLookup) {
  VwSkinPool::Instance().LoadFromText(R"(<skins><png name="late" src="105" subwidth="2"/></skins>)");
  ASSERT_NE(VwSkinPool::Instance().Peek("late"), nullptr);
  // The image appears only after the document was loaded: the lookup still finds it.
  WriteImage(105, FramesPng(2, 2, {kGreen, kRed}));
  CVwSkinBase* late = VwSkinPool::Instance().Find("late");
  ASSERT_NE(late, nullptr);
  EXPECT_TRUE(late->EnsureLoaded());
  EXPECT_EQ(late->GetSkinSize().cx, 2);
}

TEST_F(SkinTest, ResourceSourceOrder) {
  VwResourceLoader& loader = VwResourceLoader::Instance();
  WriteImage(100, FramesPng(32, 32, {kRed, kGreen, kBlue}));
  WriteImage(101, FramesPng(32, 32, {kWhite, kWhite, kWhite}));
  ASSERT_TRUE(WriteWholeFile(folder_.File(L"7001.xml"),
                             R"(<skins><png name="close" src="101"/><png name="mainbg_banner0" src="100"/></skins>)"));
  ASSERT_TRUE(WriteWholeFile(folder_.File(L"7002.xml"),
                             R"(<string><s id="1">folder</s><s id="2">folder two</s></string>)"));
  ASSERT_TRUE(WriteWholeFile(folder_.File(L"7003.xml"), R"(<layer title="folder"/>)"));
  ASSERT_TRUE(WriteWholeFile(folder_.File(L"7004.xml"), R"(<layer title="folder only"/>)"));

  // Tables: every source contributes, the module's definitions first.
  EXPECT_EQ(loader.LoadStrings(7002), 1);
  EXPECT_EQ(VwString::Instance().Get(1), L"module");
  EXPECT_EQ(VwString::Instance().Get(2), L"folder two");
  EXPECT_EQ(VwString::Instance().Get(3), L"module three");
  EXPECT_EQ(loader.LoadSkins(7001), 1);
  Surface surface(32, 32);
  VwSkinPool::Instance().Find("close")->DrawState(surface.dc(), 0, 0, 32, 32, 2, false, 255);
  EXPECT_EQ(surface.At(16, 16), 0x0000FFu);  // the module's "close": src 100 in 3 frames
  Surface banner(96, 32);
  VwSkinPool::Instance().Find("mainbg_banner0")->DrawState(banner.dc(), 0, 0, 96, 32, 0, false, 255);
  EXPECT_EQ(banner.At(80, 16), 0x0000FFu);  // the folder's 100.png
  EXPECT_NE(VwSkinPool::Instance().Find("module_only"), nullptr);

  // A single resource: the first source wins; the folder serves what the modules lack.
  std::string bytes;
  ASSERT_TRUE(loader.LoadResourceData(L"xml", 7003, false, &bytes));
  EXPECT_NE(bytes.find("module"), std::string::npos);
  ASSERT_TRUE(loader.LoadResourceData(L"xml", 7004, false, &bytes));
  EXPECT_NE(bytes.find("folder only"), std::string::npos);
  EXPECT_FALSE(loader.LoadResourceData(L"xml", 7005, false, &bytes));
  loader.SetPreferFolder(true);
  ASSERT_TRUE(loader.LoadResourceData(L"xml", 7003, false, &bytes));
  EXPECT_NE(bytes.find("folder"), std::string::npos);
  EXPECT_EQ(bytes.find("module"), std::string::npos);
  loader.SetPreferFolder(false);

  // Reloading empties the table first; without a folder only the module is left.
  loader.SetResourceFolder(L"");
  EXPECT_EQ(loader.LoadStrings(7002), 1);
  EXPECT_FALSE(VwString::Instance().Contains(2));
  EXPECT_EQ(loader.LoadStrings(7999), 0);
  EXPECT_EQ(VwString::Instance().size(), 0u);
}

TEST_F(SkinTest, ClearImageCacheRereadsImages) {
  WriteImage(106, FramesPng(2, 2, {kRed}));
  SharedGpImage first = VwPngPool::Instance().Image(106);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(VwPngPool::Instance().Image(106), first);  // decoded once
  WriteImage(106, FramesPng(4, 2, {kRed}));
  VwResourceLoader::Instance().ClearImageCache();
  SharedGpImage second = VwPngPool::Instance().Image(106);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(ImageSize(second.get()).cx, 4);
  EXPECT_EQ(ImageSize(first.get()).cx, 2);  // a holder keeps its image
  ASSERT_TRUE(WriteWholeFile(folder_.File(L"107.png"), "not a png"));
  EXPECT_EQ(VwPngPool::Instance().Image(107), nullptr);
}

class DpiSettingsTest : public ::testing::Test {
 protected:
  std::wstring Settings(const char* text) {
    const std::wstring path = folder_.File(L"dpisetting.ini");
    EXPECT_TRUE(WriteWholeFile(path, text));
    return path;
  }
  TempFolder folder_;
};

TEST_F(DpiSettingsTest, KeysAndRatios) {
  const struct {
    const char* ini;
    bool aware;
    double ratio;
    int scaled21;
  } cases[] = {
      {nullptr, false, 1.0, 21},
      {"[basesetting]\r\ndebug=1\r\ndebugdpi=144\r\n", true, 1.5, 31},
      {"[basesetting]\r\ndebug=1\r\ndebugdpi=120\r\n", true, 1.2, 25},
      {"[basesetting]\r\ndebug=1\r\ndebugdpi=110\r\n", true, 1.0, 21},
      {"[basesetting]\r\ndebug=1\r\ndebugdpi=144\r\nsupportrate=1.0|1.25\r\n", true, 1.25, 26},
      {"[basesetting]\r\ndebug=0\r\ndebugdpi=144\r\n", false, 1.0, 21},
  };
  for (const auto& c : cases) {
    const std::wstring path = c.ini != nullptr ? Settings(c.ini) : folder_.File(L"missing.ini");
    VwDpiSettings settings(path, L"setup");
    EXPECT_EQ(settings.IsDpiAware(), c.aware) << (c.ini ? c.ini : "no file");
    EXPECT_DOUBLE_EQ(settings.DpiRatio(), c.ratio) << (c.ini ? c.ini : "no file");
    EXPECT_EQ(settings.Scale(21), c.scaled21) << (c.ini ? c.ini : "no file");
  }
}

TEST_F(DpiSettingsTest, SwitchNeedsTheRegistryValueAndTheMode) {
  const wchar_t kKey[] = L"Software\\Vesmark\\Antivirus\\ZPRReport";
  const std::wstring path = Settings("[basesetting]\r\nswitch=1\r\nmode=2\r\n");
  ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kKey, L"DpiAware");
  EXPECT_FALSE(VwDpiSettings(path, L"setup").IsDpiAware());
  ScopedKey key;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ | KEY_WRITE, key.receive()), ERROR_SUCCESS)
      << "the key is created on first use";
  const DWORD on = 1;
  ::RegSetValueExW(key.get(), L"DpiAware", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on), sizeof(on));
  const bool thread_mode = ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetThreadDpiAwarenessContext") != nullptr;
  EXPECT_EQ(VwDpiSettings(path, L"setup").IsDpiAware(), thread_mode);
  const std::wstring unknown_mode = Settings("[basesetting]\r\nswitch=1\r\nmode=3\r\n");
  EXPECT_FALSE(VwDpiSettings(unknown_mode, L"setup").IsDpiAware());
  ::RegDeleteValueW(key.get(), L"DpiAware");
}

TEST_F(DpiSettingsTest, HiddenWindowOnlyForListedPrograms) {
  const std::wstring path = Settings("[basesetting]\r\nsupportprocess=wtptray|uitestprog\r\n");
  {
    VwDpiSettings unlisted(path, L"otherprog");
    unlisted.Initialize();
    EXPECT_EQ(unlisted.hidden_window(), nullptr);
  }
  VwDpiSettings listed(path, L"UiTestProg");
  listed.Initialize();
  ASSERT_NE(listed.hidden_window(), nullptr);
  EXPECT_EQ(listed.HiddenWindowClass(), L"UiTestProg_hiddenDpiAwarenessWindow");
  EXPECT_EQ(::FindWindowW(listed.HiddenWindowClass().c_str(), nullptr), listed.hidden_window());
  EXPECT_FALSE(::IsWindowVisible(listed.hidden_window()));
  EXPECT_DOUBLE_EQ(listed.DpiRatio(), 1.0);  // Wine's window DPI is 96
  listed.Initialize();                       // once per object
}

TEST_F(DpiSettingsTest, DpiImageVariants) {
  const std::wstring dpi_folder = folder_.path() + L"dpiimg";
  VwDpiSettings at150(Settings("[basesetting]\r\ndebug=1\r\ndebugdpi=144\r\n"), L"setup");
  VwPngPool& pool = VwPngPool::Instance();
  pool.SetDpiImageSource(dpi_folder, L"setup", &at150);
  EXPECT_EQ(pool.DpiImagePath(13, 1.5), dpi_folder + L"\\1.5\\setup\\13_1.5.png");
  for (const wchar_t* sub : {L"", L"\\1.5", L"\\1.5\\setup", L"\\1.2", L"\\1.2\\setup"})
    ::CreateDirectoryW((dpi_folder + sub).c_str(), nullptr);
  WriteWholeFile(pool.DpiImagePath(13, 1.5), FramesPng(24, 24, {kRed}));
  WriteWholeFile(pool.DpiImagePath(14, 1.2), FramesPng(19, 19, {kRed}));
  WriteWholeFile(pool.DpiImagePath(15, 1.5), "broken");
  double ratio = 0;
  SharedGpImage exact = pool.DpiImage(13, &ratio);
  ASSERT_NE(exact, nullptr);
  EXPECT_DOUBLE_EQ(ratio, 1.5);
  EXPECT_EQ(ImageSize(exact.get()).cx, 24);
  SharedGpImage nearer = pool.DpiImage(14, &ratio);
  ASSERT_NE(nearer, nullptr);
  EXPECT_DOUBLE_EQ(ratio, 1.2);
  EXPECT_EQ(pool.DpiImage(15, &ratio), nullptr);  // unreadable counts as absent
  EXPECT_EQ(pool.DpiImage(16, &ratio), nullptr);

  // At 1.2 a 1.5 variant is too far away.
  VwDpiSettings at120(Settings("[basesetting]\r\ndebug=1\r\ndebugdpi=120\r\n"), L"setup");
  pool.SetDpiImageSource(dpi_folder, L"setup", &at120);
  EXPECT_EQ(pool.DpiImage(13, &ratio), nullptr);
  EXPECT_NE(pool.DpiImage(14, &ratio), nullptr);
  pool.SetDpiImageSource(folder_.path() + L"none", L"setup", nullptr);
}

TEST(FontPool, FaceChoiceAndLogFonts) {
  const wchar_t kKey[] = L"Software\\kinst-test-fonts";
  const struct {
    const wchar_t* value;
    const wchar_t* face;
  } cases[] = {
      {L"\x5FAE\x8F6F\x96C5\x9ED1 (TrueType)", L"\x5FAE\x8F6F\x96C5\x9ED1"},
      {L"Microsoft YaHei & Microsoft YaHei UI (TrueType)", L"Microsoft YaHei"},
      {L"Microsoft YaHei (TrueType)", L"Microsoft YaHei"},
      {L"SimSun & NSimSun (TrueType)", L"SimSun"},
      {L"Arial (TrueType)", L"\x5B8B\x4F53"},
  };
  for (const auto& c : cases) {
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKey);
    ScopedKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.receive(), nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key.get(), c.value, 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x.ttf"), 12);
    EXPECT_EQ(VwFontPool::ChooseBaseFace(kKey), c.face);
  }
  ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKey);

  VwFontPool& pool = VwFontPool::Instance();
  const struct {
    uint16_t id;
    LONG height, weight;
    BYTE underline, italic;
  } fonts[] = {{0x0000, -12, 400, 0, 0}, {0x0004, -12, 700, 0, 0}, {0x0002, -12, 400, 1, 0},
               {0x0804, -20, 700, 0, 0}, {0x0001, -12, 400, 0, 1}, {0xe400, 16, 400, 0, 0}};
  for (const auto& f : fonts) {
    const LOGFONTW font = pool.LogFontFor(f.id, false);
    EXPECT_EQ(font.lfHeight, f.height) << f.id;
    EXPECT_EQ(font.lfWeight, f.weight) << f.id;
    EXPECT_EQ(font.lfUnderline, f.underline) << f.id;
    EXPECT_EQ(font.lfItalic, f.italic) << f.id;
    EXPECT_EQ(std::wstring(font.lfFaceName), pool.base_face());
  }
  EXPECT_NE(pool.Font(0x0404, false), nullptr);
  EXPECT_EQ(pool.Font(0x0404, false), pool.Font(0x0404, false));  // cached
  EXPECT_EQ(pool.base_logfont().lfQuality, pool.IsYaheiFace() ? CLEARTYPE_QUALITY : ANTIALIASED_QUALITY);
}

}  // namespace
}  // namespace kbase
