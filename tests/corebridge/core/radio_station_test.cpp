// Station and preset arithmetic of the radio section: adding, deleting,
// presets without gaps, moving, favourites, the four sort orders, stepping
// with wrap-around and skips, and the page stack.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "corebridge/core/radio_config.h"

namespace {

std::vector<int> Presets(const std::vector<RadioStation>& list) {
  std::vector<int> out;
  for (const auto& s : list) out.push_back(s.nPresetId);
  return out;
}

std::vector<int> Frequencies(const std::vector<RadioStation>& list) {
  std::vector<int> out;
  for (const auto& s : list) out.push_back(s.nFrequency);
  return out;
}

// Five FM stations 1..5 (frequency = 100 + i), presets 0..4 in list order.
class RadioStationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 5; ++i) {
      radio_.AddRadioStation(100 + i, std::string(1, static_cast<char>('A' + i)), 1, RADIO_BAND_FM);
      radio_.m_fmStations.back().nPresetId = i;
    }
  }
  CRadioConfig radio_{nullptr};
};

TEST_F(RadioStationTest, AddingReplacesTheStationOfTheSameFrequency) {
  ASSERT_EQ(radio_.AddRadioStation(101, "New", 0, RADIO_BAND_FM), 1);
  EXPECT_EQ(Frequencies(radio_.m_fmStations), (std::vector<int>{100, 102, 103, 104, 101}));
  EXPECT_EQ(radio_.m_fmStations.back(), (RadioStation{"New", 101, 0, -1}));
  // The replaced station was preset 1: the later presets closed the gap.
  EXPECT_EQ(Presets(radio_.m_fmStations), (std::vector<int>{0, 1, 2, 3, -1}));
  EXPECT_EQ(radio_.GetRadioStationCount(RADIO_BAND_AM), 0);
}

TEST_F(RadioStationTest, AddingCutsLongNamesWithoutSplittingACharacter) {
  const std::string name = std::string(62, 'a') + "\xC3\xA9" + "tail";  // the 2-byte letter crosses byte 63
  radio_.AddRadioStation(200, name, 1, RADIO_BAND_AM);
  EXPECT_EQ(radio_.m_amStations[0].strName, std::string(62, 'a'));
}

