// The Radio controller's schedules on a scripted radio engine: the new
// schedule and its field actions, confirm with and without a conflict,
// cancel, and a schedule run by the schedule timer from start to history.
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "corebridge/core/schedule_list.h"
#include "tests/corebridge/radio/radio_test_support.h"

namespace radio_test {
namespace {

using settings_test::At;

class RadioScheduleTest : public RadioTest {
 protected:
  CScheduleList& List() {
    CScheduleList* list = nullptr;
    system_->GetScheduleList(&list);
    return *list;
  }
  CScheduleItem& Edited() { return *Radio().m_pEditSchedule; }
  static CScheduleItem Item(int hour, int minute, int duration) {
    CScheduleItem item(SCHEDULE_RADIO);
    item.SetRepeatMode(11);
    item.SetBeginDate(At(2026, 3, 2, hour, minute, 0));
    item.SetDuration(duration);
    item.SetRadioFrequency(98500000);
    return item;
  }
  void Tick(plat::SYSTEMTIME at) {
    clock_.Set(at);
    system_->ScheduleTick();
  }
};

TEST_F(RadioScheduleTest, NewScheduleStartsAtTheNextWholeHour) {
  Radio().m_nCurFMFrequency = 98500000;
  ASSERT_EQ(Enter(), 1);
  EXPECT_EQ(Run("Radio SetSchedule Page"), 1);
  EXPECT_EQ(Radio().m_nPage, 8);
  const SYSTEMTIME begin = Edited().GetBeginDate();
  EXPECT_EQ(begin.wHour, 13);
  EXPECT_EQ(begin.wMinute, 0);
  EXPECT_EQ(begin.wDay, 2);
  EXPECT_EQ(Edited().GetDuration(), 60);
  EXPECT_EQ(Edited().GetRepeatMode(), 11);
  EXPECT_EQ(Edited().GetRadioFrequency(), 98500000);
}

TEST_F(RadioScheduleTest, FieldActions) {
  ASSERT_EQ(Enter(), 1);
  Run("Radio SetSchedule Page");
  // Each step: action, answer, start hour:minute, duration after it.
  struct Step {
    const char* action;
    int answer, hour, minute, duration;
  } steps[] = {
      {"Radio Sch StartTime Hour Left", 1, 12, 0, 120},     // 12:00 is now: allowed
      {"Radio Sch StartTime Hour Left", 0, 12, 0, 120},     // 11:00 has passed
      {"Radio Sch StartTime Minute Left", 0, 12, 0, 120},
      {"Radio Sch StartTime Minute Right", 1, 12, 1, 119},
      {"Radio Sch StartTime Hour Right", 1, 13, 1, 59},
      {"Radio Sch EndTime Hour Left", 0, 13, 1, 59},         // below a minute: refused
      {"Radio Sch EndTime Hour Right", 1, 13, 1, 119},
      {"Radio Sch EndTimeMinute Right", 1, 13, 1, 120},
      {"Radio Sch EndTime Minute Left", 1, 13, 1, 119},
      {"Radio Sch StartTime APM Left", 0, 13, 1, 119},       // 1:01 has passed
      {"Radio Sch EndTime APM Right", 1, 13, 1, 839},        // ends 15:00: +12 hours
      {"Radio Sch BeginDate Right", 1, 13, 1, 839},
      {"Radio Sch StartTime APM Right", 1, 1, 1, 1559},      // 13:01 next day to 1:01
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.action);
    page_.calls.clear();
    EXPECT_EQ(Run(s.action), s.answer);
    EXPECT_EQ(Edited().GetBeginDate().wHour, s.hour);
    EXPECT_EQ(Edited().GetBeginDate().wMinute, s.minute);
    EXPECT_EQ(Edited().GetDuration(), s.duration);
    EXPECT_TRUE(page_.Saw("Redraw 1"));
  }
  EXPECT_EQ(Edited().GetBeginDate().wDay, 3);

