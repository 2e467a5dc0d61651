// The show's time line, the stepping arithmetic and the transition pictures.
#include <gtest/gtest.h>

#include "engines/picture/slidedraw/slide_timeline.h"
#include "engines/picture/slidedraw/transition_effects.h"

namespace {

using slidedraw::SlideTimeline;
constexpr std::int64_t kSecond = SlideTimeline::kUnitsPerSecond;

SlideTimeline ThreeSlides(std::int64_t slide, std::int64_t transition) {
  SlideTimeline t;
  t.SetSlideTime(slide);
  t.SetTransitionTime(transition);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(t.Insert(i, "slide" + std::to_string(i)));
  return t;
}

TEST(SlideTimeline, MomentsAlongTheShow) {
  const SlideTimeline t = ThreeSlides(2 * kSecond, kSecond);
  EXPECT_EQ(t.Duration(), 3 * 2 * kSecond + 2 * kSecond);
  struct Case {
    double seconds;
    int slide, next;
    double progress;
    double start, end;
  } cases[] = {
      {0.0, 0, -1, 0.0, 0.0, 2.0},   {1.9, 0, -1, 0.0, 0.0, 2.0},  {2.5, 0, 1, 0.5, 2.0, 3.0},
      {3.0, 1, -1, 0.0, 3.0, 5.0},   {5.25, 1, 2, 0.25, 5.0, 6.0}, {6.0, 2, -1, 0.0, 6.0, 8.0},
      {7.99, 2, -1, 0.0, 6.0, 8.0},  {8.0, -1, -1, 0.0, 0.0, 0.0},
  };
  for (const Case& c : cases) {
    const auto m = t.At(static_cast<std::int64_t>(c.seconds * kSecond));
    EXPECT_EQ(m.slide, c.slide) << c.seconds;
    EXPECT_EQ(m.next, c.next) << c.seconds;
    EXPECT_NEAR(m.progress, c.progress, 1e-9) << c.seconds;
    if (m.slide >= 0) {
      EXPECT_EQ(m.start, static_cast<std::int64_t>(c.start * kSecond)) << c.seconds;
      EXPECT_EQ(m.end, static_cast<std::int64_t>(c.end * kSecond)) << c.seconds;
    }
  }
}

TEST(SlideTimeline, ListChangesStayInsideTheList) {
  SlideTimeline t;
  EXPECT_EQ(t.Duration(), 0);
  EXPECT_EQ(t.At(0).slide, -1);
  EXPECT_FALSE(t.Insert(1, "past the end"));
  EXPECT_FALSE(t.Insert(-1, "before the start"));
  EXPECT_TRUE(t.Insert(0, "b"));
  EXPECT_TRUE(t.Insert(0, "a"));
  EXPECT_TRUE(t.Insert(2, "c"));
  EXPECT_EQ(t.slide(0).path, "a");
  EXPECT_EQ(t.slide(2).path, "c");
  EXPECT_FALSE(t.Remove(3));
  EXPECT_FALSE(t.SetEffect(3, 34));
  EXPECT_TRUE(t.SetEffect(1, 34));
  EXPECT_EQ(t.slide(1).effect, 34);
  EXPECT_TRUE(t.Remove(0));
  EXPECT_EQ(t.count(), 2);
  EXPECT_EQ(t.slide(0).path, "b");
}

TEST(SlideStepping, MovesByWholePeriods) {
  // Slide 5 s, transition 2 s, three slides: 19 s.
  const std::int64_t duration = 19 * kSecond;
  struct Case {
    std::int64_t from;
    bool forward;
    std::int64_t to;
    bool atStart, atEnd;
  } cases[] = {
      {8, true, 14, false, false},  {8, false, 0, false, false}, {12, false, 7, false, false},
      {3, false, 1, true, false},   {0, false, 1, true, false},  {14, true, 21, false, true},
      {18, true, 21, false, true},
  };
  for (const Case& c : cases) {
    const auto step =
        slidedraw::StepFrom(c.from * kSecond, duration, 5 * kSecond, 2 * kSecond, c.forward);
    EXPECT_TRUE(step.moved);
    EXPECT_EQ(step.position, c.to == 1 ? 1 : c.to * kSecond) << c.from << (c.forward ? " forward" : " back");
    EXPECT_EQ(step.atStart, c.atStart) << c.from;
    EXPECT_EQ(step.atEnd, c.atEnd) << c.from;
  }
  // A period under one second cannot be stepped (no division by zero).
  EXPECT_FALSE(slidedraw::StepFrom(kSecond, duration, kSecond / 2, kSecond / 4, true).moved);
  EXPECT_FALSE(slidedraw::StepFrom(kSecond, duration, 0, 0, false).moved);
}

constexpr std::uint32_t kRed = 0xFFFF0000u;
constexpr std::uint32_t kBlue = 0xFF0000FFu;

TEST(SlideTransitions, EveryEffectGoesFromTheOldSlideToTheNew) {
  const plat::Surface red(64, 48, kRed);
  const plat::Surface blue(64, 48, kBlue);
  const int effects[] = {0, 10, 17, 18, 22, 34, 35, 47, 49, 50, 51, 78, 79, 81, 88, 96, 12345};
  for (int effect : effects) {
    plat::Surface out(64, 48, 0);
    slidedraw::ComposeTransition(effect, 0.0, red, blue, out);
    EXPECT_EQ(out.pixel(0, 0), kRed) << effect;
    EXPECT_EQ(out.pixel(63, 47), kRed) << effect;
    slidedraw::ComposeTransition(effect, 1.0, red, blue, out);
    EXPECT_EQ(out.pixel(0, 0), kBlue) << effect;
    EXPECT_EQ(out.pixel(32, 24), kBlue) << effect;
    slidedraw::ComposeTransition(effect, 0.5, red, blue, out);
    bool anyBlue = false, anyRed = false;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x) {
        anyBlue |= (out.pixel(x, y) & 0xFFu) != 0;
        anyRed |= (out.pixel(x, y) & 0xFF0000u) != 0;
      }
    EXPECT_TRUE(anyBlue) << effect << ": halfway shows nothing of the new slide";
    if (effect != 0) {
      EXPECT_TRUE(anyRed) << effect << ": halfway shows nothing of the old slide";
    }
  }
}

