// The picture component: class "Kestrovia LT Image Controller" with three
// interfaces on one object (IImageFxBase, IImageFxProps for the five colour
// adjustments, IImageFx for loading, drawing, rotating, resizing and saving
// one picture), the adjustment record EffectValue and the abstract pixel
// effect CEffect. The object also answers IImageFxSizedLoad, for loading a
// picture only as large as it will be drawn. Paths are UTF-8.
#pragma once

#include <cstdint>

#include "platform/com/unknown.h"
#include "platform/core/types.h"
#include "platform/gdi/gdi_types.h"

inline constexpr plat::CLSID CLSID_ImageFx = plat::MakeGuid("{0D8300F6-BB44-4DA3-8D6B-55333A447B39}");
inline constexpr plat::IID IID_IImageFxBase = plat::MakeGuid("{47572542-7516-47E5-AF71-8601CCB553F5}");
inline constexpr plat::IID IID_IImageFxProps = plat::MakeGuid("{3E4295FC-E66D-4858-8C58-74B47633B66C}");
inline constexpr plat::IID IID_IImageFx = plat::MakeGuid("{672FCDAA-DEE2-4221-B161-A6F7BB45AD3C}");
inline constexpr plat::IID IID_IImageFxSizedLoad = plat::MakeGuid("{263AF91A-6D47-4536-8F97-213122FF8005}");

// One adjustment: the caller's range and the current value in internal
// units 0..255. A caller value v is stored as (v - minimum) x scale and reads
// back as value / scale + minimum (both truncated).
struct EffectValue {
  std::int32_t minimum = 0;
  std::int32_t maximum = 100;
  std::int32_t value = 127;
  float scale = 2.55f;
};

// A pixel effect over a buffer of 32-bit pixels. The five values are bytes
// 0..255 with 128 about neutral (sharpness 0 neutral).
class CEffect {
 public:
  CEffect() = default;
  CEffect(const CEffect&) = default;
  CEffect& operator=(const CEffect&) = default;
  virtual ~CEffect() = default;                                   // 0
  virtual void Prepare(int columns, int rows) = 0;                // 1
  virtual void Hook() = 0;                                        // 2, no effect
  virtual void SetValues(const unsigned char values[5]) = 0;      // 3
  virtual void Apply(int unused, unsigned char* pixels, int unused2, int unused3) = 0;  // 4
  virtual void Free() = 0;                                        // 5

 protected:
  unsigned char* m_pCurrent = nullptr;
  std::int32_t m_nReserved0 = 0;
  std::int32_t m_nReserved1 = 0;
  std::int32_t m_nRows = 0;
  std::int32_t m_nColumns = 0;
  std::int32_t m_nPixels = 0;
  // brightness, contrast, hue, saturation, sharpness
  unsigned char m_values[5] = {0, 0, 0, 0, 0};
  std::int32_t m_nReserved2 = 0;
  std::int32_t m_nReserved3 = 0;
  bool m_bPrepared = false;
  bool m_bActive = false;
};

struct IImageFxBase : plat::IUnknown {
 protected:
  ~IImageFxBase() = default;
};
PLAT_BIND_IID(IImageFxBase, IID_IImageFxBase);

