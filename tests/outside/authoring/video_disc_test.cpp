// Video discs on a virtual writer: photos and clips transcoded with FFmpeg,
// authored by dvdauthor/genisoimage or vcdimager; the DVD image opens with
// libdvdread, the VCD's CUE/BIN with libcdio. A broken photo or a cancel
// ends the job, keeps the previous image and leaves no work files.
#include <cdio/cdio.h>
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>

#include <filesystem>

#include "outside/authoring/mpeg_target.h"
#include "outside/authoring/transcode.h"
#include "platform/win/window.h"
#include "tests/outside/authoring/engine_harness.h"

namespace authoring_test {
namespace {

namespace fs = std::filesystem;

std::string Fixture(const std::string& name) {
  static const bool built = [] {
    const std::string command = std::string(AUTHORING_FIXTURE_SCRIPT) + " " + AUTHORING_FIXTURE_DIR;
    return std::system(command.c_str()) == 0;
  }();
  EXPECT_TRUE(built);
  return std::string(AUTHORING_FIXTURE_DIR) + "/" + name;
}

int Bcd(std::uint8_t v) { return (v >> 4) * 10 + (v & 0x0F); }

struct DvdSummary {
  bool ok = false;
  int titles = 0;
  int chapters = 0;
  double seconds = 0;
  std::string volumeId;
};

DvdSummary ReadDvd(const std::string& path) {
  DvdSummary s;
  dvd_reader_t* dvd = DVDOpen(path.c_str());
  if (!dvd) return s;
  if (ifo_handle_t* vmg = ifoOpen(dvd, 0)) {
    s.titles = vmg->tt_srpt->nr_of_srpts;
    if (s.titles > 0) {
      const title_info_t& title = vmg->tt_srpt->title[0];
      s.chapters = title.nr_of_ptts;
      if (ifo_handle_t* vts = ifoOpen(dvd, title.title_set_nr)) {
        const dvd_time_t& t = vts->vts_pgcit->pgci_srp[0].pgc->playback_time;
        s.seconds = Bcd(t.hour) * 3600 + Bcd(t.minute) * 60 + Bcd(t.second);
        ifoClose(vts);
      }
    }
    ifoClose(vmg);
    s.ok = true;
  }
  char id[33] = {};
  if (DVDUDFVolumeInfo(dvd, id, sizeof id, nullptr, 0) == 0) s.volumeId = id;
  DVDClose(dvd);
  return s;
}

class VideoDiscTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    fs::create_directories(Path("discs"));
    ::setenv("LC_ALL", "en_GB.UTF-8", 1);  // PAL
  }
  void TearDown() override {
    ::unsetenv("LC_ALL");
    EngineTest::TearDown();
  }
  void Elements(int discType, const std::vector<std::string>& paths) {
    ASSERT_EQ(engine_->Initialize(), plat::S_OK);
    ASSERT_EQ(engine_->SetDiscType(discType), plat::S_OK);
    for (const auto& p : paths) ASSERT_EQ(engine_->AddElement(p.c_str()), plat::S_OK);
    // The burn's order of calls, as the controller makes them.
    int count = 0;
    ASSERT_EQ(engine_->GetElementCount(-1, &count), plat::S_OK);
    ASSERT_EQ(count, static_cast<int>(paths.size()));
    AuthoringFormatRecord format{};
    format.averageBitRate = 8000000;
    format.minimumBitRate = 4000000;
    format.maximumBitRate = 8300000;
    format.audioKbps = 224;
    format.field124 = 5;
    ASSERT_EQ(engine_->SetVideoFormat(&format, -1), plat::S_OK);
    int done = 1;
    ASSERT_EQ(engine_->IsStageDone(kAuthoringStageTranscode, &done), plat::S_OK);
    EXPECT_EQ(done, 0);
    ASSERT_EQ(engine_->StartStage(kAuthoringStageTranscode), plat::S_OK);
    int running = 1;
    ASSERT_EQ(engine_->WaitStage(kAuthoringStageTranscode, &running), plat::S_OK);
    ASSERT_EQ(engine_->FinishStage(kAuthoringStageTranscode), plat::S_OK);
    ASSERT_EQ(engine_->SetVerify(1), plat::S_OK);
    ASSERT_EQ(engine_->SetEjectAfter(1), plat::S_OK);
    ASSERT_EQ(engine_->SetSimulate(0), plat::S_OK);
  }
  std::string DvdFolder() const { return dir_ + "/home/.cache/Marivel/Work Folder/DVD Folder"; }
};

