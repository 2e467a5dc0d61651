// The music library on generated, tagged WAV and MP3 files, and playlist files.
#include <gtest/gtest.h>

#include <filesystem>

#include "engines/playback/wmhost/library/media_library.h"
#include "engines/playback/wmhost/library/playlist_file.h"
#include "tests/engines/playback/wmhost/media_fixtures.h"

namespace {

namespace fs = std::filesystem;
using wmhost::MediaLibrary;
using wmhost_test::AudioFormat;
using wmhost_test::TagValues;
using wmhost_test::TempFolder;

class Library : public testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    library_ = MediaLibrary::Open(folder_ / "db/MediaLibrary.db", &error);
    ASSERT_TRUE(library_) << error;
  }
  std::string Tone(const std::string& name, AudioFormat format, const TagValues& tags, double seconds = 0.5) {
    const std::string path = folder_ / name;
    EXPECT_TRUE(wmhost_test::WriteTone(path, format, seconds)) << path;
    EXPECT_TRUE(wmhost_test::WriteTags(path, tags)) << path;
    return path;
  }

  TempFolder folder_;
  std::unique_ptr<MediaLibrary> library_;
};

TEST_F(Library, ReadsTagsAndDurationsOfWavAndMp3Files) {
  const std::string wav = Tone("one.wav", AudioFormat::Wav, {"First", "Band", "Album A", "Rock", 1999, 1}, 1.0);
  const std::string mp3 = Tone("two.mp3", AudioFormat::Mp3, {"Second", "Band", "Album A", "Rock", 1999, 2}, 1.0);
  const std::string untagged = folder_ / "three.mp3";
  ASSERT_TRUE(wmhost_test::WriteTone(untagged, AudioFormat::Mp3, 0.5));
  for (const auto& path : {wav, mp3, untagged}) {
    std::string error;
    EXPECT_TRUE(library_->addFile(path, &error)) << error;
  }
  EXPECT_EQ(library_->mediaCount(), 3u);

  auto first = library_->item(wav);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->getItemInfo("Name"), "First");
  EXPECT_EQ(first->getItemInfo("Artist"), "Band");
  EXPECT_EQ(first->getItemInfo("Album"), "Album A");
  EXPECT_EQ(first->getItemInfo("AlbumID"), "Album A");
  EXPECT_EQ(first->getItemInfo("Genre"), "Rock");
  EXPECT_EQ(first->getItemInfo("ReleaseDate"), "1999");
  EXPECT_EQ(first->getItemInfo("MediaType"), "audio");
  EXPECT_NEAR(first->duration(), 1.0, 0.05);
  EXPECT_FALSE(first->getItemInfo("AcquisitionTime").empty());
  auto second = library_->item(mp3);
  ASSERT_TRUE(second);
  EXPECT_NEAR(second->duration(), 1.0, 0.1);
  // One collection id per album, the same on every run.
  EXPECT_EQ(first->getItemInfo("WM/WMCollectionID"), second->getItemInfo("WM/WMCollectionID"));
  EXPECT_EQ(first->getItemInfo("WM/WMCollectionID"), wmhost::CollectionIdFor("Album A", "Band"));
  EXPECT_NE(wmhost::CollectionIdFor("Album A", "Band"), wmhost::CollectionIdFor("Album B", "Band"));
  EXPECT_EQ(wmhost::CollectionIdFor("Album A", "Band").size(), 38u);
  // A file without a title is named after the file.
  EXPECT_EQ(library_->item(untagged)->name(), "three");
}