TEST_F(RadioStationTest, DeletingAPresetRenumbersWithoutGaps) {
  ASSERT_EQ(radio_.DeleteRadioStation(2, RADIO_BAND_FM), 1);
  EXPECT_EQ(Presets(radio_.m_fmStations), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(Frequencies(radio_.m_fmStations), (std::vector<int>{100, 101, 103, 104}));
  EXPECT_EQ(radio_.DeleteRadioStation(4, RADIO_BAND_FM), 0);
  EXPECT_EQ(radio_.DeleteRadioStation(-1, RADIO_BAND_FM), 0);

  // Taking the preset away keeps the station.
  ASSERT_EQ(radio_.DeleteRadioStationByKey(1, RADIO_BAND_FM), 1);
  EXPECT_EQ(Presets(radio_.m_fmStations), (std::vector<int>{0, -1, 1, 2}));
  EXPECT_EQ(radio_.DeleteRadioStationByKey(3, RADIO_BAND_FM), 0);
  EXPECT_EQ(radio_.CountRadioFavorites(RADIO_BAND_FM), 3);
}

TEST_F(RadioStationTest, MovingAPresetShiftsThoseInBetween) {
  struct Case {
    int from, to, result;
    std::vector<int> presets;
  };
  const std::vector<Case> cases{
      {3, 1, 1, {0, 2, 3, 1, 4}},  // down: 1..2 go up by one
      {1, 3, 1, {0, 3, 1, 2, 4}},  // up: 2..3 go down by one
      {0, 4, 1, {4, 0, 1, 2, 3}},
      {2, 2, 0, {0, 1, 2, 3, 4}},  // same place
      {5, 1, 0, {0, 1, 2, 3, 4}},  // no such preset
      {1, -1, 0, {0, 1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to));
    CRadioConfig radio(nullptr);
    radio.m_fmStations = radio_.m_fmStations;
    EXPECT_EQ(radio.MoveRadioStation(c.from, c.to, RADIO_BAND_FM), c.result);
    EXPECT_EQ(Presets(radio.m_fmStations), c.presets);
  }
}

TEST_F(RadioStationTest, Favourites) {
  radio_.m_fmStations[0].nPresetId = -1;
  radio_.m_fmStations[1].nPresetId = 2;
  radio_.m_fmStations[2].nPresetId = 0;
  radio_.m_fmStations[3].nPresetId = 1;
  radio_.m_fmStations[4].nPresetId = -1;
  RadioStation out;
  EXPECT_EQ(radio_.CountRadioFavorites(RADIO_BAND_FM), 3);
  EXPECT_EQ(radio_.FindFavoriteStation(1, out, RADIO_BAND_FM), 3);
  EXPECT_EQ(out.nFrequency, 103);
  EXPECT_EQ(radio_.NextFavoriteStation(1, out, RADIO_BAND_FM), 1);
  EXPECT_EQ(radio_.PrevFavoriteStation(1, out, RADIO_BAND_FM), 2);
  EXPECT_EQ(radio_.NextFavoriteStation(2, out, RADIO_BAND_FM), -1);
  EXPECT_EQ(radio_.PrevFavoriteStation(0, out, RADIO_BAND_FM), -1);  // -1 is no preset
  EXPECT_EQ(radio_.FindFavoriteStation(-1, out, RADIO_BAND_FM), -1);
}

TEST_F(RadioStationTest, StepsSkipUnselectableStationsAndWrap) {
  radio_.m_fmStations[1].nSelect = 0;
  radio_.m_fmStations[4].nSelect = 0;
  RadioStation out;
  struct Case {
    int from, next, prev;
  };
  for (const Case& c : {Case{0, 2, 3}, Case{2, 3, 0}, Case{3, 0, 2}, Case{-1, 0, 3}}) {
    SCOPED_TRACE(c.from);
    EXPECT_EQ(radio_.GetNextRadioStation(c.from, out, RADIO_BAND_FM), c.next);
    EXPECT_EQ(radio_.GetPrevRadioStation(c.from, out, RADIO_BAND_FM), c.prev);
  }
  EXPECT_EQ(out.nFrequency, 103);

  // Only the starting station can be selected: nowhere to go.
  for (auto& s : radio_.m_fmStations) s.nSelect = 0;
  radio_.m_fmStations[2].nSelect = 1;
  EXPECT_EQ(radio_.GetNextRadioStation(2, out, RADIO_BAND_FM), -1);
  EXPECT_EQ(radio_.GetPrevRadioStation(2, out, RADIO_BAND_FM), -1);
  EXPECT_EQ(radio_.GetNextRadioStation(0, out, RADIO_BAND_AM), -1);  // empty band
}

TEST_F(RadioStationTest, SortOrdersKeepTheCurrentStation) {
  radio_.m_fmStations = {
      {"delta", 104, 1, 1}, {"Alpha", 102, 0, -1}, {"charlie", 100, 1, 0}, {"Bravo", 103, 0, 2}, {"echo", 101, 1, -1}};
  radio_.m_amStations = {{"z", 9, 0, -1}, {"y", 3, 0, -1}};
  radio_.m_nCurFMStation = 1;  // Alpha, 102
  struct Case {
    int key;
    std::vector<int> frequencies;
    int current;
  };
  const std::vector<Case> cases{
      {1, {100, 101, 102, 103, 104}, 2},
      {2, {102, 103, 100, 104, 101}, 0},  // names, case-insensitive
      {3, {102, 103, 104, 100, 101}, 0},  // unselectable first
      {8, {102, 101, 100, 104, 103}, 0},  // no-presets (-1) before preset 0
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    CRadioConfig radio(nullptr);
    radio.m_fmStations = radio_.m_fmStations;
    radio.m_amStations = radio_.m_amStations;
    radio.m_nCurFMStation = radio_.m_nCurFMStation;
    ASSERT_EQ(radio.SortRadioStations(c.key, 7), 1);
    std::vector<int> f = Frequencies(radio.m_fmStations);
    if (c.key == 3 || c.key == 8) {
      // Only the key decides; equal keys may come in any order.
      EXPECT_TRUE(std::is_sorted(radio.m_fmStations.begin(), radio.m_fmStations.end(),
                                 [&](const RadioStation& a, const RadioStation& b) {
                                   return c.key == 3 ? a.nSelect < b.nSelect : a.nPresetId < b.nPresetId;
                                 }));
    } else {
      EXPECT_EQ(f, c.frequencies);
    }
    EXPECT_EQ(radio.m_fmStations[static_cast<std::size_t>(radio.m_nCurFMStation)].nFrequency, 102);
    EXPECT_EQ(radio.m_nPrevFMStation, 1);
    EXPECT_EQ(radio.m_nStationSortKey, c.key);
    EXPECT_EQ(radio.m_nStationSortValue, 7);
    if (c.key == 1) {
      EXPECT_EQ(Frequencies(radio.m_amStations), (std::vector<int>{3, 9}));  // both bands
    }
  }
  CRadioConfig unsorted(nullptr);
  unsorted.m_fmStations = radio_.m_fmStations;
  unsorted.SortRadioStations(5, 0);
  EXPECT_EQ(Frequencies(unsorted.m_fmStations), Frequencies(radio_.m_fmStations));
}

TEST_F(RadioStationTest, BuildSwapAndBandChecks) {
  ASSERT_EQ(radio_.BuildRadioStations(3, RADIO_BAND_FM), 1);
  EXPECT_EQ(Frequencies(radio_.m_fmStations), (std::vector<int>{100, 101, 102}));
  ASSERT_EQ(radio_.BuildRadioStations(4, RADIO_BAND_CURRENT), 1);  // FM is current
  EXPECT_EQ(radio_.m_fmStations[3], (RadioStation{"------", 0, 0, -1}));
  EXPECT_EQ(radio_.BuildRadioStations(2, 3), 0);
  EXPECT_EQ(radio_.SwapRadioStations(0, 3, RADIO_BAND_FM), 1);
  EXPECT_EQ(radio_.m_fmStations[0].strName, "------");
  EXPECT_EQ(radio_.SwapRadioStations(0, 4, RADIO_BAND_FM), 0);
  EXPECT_EQ(radio_.SwapRadioStations(0, 1, 7), 0);
  RadioStation out;
  EXPECT_EQ(radio_.GetRadioStation(4, out, RADIO_BAND_FM), 0);
  EXPECT_EQ(radio_.SetRadioStation(1, RadioStation{std::string(70, 'n'), 5, 1, 0}, RADIO_BAND_FM), 1);
  EXPECT_EQ(radio_.m_fmStations[1].strName.size(), 63u);
  EXPECT_EQ(radio_.ResetRadioStations(RADIO_BAND_FM), 1);
  EXPECT_EQ(radio_.GetRadioStationCount(RADIO_BAND_FM), 0);
}

TEST(RadioRecordedFiles, SortKeepsTheCurrentFile) {
  CRadioConfig radio(nullptr);
  auto file = [](const char* path, const char* name, std::uint64_t time) {
    RadioRecordedFile f;
    f.strPath = path;
    f.strName = name;
    f.ftLastWrite = time;
    return f;
  };
  radio.m_recordedFiles = {file("/r/b.mp3", "b", 30), file("/r/A.mp3", "A", 20), file("/r/c.mp3", "c", 10)};
  radio.m_nCurRecorded = 0;
  radio.SortRadioStationsByName(4, 1);
  EXPECT_EQ(radio.m_recordedFiles[0].strName, "c");
  EXPECT_EQ(radio.m_nCurRecorded, 2);
  radio.SortRadioStationsByName(7, 2);
  EXPECT_EQ(radio.m_recordedFiles[0].strName, "A");
  EXPECT_EQ(radio.m_nCurRecorded, 1);
  EXPECT_EQ(radio.m_nRecordedSortKey, 7);
  EXPECT_EQ(radio.m_nRecordedSortValue, 2);
}

TEST(RadioPages, HistoryAndAnswers) {
  CRadioConfig radio(nullptr);
  int page = -5;
  EXPECT_EQ(radio.PopRadioPage(page), 0);
  EXPECT_EQ(radio.PeekRadioPage(page), 0);
  EXPECT_EQ(page, -5);
  radio.PushRadioPage(2);
  radio.SetRadioPage(19);
  radio.SetRadioPage(18);
  EXPECT_EQ(radio.m_nPrevPage, 19);

  radio.AddRadioStation(1, "a", 1, RADIO_BAND_FM);
  radio.m_nSelectedStation = 0;
  int answer = -1;
  radio.RadioCanAddFavorite(answer);
  EXPECT_EQ(answer, 1);
  radio.m_fmStations[0].nPresetId = 0;
  radio.RadioCanAddFavorite(answer);
  EXPECT_EQ(answer, 0);

  radio.SetRadioPage(19);
  int second = -1;
  radio.RadioCanMoveStation(answer, second);
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(second, 1);  // history top is 2

  struct Case {
    int state, back, menu, keys;
  };
  for (const Case& c : {Case{0, 1, 1, 0}, Case{1, 1, 1, 0}, Case{2, 1, 0, 1}, Case{3, 1, 0, 0}, Case{4, 0, 1, 1},
                        Case{5, 1, 1, 1}, Case{6, 1, 1, 1}, Case{7, 1, 1, 0}}) {
    SCOPED_TRACE(c.state);
    radio.m_nRecordState = c.state;
    int a = -1, b = -1;
    radio.RadioCanGoBack(a);
    EXPECT_EQ(a, c.back);
    radio.RadioMenuAllowed(a);
    EXPECT_EQ(a, c.menu);
    radio.RadioKeyEnable(a, b);
    EXPECT_EQ(a, c.keys);
    EXPECT_EQ(b, c.keys);
  }
  radio.ClearRadioPages();
  EXPECT_EQ(radio.PeekRadioPage(page), 0);
}

}  // namespace
