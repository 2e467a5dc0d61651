// The five adjustments of the picture component: ranges and scales, values,
// refusals, and how they reach the picture engine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engines/picture/imagefx/image_fx.h"

namespace {

using plat::E_FAIL;
using plat::S_OK;

plat::ComPtr<plat::ComObject<CImageFx>> MakeFx() { return plat::MakeComObject<CImageFx>(); }

TEST(ImageFxProps, EveryCallFailsBeforeResetAndAfterUninitialize) {
  auto fx = MakeFx();
  IImageFxProps* props = fx.Get();
  std::int32_t a = 0, b = 0, five[5] = {};
  std::vector<std::uint8_t> pixels(16, 9);
  EXPECT_EQ(props->SetHueRange(0, 10), E_FAIL);
  EXPECT_EQ(props->GetHueRange(&a, &b), E_FAIL);
  EXPECT_EQ(props->SetBrightness(50), E_FAIL);
  EXPECT_EQ(props->GetAdjustments(five), E_FAIL);
  EXPECT_EQ(props->ResetValues(), E_FAIL);
  EXPECT_EQ(props->ApplyToPixels(pixels.data(), 2, 2), E_FAIL);
  EXPECT_EQ(props->ApplyToImage(), E_FAIL);
  ASSERT_EQ(props->ResetAdjustments(), S_OK);
  EXPECT_EQ(props->SetBrightness(50), S_OK);
  ASSERT_EQ(props->Uninitialize(), S_OK);
  EXPECT_EQ(props->SetBrightness(50), E_FAIL);
}

TEST(ImageFxProps, RangesSetTheScaleAndValuesReadBackInCallerUnits) {
  auto fx = MakeFx();
  ASSERT_EQ(fx->ResetAdjustments(), S_OK);
  struct Case {
    const char* name;
    plat::HRESULT (CImageFx::*set_range)(std::int32_t, std::int32_t);
    plat::HRESULT (CImageFx::*set_value)(std::int32_t);
    int index;  // in GetAdjustments: brightness, hue, saturation, contrast, sharpness
    std::int32_t min, max, value, read_back;
  };
  const Case cases[] = {
      {"hue", &CImageFx::SetHueRange, &CImageFx::SetHue, 1, -180, 180, 0, -1},  // 127 / (255/360) - 180
      {"brightness", &CImageFx::SetBrightnessRange, &CImageFx::SetBrightness, 0, 0, 100, 50, 49},
      {"saturation", &CImageFx::SetSaturationRange, &CImageFx::SetSaturation, 2, -100, 100, 100, 100},
      {"contrast", &CImageFx::SetContrastRange, &CImageFx::SetContrast, 3, 10, 20, 10, 10},
      {"sharpness", &CImageFx::SetSharpnessRange, &CImageFx::SetSharpness, 4, 0, 255, 77, 77},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(((*fx).*c.set_range)(c.min, c.max), S_OK);
    EXPECT_EQ(((*fx).*c.set_value)(c.min - 1), E_FAIL);
    EXPECT_EQ(((*fx).*c.set_value)(c.max + 1), E_FAIL);
    ASSERT_EQ(((*fx).*c.set_value)(c.value), S_OK);
    std::int32_t five[5] = {};
    ASSERT_EQ(fx->GetAdjustments(five), S_OK);
    EXPECT_EQ(five[c.index], c.read_back);
    EXPECT_EQ(((*fx).*c.set_range)(c.max, c.max), E_FAIL);
    EXPECT_EQ(((*fx).*c.set_range)(c.max, c.min), E_FAIL);
  }
  std::int32_t lo = 0, hi = 0;
  ASSERT_EQ(fx->GetHueRange(&lo, &hi), S_OK);
  EXPECT_EQ(lo, -180);
  EXPECT_EQ(hi, 180);
}

// An engine that records the adjustments it is asked for.
class RecordingEngine : public imagefx::CImageEngine {
 public:
  explicit RecordingEngine(std::vector<std::string>* calls) : calls_(calls) {}
  int AdjustBrightness(int v) override { return Note("brightness", v); }
  int AdjustHue(int v) override { return Note("hue", v); }
  int AdjustSaturation(int v) override { return Note("saturation", v); }
  int AdjustContrast(int v) override { return Note("contrast", v); }
  int Sharpen(int v) override { return Note("sharpen", v); }