TEST_F(Library, QueriesByAttributeAndListsDistinctValues) {
  Tone("a2.mp3", AudioFormat::Mp3, {"A2", "Zed", "Alpha", "Jazz", 2001, 2});
  Tone("a1.mp3", AudioFormat::Mp3, {"A1", "Zed", "Alpha", "Jazz", 2001, 1});
  Tone("b1.wav", AudioFormat::Wav, {"B1", "amy", "Beta", "Pop", 2002, 1});
  for (const auto& entry : fs::directory_iterator(folder_.path())) {
    if (entry.is_regular_file()) {
      ASSERT_TRUE(library_->addFile(entry.path().string()));
    }
  }
  auto album = library_->getByAttribute("AlbumID", "Alpha");
  ASSERT_EQ(album->count(), 2u);
  EXPECT_EQ(album->item(0)->name(), "A1");  // track order
  EXPECT_EQ(library_->getByAttribute("Author", "amy")->count(), 1u);
  EXPECT_EQ(library_->getByAttribute("MediaType", "audio")->count(), 3u);
  EXPECT_EQ(library_->getByAttribute("Bogus'; DROP TABLE media; --", "x")->count(), 0u);
  EXPECT_EQ(library_->attributeStrings("Album", "audio"), (std::vector<std::string>{"Alpha", "Beta"}));
  EXPECT_EQ(library_->attributeStrings("Artist", "audio"), (std::vector<std::string>{"amy", "Zed"}));
  EXPECT_TRUE(library_->attributeStrings("Genre", "video").empty());
}

TEST_F(Library, RefusesWhatIsNoAudioAndKeepsUnchangedFiles) {
  std::string error;
  EXPECT_FALSE(library_->addFile(folder_ / "missing.mp3", &error));
  EXPECT_FALSE(error.empty());
  wmhost_test::WriteBytes(folder_ / "noise.mp3", 200000);
  wmhost_test::WriteText(folder_ / "notes.txt", "hello");
  EXPECT_FALSE(library_->addFile(folder_ / "notes.txt", &error));
  const std::string song = Tone("song.wav", AudioFormat::Wav, {"Song", "X", "Y", "Z", 0, 0});
  ASSERT_TRUE(library_->addFile(song));
  const std::string acquired = library_->item(song)->getItemInfo("AcquisitionTime");
  ASSERT_TRUE(library_->addFile(song));
  EXPECT_FALSE(library_->addFile(folder_ / "noise.mp3", &error));
  EXPECT_EQ(library_->mediaCount(), 1u);
  EXPECT_EQ(library_->item(song)->getItemInfo("AcquisitionTime"), acquired);
}

TEST_F(Library, SecondConnectionSeesTheFirstOnesWork) {
  const std::string song = Tone("song.mp3", AudioFormat::Mp3, {"Song", "X", "Y", "Z", 0, 0});
  std::string error;
  auto worker = MediaLibrary::Open(folder_ / "db/MediaLibrary.db", &error);
  ASSERT_TRUE(worker) << error;
  ASSERT_TRUE(worker->addFile(song));
  EXPECT_TRUE(library_->item(song));
  EXPECT_TRUE(fs::exists(folder_ / "db/MediaLibrary.db-wal"));
}

TEST_F(Library, StaticAndAutoPlaylists) {
  const std::string a = Tone("a.mp3", AudioFormat::Mp3, {"A", "X", "One", "Pop", 0, 1});
  const std::string b = Tone("b.mp3", AudioFormat::Mp3, {"B", "X", "Two", "Rock", 0, 1});
  ASSERT_TRUE(library_->addFile(a));
  ASSERT_TRUE(library_->addFile(b));
  const auto idB = library_->item(b)->libraryId();
  const auto idA = library_->item(a)->libraryId();
  const auto mine = library_->createStaticPlaylist("Mine", {idB, idA});
  const auto rock = library_->createAutoPlaylist("Rock songs", "Genre", "Rock");
  EXPECT_EQ(library_->createAutoPlaylist("Bad", "NoSuchAttribute", "x"), 0);
  ASSERT_NE(mine, 0);
  ASSERT_NE(rock, 0);
  const auto all = library_->playlists();
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0].name, "Mine");
  EXPECT_FALSE(all[0].isAuto);
  EXPECT_TRUE(all[1].isAuto);
  auto list = library_->playlist(mine);
  ASSERT_EQ(list->count(), 2u);
  EXPECT_EQ(list->item(0)->sourceUrl(), b);
  EXPECT_EQ(list->getItemInfo("PlaylistType"), "static");
  auto autoList = library_->playlist(rock);
  ASSERT_EQ(autoList->count(), 1u);
  EXPECT_EQ(autoList->item(0)->sourceUrl(), b);
  EXPECT_EQ(autoList->getItemInfo("PlaylistType"), "auto");
  EXPECT_EQ(library_->playlist(9999), nullptr);
}

