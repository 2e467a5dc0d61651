// Where the picture is: marks the reader makes count once a frame of their
// time is drawn, flushed marks never count, a jump counts at once until the
// picture gets there.
#include "outside/tovelax/shown_position.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tovelax {
namespace {

using namespace std::chrono_literals;
const ShownPosition::Clock::time_point kT0{};

DiscPlace At(std::int32_t title, std::int32_t chapter, std::int64_t sector = -1) {
  return {title, chapter, sector, 0};
}

MATCHER_P2(IsChapter, title, chapter, "") { return arg.title == title && arg.chapter == chapter; }

TEST(ShownPosition, APlaceCountsWhenItsFirstPictureIsDrawnNotWhenItIsRead) {
  ShownPosition shown;
  shown.Place(shown.Enter(At(1, 1, 100)), 1000, kT0);
  shown.Place(shown.Enter(At(1, 1, 140)), 3000, kT0);
  shown.Place(shown.Enter(At(1, 2, 180)), 5000, kT0);  // the reader is already in chapter 2
  EXPECT_THAT(shown.Current(), IsChapter(0, 0));

  auto drawn = shown.Drawn(1000, kT0);
  ASSERT_TRUE(drawn);
  EXPECT_THAT(*drawn, IsChapter(1, 1));
  EXPECT_FALSE(shown.Drawn(3000, kT0)) << "same chapter, no news";
  EXPECT_EQ(shown.Shown().sector, 140) << "but the place moves on";
  EXPECT_FALSE(shown.Drawn(4960, kT0));
  EXPECT_THAT(shown.Current(), IsChapter(1, 1));
  drawn = shown.Drawn(5000, kT0);
  ASSERT_TRUE(drawn);
  EXPECT_THAT(*drawn, IsChapter(1, 2));
  EXPECT_EQ(drawn->sector, 180);
}

TEST(ShownPosition, MarksWithoutPictureArePassedAndFlushedMarksNeverCount) {
  ShownPosition shown;
  shown.Enter(At(1, 1));  // never reached the demuxer's video: passed with the next
  const int two = shown.Enter(At(1, 2));
  EXPECT_FALSE(shown.Drawn(100, kT0)) << "an unplaced mark waits";
  shown.Place(two, 200, kT0);
  EXPECT_THAT(shown.Drawn(300, kT0).value_or(DiscPlace{}), IsChapter(1, 2));

  shown.Place(shown.Enter(At(2, 1)), 400, kT0);
  const int next = shown.Enter(At(2, 2));  // made before the flush, handed on after it
  shown.Flushed(next);
  EXPECT_FALSE(shown.Drawn(500, kT0));
  shown.Place(next, 10, kT0);  // time starts again after the flush
  EXPECT_THAT(shown.Drawn(10, kT0).value_or(DiscPlace{}), IsChapter(2, 2));
}

TEST(ShownPosition, AJumpCountsUntilThePictureGetsThere) {
  ShownPosition shown;
  shown.Place(shown.Enter(At(1, 1)), 0, kT0);
  shown.Drawn(0, kT0);
  shown.Place(shown.Enter(At(1, 2)), 100, kT0);  // read before the jump
  shown.Jumped(1, 3);
  EXPECT_THAT(shown.Current(), IsChapter(1, 3));
  ASSERT_TRUE(shown.PendingJump());
  shown.Drawn(100, kT0);  // the old stream's chapter 2 is drawn on the way
  EXPECT_THAT(shown.Shown(), IsChapter(1, 2));
  EXPECT_THAT(shown.Current(), IsChapter(1, 3)) << "the jump is still on its way";
  shown.Place(shown.Enter(At(1, 3)), 0, kT0);
  shown.Drawn(0, kT0);
  EXPECT_FALSE(shown.PendingJump());
  EXPECT_THAT(shown.Shown(), IsChapter(1, 3));

  shown.Jumped(0, 0);  // a menu
  EXPECT_THAT(shown.Current(), IsChapter(0, 0));
  shown.Reset();
  EXPECT_THAT(shown.Current(), IsChapter(0, 0));
  EXPECT_FALSE(shown.PendingJump());
}

TEST(ShownPosition, AMarkTheTimeNeverReachesCountsWhenOverdue) {
  ShownPosition shown;
  shown.Place(shown.Enter(At(1, 1)), 90'000'000'000, kT0);  // the stream's time went back without a flush
  EXPECT_FALSE(shown.Drawn(1000, kT0 + 1s));
  EXPECT_THAT(shown.Drawn(1040, kT0 + ShownPosition::kOverdue).value_or(DiscPlace{}), IsChapter(1, 1));
}

}  // namespace
}  // namespace tovelax
