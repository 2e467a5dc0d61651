// CImageFx: the picture component's object. IImageFxProps keeps the five
// colour adjustments and runs the effect worker; IImageFx drives one image
// engine. Each interface has its own readiness flag.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "engines/picture/imagefx/effect_worker.h"
#include "engines/picture/imagefx/image_engine.h"
#include "interfaces/imagefx.h"
#include "platform/com/object.h"

// Both interfaces have an Uninitialize in slot 4 with different work; these
// two steps give each its own name in the object.
class ImageFxPropsSlots : public IImageFxProps {
 public:
  plat::HRESULT Uninitialize() final { return UninitializeAdjustments(); }
  virtual plat::HRESULT UninitializeAdjustments() = 0;

 protected:
  ~ImageFxPropsSlots() = default;
};

class ImageFxSlots : public IImageFx {
 public:
  plat::HRESULT Uninitialize() final { return UninitializeEngine(); }
  virtual plat::HRESULT UninitializeEngine() = 0;

 protected:
  ~ImageFxSlots() = default;
};

class CImageFx : public IImageFxBase, public ImageFxPropsSlots, public ImageFxSlots, public IImageFxSizedLoad {
 public:
  using Interfaces = plat::InterfaceList<IImageFxBase, IImageFxProps, IImageFx, IImageFxSizedLoad>;
  using EngineFactory = std::function<std::unique_ptr<imagefx::CImageEngine>()>;

  CImageFx();
  ~CImageFx();
  CImageFx(const CImageFx&) = delete;
  CImageFx& operator=(const CImageFx&) = delete;

  // IImageFxProps
  plat::HRESULT ResetAdjustments() override;
  plat::HRESULT UninitializeAdjustments() override;
  plat::HRESULT SetBrightnessRange(std::int32_t min, std::int32_t max) override;
  plat::HRESULT GetBrightnessRange(std::int32_t* min, std::int32_t* max) override;
  plat::HRESULT SetHueRange(std::int32_t min, std::int32_t max) override;
  plat::HRESULT GetHueRange(std::int32_t* min, std::int32_t* max) override;
  plat::HRESULT SetSaturationRange(std::int32_t min, std::int32_t max) override;
  plat::HRESULT GetSaturationRange(std::int32_t* min, std::int32_t* max) override;
  plat::HRESULT SetContrastRange(std::int32_t min, std::int32_t max) override;
  plat::HRESULT GetContrastRange(std::int32_t* min, std::int32_t* max) override;
  plat::HRESULT SetSharpnessRange(std::int32_t min, std::int32_t max) override;
  plat::HRESULT GetSharpnessRange(std::int32_t* min, std::int32_t* max) override;
  plat::HRESULT SetBrightness(std::int32_t value) override;
  plat::HRESULT SetHue(std::int32_t value) override;
  plat::HRESULT SetSaturation(std::int32_t value) override;
  plat::HRESULT SetContrast(std::int32_t value) override;
  plat::HRESULT SetSharpness(std::int32_t value) override;
  plat::HRESULT SetAdjustments(std::int32_t* brightness, std::int32_t* hue, std::int32_t* saturation,
                               std::int32_t* contrast, std::int32_t* sharpness) override;
  plat::HRESULT GetAdjustments(std::int32_t* values) override;
  plat::HRESULT ResetValues() override;
  plat::HRESULT ApplyToPixels(unsigned char* pixels, std::int32_t columns, std::int32_t rows) override;
  plat::HRESULT ApplyToImage() override;