TEST_F(Library, ImportsPlaylistFilesWithTheAudioFilesTheyName) {
  const std::string a = Tone("a.mp3", AudioFormat::Mp3, {"A", "X", "One", "Pop", 0, 1});
  fs::create_directories(folder_ / "sub");
  const std::string b = Tone("sub/b.wav", AudioFormat::Wav, {"B", "X", "One", "Pop", 0, 2});
  wmhost_test::WriteText(folder_ / "mix.m3u", "#EXTM3U\r\n#EXTINF:1,A\r\na.mp3\r\nsub\\b.wav\r\nmissing.mp3\r\n");
  std::string error;
  ASSERT_TRUE(library_->addFile(folder_ / "mix.m3u", &error)) << error;
  auto all = library_->playlists();
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].name, "mix");
  auto list = library_->playlist(all[0].id);
  ASSERT_EQ(list->count(), 2u);
  EXPECT_EQ(list->item(0)->sourceUrl(), a);
  EXPECT_EQ(list->item(1)->sourceUrl(), b);
  // Importing again replaces the playlist's items, it adds no second playlist.
  wmhost_test::WriteText(folder_ / "mix.m3u", "sub/b.wav\n");
  ASSERT_TRUE(library_->addFile(folder_ / "mix.m3u"));
  all = library_->playlists();
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(library_->playlist(all[0].id)->count(), 1u);
}

TEST(PlaylistFile, ReadsEveryFormatAndResolvesEntries) {
  TempFolder folder;
  wmhost_test::WriteText(folder / "list.wpl",
                         "<?wpl version=\"1.0\"?><smil><head><title>Evening</title></head><body><seq>"
                         "<media src=\"a.mp3\"/><media src=\"/abs/b.wma\"/><media src=\"file:///x/c%20d.mp3\"/>"
                         "</seq></body></smil>");
  auto wpl = wmhost::ReadPlaylistFile(folder / "list.wpl");
  ASSERT_TRUE(wpl.ok) << wpl.error;
  EXPECT_EQ(wpl.title, "Evening");
  EXPECT_EQ(wpl.entries, (std::vector<std::string>{folder / "a.mp3", "/abs/b.wma", "/x/c d.mp3"}));

  // ASX names are not case-sensitive; an entry plays its first reference.
  wmhost_test::WriteText(folder / "radio.ASX",
                         "<ASX version=\"3.0\"><Title>Radio</Title><Entry><REF HREF=\"http://example.org/s\"/>"
                         "<ref href=\"http://example.org/backup\"/></Entry><entry><ref href=\"..\\up.wma\"/></entry></ASX>");
  auto asx = wmhost::ReadPlaylistFile(folder / "radio.ASX");
  ASSERT_TRUE(asx.ok) << asx.error;
  EXPECT_EQ(asx.title, "Radio");
  EXPECT_EQ(asx.entries,
            (std::vector<std::string>{"http://example.org/s", fs::path(folder.path()).parent_path() / "up.wma"}));

  wmhost_test::WriteText(folder / "empty.m3u", "");
  auto empty = wmhost::ReadPlaylistFile(folder / "empty.m3u");
  EXPECT_TRUE(empty.ok);
  EXPECT_TRUE(empty.entries.empty());
  EXPECT_EQ(empty.title, "empty");
}

TEST(PlaylistFile, RefusesMalformedOversizedAndForeignFiles) {
  TempFolder folder;
  struct Case {
    const char* name;
    std::string text;
  };
  const Case cases[] = {
      {"broken.wax", "<asx><entry><ref href=\"a.wma\"></entry>"},
      {"wrong.wpl", "<asx><entry><ref href=\"a.wma\"/></entry></asx>"},
      {"big.m3u", std::string(wmhost::kMaxPlaylistFileBytes + 1, '#')},
      {"notes.txt", "a.mp3\n"},
  };
  for (const Case& c : cases) {
    wmhost_test::WriteText(folder / c.name, c.text);
    auto result = wmhost::ReadPlaylistFile(folder / c.name);
    EXPECT_FALSE(result.ok) << c.name;
    EXPECT_FALSE(result.error.empty()) << c.name;
    EXPECT_TRUE(result.entries.empty()) << c.name;
  }
  EXPECT_FALSE(wmhost::ReadPlaylistFile(folder / "missing.m3u").ok);
}

}  // namespace
