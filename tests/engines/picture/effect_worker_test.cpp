// The CPU effect worker on small buffers of BGRA pixels.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "engines/picture/imagefx/effect_worker.h"

namespace {

using imagefx::CEffectWorker;

std::vector<std::uint8_t> Pixels(int columns, int rows, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                 std::uint8_t a = 200) {
  std::vector<std::uint8_t> out;
  for (int i = 0; i < columns * rows; ++i) out.insert(out.end(), {b, g, r, a});
  return out;
}

// Runs the worker as the picture component does: prepare, values, apply, free.
void RunWorker(CEffectWorker& worker, std::vector<std::uint8_t>& pixels, int columns, int rows,
         std::array<unsigned char, 5> values) {
  worker.Prepare(columns, rows);
  worker.SetValues(values.data());
  worker.Apply(100, pixels.data(), 0, 0);
  worker.Free();
}

TEST(EffectWorker, NeutralValuesLeaveTheBufferBitIdentical) {
  CEffectWorker worker;
  std::vector<std::uint8_t> pixels;
  for (int i = 0; i < 5 * 4 * 4; ++i) pixels.push_back(static_cast<std::uint8_t>(i * 37));
  const auto before = pixels;
  worker.Prepare(5, 4);
  const unsigned char neutral[5] = {128, 128, 128, 128, 0};
  worker.SetValues(neutral);
  EXPECT_FALSE(worker.IsActive());
  worker.Apply(100, pixels.data(), 0, 0);
  EXPECT_EQ(pixels, before);
}

TEST(EffectWorker, AlmostNeutralValuesAreActive) {
  CEffectWorker worker;
  worker.Prepare(2, 2);
  const unsigned char values[5] = {127, 127, 127, 127, 0};
  worker.SetValues(values);
  EXPECT_TRUE(worker.IsActive());
  EXPECT_EQ(worker.Params().brightness, -2);
  EXPECT_FLOAT_EQ(worker.Params().hue, -1.0f / 128);
  EXPECT_FLOAT_EQ(worker.Params().contrast, 127.0f / 128);
  EXPECT_FLOAT_EQ(worker.Params().saturation, 127.0f / 128);
}

TEST(EffectWorker, ValuesAreIgnoredUntilPrepared) {
  CEffectWorker worker;
  const unsigned char values[5] = {200, 128, 128, 128, 0};
  worker.SetValues(values);
  EXPECT_FALSE(worker.IsActive());
  auto pixels = Pixels(2, 2, 10, 10, 10);
  const auto before = pixels;
  worker.Apply(100, pixels.data(), 0, 0);
  EXPECT_EQ(pixels, before);
}

TEST(EffectWorker, SingleAdjustmentsChangeColourAndNeverAlpha) {
  const struct {
    const char* name;
    std::array<unsigned char, 5> values;  // brightness, contrast, hue, saturation, sharpness
    std::array<int, 3> in, out;           // red, green, blue
  } cases[] = {
      {"brighter", {138, 128, 128, 128, 0}, {100, 150, 250}, {120, 170, 255}},
      {"darker", {118, 128, 128, 128, 0}, {10, 150, 250}, {0, 130, 230}},
      {"grey", {128, 128, 128, 0, 0}, {255, 0, 0}, {54, 54, 54}},
      {"more contrast", {128, 192, 128, 128, 0}, {100, 127, 200}, {86, 126, 236}},
      {"no contrast", {128, 0, 128, 128, 0}, {0, 100, 255}, {127, 127, 127}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CEffectWorker worker;
    auto pixels = Pixels(3, 1, static_cast<std::uint8_t>(c.in[0]), static_cast<std::uint8_t>(c.in[1]),
                         static_cast<std::uint8_t>(c.in[2]), 77);
    RunWorker(worker, pixels, 3, 1, c.values);
    EXPECT_EQ(pixels[2], c.out[0]);
    EXPECT_EQ(pixels[1], c.out[1]);
    EXPECT_EQ(pixels[0], c.out[2]);
    EXPECT_EQ(pixels[3], 77);
  }
}

TEST(EffectWorker, QuarterHueTurnMovesPrimariesAThirdOnAndAHalfBetween) {
  // 192 is a quarter turn (90 degrees). The table holds 32 levels per
  // channel, so 255 is looked up as 248.
  const struct {
    std::array<int, 3> in, out;
  } cases[] = {
      {{255, 0, 0}, {124, 248, 0}},  // red to chartreuse
      {{0, 255, 0}, {0, 124, 248}},  // green to azure
      {{0, 0, 255}, {248, 0, 124}},  // blue to rose
  };
  for (const auto& c : cases) {
    CEffectWorker worker;
    auto pixels = Pixels(1, 1, static_cast<std::uint8_t>(c.in[0]), static_cast<std::uint8_t>(c.in[1]),
                         static_cast<std::uint8_t>(c.in[2]));
    RunWorker(worker, pixels, 1, 1, {128, 128, 192, 128, 0});
    EXPECT_NEAR(pixels[2], c.out[0], 1);
    EXPECT_NEAR(pixels[1], c.out[1], 1);
    EXPECT_NEAR(pixels[0], c.out[2], 1);
    EXPECT_EQ(pixels[3], 200);
  }
}

TEST(EffectWorker, SharpeningKeepsBorderAndFlatFields) {
  // 5 x 5 of grey 100 with a bright centre pixel.
  CEffectWorker worker;
  auto pixels = Pixels(5, 5, 100, 100, 100);
  for (int c = 0; c < 3; ++c) pixels[(2 * 5 + 2) * 4 + c] = 140;
  const auto before = pixels;
  RunWorker(worker, pixels, 5, 5, {128, 128, 128, 128, 64});  // k = 0.5
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) {
      const int i = (y * 5 + x) * 4;
      if (x == 0 || y == 0 || x == 4 || y == 4) {
        EXPECT_EQ(pixels[i], before[i]) << x << "," << y;  // border
      }
    }
  EXPECT_EQ(pixels[(2 * 5 + 2) * 4], 220);  // 3 x 140 - 0.5 x 400
  EXPECT_EQ(pixels[(2 * 5 + 1) * 4], 80);   // 3 x 100 - 0.5 x 440
  EXPECT_EQ(pixels[(1 * 5 + 1) * 4], 100);  // flat around it
}

TEST(EffectWorker, TinyBuffersAreNotSharpenedAndDoNotOverrun) {
  for (auto [columns, rows] : {std::pair{1, 7}, std::pair{7, 1}, std::pair{2, 2}}) {
    CEffectWorker worker;
    auto pixels = Pixels(columns, rows, 10, 200, 30);
    const auto before = pixels;
    RunWorker(worker, pixels, columns, rows, {128, 128, 128, 128, 255});
    EXPECT_EQ(pixels, before);
  }
}

TEST(EffectWorker, SizesThatOverflowOrAreNotPositiveLeaveItUnprepared) {
  for (auto [columns, rows] : {std::pair{0, 5}, std::pair{-3, 5}, std::pair{100000, 100000}}) {
    CEffectWorker worker;
    worker.Prepare(columns, rows);
    EXPECT_FALSE(worker.IsPrepared()) << columns << " x " << rows;
  }
}

TEST(EffectWorker, PreparingForALargerPictureGrowsTheWorkBuffer) {
  // Prepared for 3 x 3 and, without Free, again for 40 x 30: sharpening the
  // larger buffer must not run past the work buffer.
  CEffectWorker worker;
  worker.Prepare(3, 3);
  worker.Prepare(40, 30);
  const unsigned char values[5] = {128, 128, 128, 128, 64};
  worker.SetValues(values);
  auto pixels = Pixels(40, 30, 50, 60, 70);
  pixels[(15 * 40 + 20) * 4] = 255;  // a bright blue dot in the middle
  worker.Apply(100, pixels.data(), 0, 0);
  EXPECT_EQ(pixels[(15 * 40 + 20) * 4], 255);
  EXPECT_EQ(pixels[(15 * 40 + 19) * 4], 0);  // 3 x 70 - 0.5 x (3 x 70 + 255), clamped
}

}  // namespace
