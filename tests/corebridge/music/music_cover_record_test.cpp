// The Music controller's album pictures (the player's art file or the
// folder's own picture) and the capture page's recording, stopped through
// the ripper of the recording format.
#include <stdlib.h>

#include <cstdint>
#include <fstream>

#include "corebridge/modules/music_album_art.h"
#include "platform/media/audio_inputs.h"
#include "platform/registry/registry.h"
#include "tests/corebridge/music/music_test_support.h"

namespace music_test {
namespace {

void Touch(const fs::path& path) { std::ofstream(path) << "picture"; }

// A folder of its own for one case, gone at the end.
class Folder {
 public:
  Folder() {
    std::string pattern = (fs::temp_directory_path() / "marivel-cover-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~Folder() {
    std::error_code error;
    fs::remove_all(path_, error);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// The little-endian 32-bit value at `offset` of the file.
std::uint32_t ReadU32(const std::string& file, std::streamoff offset) {
  std::ifstream in(file, std::ios::binary);
  in.seekg(offset);
  unsigned char b[4] = {};
  in.read(reinterpret_cast<char*>(b), 4);
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

TEST(MusicAlbumArt, ThePlayersFileThenTheFolderPictureByName) {
  struct Case {
    const char* name;
    std::vector<std::string> files;  // in the album's folder
    const char* expected;            // file name, or "" for none
  } const cases[] = {
      {"the player's own file first", {"AlbumArt_x_Large.jpg", "folder.jpg"}, "AlbumArt_x_Large.jpg"},
      {"folder before cover", {"cover.jpg", "folder.png"}, "folder.png"},
      {"any case of name and ending", {"Cover.JPEG"}, "Cover.JPEG"},
      {"front, then album art", {"AlbumArtSmall.jpg", "front.bmp"}, "front.bmp"},
      {"equal names: the first in byte order", {"cover.png", "Cover.jpg"}, "Cover.jpg"},
      {"not a picture", {"folder.txt", "cover.jpg.part", "notes.jpg"}, ""},
      {"an empty folder", {}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Folder dir;
    for (const std::string& file : c.files) Touch(dir.path() / file);
    const std::string found = music::FindAlbumArtFile((dir.path() / "AlbumArt_x_Large.jpg").string());
    EXPECT_EQ(found, *c.expected ? (dir.path() / c.expected).string() : std::string());
  }
  // A folder named like a picture is no picture; a missing folder has none.
  Folder dir;
  fs::create_directories(dir.path() / "folder.jpg");
  EXPECT_EQ(music::FindAlbumArtFile((dir.path() / "AlbumArt_x_Large.jpg").string()), "");
  EXPECT_EQ(music::FindAlbumArtFile((dir.path() / "gone" / "AlbumArt_x_Large.jpg").string()), "");
  EXPECT_EQ(music::FindAlbumArtFile(""), "");
}

TEST_F(MusicTest, TheHighlightedAlbumGivesItsFoldersPictureOrNone) {
  Enter();
  AddSong("Morning", "Blue Hours", "Ana Lind");
  const fs::path red = fs::path(music_) / "red";
  fs::create_directories(red);
  const std::string storm = (red / "Storm.mp3").string();
  ASSERT_TRUE(wmhost_test::WriteTone(storm, wmhost_test::AudioFormat::Mp3, 2.0));
  wmhost_test::TagValues tags;
  tags.title = "Storm";
  tags.album = "Red Sky";
  tags.artist = "Ola Berg";
  ASSERT_TRUE(wmhost_test::WriteTags(storm, tags));
  ASSERT_EQ(Player().AddFileToMediaLibrary(Bstr(storm).get()), S_OK);
  Touch(red / "Cover.jpg");
  ASSERT_EQ(Act("Music Media Library"), S_OK);
  ASSERT_EQ(Page(), 9);
  int blue = -1, redSky = -1;
  for (std::size_t i = 0; i < Music().m_vecAlbums.size(); ++i) {
    if (Music().m_vecAlbums[i].strTexts[0] == "Blue Hours") blue = static_cast<int>(i);
    if (Music().m_vecAlbums[i].strTexts[0] == "Red Sky") redSky = static_cast<int>(i);
  }
  ASSERT_GE(blue, 0);
  ASSERT_GE(redSky, 0);
  ASSERT_EQ(Act("Music Album Art Path", redSky), S_OK);
  EXPECT_EQ(Music().m_strAlbumArtPath, (red / "Cover.jpg").string());
  // An album without a picture leaves none, not the last album's.
  ASSERT_EQ(Act("Music Album Art Path", blue), S_OK);
  EXPECT_EQ(Music().m_strAlbumArtPath, "");
  EXPECT_EQ(Act("Music Album Art Path", 7), E_FAIL);

  // A browsed file the library does not know: its folder's picture, though
  // the player has no album for it.
  const fs::path loose = fs::path(music_) / "loose";
  fs::create_directories(loose);
  Touch(loose / "folder.png");
  MusicItem file;
  file.strPath = (loose / "untagged.mp3").string();
  Music().m_vecPlayList = {file};
  MusicRecord track;
  track.strTexts[3] = file.strPath;
  Music().m_vecLibraryTracks = {track};
  Music().PushMusicPage(6);
  Act("Music Album Art Path", 0);
  EXPECT_EQ(Music().m_strAlbumArtPath, (loose / "folder.png").string());
}

// The settings' mixer rows: the recording devices and the recording lines of
// the selected one; the page's Left and Right come without a step.
TEST_F(MusicTest, MixerDeviceAndSourceStepThroughTheRecordingLines) {
  Enter();
  ASSERT_EQ(Music().m_arrMixerDevices, (std::vector<std::string>{"Marivel Audio"}));
  EXPECT_EQ(Music().m_nMixerDeviceIndex, 0);
  EXPECT_EQ(Music().m_arrMixerSources, (std::vector<std::string>{"Line In", "Microphone"}));
  EXPECT_EQ(Music().m_nMixerSourceIndex, 0);
  ASSERT_EQ(Act("Music Mixer Source Right"), S_OK);
  EXPECT_EQ(Music().m_nMixerSourceIndex, 1);
  ASSERT_EQ(Act("Music Mixer Source Right"), S_OK);
  EXPECT_EQ(Music().m_nMixerSourceIndex, 0);
  ASSERT_EQ(Act("Music Mixer Source Left"), S_OK);
  EXPECT_EQ(Music().m_nMixerSourceIndex, 1);
  // A device step (one device: the same again) reads its lines afresh.
  ASSERT_EQ(Act("Music Mixer Device Left"), S_OK);
  EXPECT_EQ(Music().m_nMixerDeviceIndex, 0);
  EXPECT_EQ(Music().m_nMixerSourceIndex, 0);
  EXPECT_EQ(Music().m_arrMixerSources.size(), 2u);
}

// The capture page's recording: a virtual tone input recorded by the core's
// ripper, as a recording on that page runs.
class MusicRecordTest : public MusicTest {
 protected:
  void SetUp() override {
    MusicTest::SetUp();
    HKEY key = nullptr;
    const std::string path = std::string(plat::media::kVirtualAudioInputsKey) + "\\Line Tone";
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD hertz = 800;
    RegSetValueExA(key, "Tone", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&hertz), sizeof hertz);
    RegCloseKey(key);
    Enter();
  }
  // Starts recording the tone into `file` on the ripper of the recording
  // format and lets it run a while.
  void StartRecording(const std::string& file) {
    Music().PushMusicPage(8);
    if (Music().m_nRecordingFormat == 2) {
      auto ripper = system_->CoreService<ICdToWma>();
      ASSERT_TRUE(ripper);
      ASSERT_EQ(ripper->Initialize(), S_OK);
      ASSERT_EQ(ripper->FindCaptureFilter("Line Tone"), S_OK);
      ASSERT_EQ(ripper->BuildRipGraph(file.c_str(), 128040, 0), S_OK);
      ASSERT_EQ(ripper->Run(), S_OK);
    } else {
      auto ripper = system_->CoreService<ICdToMp3>();
      ASSERT_TRUE(ripper);
      ASSERT_EQ(ripper->Initialize(), S_OK);
      ASSERT_EQ(ripper->FindCaptureFilter("Line Tone"), S_OK);
      ASSERT_EQ(ripper->BuildRipGraph(file.c_str(), 0), S_OK);
      ASSERT_EQ(ripper->Run(), S_OK);
    }
    PumpUntil([] { return false; }, 700ms);
  }
  // Whether the ripper of the format has been let go: it builds nothing
  // until initialised again.
  bool Released(int format) {
    if (format == 2) return FAILED(system_->CoreService<ICdToWma>()->FindCaptureFilter("Line Tone"));
    return FAILED(system_->CoreService<ICdToMp3>()->FindCaptureFilter("Line Tone"));
  }
};

TEST_F(MusicRecordTest, StopOnTheCapturePageEndsTheRecordingOfItsFormat) {
  struct Case {
    int format;
    const char* file;
  } const cases[] = {{1, "line.mp3"}, {0, "line.wav"}, {2, "line.wma"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    Music().m_nRecordingFormat = c.format;
    const std::string file = music_ + "/" + c.file;
    ASSERT_NO_FATAL_FAILURE(StartRecording(file));
    page_.calls.clear();
    ASSERT_EQ(Act("Music Record Stop"), S_OK);
    EXPECT_EQ(Page(), 8);
    EXPECT_TRUE(Released(c.format));
    EXPECT_TRUE(page_.Saw("Redraw 1"));
    // The file holds what was heard, and a WAV file's header was completed
    // when the recording ended.
    ASSERT_TRUE(fs::exists(file));
    EXPECT_GT(fs::file_size(file), 2000u);
    if (c.format == 0) {
      EXPECT_EQ(ReadU32(file, 4) + 8, fs::file_size(file));
    }
    int page = 0;
    Music().PopMusicPage(page);
  }
}

TEST_F(MusicRecordTest, LeavingTheCapturePageEndsTheRecording) {
  const std::string file = music_ + "/left.mp3";
  ASSERT_NO_FATAL_FAILURE(StartRecording(file));
  ASSERT_EQ(Act("Music Back"), S_OK);
  EXPECT_EQ(Page(), 4);
  EXPECT_TRUE(Released(1));
  ASSERT_TRUE(fs::exists(file));
  EXPECT_GT(fs::file_size(file), 2000u);
}

}  // namespace
}  // namespace music_test
