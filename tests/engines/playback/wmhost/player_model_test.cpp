// Playlist sequencing, playlists and media items: the pure logic under the player.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "engines/playback/wmhost/player/media_player.h"
#include "engines/playback/wmhost/player/play_sequence.h"
#include "engines/playback/wmhost/player/playlist.h"

namespace {

using wmhost::MediaItem;
using wmhost::PlaySequence;
using wmhost::Playlist;

TEST(PlaySequence, InOrderStopsAtTheEndUnlessLooping) {
  struct Case {
    bool loop;
    std::size_t current;
    std::optional<std::size_t> next;
    std::optional<std::size_t> previous;
  };
  const Case cases[] = {
      {false, 0, 1, std::nullopt}, {false, 1, 2, 0}, {false, 2, std::nullopt, 1},
      {true, 2, 0, 1},             {true, 0, 1, 2},
  };
  for (const Case& c : cases) {
    PlaySequence sequence(7);
    sequence.setLoop(c.loop);
    EXPECT_EQ(sequence.first(3), 0u);
    EXPECT_EQ(sequence.next(3, c.current), c.next) << "loop " << c.loop << " current " << c.current;
    EXPECT_EQ(sequence.previous(3, c.current), c.previous) << "loop " << c.loop << " current " << c.current;
  }
  PlaySequence empty(1);
  EXPECT_EQ(empty.next(0, 0), std::nullopt);
}

TEST(PlaySequence, ShufflePlaysEveryItemOnceARoundAndStartsANewRoundWhenLooping) {
  PlaySequence sequence(12345);
  sequence.setShuffle(true);
  constexpr std::size_t kCount = 9;
  std::size_t current = sequence.first(kCount);
  std::set<std::size_t> heard{current};
  for (std::size_t i = 1; i < kCount; ++i) {
    auto next = sequence.next(kCount, current);
    ASSERT_TRUE(next.has_value());
    current = *next;
    heard.insert(current);
  }
  EXPECT_EQ(heard.size(), kCount);
  EXPECT_EQ(sequence.next(kCount, current), std::nullopt);  // end of the round
  sequence.setLoop(true);
  const auto again = sequence.next(kCount, current);
  ASSERT_TRUE(again.has_value());
  EXPECT_NE(*again, current);  // a new round never starts with the item just heard
}

TEST(Playlist, SortsByTitleWithoutCaseAndByAcquisitionDate) {
  Playlist list;
  const std::pair<const char*, const char*> items[] = {
      {"beta", "2024-05-01 10:00:00"}, {"Alpha", "2024-06-01 10:00:00"}, {"gamma", "2023-01-01 10:00:00"}};
  for (const auto& [name, acquired] : items) {
    auto item = std::make_shared<MediaItem>(std::string("/music/") + name + ".mp3");
    item->setItemInfo("Name", name);
    item->setItemInfo("AcquisitionTime", acquired);
    list.appendItem(item);
  }
  list.setItemInfo("SortAttribute", "Title");
  EXPECT_EQ(list.item(0)->name(), "Alpha");
  EXPECT_EQ(list.item(2)->name(), "gamma");
  list.setItemInfo("SortAttribute", "AcquisitionTime");
  EXPECT_EQ(list.item(0)->name(), "gamma");
  EXPECT_EQ(list.item(2)->name(), "Alpha");
  EXPECT_FALSE(list.removeItem(3));
  list.insertItem(99, std::make_shared<MediaItem>("/music/last.mp3"));
  EXPECT_EQ(list.item(3)->sourceUrl(), "/music/last.mp3");
}

TEST(MediaItem, AttributesEnumerateInOrderAndAnswerByAnyCase) {
  MediaItem item("/music/a.mp3");
  item.setItemInfo("Name", "Song");
  item.setItemInfo("Artist", "Band");
  item.setDuration(215.5);
  EXPECT_EQ(item.getItemInfo("sourceurl"), "/music/a.mp3");
  EXPECT_EQ(item.getItemInfo("Title"), "Song");
  EXPECT_EQ(item.getItemInfo("Author"), "Band");
  EXPECT_EQ(item.getItemInfo("Duration"), "215.5");
  EXPECT_EQ(item.getItemInfo("NoSuchThing"), "");
  ASSERT_EQ(item.attributeCount(), 12u);
  EXPECT_EQ(item.attributeName(0), "SourceURL");
  EXPECT_EQ(item.attributeName(11), "AcquisitionTime");
  EXPECT_EQ(item.attributeName(12), "");
  EXPECT_EQ(item.durationString(), "03:36");
  item.setDuration(3725);
  EXPECT_EQ(item.durationString(), "1:02:05");
  item.setDuration(-1);
  EXPECT_EQ(item.durationString(), "");
}

TEST(CdTrackUrl, RoundTripsAndRefusesOtherText) {
  EXPECT_EQ(wmhost::CdTrackUrl(1, 4), "wmpcd://1/4");
  int drive = -1, track = -1;
  EXPECT_TRUE(wmhost::ParseCdTrackUrl("wmpcd://0/12", &drive, &track));
  EXPECT_EQ(drive, 0);
  EXPECT_EQ(track, 12);
  for (const char* bad : {"wmpcd://0", "wmpcd://a/1", "wmpcd://0/1x", "wmpcd://-1/2", "file:///x.mp3"}) {
    EXPECT_FALSE(wmhost::ParseCdTrackUrl(bad, &drive, &track)) << bad;
  }
}

}  // namespace
