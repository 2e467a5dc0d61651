// Data discs end to end on a virtual writer: libisofs builds the image,
// libburn's stdio: pseudo-drive writes it, and the image read back holds the
// same names and bytes. Failures leave the writer's previous image.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/outside/authoring/engine_harness.h"
#include "tests/outside/authoring/iso_reader.h"

namespace authoring_test {
namespace {

namespace fs = std::filesystem;

std::string Bytes(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  unsigned v = seed;
  for (char& c : bytes) {
    v = v * 1103515245u + 12345u;
    c = static_cast<char>(v >> 24);
  }
  return bytes;
}

// Files beside the image that are not the image: temporary leftovers.
std::vector<std::string> Leftovers(const std::string& folder, const std::string& keep) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().filename() != keep) names.push_back(entry.path().filename().string());
  }
  return names;
}

class DataDiscTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    fs::create_directories(Path("discs"));
    image_ = Path("discs/d.iso");
  }
  void UseWriter(plat::DWORD capacity = 0) { DeclareDrive('D', image_, "cdrom", true, capacity); }
  void Elements(const std::vector<std::string>& paths) {
    ASSERT_EQ(engine_->Initialize(), plat::S_OK);
    ASSERT_EQ(engine_->SetDiscType(kAuthoringDiscDataCd), plat::S_OK);
    ASSERT_EQ(engine_->SetVerify(1), plat::S_OK);
    for (const auto& p : paths) ASSERT_EQ(engine_->AddElement(p.c_str()), plat::S_OK);
  }
  std::string image_;
};

TEST_F(DataDiscTest, WritesUtf8NamesFoldersAndBytesToTheVirtualWritersImage) {
  UseWriter();
  const std::string a = Write("src/Ünïcødé 日本語 – song.mp3", Bytes(300000, 1));
  const std::string b = Write("src/album/Café/track 01.mp3", Bytes(70001, 2));
  Write("src/album/empty.txt", "");
  const std::string c = Write("other/Ünïcødé 日本語 – song.mp3", Bytes(5, 3));  // same name as `a`
  fs::create_symlink("/etc/passwd", Path("src/album/link"));
  Elements({a, Path("src/album"), c});

  RecordingSink sink;
  ASSERT_TRUE(Burn(sink, Path("work")));
  const AuthoringStatus& last = sink.statuses.back();
  ASSERT_EQ(last.stage, kAuthoringStageDone) << std::hex << last.result;

  const IsoContents iso = ReadIso(image_);
  ASSERT_TRUE(iso.ok);
  EXPECT_EQ(iso.files.size(), 4u);
  EXPECT_EQ(iso.files.at("Ünïcødé 日本語 – song.mp3"), Bytes(300000, 1));
  EXPECT_EQ(iso.files.at("Ünïcødé 日本語 – song (2).mp3"), Bytes(5, 3));
  EXPECT_EQ(iso.files.at("album/Café/track 01.mp3"), Bytes(70001, 2));
  EXPECT_EQ(iso.files.at("album/empty.txt"), "");
  // The link stays a link: nothing outside the chosen files is read.
  EXPECT_EQ(iso.symlinks.at("album/link"), "/etc/passwd");
  EXPECT_EQ(iso.volumeId, "MARIVEL");  // ISO 9660 volume ids are upper case

  // No temporary files beside the image, none left in the work folder.
  EXPECT_TRUE(Leftovers(Path("discs"), "d.iso").empty());
  EXPECT_TRUE(fs::is_empty(Path("work")));

  // Every notice came on this thread; the stages never go back.
  for (std::size_t i = 0; i < sink.statuses.size(); ++i) {
    EXPECT_EQ(sink.threads[i], std::this_thread::get_id());
    if (i) {
      EXPECT_GE(sink.statuses[i].stage, sink.statuses[i - 1].stage);
    }
  }
  EXPECT_EQ(last.percent, 100);
  EXPECT_EQ(last.totalBytes, static_cast<std::int64_t>(fs::file_size(image_)));
  EXPECT_EQ(last.discRemainMB, 703 - static_cast<int>(fs::file_size(image_) / (1024 * 1024)));

  // The drive table now shows a disc in the writer.
  const auto drives = plat::ReadVirtualDrives();
  ASSERT_EQ(drives.size(), 1u);
  EXPECT_EQ(drives[0].image, image_);
}

