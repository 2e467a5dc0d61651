// The CPU pixel effect: brightness, saturation, hue, contrast and sharpening
// over a buffer of 32-bit BGRA pixels (alpha never changes). The picture
// engine applies the same formulas to whole pictures through ApplyEffects.
#pragma once

#include <cstdint>
#include <vector>

#include "interfaces/imagefx.h"

namespace imagefx {

struct EffectParams {
  int brightness = 0;       // offset added to each channel
  float contrast = 1.0f;    // factor about mid-grey
  float hue = 0.0f;         // turn in half circles (1 = 180 degrees)
  float saturation = 1.0f;  // factor on the distance from the luminance
  float sharpness = 0.0f;   // k of the kernel (1 + 4k centre, -k edges); negative blurs

  bool Active() const {
    return brightness != 0 || contrast != 1.0f || hue != 0.0f || saturation != 1.0f || sharpness != 0.0f;
  }
};

// From the worker's five bytes: brightness, contrast, hue, saturation, sharpness.
EffectParams ParamsFromBytes(const unsigned char values[5]);

// The 32 x 32 x 32 table of hue-turned colours (3 bytes, red first), with
// brightness and saturation already applied.
std::vector<std::uint8_t> BuildHueTable(const EffectParams& params);

// Applies every active step to rows x columns pixels. With a hue turn the
// colours come from `table` when given (32 levels per channel, fast), else
// each pixel is turned exactly. `work` is scratch space for sharpening.
void ApplyEffects(std::uint8_t* pixels, int columns, int rows, const EffectParams& params,
                  const std::uint8_t* table, std::vector<std::uint8_t>& work);

class CEffectWorker : public CEffect {
 public:
  CEffectWorker() = default;
  ~CEffectWorker() override = default;

  void Prepare(int columns, int rows) override;
  void Hook() override {}
  void SetValues(const unsigned char values[5]) override;
  void Apply(int unused, unsigned char* pixels, int unused2, int unused3) override;
  void Free() override;

  const EffectParams& Params() const { return m_params; }
  bool IsActive() const { return m_bActive; }
  bool IsPrepared() const { return m_bPrepared; }

 private:
  EffectParams m_params;
  std::vector<std::uint8_t> m_work;   // columns x rows x 4
  std::vector<std::uint8_t> m_table;  // 32 x 32 x 32 x 3
};

}  // namespace imagefx
