// CImageEngine: holds one picture in memory and does the imaging work of the
// picture component: loading (upright, with its format, depth, sampling and
// metadata), painting into device contexts, rotating, resizing, colour work
// and saving. Operations return 1 for success and 0 for failure; LastError
// says why the last one failed.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engines/picture/imagefx/effect_worker.h"
#include "engines/picture/picture_core/picture_file.h"
#include "engines/picture/picture_core/picture_info.h"
#include "engines/picture/picture_core/picture_metadata.h"
#include "platform/core/types.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/surface.h"

namespace imagefx {

// Replaces a file's content as a whole; false (with a reason) leaves the old
// content in place. The default writes atomically.
using FileWriter = std::function<bool(const std::string& path, std::string_view content, std::string* error)>;
FileWriter AtomicFileWriter();

// The picture component's format code for a file extension (with or without
// its dot, any case), or nullopt outside the table.
std::optional<int> FormatCodeForExtension(std::string_view extension);

// The extension is one of the picture kinds the component reads.
bool HasSupportedExtension(const std::string& path);

// The extension is one of the picture kinds, and the content parses as one
// of the four formats within the surface limit.
bool IsSupportedImage(const std::string& path);

class CImageEngine {
 public:
  CImageEngine();
  virtual ~CImageEngine();                                                          // 0
  CImageEngine(const CImageEngine&) = delete;
  CImageEngine& operator=(const CImageEngine&) = delete;

  virtual int Close();                                                              // 1
  virtual int Reset();                                                              // 2, as Close
  virtual int Load(const std::string& path);                                        // 3
  virtual int Unload();                                                             // 4, as Close
  virtual int SaveAs(const std::string& path);                                      // 5
  virtual int Save();                                                               // 6
  virtual int CanPaint();                                                           // 7
  virtual int GetSize(std::int32_t* width, std::int32_t* height);                   // 8
  virtual int Paint(plat::HDC hdc, int x, int y, int width, int height);            // 9
  // The picture placed on `placed` (left, top, right, bottom), drawn where it
  // falls inside the destination rectangle.
  virtual int PaintFromRect(plat::HDC hdc, int left, int top, int right, int bottom, int placedLeft, int placedTop,
                            int placedRight, int placedBottom);                     // 10
  // The source rectangle of the picture into the destination rectangle.
  virtual int PaintPart(plat::HDC hdc, int left, int top, int right, int bottom, int srcLeft, int srcTop,
                        int srcRight, int srcBottom);                               // 11
  virtual int PaintEffect(plat::HDC hdc, int x, int y, int width, int height, int effect);  // 12
  virtual int DrawFile(const std::string& path, plat::HDC hdc, int x, int y, int width, int height);  // 13
  virtual int FormatFromExtension(const std::string& extension, std::int32_t* format);  // 14
  virtual int ClearChannelsAt(int x, int y, int red, int green, int blue);          // 15
  virtual int ClearChannelsAtPoint(int x, int y, int red, int green, int blue);     // 16, as 15
  virtual int ClearChannelsInRect(int left, int top, int right, int bottom, int red, int green, int blue);  // 17
  virtual int ScaleChannelsAt(int x, int y, float red, float green, float blue);    // 18
  virtual int ScaleChannelsAtPoint(int x, int y, float red, float green, float blue);  // 19, as 18
  virtual int ScaleChannelsInRect(int left, int top, int right, int bottom, float red, float green,
                                  float blue);                                      // 20
  virtual int ReduceRedEye(int left, int top, int right, int bottom, float strength);  // 21
  virtual int AdjustBrightness(int value);                                          // 22
  virtual int AdjustHue(int degrees);                                               // 23
  virtual int AdjustSaturation(int value);                                          // 24
  virtual int AdjustContrast(int value);                                            // 25
  virtual int Sharpen(int value);                                                   // 26
  virtual int RotateJpegFile(const std::string& path, int angle);                   // 27
  virtual int Rotate(int angle);                                                    // 28
  virtual int ScalePercent(int percent);                                            // 29
  virtual int Resize(int width, int height, int resample);                          // 30
  virtual int ResizeToFit(int width, int height, int resample);                     // 31
  virtual int SetResolution(int x, int y);                                          // 32
  virtual int ScaleBy(float fx, float fy, int resample);                            // 33
  virtual int ScreenToImage(plat::POINT* point, int x, int y, int width, int height);  // 34
  virtual int FitRect(int* x, int* y, int* width, int* height);                     // 35
  virtual int FitAspect(int* x, int* y, int* width, int* height, int imageWidth, int imageHeight);  // 36
  virtual int FitRatio(int* x, int* y, int* width, int* height, float ratio);       // 37
  virtual int FitWithMinimum(plat::RECT* area, plat::RECT* out, float minimum);     // 38
  virtual int SaveQuality(int format, std::int32_t* quality);                       // 39
  virtual int CopyComments(const std::string& path);                                // 40
  virtual int ReduceRedAt(int x, int y, float ratio, float factor);                 // 41
  virtual int InEllipse(int left, int top, int right, int bottom, int x, int y);    // 42

  // Loads the picture no larger than needed to cover min_width x min_height
  // upright (a JPEG at the smallest DCT scale that does). A picture loaded
  // reduced is only for drawing: Save and SaveAs refuse it.
  int LoadForSize(const std::string& path, int min_width, int min_height);

  // Paints the picture turned clockwise by `angle` (the loaded picture
  // itself stays as it is), fitted into the rectangle.
  int PaintTurned(plat::HDC hdc, int x, int y, int width, int height, int angle);

  bool IsLoaded() const { return pixels_ != nullptr; }
  const std::string& LastError() const { return error_; }
  const picture::PictureInfo& Info() const { return info_; }
  const plat::Surface* Pixels() const { return pixels_.get(); }
  void SetFileWriter(FileWriter writer) { writer_ = std::move(writer); }

 private:
  int Fail(std::string reason);
  int Adopt(const std::string& path, picture::Picture loaded);
  int ApplyAdjustment(const EffectParams& params);
  int StretchInto(plat::HDC hdc, const plat::SurfacePtr& source, int x, int y, int width, int height, int sx, int sy,
                  int sw, int sh);
  int WritePicture(const std::string& path, int format, int quality);

  std::string path_;
  plat::SurfacePtr pixels_;
  picture::PictureInfo info_;
  picture::PictureMetadata metadata_;
  int x_dpi_ = 96;
  int y_dpi_ = 96;
  bool turned_ = false;  // the pixels were turned since loading: a kept thumbnail is stale
  bool reduced_ = false;  // decoded below the file's size: never written back
  std::string error_;
  FileWriter writer_;
};

}  // namespace imagefx