TEST_F(VideoDiscTest, ThreePhotosMakeADvdOfOneTitleWithAChapterEach) {
  const std::string iso = Path("discs/dvd.iso");
  DeclareDrive('D', iso, "cdrom", true);
  Elements(kAuthoringDiscDvd, {Fixture("photo1.jpg"), Fixture("turned.jpg"), Fixture("photo.bmp")});
  RecordingSink sink;
  ASSERT_TRUE(Burn(sink, Path("work")));
  ASSERT_EQ(sink.statuses.back().stage, kAuthoringStageDone) << std::hex << sink.statuses.back().result;

  const DvdSummary dvd = ReadDvd(iso);
  ASSERT_TRUE(dvd.ok);
  EXPECT_EQ(dvd.titles, 1);
  EXPECT_EQ(dvd.chapters, 3);
  EXPECT_NEAR(dvd.seconds, 15, 1);
  EXPECT_TRUE(fs::is_empty(Path("work")));
  // The authored VIDEO_TS is kept; burning that folder again gives a disc too.
  ASSERT_TRUE(fs::is_regular_file(DvdFolder() + "/VIDEO_TS/VIDEO_TS.IFO"));

  const std::string again = Path("discs/again.iso");
  DeclareDrive('D', again, "cdrom", true);
  ASSERT_EQ(engine_->Initialize(), plat::S_OK);
  ASSERT_EQ(engine_->SetSourceFolder(DvdFolder().c_str()), plat::S_OK);
  ASSERT_EQ(engine_->SetFileSystem(kAuthoringFsIsoUdf), plat::S_OK);
  ASSERT_EQ(engine_->SetTarget(DvdFolder().c_str()), plat::S_OK);
  ASSERT_EQ(engine_->SetVolumeLabel("Marivel Product"), plat::S_OK);
  RecordingSink sink2;
  ASSERT_EQ(engine_->SetEventSink(&sink2), plat::S_OK);
  ASSERT_EQ(engine_->BurnFolder(), plat::S_OK);
  ASSERT_TRUE(PumpUntil([&] { return sink2.Ended(); }));
  ASSERT_EQ(sink2.statuses.back().stage, kAuthoringStageDone) << std::hex << sink2.statuses.back().result;
  const DvdSummary copy = ReadDvd(again);
  EXPECT_EQ(copy.chapters, 3);
  EXPECT_EQ(copy.volumeId, "Marivel Product");
}

TEST_F(VideoDiscTest, TwoClipsMakeAVcdOrSvcdWithTwoMpegTracks) {
  struct Case {
    int discType;
    int flavour;
    const char* sheetName;
    const char* binLine;
  };
  const Case cases[] = {
      {kAuthoringDiscVcd, kAuthoringFlavourVcd, "vcd.cue", "FILE \"vcd.bin\" BINARY"},
      {kAuthoringDiscSvcd, kAuthoringFlavourSvcd, "svcd.cue", "FILE \"svcd.bin\" BINARY"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sheetName);
    const std::string sheet = Path(std::string("discs/") + c.sheetName);
    DeclareDrive('D', sheet, "cdrom", true);
    Elements(c.discType, {Fixture("clip1.avi"), Fixture("clip2.avi")});
    ASSERT_EQ(engine_->SetVideoFlavour(c.flavour), plat::S_OK);
    RecordingSink sink;
    ASSERT_TRUE(Burn(sink, Path("work")));
    ASSERT_EQ(sink.statuses.back().stage, kAuthoringStageDone) << std::hex << sink.statuses.back().result;
    const std::string text = test_support::ReadFile(sheet);
    EXPECT_NE(text.find(c.binLine), std::string::npos) << text;
    const std::string bin = fs::path(sheet).replace_extension(".bin").string();
    ASSERT_TRUE(fs::is_regular_file(bin));
    EXPECT_EQ(fs::file_size(bin) % 2352, 0u);
    CdIo_t* cd = cdio_open(sheet.c_str(), DRIVER_UNKNOWN);
    ASSERT_NE(cd, nullptr);
    // The file system track, then one MPEG track per clip.
    EXPECT_EQ(cdio_get_num_tracks(cd), 3);
    cdio_destroy(cd);
    EXPECT_TRUE(fs::is_empty(Path("work")));
  }
}