  struct Repeat {
    const char* action;
    int from, to;
  } repeats[] = {{"Radio Sch RepeatMode Left", 1, 11}, {"Radio Sch RepeatMode Left", 5, 4},
                 {"Radio Sch RepeatMode Right", 11, 1}, {"Radio Sch RepeatMode Right", 3, 4}};
  for (const auto& r : repeats) {
    Edited().SetRepeatMode(r.from);
    Run(r.action);
    EXPECT_EQ(Edited().GetRepeatMode(), r.to) << r.action << " " << r.from;
  }

  Edited().SetRadioFrequency(107980000);
  Run("Radio Sch SelectRadioStation Right");
  EXPECT_EQ(Edited().GetRadioFrequency(), 108000000);
  Run("Radio Sch SelectRadioStation Left");
  EXPECT_EQ(Edited().GetRadioFrequency(), 107950000);
  EXPECT_EQ(Run("Radio Sch RecordFormat Left"), 0);
}

TEST_F(RadioScheduleTest, HourLeftWithinTheNextHourIsRefused) {
  ASSERT_EQ(Enter(), 1);
  Run("Radio SetSchedule Page");
  Edited().SetBeginDate(At(2026, 3, 2, 12, 30, 0));
  EXPECT_EQ(Run("Radio Sch StartTime Hour Left"), 0);
  EXPECT_EQ(Edited().GetBeginDate().wHour, 12);
  EXPECT_EQ(Edited().GetDuration(), 60);
}

TEST_F(RadioScheduleTest, ConfirmStoresOrShowsTheConflict) {
  Radio().m_nCurFMFrequency = 98500000;
  Radio().m_nRecordFormat = 1;
  ASSERT_EQ(Enter(), 1);
  Run("Radio SetSchedule Page");
  EXPECT_EQ(Run("Radio ConfirmSchedule"), 1);
  ASSERT_EQ(List().Count(), 1);
  CScheduleItem stored;
  List().GetAt(0, stored);
  EXPECT_EQ(stored.GetTitle(), "My Schedule");
  EXPECT_EQ(stored.GetRecFileName(), Radio().m_strRecordFolder + "/FM09850_02032026_1200.mp3");
  EXPECT_EQ(Radio().m_nPage, 6);
  EXPECT_TRUE(std::filesystem::exists(Config().m_strSettingsFolder + "/Schedule.sys"));

  // The same hour again conflicts: the conflict page, nothing stored.
  Run("Radio SetSchedule Page");
  page_.calls.clear();
  EXPECT_EQ(Run("Radio ConfirmSchedule"), 1);
  EXPECT_EQ(Radio().m_nPage, 16);
  EXPECT_TRUE(page_.Saw("ShowCurrentPage 16"));
  EXPECT_EQ(List().Count(), 1);
  Run("Radio Back");
  EXPECT_EQ(Radio().m_nPage, 8);

  // Cancelling the new schedule removes nothing from the list.
  EXPECT_EQ(Run("Radio CancelSchedule"), 1);
  EXPECT_EQ(List().Count(), 1);
  EXPECT_EQ(Radio().m_nPage, 6);
}

TEST_F(RadioScheduleTest, EditingReplacesAndCancelRemoves) {
  List().Add(Item(14, 0, 60));
  List().Add(Item(16, 0, 60));
  ASSERT_EQ(Enter(), 1);
  // The first schedule moved by half an hour overlaps only its old self.
  Radio().m_pEditSchedule = std::make_unique<CScheduleItem>(Item(14, 30, 60));
  Radio().m_nEditScheduleIndex = 0;
  Radio().SetRadioPage(15);
  EXPECT_EQ(Run("Radio ConfirmSchedule"), 1);
  EXPECT_EQ(Radio().m_nPage, 6);
  CScheduleItem first;
  List().GetAt(0, first);
  EXPECT_EQ(first.GetBeginDate().wMinute, 30);

  // Moved onto the second one it conflicts.
  Radio().m_pEditSchedule = std::make_unique<CScheduleItem>(Item(16, 30, 60));
  Radio().SetRadioPage(15);
  Run("Radio ConfirmSchedule");
  EXPECT_EQ(Radio().m_nPage, 16);
  List().GetAt(0, first);
  EXPECT_EQ(first.GetBeginDate().wHour, 14);

  // The page shows a schedule chosen from the list on page 8 with its index:
  // cancel removes that one.
  Radio().SetRadioPage(8);
  EXPECT_EQ(Run("Radio CancelSchedule"), 1);
  ASSERT_EQ(List().Count(), 1);
  List().GetAt(0, first);
  EXPECT_EQ(first.GetBeginDate().wHour, 16);
}

TEST_F(RadioScheduleTest, TheScheduleTimerRunsARecordingIntoItsHistory) {
  CScheduleItem item = Item(13, 0, 60);
  item.SetRecFileName(Radio().m_strRecordFolder + "/scheduled.mp3");
  List().Add(item);
  ASSERT_TRUE(List().LoadSave(Config().m_strSettingsFolder, 0));

  Tick(At(2026, 3, 2, 12, 58, 0));  // the early notice opens the radio
  EXPECT_EQ(Config().m_nActiveModule, MODULE_RADIO);
  Tick(At(2026, 3, 2, 12, 59, 59));
  EXPECT_EQ(Engine().recording, Radio().m_strRecordFolder + "/scheduled.mp3");
  EXPECT_TRUE(std::filesystem::exists(Engine().recording));
  EXPECT_EQ(Engine().frequency, 98500000);
  ASSERT_NE(Radio().m_pRecordingSchedule, nullptr);
  EXPECT_EQ(Radio().m_nRecordState, RADIO_RECORDING);

  Tick(At(2026, 3, 2, 13, 30, 0));
  EXPECT_EQ(Radio().m_nRecordState, RADIO_RECORDING);
  Tick(At(2026, 3, 2, 13, 59, 59));
  EXPECT_EQ(Radio().m_nRecordState, RADIO_LISTENING);
  EXPECT_EQ(Radio().m_pRecordingSchedule, nullptr);
  ASSERT_EQ(List().CountHistory(), 1);
  CScheduleItem done;
  List().GetHistoryAt(0, done);
  EXPECT_EQ(done.GetStatus(), 4);
}

TEST_F(RadioScheduleTest, AUserStopEndsAScheduleAsStopped) {
  ASSERT_EQ(Enter(), 1);
  ASSERT_EQ(system_->RadioPrepareRecording(Item(12, 0, 60)), 1);
  EXPECT_EQ(Run("Radio Stop"), 1);
  EXPECT_EQ(Radio().m_pRecordingSchedule, nullptr);
  ASSERT_EQ(List().CountHistory(), 1);
  CScheduleItem done;
  List().GetHistoryAt(0, done);
  EXPECT_EQ(done.GetStatus(), 3);
  // Without a held schedule the scheduled stop does nothing.
  EXPECT_EQ(system_->RadioScheduleRecord(0), 0);
}

TEST_F(RadioScheduleTest, AScheduledRecordingGoesOnInANewFileAtTheSizeLimit) {
  ASSERT_EQ(Enter(), 1);
  CScheduleItem item = Item(12, 0, 60);
  item.SetRecFileName(Radio().m_strRecordFolder + "/long.wav");
  ASSERT_EQ(system_->RadioPrepareRecording(item), 1);
  const int fd = ::open(Engine().recording.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, 4'141'875'200), 0);
  ::close(fd);
  system_->OnRecordMonitorTimer();
  EXPECT_EQ(Engine().recording, Radio().m_strRecordFolder + "/long(1).wav");
  EXPECT_EQ(Radio().m_strRecordingFile, Engine().recording);
  ASSERT_NE(Radio().m_pRecordingSchedule, nullptr);  // still the schedule's recording
  EXPECT_EQ(List().CountHistory(), 0);               // no "stopped" entry for the change of file
}

TEST_F(RadioScheduleTest, ScheduledRecordingNeedsTwentyFiveMebibytes) {
  ASSERT_EQ(Enter(), 1);
  freeBytes_ = 26214399;
  EXPECT_EQ(system_->RadioPrepareRecording(Item(12, 0, 60)), 0);
  EXPECT_FALSE(Engine().SawSlot(9));
  freeBytes_ = 26214400;
  EXPECT_EQ(system_->RadioPrepareRecording(Item(12, 0, 60)), 1);
}

}  // namespace
}  // namespace radio_test
