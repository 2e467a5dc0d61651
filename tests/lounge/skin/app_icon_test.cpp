#include "lounge/skin/app_icon.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "lounge/skin/skin_paths.h"
#include "platform/gdi/bmp_codec.h"
#include "platform/gdi/icon.h"
#include "temp_folder.h"

namespace {

class AppIconTest : public ::testing::Test {
 protected:
  void SetUp() override { SetSkinBaseFolder(folder_.path()); }
  void TearDown() override { SetSkinBaseFolder({}); }
  TempFolder folder_;
};

TEST_F(AppIconTest, LoadsTheNumberedPictureFromTheResourcesFolder) {
  plat::Surface picture(4, 3, 0xFF112233u);
  std::vector<std::uint8_t> bytes = plat::gdi::EncodeBmp(picture, 32);
  // Picked by content, found without regard to case.
  folder_.Write("resources/ICON129.png", std::string(bytes.begin(), bytes.end()));

  plat::HICON icon = nullptr;
  ASSERT_EQ(LoadAppIcon(nullptr, 129, icon), 1);
  ASSERT_NE(icon, nullptr);
  const plat::Surface loaded = plat::GetIconPicture(icon);
  EXPECT_EQ(loaded.width(), 4);
  EXPECT_EQ(loaded.height(), 3);
  EXPECT_EQ(loaded.pixel(1, 1) & 0xFFFFFFu, 0x112233u);
  EXPECT_EQ(plat::DestroyIcon(icon), plat::TRUE);
  EXPECT_EQ(plat::DestroyIcon(icon), plat::FALSE) << "a destroyed icon is refused";
}

TEST_F(AppIconTest, MissingOrBrokenIconLeavesTheHandleAlone) {
  folder_.Write("Resources/icon130.png", "not a picture");
  for (int id : {130, 131}) {
    plat::HICON icon = reinterpret_cast<plat::HICON>(std::uintptr_t{0x1234});
    EXPECT_EQ(LoadAppIcon(nullptr, id, icon), 0) << id;
    EXPECT_EQ(icon, reinterpret_cast<plat::HICON>(std::uintptr_t{0x1234})) << id;
  }
}

}  // namespace