TEST_F(VideoDiscTest, PhotosShowForThePictureDurationGiven) {
  const std::string iso = Path("discs/dvd.iso");
  DeclareDrive('D', iso, "cdrom", true);
  Elements(kAuthoringDiscDvd, {Fixture("photo2.jpg"), Fixture("photo1.jpg")});
  EXPECT_EQ(engine_->SetStillSeconds(0), plat::E_INVALIDARG);
  ASSERT_EQ(engine_->SetStillSeconds(2), plat::S_OK);
  RecordingSink sink;
  ASSERT_TRUE(Burn(sink, Path("work")));
  ASSERT_EQ(sink.statuses.back().stage, kAuthoringStageDone) << std::hex << sink.statuses.back().result;
  const DvdSummary dvd = ReadDvd(iso);
  EXPECT_EQ(dvd.chapters, 2);
  EXPECT_NEAR(dvd.seconds, 4, 1);
}

TEST_F(VideoDiscTest, ATruncatedPhotoFailsTheJobAndKeepsThePreviousImage) {
  const std::string iso = Path("discs/dvd.iso");
  DeclareDrive('D', iso, "cdrom", true);
  test_support::WriteFile(iso, "previous");
  Elements(kAuthoringDiscDvd, {Fixture("photo2.jpg"), Fixture("truncated.jpg")});
  RecordingSink sink;
  ASSERT_TRUE(Burn(sink, Path("work")));
  EXPECT_EQ(sink.statuses.back().stage, kAuthoringStageFailed);
  EXPECT_EQ(sink.statuses.back().element, 1);
  EXPECT_EQ(test_support::ReadFile(iso), "previous");
  EXPECT_TRUE(fs::is_empty(Path("work")));
}

TEST_F(VideoDiscTest, CancelWhileTranscodingLeavesNoWorkFiles) {
  const std::string iso = Path("discs/dvd.iso");
  DeclareDrive('D', iso, "cdrom", true);
  test_support::WriteFile(iso, "previous");
  Elements(kAuthoringDiscDvd, {Fixture("d1_60s.avi")});
  RecordingSink sink;
  ASSERT_EQ(engine_->SetEventSink(&sink), plat::S_OK);
  ASSERT_EQ(engine_->StartBurning(Path("work").c_str()), plat::S_OK);
  ASSERT_TRUE(PumpUntil([&] {
    return sink.Ended() || (!sink.statuses.empty() && sink.statuses.back().stage == kAuthoringStageTranscoding);
  }));
  ASSERT_EQ(sink.statuses.back().stage, kAuthoringStageTranscoding) << std::hex << sink.statuses.back().result;
  // The work folder holds the job's files while it runs.
  EXPECT_FALSE(fs::is_empty(Path("work")));
  ASSERT_EQ(engine_->Cancel(plat::E_FAIL), plat::S_OK);
  ASSERT_TRUE(PumpUntil([&] { return sink.Ended(); }));
  EXPECT_EQ(sink.statuses.back().stage, kAuthoringStageCancelled);
  EXPECT_EQ(sink.statuses.back().result, plat::E_ABORT);
  EXPECT_TRUE(fs::is_empty(Path("work")));
  EXPECT_EQ(test_support::ReadFile(iso), "previous");
  // Nothing runs any more: a second cancel has nothing to do.
  EXPECT_EQ(engine_->Cancel(plat::E_FAIL), plat::S_FALSE);
}