  // IImageFx
  plat::HRESULT Initialize() override;
  plat::HRESULT UninitializeEngine() override;
  plat::HRESULT SetOption(std::int32_t option) override;
  plat::HRESULT SetViewParams(std::int32_t a, std::int32_t b, std::int32_t angle) override;
  plat::HRESULT GetViewParams(std::int32_t* values) override;
  plat::HRESULT SetRotation(std::int32_t angle) override;
  plat::HRESULT EnableEffects(std::int32_t on) override;
  plat::HRESULT LoadImage(const char* path) override;
  // IImageFxSizedLoad
  plat::HRESULT LoadImageForSize(const char* path, std::int32_t minWidth, std::int32_t minHeight) override;
  plat::HRESULT CloseImage() override;
  plat::HRESULT GetImageSize(std::int32_t* width, std::int32_t* height) override;
  plat::HRESULT FitImage(plat::RECT* area, float zoom, std::int32_t* out) override;
  plat::HRESULT Save() override;
  plat::HRESULT SaveAs(const char* path) override;
  plat::HRESULT ResizeAndSave(std::int32_t width, std::int32_t height) override;
  plat::HRESULT ResizeAndSaveAs(const char* path, std::int32_t width, std::int32_t height) override;
  plat::HRESULT MakeBitmapInfo(plat::BITMAPINFOHEADER* out, std::int32_t width, std::int32_t height,
                               std::int32_t bits) override;
  plat::HRESULT RenderToDib(plat::HBITMAP* out, plat::BITMAPINFO* info, std::int32_t width,
                            std::int32_t height) override;
  plat::HRESULT Paint(plat::HDC hdc, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) override;
  plat::HRESULT PaintFromRect(plat::HDC hdc, std::int32_t left, std::int32_t top, std::int32_t right,
                              std::int32_t bottom, std::int32_t placedLeft, std::int32_t placedTop,
                              std::int32_t placedRight, std::int32_t placedBottom) override;
  plat::HRESULT PaintPart(plat::HDC hdc, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                          std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
                          std::int32_t srcBottom) override;
  plat::HRESULT DrawFile(const char* path, plat::HDC hdc, std::int32_t x, std::int32_t y, std::int32_t width,
                         std::int32_t height) override;
  plat::HRESULT FileExists(const char* path) override;
  plat::HRESULT FolderExists(const char* path) override;
  plat::HRESULT IsSupportedImage(const char* path) override;
  plat::HRESULT RotateFile(const char* path, std::int32_t angle) override;
  plat::HRESULT Rotate(std::int32_t angle) override;
  plat::HRESULT ScalePercent(std::int32_t percent) override;
  plat::HRESULT ResizeToFit(std::int32_t width, std::int32_t height, std::int32_t resample) override;
  plat::HRESULT SetResolution(std::int32_t x, std::int32_t y) override;
  plat::HRESULT ScaleBy(float fx, float fy, std::int32_t resample) override;
  plat::HRESULT ScaleChannelsAt(std::int32_t x, std::int32_t y, float red, float green, float blue) override;
  plat::HRESULT ScaleChannelsInRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                                    float red, float green, float blue) override;
  plat::HRESULT ReduceRedEye(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                             float strength) override;
  plat::HRESULT ScreenToImage(plat::POINT* point, std::int32_t x, std::int32_t y, std::int32_t width,
                              std::int32_t height) override;
  plat::HRESULT CanPaint() override;
  plat::HRESULT FitWithMinimum(plat::RECT* area, plat::RECT* out, float minimum) override;

  // Tests put a recording or failing engine in place of the real one; it
  // takes effect at the next Initialize.
  void SetEngineFactory(EngineFactory factory) { m_engineFactory = std::move(factory); }
  imagefx::CImageEngine* Engine() { return m_pEngine.get(); }
  const std::string& ImagePath() const { return m_imagePath; }

 private:
  plat::HRESULT SetRange(EffectValue& record, std::int32_t min, std::int32_t max);
  plat::HRESULT GetRange(const EffectValue& record, std::int32_t* min, std::int32_t* max);
  plat::HRESULT SetValue(EffectValue& record, std::int32_t value);
  bool HasImage() const { return m_bEngineReady && m_pEngine && m_pEngine->IsLoaded(); }
  plat::HRESULT EngineResult(int result) const { return result ? plat::S_OK : plat::E_FAIL; }

  bool m_bAdjustmentsReady = false;
  std::unique_ptr<imagefx::CEffectWorker> m_pWorker;
  EffectValue m_adjustments[5];  // brightness, hue, saturation, contrast, sharpness
  std::unique_ptr<imagefx::CImageEngine> m_pEngine;
  std::string m_imagePath;
  bool m_bEngineReady = false;
  bool m_bOption = false;
  std::int32_t m_nViewA = 1;
  std::int32_t m_nViewB = 1;
  std::int32_t m_nRotation = 0;
  std::int32_t m_nEffectsOn = 0;
  EngineFactory m_engineFactory;
};