// The five adjustments: S_OK, or E_FAIL when not ready or a value lies
// outside its range.
struct IImageFxProps : plat::IUnknown {
  virtual plat::HRESULT ResetAdjustments() = 0;                                           // 3
  virtual plat::HRESULT Uninitialize() = 0;                                               // 4
  virtual plat::HRESULT SetBrightnessRange(std::int32_t min, std::int32_t max) = 0;       // 5
  virtual plat::HRESULT GetBrightnessRange(std::int32_t* min, std::int32_t* max) = 0;     // 6
  virtual plat::HRESULT SetHueRange(std::int32_t min, std::int32_t max) = 0;              // 7
  virtual plat::HRESULT GetHueRange(std::int32_t* min, std::int32_t* max) = 0;            // 8
  virtual plat::HRESULT SetSaturationRange(std::int32_t min, std::int32_t max) = 0;       // 9
  virtual plat::HRESULT GetSaturationRange(std::int32_t* min, std::int32_t* max) = 0;     // 10
  virtual plat::HRESULT SetContrastRange(std::int32_t min, std::int32_t max) = 0;         // 11
  virtual plat::HRESULT GetContrastRange(std::int32_t* min, std::int32_t* max) = 0;       // 12
  virtual plat::HRESULT SetSharpnessRange(std::int32_t min, std::int32_t max) = 0;        // 13
  virtual plat::HRESULT GetSharpnessRange(std::int32_t* min, std::int32_t* max) = 0;      // 14
  virtual plat::HRESULT SetBrightness(std::int32_t value) = 0;                            // 15
  virtual plat::HRESULT SetHue(std::int32_t value) = 0;                                   // 16
  virtual plat::HRESULT SetSaturation(std::int32_t value) = 0;                            // 17
  virtual plat::HRESULT SetContrast(std::int32_t value) = 0;                              // 18
  virtual plat::HRESULT SetSharpness(std::int32_t value) = 0;                             // 19
  virtual plat::HRESULT SetAdjustments(std::int32_t* brightness, std::int32_t* hue, std::int32_t* saturation,
                                       std::int32_t* contrast, std::int32_t* sharpness) = 0;  // 20
  virtual plat::HRESULT GetAdjustments(std::int32_t* values) = 0;                         // 21, five values
  virtual plat::HRESULT ResetValues() = 0;                                                // 22
  virtual plat::HRESULT ApplyToPixels(unsigned char* pixels, std::int32_t columns, std::int32_t rows) = 0;  // 23
  virtual plat::HRESULT ApplyToImage() = 0;                                               // 24

 protected:
  ~IImageFxProps() = default;
};
PLAT_BIND_IID(IImageFxProps, IID_IImageFxProps);

