// The built-in skin, style and string tables as this program carries them (the same
// resource script as the installer's): every table parses with the right root, every
// skin's picture is a module resource that GDI+ decodes with the frame layout the skin
// needs, and every name and text the windows use is present.
#include <gtest/gtest.h>
#include <windows.h>
#include <objidl.h>
#include <shlwapi.h>
#include <gdiplus.h>

#include <tinyxml.h>

#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "res/resource_ids.h"

namespace kbase {
namespace {

// Looked up with lower-case type names, as the resource loader asks for them.
bool ModuleResourceBytes(HMODULE module, const wchar_t* type, int number, std::string* bytes) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(number), type);
  if (found == nullptr) return false;
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) return false;
  bytes->assign(static_cast<const char*>(data), SizeofResource(module, found));
  return true;
}

bool ResourceBytes(const wchar_t* type, int number, std::string* bytes) {
  return ModuleResourceBytes(GetModuleHandleW(nullptr), type, number, bytes);
}

class GdiplusSession {
 public:
  GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
  }
  ~GdiplusSession() {
    if (ok_) Gdiplus::GdiplusShutdown(token_);
  }
  bool ok() const { return ok_; }

 private:
  ULONG_PTR token_ = 0;
  bool ok_ = false;
};

struct StreamRelease {
  void operator()(IStream* stream) const { stream->Release(); }
};

// A decoded picture's size and pixels (ARGB, row by row).
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> argb;
  uint32_t at(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
};

bool DecodePng(const std::string& bytes, Picture* picture) {
  std::unique_ptr<IStream, StreamRelease> stream(
      SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
  if (!stream) return false;
  std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream.get()));
  if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) return false;
  GUID format{};
  if (bitmap->GetRawFormat(&format) != Gdiplus::Ok || format != Gdiplus::ImageFormatPNG) return false;
  picture->width = static_cast<int>(bitmap->GetWidth());
  picture->height = static_cast<int>(bitmap->GetHeight());
  Gdiplus::Rect all(0, 0, picture->width, picture->height);
  Gdiplus::BitmapData data{};
  if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
    return false;
  picture->argb.resize(static_cast<size_t>(picture->width) * picture->height);
  for (int y = 0; y < picture->height; ++y) {
    std::memcpy(&picture->argb[static_cast<size_t>(y) * picture->width],
                static_cast<const char*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                static_cast<size_t>(picture->width) * 4);
  }
  bitmap->UnlockBits(&data);
  return true;
}

// Parses one table; its root element, or null with the reason in *error.
const TiXmlElement* ParseTable(int number, TiXmlDocument* document, std::string* error) {
  std::string text;
  if (!ResourceBytes(L"xml", number, &text)) {
    *error = "no XML resource " + std::to_string(number);
    return nullptr;
  }
  document->Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
  if (document->Error()) {
    *error = std::string("does not parse: ") + document->ErrorDesc() + " at row " +
             std::to_string(document->ErrorRow());
    return nullptr;
  }
  return document->RootElement();
}

std::map<std::string, std::string> Attributes(const TiXmlElement& element) {
  std::map<std::string, std::string> attributes;
  for (const TiXmlAttribute* a = element.FirstAttribute(); a != nullptr; a = a->Next())
    attributes[a->Name()] = a->Value();
  return attributes;
}