TEST(SlideTransitions, DirectionsAndMixHalfway) {
  const plat::Surface red(100, 80, kRed);
  const plat::Surface blue(100, 80, kBlue);
  plat::Surface out(100, 80, 0);
  struct Case {
    int effect;
    int x, y;
    std::uint32_t expected;
  } cases[] = {
      {88, 10, 40, kBlue}, {88, 90, 40, kRed},   // wipe from the left
      {79, 10, 40, kRed},  {79, 90, 40, kBlue},  // wipe from the right
      {96, 50, 5, kBlue},  {96, 50, 75, kRed},   // wipe from the top
      {81, 50, 5, kRed},   {81, 50, 75, kBlue},  // wipe from the bottom
      {78, 50, 40, kBlue}, {78, 2, 2, kRed},     // box from the centre
      {47, 10, 40, kBlue}, {47, 90, 40, kRed},   // slide in from the left
      {17, 90, 40, kBlue}, {17, 10, 40, kRed},   // slide in from the right
      {51, 50, 40, kBlue}, {51, 2, 40, kRed},    // barn doors
      {10, 50, 40, kBlue}, {10, 50, 2, kRed},    // split
      {50, 50, 40, kBlue}, {50, 2, 2, kRed},     // zoom
  };
  for (const Case& c : cases) {
    slidedraw::ComposeTransition(c.effect, 0.5, red, blue, out);
    EXPECT_EQ(out.pixel(c.x, c.y), c.expected) << c.effect << " at " << c.x << "," << c.y;
  }
  slidedraw::ComposeTransition(34, 0.5, red, blue, out);
  const std::uint32_t mixed = out.pixel(50, 40);
  EXPECT_NEAR(static_cast<int>((mixed >> 16) & 0xFF), 128, 2);
  EXPECT_NEAR(static_cast<int>(mixed & 0xFF), 128, 2);
  // Sizes that differ leave the output alone.
  plat::Surface small(10, 10, 0xFF123456u);
  slidedraw::ComposeTransition(34, 0.5, red, blue, small);
  EXPECT_EQ(small.pixel(5, 5), 0xFF123456u);
}

}  // namespace