// One picture at a time: S_OK, or E_FAIL when the object is not ready, no
// picture is loaded where one is needed, or the work fails.
struct IImageFx : plat::IUnknown {
  virtual plat::HRESULT Initialize() = 0;                                                 // 3
  virtual plat::HRESULT Uninitialize() = 0;                                               // 4
  virtual plat::HRESULT SetOption(std::int32_t option) = 0;                               // 5
  virtual plat::HRESULT SetViewParams(std::int32_t a, std::int32_t b, std::int32_t angle) = 0;  // 6
  virtual plat::HRESULT GetViewParams(std::int32_t* values) = 0;                          // 7, three values
  virtual plat::HRESULT SetRotation(std::int32_t angle) = 0;                              // 8
  virtual plat::HRESULT EnableEffects(std::int32_t on) = 0;                               // 9
  virtual plat::HRESULT LoadImage(const char* path) = 0;                                  // 10
  virtual plat::HRESULT CloseImage() = 0;                                                 // 11
  virtual plat::HRESULT GetImageSize(std::int32_t* width, std::int32_t* height) = 0;      // 12
  // The picture's pixels visible when it is fitted into `area` and zoomed;
  // the area shrinks to the zoomed picture along an axis it covers.
  virtual plat::HRESULT FitImage(plat::RECT* area, float zoom, std::int32_t* out) = 0;    // 13, two values
  virtual plat::HRESULT Save() = 0;                                                       // 14
  virtual plat::HRESULT SaveAs(const char* path) = 0;                                     // 15
  virtual plat::HRESULT ResizeAndSave(std::int32_t width, std::int32_t height) = 0;       // 16
  virtual plat::HRESULT ResizeAndSaveAs(const char* path, std::int32_t width, std::int32_t height) = 0;  // 17
  virtual plat::HRESULT MakeBitmapInfo(plat::BITMAPINFOHEADER* out, std::int32_t width, std::int32_t height,
                                       std::int32_t bits) = 0;                            // 18
  virtual plat::HRESULT RenderToDib(plat::HBITMAP* out, plat::BITMAPINFO* info, std::int32_t width,
                                    std::int32_t height) = 0;                             // 19
  virtual plat::HRESULT Paint(plat::HDC hdc, std::int32_t x, std::int32_t y, std::int32_t width,
                              std::int32_t height) = 0;                                   // 20
  // Paints the part of the picture, placed on the rectangle `placed`, that
  // falls inside the destination rectangle (both left, top, right, bottom).
  virtual plat::HRESULT PaintFromRect(plat::HDC hdc, std::int32_t left, std::int32_t top, std::int32_t right,
                                      std::int32_t bottom, std::int32_t placedLeft, std::int32_t placedTop,
                                      std::int32_t placedRight, std::int32_t placedBottom) = 0;  // 21
  // Paints the source rectangle (picture pixels, left, top, right, bottom)
  // into (x, y, width, height).
  virtual plat::HRESULT PaintPart(plat::HDC hdc, std::int32_t x, std::int32_t y, std::int32_t width,
                                  std::int32_t height, std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
                                  std::int32_t srcBottom) = 0;                            // 22
  virtual plat::HRESULT DrawFile(const char* path, plat::HDC hdc, std::int32_t x, std::int32_t y,
                                 std::int32_t width, std::int32_t height) = 0;            // 23
  virtual plat::HRESULT FileExists(const char* path) = 0;                                 // 24
  virtual plat::HRESULT FolderExists(const char* path) = 0;                               // 25
  virtual plat::HRESULT IsSupportedImage(const char* path) = 0;                           // 26
  virtual plat::HRESULT RotateFile(const char* path, std::int32_t angle) = 0;             // 27
  virtual plat::HRESULT Rotate(std::int32_t angle) = 0;                                   // 28
  virtual plat::HRESULT ScalePercent(std::int32_t percent) = 0;                           // 29
  virtual plat::HRESULT ResizeToFit(std::int32_t width, std::int32_t height, std::int32_t resample) = 0;  // 30
  virtual plat::HRESULT SetResolution(std::int32_t x, std::int32_t y) = 0;                // 31
  virtual plat::HRESULT ScaleBy(float fx, float fy, std::int32_t resample) = 0;           // 32
  virtual plat::HRESULT ScaleChannelsAt(std::int32_t x, std::int32_t y, float red, float green, float blue) = 0;  // 33
  virtual plat::HRESULT ScaleChannelsInRect(std::int32_t left, std::int32_t top, std::int32_t right,
                                            std::int32_t bottom, float red, float green, float blue) = 0;  // 34
  virtual plat::HRESULT ReduceRedEye(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                                     float strength) = 0;                                 // 35
  virtual plat::HRESULT ScreenToImage(plat::POINT* point, std::int32_t x, std::int32_t y, std::int32_t width,
                                      std::int32_t height) = 0;                           // 36
  virtual plat::HRESULT CanPaint() = 0;                                                   // 37
  virtual plat::HRESULT FitWithMinimum(plat::RECT* area, plat::RECT* out, float minimum) = 0;  // 38

 protected:
  ~IImageFx() = default;
};
PLAT_BIND_IID(IImageFx, IID_IImageFx);

// Loads a picture for drawing it no larger than a given size: a JPEG is
// decoded at the smallest DCT scale whose upright picture still covers
// minWidth x minHeight, other formats at full size. The loaded picture then
// works with IImageFx as one from LoadImage, except that a reduced picture
// is never saved (Save and SaveAs give E_FAIL). S_OK, or E_FAIL as LoadImage.
struct IImageFxSizedLoad : plat::IUnknown {
  virtual plat::HRESULT LoadImageForSize(const char* path, std::int32_t minWidth,
                                         std::int32_t minHeight) = 0;  // 3

 protected:
  ~IImageFxSizedLoad() = default;
};
PLAT_BIND_IID(IImageFxSizedLoad, IID_IImageFxSizedLoad);
