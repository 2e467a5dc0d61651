#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "file_tree.h"
#include "lounge/pages/common/file_list_source.h"
#include "lounge/skin/gdi_handles.h"
#include "lounge/skin/skin_paths.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/bmp_codec.h"
#include "recording_sink.h"

namespace {

using ::testing::ElementsAre;

constexpr std::uint32_t kRed = 0xFFFF0000u;
constexpr std::uint32_t kGreen = 0xFF00FF00u;
constexpr std::uint32_t kBlue = 0xFF0000FFu;
constexpr std::uint32_t kYellow = 0xFFFFFF00u;
constexpr std::uint32_t kBlack = 0xFF000000u;

// An application folder of its own holding one-colour skin bitmaps, and a
// 200 x 100 black canvas to draw on.
struct DrawFixture {
  FileTree tree;
  std::shared_ptr<plat::Surface> canvas = std::make_shared<plat::Surface>(200, 100, kBlack);
  MemoryDC dc;
  BitmapPtr bitmap{plat::CreateBitmapFromSurface(canvas, true)};

  DrawFixture() {
    Bitmap("Layout/Img/Common/sub-folder.bmp", 8, 8, kGreen);
    Bitmap("Layout/Img/Common/sub-files.bmp", 8, 8, kRed);
    Bitmap("Layout/Img/Custom/up.bmp", 8, 8, kBlue);
    Bitmap("Layout/Img/Common/filetype-video.bmp", 48, 48, kYellow);
    Bitmap("Layout/Img/Common/bt-burncheckbox.BMP", 6, 4, kGreen);
    Bitmap("Layout/Img/Common/bt-burncheckbox-n.BMP", 6, 4, kBlue);
    SetSkinBaseFolder(tree.root());
    dc.SelectBitmap(bitmap.get());
  }
  ~DrawFixture() { SetSkinBaseFolder({}); }

  void Bitmap(const std::string& relative, int width, int height, std::uint32_t colour) {
    const std::vector<std::uint8_t> bytes = plat::gdi::EncodeBmp(plat::Surface(width, height, colour), 24);
    tree.File(relative, std::string(bytes.begin(), bytes.end()));
  }
  std::uint32_t At(int x, int y) const { return canvas->pixel(x, y) | 0xFF000000u; }
  void Wipe() {
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 200; ++x) canvas->set_pixel(x, y, kBlack);
  }
};

FileListDrawRecord Row(int index, plat::HDC dc) {
  FileListDrawRecord r;
  r.index = index;
  r.icon = plat::RECT{0, 0, 20, 20};
  r.text = plat::RECT{30, 0, 190, 20};
  r.dc = dc;
  r.textColour = 0xFFFFFF;
  return r;
}

TEST(FileListDrawTest, RowsDrawTheirIconsAndAskTheSinkFirst) {
  DrawFixture f;
  f.tree.Folder("list/Folder");
  f.tree.File("list/clip.mpg");
  RecordingSink sink;
  CFileListSource source(f.tree / "list", "", nullptr, &sink, 5);
  source.Rescan();
  std::string application;
  source.MakeSkinPath(application);
  EXPECT_EQ(application, f.tree.root() + "/");

  // Up-level entry: the default icon, then the page's own one.
  ASSERT_EQ(source.DrawEntry(Row(0, f.dc.get())), 1);
  EXPECT_EQ(f.At(10, 10), kGreen);
  sink.upLevelIcon = "Layout\\Img\\Custom\\up.bmp";
  source.DrawEntry(Row(0, f.dc.get()));
  EXPECT_EQ(f.At(10, 10), kBlue);

  // Folder: the page is asked for text and icon; the folder picture is the
  // default icon.
  f.Wipe();
  sink.calls.clear();
  ASSERT_EQ(source.DrawEntry(Row(1, f.dc.get())), 1);
  EXPECT_EQ(f.At(10, 10), kRed);
  // File: the page draws the icon.
  ASSERT_EQ(source.DrawEntry(Row(2, f.dc.get())), 1);
  EXPECT_THAT(sink.calls, ElementsAre("folder text 0", "folder icon 0", "file text 0", "file icon 0"));
  EXPECT_EQ(source.DrawEntry(Row(3, f.dc.get())), 0);
  EXPECT_EQ(source.DrawEntry(Row(-1, f.dc.get())), 0);
}

TEST(FileListDrawTest, ShellIconIsCentredUnlessStretchedAndCheckBoxKeepsItsSize) {
  DrawFixture f;
  ASSERT_EQ(DrawShellIcon("/x/clip.mpg", f.dc.get(), 0, 0, 100, 100, 0), 1);
  // 48 x 48 centred in 100 x 100: columns and rows 26..73.
  EXPECT_EQ(f.At(26, 26), kYellow);
  EXPECT_EQ(f.At(73, 73), kYellow);
  EXPECT_EQ(f.At(25, 50), kBlack);
  EXPECT_EQ(f.At(74, 50), kBlack);
  ASSERT_EQ(DrawShellIcon("/x/clip.mpg", f.dc.get(), 100, 0, 200, 100, 1), 1);
  EXPECT_EQ(f.At(100, 0), kYellow);
  EXPECT_EQ(f.At(199, 99), kYellow);
  // No bitmap for the type in this skin.
  EXPECT_EQ(DrawShellIcon("/x/song.mp3", f.dc.get(), 0, 0, 100, 100, 0), 0);

  f.Wipe();
  CFileListSource source("", nullptr, nullptr, 0);
  EXPECT_EQ(source.DrawBurnCheckBox(f.dc.get(), 10, 20, 1), 1);
  EXPECT_EQ(f.At(10, 20), kBlue);
  EXPECT_EQ(f.At(15, 23), kBlue);
  EXPECT_EQ(f.At(16, 23), kBlack);
  EXPECT_EQ(f.At(15, 24), kBlack);
  EXPECT_EQ(source.DrawBurnCheckBox(f.dc.get(), 10, 20, 0), 1);
  EXPECT_EQ(f.At(10, 20), kGreen);
  EXPECT_EQ(source.DrawBurnCheckBox(f.dc.get(), 10, 20, 2), 0);
}

}  // namespace