 private:
  int Note(const char* name, int v) {
    calls_->push_back(std::string(name) + " " + std::to_string(v));
    return 1;
  }
  std::vector<std::string>* calls_;
};

TEST(ImageFxProps, HueRangeOfAFullCircleStoresZeroAsTheMiddle) {
  auto fx = MakeFx();
  std::vector<std::string> calls;
  fx->SetEngineFactory([&] { return std::make_unique<RecordingEngine>(&calls); });
  ASSERT_EQ(fx->ResetAdjustments(), S_OK);
  ASSERT_EQ(fx->Initialize(), S_OK);
  ASSERT_EQ(fx->SetHueRange(-180, 180), S_OK);
  ASSERT_EQ(fx->SetHue(0), S_OK);
  // Stored as 127 (180 x 255/360 = 127.5, truncated): no turn at all.
  ASSERT_EQ(fx->ApplyToImage(), S_OK);
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[1], "hue 0");
}

TEST(ImageFxProps, SetAdjustmentsStoresAllOrNothing) {
  auto fx = MakeFx();
  ASSERT_EQ(fx->ResetAdjustments(), S_OK);
  std::int32_t b = 60, h = 40, s = 30, c = 20, sh = 101;  // sharpness out of 0..100
  EXPECT_EQ(fx->SetAdjustments(&b, &h, &s, &c, &sh), E_FAIL);
  std::int32_t five[5] = {};
  ASSERT_EQ(fx->GetAdjustments(five), S_OK);
  EXPECT_EQ(five[0], 49);  // the default 127 in 0..100
  EXPECT_EQ(five[4], 0);
  sh = 10;
  ASSERT_EQ(fx->SetAdjustments(&b, &h, &s, &c, &sh), S_OK);
  ASSERT_EQ(fx->GetAdjustments(five), S_OK);
  // Stored as (v - min) x 2.55 and read back as stored / 2.55, both truncated.
  EXPECT_NEAR(five[0], 60, 1);
  EXPECT_NEAR(five[4], 10, 1);
  EXPECT_EQ(fx->SetAdjustments(&b, nullptr, &s, &c, &sh), E_FAIL);
  ASSERT_EQ(fx->ResetValues(), S_OK);
  ASSERT_EQ(fx->GetAdjustments(five), S_OK);
  EXPECT_EQ(five[0], 49);
  EXPECT_EQ(five[4], 0);
}

TEST(ImageFxProps, ApplyToPixelsRunsTheWorker) {
  auto fx = MakeFx();
  ASSERT_EQ(fx->ResetAdjustments(), S_OK);
  // Ranges of 0..255 store values as given: all neutral but saturation.
  ASSERT_EQ(fx->SetBrightnessRange(0, 255), S_OK);
  ASSERT_EQ(fx->SetHueRange(0, 255), S_OK);
  ASSERT_EQ(fx->SetContrastRange(0, 255), S_OK);
  std::int32_t b = 128, h = 128, s = 0, c = 128, sh = 0;
  ASSERT_EQ(fx->SetAdjustments(&b, &h, &s, &c, &sh), S_OK);
  std::vector<std::uint8_t> pixels = {0, 0, 255, 255, 0, 0, 255, 255};  // two red pixels
  ASSERT_EQ(fx->ApplyToPixels(pixels.data(), 2, 1), S_OK);
  EXPECT_EQ(pixels[0], 54);
  EXPECT_EQ(pixels[2], 54);
  EXPECT_EQ(pixels[3], 255);
}

TEST(ImageFxProps, ApplyToImageConvertsAndCallsTheFiveAdjustmentsInOrder) {
  auto fx = MakeFx();
  std::vector<std::string> calls;
  fx->SetEngineFactory([&] { return std::make_unique<RecordingEngine>(&calls); });
  ASSERT_EQ(fx->ResetAdjustments(), S_OK);
  EXPECT_EQ(fx->ApplyToImage(), E_FAIL);  // the picture side is not ready
  ASSERT_EQ(fx->Initialize(), S_OK);
  ASSERT_EQ(fx->ApplyToImage(), S_OK);  // all 127 (sharpness 0)
  EXPECT_EQ(calls, (std::vector<std::string>{"brightness 0", "hue 0", "saturation 0", "contrast 0",
                                             "sharpen -992"}));
  calls.clear();
  // Internal 255 everywhere: ranges of 0..255 store caller values as they are.
  ASSERT_EQ(fx->SetBrightnessRange(0, 255), S_OK);
  ASSERT_EQ(fx->SetHueRange(0, 255), S_OK);
  ASSERT_EQ(fx->SetSaturationRange(0, 255), S_OK);
  ASSERT_EQ(fx->SetContrastRange(0, 255), S_OK);
  ASSERT_EQ(fx->SetSharpnessRange(0, 255), S_OK);
  std::int32_t b = 255, h = 255, s = 0, c = 127, sh = 255;
  ASSERT_EQ(fx->SetAdjustments(&b, &h, &s, &c, &sh), S_OK);
  ASSERT_EQ(fx->ApplyToImage(), S_OK);
  EXPECT_EQ(calls, (std::vector<std::string>{"brightness 1000", "hue 180", "saturation -992", "contrast 0",
                                             "sharpen 1000"}));
}

}  // namespace
