// The banner and the area list at start-up, against a local server playing the
// configuration server, the CDN and the city id service; and which tables are loaded.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "config/city_lookup.h"
#include "main/channel_resources.h"
#include "support/http_test_server.h"
#include "support/win_test_util.h"
#include "ui/vw_skin_pool.h"

namespace kbase {
namespace {

class ChannelResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Start());
    SetChannelResourceHostsForTesting(server_.Host(), server_.Host());
    SetCityIdHostForTesting(server_.Host());
    CreateDirectoryW(InstallRes().c_str(), nullptr);
  }
  void TearDown() override {
    SetChannelResourceHostsForTesting("", "");
    SetCityIdHostForTesting("");
  }
  void Serve(const std::string& path, const std::string& body, int status = 200) {
    test::HttpResponse response;
    response.status = status;
    response.body = body;
    server_.Serve(path, response);
  }
  void ServeCity(const std::string& city) {
    if (city.empty()) {
      Serve("/ip/cityid", "", 404);
    } else {
      Serve("/ip/cityid", "{\"data\":\"" + city + "\"}");
    }
  }
  std::wstring InstallRes() const { return folder_.path() + L"install_res"; }
  size_t Asked(const std::string& path) const { return server_.RequestsFor(path).size(); }

  test::TempFolder folder_;
  test::HttpTestServer server_;
};

TEST_F(ChannelResourcesTest, PlainChannelsTakeTheTrynoBanner) {
  Serve("/sem/installer/336.png", "banner");
  ChannelResources got = FetchChannelResources(InstallRes(), 336, 0);
  EXPECT_TRUE(got.banner_fresh);
  EXPECT_EQ(got.popup_style, 1);
  EXPECT_FALSE(got.in_area);
  std::string banner;
  EXPECT_TRUE(test::ReadWholeFile(InstallRes() + L"\\100.png", &banner));
  EXPECT_EQ(banner, "banner");
  EXPECT_EQ(Asked("/aldconfig/area.dat"), 0u);  // no area list for plain channels

  // No banner on the CDN: the built-in tables will be used.
  EXPECT_FALSE(FetchChannelResources(InstallRes(), 337, 0).banner_fresh);
  // No install_res folder: nothing is asked at all.
  server_.ClearRequests();
  EXPECT_FALSE(FetchChannelResources(folder_.path() + L"missing", 336, 0).banner_fresh);
  EXPECT_EQ(Asked("/sem/installer/336.png"), 0u);
}

TEST_F(ChannelResourcesTest, TheAreaListDecidesPopupStyleAreaAndBanner) {
  Serve("/sem/installer/ald_336.png", "inside");
  Serve("/sem/installer/ald2_336.png", "outside");
  const struct {
    const char* name;
    std::string area_list;  // empty: not served
    std::string city;       // empty: the lookup fails
    int popup_style;
    bool in_area;
    const char* banner;
  } kCases[] = {
      {"city listed", "{\"popstyle\":2,\"area\":\"101,202\"}", "202", 1, true, "inside"},
      {"city not listed", "{\"popstyle\":2,\"area\":\"101,202\"}", "303", 2, false, "outside"},
      {"lookup failed counts as inside", "{\"popstyle\":2,\"area\":\"101\"}", "", 1, true,
       "inside"},
      {"style 0 keeps the area empty", "{\"popstyle\":0,\"area\":\"303\"}", "303", 0, false,
       "outside"},
      {"no style member", "{\"area\":\"303\"}", "303", 0, false, "outside"},
      {"not JSON", "popstyle=2", "303", 1, false, "outside"},
      {"no list", "", "303", 1, false, "outside"},
  };
  for (const auto& c : kCases) {
    server_.ClearRequests();
    if (c.area_list.empty()) {
      Serve("/aldconfig/area.dat", "", 404);
    } else {
      Serve("/aldconfig/area.dat", c.area_list);
    }
    ServeCity(c.city);
    DeleteFileW((InstallRes() + L"\\evade.dat").c_str());
    const ChannelResources got = FetchChannelResources(InstallRes(), 336, 1);
    EXPECT_EQ(got.popup_style, c.popup_style) << c.name;
    EXPECT_EQ(got.in_area, c.in_area) << c.name;
    EXPECT_TRUE(got.banner_fresh) << c.name;
    std::string banner;
    EXPECT_TRUE(test::ReadWholeFile(InstallRes() + L"\\110.png", &banner)) << c.name;
    EXPECT_EQ(banner, c.banner) << c.name;
    EXPECT_EQ(test::FileExists(InstallRes() + L"\\evade.dat"), !c.area_list.empty()) << c.name;
  }
}

TEST_F(ChannelResourcesTest, TablesComeFromTheChannelOnlyWithAFreshBanner) {
  ASSERT_TRUE(test::WriteWholeFile(
      InstallRes() + L"\\6001.xml",
      "<skins><png name=\"channel_only_skin\" src=\"100\"/></skins>"));
  LoadUiTables(InstallRes(), true);
  EXPECT_TRUE(VwSkinPool::Instance().Peek("channel_only_skin") != nullptr);
  EXPECT_TRUE(VwSkinPool::Instance().Peek("close") == nullptr);

  LoadUiTables(InstallRes(), false);
  EXPECT_TRUE(VwSkinPool::Instance().Peek("channel_only_skin") == nullptr);
}

}  // namespace
}  // namespace kbase