TEST_F(DataDiscTest, FailuresEndTheJobAndKeepThePreviousImage) {
  struct Case {
    const char* what;
    plat::DWORD capacityMB;
    std::size_t bytes;
    bool removeElement;
  };
  const Case cases[] = {
      {"disc too small", 1, 3 * 1024 * 1024, false},
      {"element gone before the burn", 0, 1000, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UseWriter(c.capacityMB);
    test_support::WriteFile(image_, "the previous disc");
    const std::string element = Write("big.bin", Bytes(c.bytes, 7));
    Elements({element});
    if (c.removeElement) fs::remove(element);

    RecordingSink sink;
    ASSERT_TRUE(Burn(sink, Path("work")));
    EXPECT_EQ(sink.statuses.back().stage, kAuthoringStageFailed);
    EXPECT_TRUE(plat::FAILED(sink.statuses.back().result));
    EXPECT_EQ(test_support::ReadFile(image_), "the previous disc");
    EXPECT_TRUE(Leftovers(Path("discs"), "d.iso").empty());
  }
}

TEST_F(DataDiscTest, CancelWhileWritingKeepsThePreviousImage) {
  UseWriter(4489);
  test_support::WriteFile(image_, "the previous disc");
  // A large element that costs no disk space to make: holes read as zeros.
  const std::string big = Path("big.bin");
  { std::ofstream(big, std::ios::binary).put('x'); }
  fs::resize_file(big, std::uintmax_t{600} << 20);
  Elements({big});
  RecordingSink sink;
  ASSERT_EQ(engine_->SetEventSink(&sink), plat::S_OK);
  ASSERT_EQ(engine_->StartBurning(Path("work").c_str()), plat::S_OK);
  ASSERT_TRUE(PumpUntil([&] {
    return sink.Ended() || (!sink.statuses.empty() && sink.statuses.back().stage == kAuthoringStageWriting);
  }));
  ASSERT_EQ(sink.statuses.back().stage, kAuthoringStageWriting) << std::hex << sink.statuses.back().result;
  const plat::HRESULT cancelled = engine_->Cancel(plat::E_FAIL);
  ASSERT_TRUE(PumpUntil([&] { return sink.Ended(); }));
  ASSERT_EQ(cancelled, plat::S_OK) << std::hex << sink.statuses.back().stage << " " << sink.statuses.back().result;
  EXPECT_EQ(sink.statuses.back().stage, kAuthoringStageCancelled);
  EXPECT_EQ(test_support::ReadFile(image_), "the previous disc");
  EXPECT_TRUE(Leftovers(Path("discs"), "d.iso").empty());

  // The next job writes its disc whole.
  const std::string small = Write("small.txt", Bytes(5000, 9));
  Elements({small});
  RecordingSink next;
  ASSERT_TRUE(Burn(next, Path("work")));
  ASSERT_EQ(next.statuses.back().stage, kAuthoringStageDone) << std::hex << next.statuses.back().result;
  const IsoContents iso = ReadIso(image_);
  ASSERT_TRUE(iso.ok);
  EXPECT_EQ(iso.files.at("small.txt"), Bytes(5000, 9));
}

TEST_F(DataDiscTest, WriterQueriesDescribeTheVirtualWriterAndItsDisc) {
  UseWriter(100);
  ASSERT_EQ(engine_->Initialize(), plat::S_OK);
  ASSERT_EQ(engine_->SetDiscType(kAuthoringDiscDataCd), plat::S_OK);
  int count = -1;
  ASSERT_EQ(engine_->GetWriterCount(&count), plat::S_OK);
  EXPECT_EQ(count, 1);
  char name[kAuthoringWriterNameBytes] = {};
  ASSERT_EQ(engine_->GetWriterName(0, name), plat::S_OK);
  EXPECT_STREQ(name, "D: Virtual writer");
  int current = -1;
  ASSERT_EQ(engine_->GetCurrentWriter(&current), plat::S_OK);
  EXPECT_EQ(current, 0);
  ASSERT_EQ(engine_->SelectWriter(current, 1), plat::S_OK);
  ASSERT_EQ(engine_->RefreshWriterDisc(current), plat::S_OK);
  int discs = -1;
  ASSERT_EQ(engine_->GetDiscCount(&discs), plat::S_OK);
  EXPECT_EQ(discs, 1);
  AuthoringDiscInfo info{};
  ASSERT_EQ(engine_->GetDiscInfo(0, &info), plat::S_OK);
  EXPECT_EQ(info.blank, 1);
  EXPECT_EQ(info.freeMB, 100);
  EXPECT_STREQ(info.text, "CD, blank, 100 MB free");
  EXPECT_EQ(engine_->SelectWriter(1, 1), plat::E_INVALIDARG);
  // The drive table shows the blank writer as an optical drive without a disc.
  const auto drives = plat::ReadVirtualDrives();
  ASSERT_EQ(drives.size(), 1u);
  EXPECT_EQ(drives[0].type, plat::DRIVE_CDROM);
  EXPECT_TRUE(drives[0].root.empty());
  EXPECT_TRUE(drives[0].image.empty());
}

TEST_F(DataDiscTest, WithoutAWriterNothingStarts) {
  const std::string element = Write("a.txt", "a");
  Elements({element});
  int current = 0;
  EXPECT_TRUE(plat::FAILED(engine_->GetCurrentWriter(&current)));
  EXPECT_EQ(current, -1);
  EXPECT_TRUE(plat::FAILED(engine_->StartBurning(Path("work").c_str())));
}

}  // namespace
}  // namespace authoring_test