TEST_F(VideoDiscTest, PreviewShowsTheElementFittedInTheGivenRectangle) {
  plat::WNDCLASS wc;
  wc.lpfnWndProc = &plat::DefWindowProc;
  wc.lpszClassName = "AuthoringPreviewOwner";
  plat::RegisterClass(&wc);
  plat::HWND owner = plat::CreateWindowEx(0, "AuthoringPreviewOwner", "", plat::WS_POPUP, 0, 0, 640, 480, nullptr,
                                          nullptr, nullptr, nullptr);
  ASSERT_TRUE(owner);
  plat::ShowWindow(owner, plat::SW_SHOW);
  ASSERT_EQ(engine_->Initialize(), plat::S_OK);
  ASSERT_EQ(engine_->AddElement(Fixture("photo1.jpg").c_str()), plat::S_OK);  // 4:3
  ASSERT_EQ(engine_->AddElement(Fixture("clip2.avi").c_str()), plat::S_OK);   // 16:9
  // Stored 600 x 800 with an Exif quarter turn: upright it is 4:3 and fills
  // a 4:3 rectangle; shown as stored it would have bars left and right.
  ASSERT_EQ(engine_->AddElement(Fixture("turned.jpg").c_str()), plat::S_OK);
  auto* engine = static_cast<CAuthoringEngine*>(engine_.Get());
  const std::uint32_t kBlack = 0xFF000000u;
  struct Case {
    int element;
    plat::RECT rect;
    int x, y;      // a point of the bars, or of the picture
    bool black;
  };
  const Case cases[] = {
      {0, {10, 10, 310, 160}, 5, 75, true},    // 4:3 in 2:1: bars left and right
      {1, {20, 20, 220, 170}, 100, 3, true},   // 16:9 in 4:3: bars above and below
      {2, {20, 20, 220, 170}, 3, 75, false},   // upright: no bars
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.element);
    ASSERT_EQ(engine_->SetPreviewWindow(owner, c.rect.left, c.rect.top, c.rect.right, c.rect.bottom), plat::S_OK);
    ASSERT_EQ(engine_->SetPreviewElement(c.element, 0, 1, 1), plat::S_OK);
    int shown = 1;
    ASSERT_EQ(engine_->IsPreviewShown(&shown), plat::S_OK);
    if (!shown) {
      ASSERT_EQ(engine_->ShowPreview(1), plat::S_OK);
    }
    ASSERT_EQ(engine_->PlayPreview(), plat::S_OK);
    int playing = 0;
    ASSERT_EQ(engine_->IsPreviewPlaying(&playing), plat::S_OK);
    EXPECT_EQ(playing, 1);
    const auto& picture = engine->Preview().picture();
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width(), c.rect.right - c.rect.left);
    EXPECT_EQ(picture->height(), c.rect.bottom - c.rect.top);
    EXPECT_EQ(picture->pixel(c.x, c.y) == kBlack, c.black);
    EXPECT_NE(picture->pixel(picture->width() / 2, picture->height() / 2), kBlack);
    EXPECT_TRUE(plat::IsWindowVisible(engine->Preview().hwnd()));
    EXPECT_EQ(plat::GetParent(engine->Preview().hwnd()), owner);
  }
  EXPECT_EQ(engine_->SetPreviewElement(3, 0, 1, 1), plat::E_INVALIDARG);
  ASSERT_EQ(engine_->StopPreview(0), plat::S_OK);
  int playing = 1;
  engine_->IsPreviewPlaying(&playing);
  EXPECT_EQ(playing, 0);
  EXPECT_FALSE(engine->Preview().picture());
  engine_.Reset();  // the preview window goes with the engine, before its owner
  plat::DestroyWindow(owner);
}