bool IsHex(const std::string& text, size_t min_digits, size_t max_digits) {
  if (text.size() < min_digits || text.size() > max_digits) return false;
  for (char c : text)
    if (!isxdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

bool IsDecimal(const std::string& text) {
  if (text.empty()) return false;
  for (size_t i = 0; i < text.size(); ++i)
    if (!isdigit(static_cast<unsigned char>(text[i])) && !(i == 0 && text[i] == '-')) return false;
  return text != "-";
}

// The skin table: name -> attributes, with duplicate names and foreign tags reported.
struct SkinTable {
  std::map<std::string, std::map<std::string, std::string>> skins;
  std::vector<std::string> problems;
};

SkinTable ReadSkins() {
  SkinTable table;
  TiXmlDocument document;
  std::string error;
  const TiXmlElement* root = ParseTable(IDR_SKIN_TABLE, &document, &error);
  if (root == nullptr) {
    table.problems.push_back(error);
    return table;
  }
  for (const TiXmlElement* e = root->FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
    const char* name = e->Attribute("name");
    if (name == nullptr) {
      table.problems.push_back(std::string("a <") + e->Value() + "> without a name");
      continue;
    }
    if (std::string(e->Value()) != "png") table.problems.push_back(std::string(name) + " is not a png skin");
    if (!table.skins.emplace(name, Attributes(*e)).second)
      table.problems.push_back(std::string("skin defined twice: ") + name);
  }
  return table;
}

TEST(UiResources, TablesParseWithTheirRoots) {
  const struct {
    int number;
    const char* root;
    const char* child;
  } kTables[] = {
      {IDR_SKIN_TABLE, "skins", nullptr},
      {IDR_STYLE_TABLE, "style", "class"},
      {IDR_STRING_TABLE, "string", "s"},
  };
  for (const auto& table : kTables) {
    SCOPED_TRACE(table.number);
    TiXmlDocument document;
    std::string error;
    const TiXmlElement* root = ParseTable(table.number, &document, &error);
    ASSERT_NE(root, nullptr) << error;
    EXPECT_STREQ(root->Value(), table.root);
    int children = 0;
    for (const TiXmlElement* e = root->FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
      ++children;
      if (table.child != nullptr) {
        EXPECT_STREQ(e->Value(), table.child);
      }
    }
    EXPECT_GT(children, 0);
  }
}

TEST(UiResources, EverySkinPictureDecodesWithWholeDistinctFrames) {
  GdiplusSession gdiplus;
  ASSERT_TRUE(gdiplus.ok());
  const SkinTable table = ReadSkins();
  EXPECT_TRUE(table.problems.empty()) << table.problems.front();
  static const std::set<std::string> kPngAttributes = {
      "name", "src", "subwidth", "left", "top", "margin_left", "margin_right", "margin_top",
      "margin_bottom", "flip", "fliptype", "middle_tile", "wantimgwidth"};
  for (const auto& [name, attributes] : table.skins) {
    SCOPED_TRACE(name);
    for (const auto& [key, value] : attributes) {
      EXPECT_EQ(kPngAttributes.count(key), 1u) << "unknown attribute " << key;
      if (key != "name") {
        EXPECT_TRUE(IsDecimal(value)) << key << "=" << value;
      }
    }
    ASSERT_EQ(attributes.count("src"), 1u);
    const int number = std::stoi(attributes.at("src"));
    std::string bytes;
    ASSERT_TRUE(ResourceBytes(L"png", number, &bytes)) << "no PNG resource " << number;
    Picture picture;
    ASSERT_TRUE(DecodePng(bytes, &picture)) << "PNG " << number << " does not decode";
    ASSERT_GT(picture.width, 0);
    ASSERT_GT(picture.height, 0);
    if (attributes.count("subwidth") == 0) continue;
    const int subwidth = std::stoi(attributes.at("subwidth"));
    ASSERT_GT(subwidth, 0);
    EXPECT_EQ(picture.width % subwidth, 0) << "frames of " << subwidth << " in " << picture.width;
    const int frames = picture.width / subwidth;
    EXPECT_GE(frames, 2) << "a subwidth for a single picture";
    // Each state must look different from the one before it.
    for (int f = 1; f < frames; ++f) {
      bool differs = false;
      for (int y = 0; y < picture.height && !differs; ++y)
        for (int x = 0; x < subwidth && !differs; ++x)
          differs = picture.at((f - 1) * subwidth + x, y) != picture.at(f * subwidth + x, y);
      EXPECT_TRUE(differs) << "frame " << f << " repeats frame " << f - 1;
    }
  }
}

TEST(UiResources, PicturesOfKnownSizes) {
  GdiplusSession gdiplus;
  ASSERT_TRUE(gdiplus.ok());
  const SkinTable table = ReadSkins();
  const struct {
    const char* skin;
    int src;  // 0: any number
    int width, height, frames;
  } kSizes[] = {
      {"close", 0, 96, 32, 3},
      {"fast_install_btn", 0, 560, 36, 4},
      {"headlogo", 13, 16, 16, 1},
      {"progressbg", 0, 3, 3, 1},
      {"progresspos", 0, 3, 3, 1},
      {"mainbg_banner0", 0, 458, 224, 1},
      {"mainbg_banner1", 0, 458, 224, 1},
      {"mainbg_banner2", 0, 458, 224, 1},
      {"mainbg_banner3", 0, 458, 224, 1},
      {"mainbg_error", 0, 458, 224, 1},
      {"mainbg_new", 0, 602, 402, 1},
      {"mainbg_error_new", 0, 602, 402, 1},
      {"downloader_error", 0, 602, 402, 1},
      {"downloader_progressbar", 0, 602, 402, 1},
  };
  for (const auto& expected : kSizes) {
    SCOPED_TRACE(expected.skin);
    auto skin = table.skins.find(expected.skin);
    ASSERT_NE(skin, table.skins.end());
    const int number = std::stoi(skin->second.at("src"));
    if (expected.src != 0) {
      EXPECT_EQ(number, expected.src);
    }
    std::string bytes;
    Picture picture;
    ASSERT_TRUE(ResourceBytes(L"png", number, &bytes) && DecodePng(bytes, &picture));
    EXPECT_EQ(picture.width, expected.width);
    EXPECT_EQ(picture.height, expected.height);
    const int subwidth = skin->second.count("subwidth") ? std::stoi(skin->second.at("subwidth")) : 0;
    EXPECT_EQ(subwidth == 0 ? 1 : picture.width / subwidth, expected.frames);
  }

  // The shadow's corners are (width - 2) / 2 with a two-pixel middle; the message box
  // shadow is cut with 28-pixel margins and needs a middle beyond them.
  std::string bytes;
  Picture shadow;
  ASSERT_TRUE(ResourceBytes(L"png", std::stoi(table.skins.at("dlg_shadow").at("src")), &bytes) &&
              DecodePng(bytes, &shadow));
  EXPECT_EQ(shadow.width % 2, 0);
  EXPECT_GE(shadow.width, 4);
  EXPECT_EQ(shadow.height, shadow.width);
  Picture box_shadow;
  const auto& cnm = table.skins.at("cnm_showdow");
  ASSERT_TRUE(ResourceBytes(L"png", std::stoi(cnm.at("src")), &bytes) && DecodePng(bytes, &box_shadow));
  for (const char* margin : {"margin_left", "margin_right", "margin_top", "margin_bottom"})
    EXPECT_EQ(cnm.count(margin) ? cnm.at(margin) : "", "28") << margin;
  EXPECT_GT(box_shadow.width, 56);
  EXPECT_GT(box_shadow.height, 56);
}

// Sole owner of a module loaded for its resources only.
struct ModuleFree {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};

TEST(UiResources, TheInstallerCarriesTheSameResources) {
  std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFree> installer(
      LoadLibraryExW(KINST_INSTALLER_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  ASSERT_TRUE(installer) << "cannot load the installer, error " << GetLastError();
  std::string own, carried;
  for (int number : {IDR_SKIN_TABLE, IDR_STYLE_TABLE, IDR_STRING_TABLE}) {
    ASSERT_TRUE(ResourceBytes(L"xml", number, &own));
    ASSERT_TRUE(ModuleResourceBytes(installer.get(), L"xml", number, &carried)) << number;
    EXPECT_EQ(carried, own) << number;
  }
  for (const auto& [name, attributes] : ReadSkins().skins) {
    const int number = std::stoi(attributes.at("src"));
    ASSERT_TRUE(ResourceBytes(L"png", number, &own));
    ASSERT_TRUE(ModuleResourceBytes(installer.get(), L"png", number, &carried)) << name;
    EXPECT_EQ(carried, own) << name;
  }
}

TEST(UiResources, FolderNumbersAreNotModuleResources) {
  // A module resource would hide the channel's file of that number (the module is asked
  // before the resource folder).
  std::string bytes;
  for (int number : {100, 101, 102, 103, 110}) EXPECT_FALSE(ResourceBytes(L"png", number, &bytes)) << number;
}

TEST(UiResources, EveryNamedSkinIsPresent) {
  const SkinTable table = ReadSkins();
  static const char* const kNames[] = {
      "close", "minimize", "close_new", "minimize_new", "fast_install_btn", "headlogo",
      "progressbg", "progresspos", "dlg_shadow", "cnm_showdow", "messagebox_install_logo",
      "white_light", "mainbg_banner0", "mainbg_banner1", "mainbg_banner2", "mainbg_banner3",
      "mainbg_new", "mainbg_error", "mainbg_error_new", "downloader_error",
      "downloader_progressbar", "circle_blue_question", "circle_blue_tick", "circle_blue_i",
      "circle_red_exclamation", "dlg_recommend_bg_png", "dlg_recommend_btnok_png",
      "dlg_recommend_btncancel_png"};
  for (const char* name : kNames) EXPECT_EQ(table.skins.count(name), 1u) << name;
}

TEST(UiResources, StylesAreWellFormedAndOnlyOneNameRepeats) {
  const SkinTable skins = ReadSkins();
  TiXmlDocument document;
  std::string error;
  const TiXmlElement* root = ParseTable(IDR_STYLE_TABLE, &document, &error);
  ASSERT_NE(root, nullptr) << error;

  enum class Syntax { kText, kColour, kFontId, kTextMode, kDecimal, kCursor, kSkin };
  static const std::map<std::string, Syntax> kAttributes = {
      {"name", Syntax::kText},          {"skin", Syntax::kSkin},
      {"textmode", Syntax::kTextMode},  {"textmodeex", Syntax::kTextMode},
      {"crbg", Syntax::kColour},        {"crbghover", Syntax::kColour},
      {"crtext", Syntax::kColour},      {"crhover", Syntax::kColour},
      {"crdisabled", Syntax::kColour},  {"crpush", Syntax::kColour},
      {"crshadow", Syntax::kColour},    {"font", Syntax::kFontId},
      {"hoverfont", Syntax::kFontId},   {"pushfont", Syntax::kFontId},
      {"x-margin", Syntax::kDecimal},   {"y-margin", Syntax::kDecimal},
      {"margin", Syntax::kDecimal},     {"spacing", Syntax::kDecimal},
      {"linespacing", Syntax::kDecimal}, {"shadow", Syntax::kDecimal},
      {"gdiplus", Syntax::kDecimal},    {"bggdiplus", Syntax::kDecimal},
      {"gditxtrndhit", Syntax::kDecimal}, {"alphatxt", Syntax::kDecimal},
      {"alphabg", Syntax::kDecimal},    {"gdipluscalctxt", Syntax::kDecimal},
      {"yhresizedisable", Syntax::kDecimal}, {"cursor", Syntax::kCursor}};

  std::map<std::string, std::vector<std::map<std::string, std::string>>> definitions;
  for (const TiXmlElement* e = root->FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
    const char* name = e->Attribute("name");
    ASSERT_NE(name, nullptr);
    SCOPED_TRACE(name);
    const auto attributes = Attributes(*e);
    for (const auto& [key, value] : attributes) {
      auto syntax = kAttributes.find(key);
      ASSERT_NE(syntax, kAttributes.end()) << "unknown attribute " << key;
      switch (syntax->second) {
        case Syntax::kText: break;
        case Syntax::kColour: EXPECT_TRUE(IsHex(value, 6, 6)) << key << "=" << value; break;
        case Syntax::kFontId: EXPECT_TRUE(IsHex(value, 1, 4)) << key << "=" << value; break;
        case Syntax::kTextMode: EXPECT_TRUE(IsHex(value, 1, 8)) << key << "=" << value; break;
        case Syntax::kDecimal: EXPECT_TRUE(IsDecimal(value)) << key << "=" << value; break;
        case Syntax::kCursor: EXPECT_EQ(value, "hand"); break;
        case Syntax::kSkin: EXPECT_EQ(skins.skins.count(value), 1u) << "no skin " << value; break;
      }
    }
    definitions[name].push_back(attributes);
  }

  for (const auto& [name, list] : definitions) {
    if (name == "new_msg_text_end") {
      ASSERT_EQ(list.size(), 2u);
      EXPECT_EQ(list[0], list[1]) << "the two definitions differ";
    } else {
      EXPECT_EQ(list.size(), 1u) << "style defined twice: " << name;
    }
  }
  static const char* const kNames[] = {"style_hand", "fast_install_btn_foot", "error_page_text_foot_new",
                                       "lite_msg_boxtext_explain", "new_msg_text_end"};
  for (const char* name : kNames) EXPECT_EQ(definitions.count(name), 1u) << name;
  // A disabled install-mode button shows its foot text in this colour.
  EXPECT_EQ(definitions["fast_install_btn_foot"][0]["crdisabled"], "D9F8DD");
  EXPECT_EQ(definitions["style_hand"][0].count("skin"), 0u);
}

TEST(UiResources, StringsHaveUniqueIdsAndTheWindowsTexts) {
  TiXmlDocument document;
  std::string error;
  const TiXmlElement* root = ParseTable(IDR_STRING_TABLE, &document, &error);
  ASSERT_NE(root, nullptr) << error;
  std::map<int, std::string> strings;
  std::set<std::string> texts;
  for (const TiXmlElement* e = root->FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
    const char* id = e->Attribute("id");
    ASSERT_TRUE(id != nullptr && IsDecimal(id));
    const char* text = e->GetText();
    ASSERT_NE(text, nullptr) << "empty string " << id;
    EXPECT_GE(std::stoi(id), 1) << "layouts cannot refer to id " << id;
    EXPECT_TRUE(strings.emplace(std::stoi(id), text).second) << "id used twice: " << id;
    EXPECT_EQ(std::string(text).find('\n'), std::string::npos) << id;
    texts.insert(text);
  }
  static const char* const kTexts[] = {
      // main window
      u8"软件", u8"Tovel在线安装", u8"下载-极速安装包", u8"-极速安装包",
      u8"已下载 0%，下载速度 0K/秒", u8"正在安装，已完成 %d%%", u8"安装完成", u8"退出安装",
      u8"联系客服", u8"查看教程", u8"正在下载安装，请稍等....", u8"软件正在下载安装....",
      u8"正在安装请勿中断", u8"当前网络断开，请稍后重试", u8"卸载Tovel后尚未重启电脑，请重启后再安装",
      u8"安装过程出现异常，请联系客服处理", u8"硬盘空间不足，请先清理硬盘空间",
      u8"安装遇到问题，请重新到网站下载",
      // tray
      u8"正在安装，已完成：%d%%", u8"下载完成，准备安装", u8"下载失败", u8"安装成功", u8"安装失败",
      u8"空间不足，软件安装失败", u8"安装",
      // message boxes, one line a string
      u8"Tovel", u8"确定", u8"取消", u8"关闭后会中断软件安装流程，", u8"是否关闭？",
      u8"您安装Tovel后尚未重新启动系统，重启后即可", u8"享受Tovel的全面保护！", u8"我知道了",
      // install-mode choice
      u8"软件安全安装", u8"需优先安装软件管家", u8"普通安装", u8"确认", u8"安全安装",
      u8"您正在使用普通安装方式安装软件", u8"(此方法可能存在安全隐患，建议选择安", u8"全安装)",
      u8"(建议选择安全安装，纯净安全无插件)"};
  for (const char* text : kTexts) EXPECT_EQ(texts.count(text), 1u) << "missing: " << text;
}

}  // namespace
}  // namespace kbase
