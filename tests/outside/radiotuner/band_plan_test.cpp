// Band plans by area, and values clamped and put on their grid.
#include <gtest/gtest.h>

#include "interfaces/radiotuner.h"
#include "outside/radiotuner/band_plan.h"

namespace radiotuner {
namespace {

TEST(BandPlanTest, PlansByArea) {
  const struct {
    bool fm;
    int area;
    double low, high, step;
  } cases[] = {
      {true, kRadioTunerAreaOther, 87.5, 108.0, 0.05}, {true, kRadioTunerArea1, 87.9, 107.9, 0.05},
      {true, kRadioTunerArea81, 76.0, 90.0, 0.05},     {false, kRadioTunerAreaOther, 531, 1602, 9},
      {false, kRadioTunerArea1, 530, 1700, 10},        {false, kRadioTunerArea81, 522, 1629, 9},
      {true, 7, 87.5, 108.0, 0.05},
  };
  for (const auto& c : cases) {
    const BandPlan plan = PlanOf(c.fm, c.area);
    EXPECT_DOUBLE_EQ(plan.low, c.low) << c.fm << c.area;
    EXPECT_DOUBLE_EQ(plan.high, c.high) << c.fm << c.area;
    EXPECT_DOUBLE_EQ(plan.step, c.step) << c.fm << c.area;
  }
}

TEST(BandPlanTest, SnapsIntoThePlan) {
  const BandPlan fm = PlanOf(true, kRadioTunerAreaOther);
  const BandPlan am = PlanOf(false, kRadioTunerAreaOther);
  const BandPlan amUs = PlanOf(false, kRadioTunerArea1);
  const struct {
    const BandPlan& plan;
    double in, out;
  } cases[] = {
      {fm, 98.5, 98.5},     {fm, 98.52, 98.5},  {fm, 98.53, 98.55}, {fm, 60.0, 87.5},
      {fm, 200.0, 108.0},   {am, 999, 999},     {am, 1000, 999},    {am, 1602, 1602},
      {am, 100, 531},       {amUs, 1602, 1600}, {amUs, 1605, 1610}, {amUs, 5000, 1700},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(Snap(c.plan, c.in), c.out) << c.in;
  EXPECT_DOUBLE_EQ(Snap(fm, std::numeric_limits<double>::quiet_NaN()), 87.5);
  EXPECT_EQ(ToHertz(fm, 98.5), 98'500'000);
  EXPECT_EQ(ToHertz(am, 1602), 1'602'000);
}

}  // namespace
}  // namespace radiotuner