TEST(Letterbox, FitsThePictureIntoTheFourByThreeFrame) {
  const authoring::MpegTarget dvd = authoring::TargetFor(authoring::DiscKind::Dvd, true, AuthoringFormatRecord{});
  struct Case {
    int width, height, sarNum, sarDen;
    authoring::PlaceRect want;
  };
  const Case cases[] = {
      {1600, 1200, 1, 1, {0, 0, 720, 576}},    // 4:3 fills the frame
      {1920, 1080, 1, 1, {0, 72, 720, 432}},   // 16:9: bars above and below
      {600, 800, 1, 1, {156, 0, 406, 576}},    // upright: bars left and right
      {720, 576, 16, 15, {0, 0, 720, 576}},    // a PAL 4:3 source fills it
  };
  for (const Case& c : cases) {
    const authoring::PlaceRect r = authoring::Letterbox(c.width, c.height, c.sarNum, c.sarDen, dvd);
    EXPECT_EQ(r.x, c.want.x) << c.width << "x" << c.height;
    EXPECT_EQ(r.y, c.want.y) << c.width << "x" << c.height;
    EXPECT_EQ(r.width, c.want.width) << c.width << "x" << c.height;
    EXPECT_EQ(r.height, c.want.height) << c.width << "x" << c.height;
  }
}

TEST(MpegTarget, DiscKindsStandardsAndFormatRecords) {
  AuthoringFormatRecord half{};
  half.averageBitRate = 1750000;
  half.width = 352;
  half.height = 240;
  AuthoringFormatRecord tooFast{};
  tooFast.averageBitRate = 24000000;
  struct Case {
    authoring::DiscKind kind;
    bool pal;
    AuthoringFormatRecord format;
    int width, height, fpsNum;
    std::int64_t bitRate;
    const char* muxer;
  };
  const Case cases[] = {
      {authoring::DiscKind::Dvd, true, {}, 720, 576, 25, 6000000, "dvd"},
      {authoring::DiscKind::Dvd, false, {}, 720, 480, 30000, 6000000, "dvd"},
      {authoring::DiscKind::Dvd, true, half, 352, 288, 25, 1750000, "dvd"},  // half height of the standard
      {authoring::DiscKind::Dvd, true, tooFast, 720, 576, 25, 9000000, "dvd"},
      {authoring::DiscKind::Svcd, false, {}, 480, 480, 30000, 2040000, "svcd"},
      {authoring::DiscKind::Vcd, true, tooFast, 352, 288, 25, 1150000, "vcd"},  // a VCD's rate is fixed
  };
  for (const Case& c : cases) {
    const authoring::MpegTarget t = authoring::TargetFor(c.kind, c.pal, c.format);
    EXPECT_EQ(t.width, c.width) << c.muxer << c.pal;
    EXPECT_EQ(t.height, c.height) << c.muxer << c.pal;
    EXPECT_EQ(t.fpsNum, c.fpsNum) << c.muxer << c.pal;
    EXPECT_EQ(t.videoBitRate, c.bitRate) << c.muxer << c.pal;
    EXPECT_STREQ(t.muxer, c.muxer);
  }
}

TEST(JpegLooksComplete, NeedsTheEndMarkerAfterTheLastScan) {
  const std::string whole = "\xFF\xD8\xFF\xDA" "data\xFF\xD9";
  EXPECT_TRUE(authoring::JpegLooksComplete(whole));
  EXPECT_TRUE(authoring::JpegLooksComplete(whole + "trailing bytes"));
  EXPECT_FALSE(authoring::JpegLooksComplete(whole.substr(0, 8)));
  EXPECT_FALSE(authoring::JpegLooksComplete("\xFF\xD8\xFF\xE1 no scan \xFF\xD9"));
  EXPECT_TRUE(authoring::JpegLooksComplete("BM not a jpeg"));
}

}  // namespace
}  // namespace authoring_test
