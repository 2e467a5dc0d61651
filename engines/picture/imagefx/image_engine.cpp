#include "engines/picture/imagefx/image_engine.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "engines/picture/imagefx/lossless_rotate.h"
#include "engines/picture/picture_core/exif_block.h"
#include "engines/picture/picture_core/fit.h"
#include "engines/picture/picture_core/picture_file.h"
#include "engines/picture/picture_core/pixel_ops.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/gif_codec.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/objects.h"
#include "platform/sys/atomic_file.h"

namespace imagefx {

namespace {

constexpr int kRed = 2, kGreen = 1, kBlue = 0;  // bytes of a BGRA pixel

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string ExtensionOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return Lower(path.substr(dot));
}

std::uint8_t ClampByte(float v) { return v <= 0.0f ? 0 : (v >= 255.0f ? 255 : static_cast<std::uint8_t>(v)); }

}  // namespace

FileWriter AtomicFileWriter() {
  return [](const std::string& path, std::string_view content, std::string* error) {
    const plat::AtomicWriteResult result = plat::WriteFileAtomically(path, content);
    if (!result) {
      std::fprintf(stderr, "picture: %s\n", result.what.c_str());
      if (error) *error = result.what;
    }
    return static_cast<bool>(result);
  };
}

std::optional<int> FormatCodeForExtension(std::string_view extension) {
  while (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
  static const std::pair<const char*, int> kTable[] = {
      {"bmp", 6},  {"jpg", 98}, {"jpeg", 98}, {"tif", 3},  {"png", 75},  {"cmp", 5},  {"ras", 55},
      {"tga", 4},  {"iff", 111}, {"psd", 76}, {"pcx", 1},  {"fpx", 83},  {"eps", 16}, {"wmf", 15},
      {"emf", 116}, {"cut", 108}, {"wpg", 54}, {"gif", 2}};
  const std::string lower = Lower(extension);
  for (const auto& [name, code] : kTable)
    if (lower == name) return code;
  return std::nullopt;
}

bool HasSupportedExtension(const std::string& path) {
  static const char* const kExtensions[] = {".bmp", ".jpg", ".png", ".jpeg", ".gif"};
  const std::string ext = ExtensionOf(path);
  return std::any_of(std::begin(kExtensions), std::end(kExtensions), [&](const char* e) { return ext == e; });
}

bool IsSupportedImage(const std::string& path) {
  if (!HasSupportedExtension(path)) return false;
  const auto bytes = picture::ReadPictureFile(path);
  if (!bytes) return false;
  const auto info = picture::ProbePicture(*bytes);
  return info && std::int64_t{info->width} * info->height <= plat::MaxSurfacePixels;
}

CImageEngine::CImageEngine() : writer_(AtomicFileWriter()) {}

CImageEngine::~CImageEngine() { Close(); }

int CImageEngine::Fail(std::string reason) {
  error_ = std::move(reason);
  return 0;
}

int CImageEngine::Close() {
  path_.clear();
  pixels_.reset();
  info_ = {};
  metadata_ = {};
  x_dpi_ = y_dpi_ = 96;
  turned_ = false;
  reduced_ = false;
  return 1;
}

int CImageEngine::Reset() { return Close(); }
int CImageEngine::Unload() { return Close(); }

int CImageEngine::Load(const std::string& path) {
  Close();
  std::string why;
  std::optional<picture::Picture> loaded = picture::LoadPictureFile(path, {}, &why);
  if (!loaded) return Fail(path + ": " + why);
  return Adopt(path, std::move(*loaded));
}

int CImageEngine::LoadForSize(const std::string& path, int min_width, int min_height) {
  Close();
  picture::LoadOptions options;
  options.min_width = std::max(min_width, 1);
  options.min_height = std::max(min_height, 1);
  // Metadata only matters for saving, which a reduced picture never does.
  options.metadata = false;
  std::string why;
  std::optional<picture::Picture> loaded = picture::LoadPictureFile(path, options, &why);
  if (!loaded) return Fail(path + ": " + why);
  const bool swap = picture::SwapsSides(picture::TurnForOrientation(loaded->info.orientation));
  const int stored_width = swap ? loaded->pixels.height() : loaded->pixels.width();
  const bool reduced = stored_width < loaded->info.width;
  Adopt(path, std::move(*loaded));
  reduced_ = reduced;
  return 1;
}

int CImageEngine::Adopt(const std::string& path, picture::Picture loaded) {
  path_ = path;
  info_ = loaded.info;
  metadata_ = std::move(loaded.metadata);
  pixels_ = std::make_shared<plat::Surface>(std::move(loaded.pixels));
  turned_ = info_.orientation != 1;
  return 1;
}

int CImageEngine::WritePicture(const std::string& path, int format, int quality) {
  picture::SaveOptions options;
  options.format = format;
  // The source's own quality when re-saving a JPEG, else the table's.
  options.jpeg_quality = info_.format == picture::kFormatJpeg && info_.jpeg_quality > 0 ? info_.jpeg_quality
                                                                                       : 100 - quality;
  if (options.jpeg_quality < 1 || options.jpeg_quality > 100) options.jpeg_quality = 90;
  if (info_.format == picture::kFormatJpeg) {
    options.h_sampling = info_.h_sampling;
    options.v_sampling = info_.v_sampling;
  }
  options.x_dpi = std::max(x_dpi_, 96);
  options.y_dpi = std::max(y_dpi_, 96);
  options.bmp_bits = info_.format == picture::kFormatBmp && info_.bits_per_pixel == 32 ? 32 : 24;
  if (info_.format == picture::kFormatPng || info_.format == picture::kFormatGif) {
    const plat::Surface& s = *pixels_;
    for (int y = 0; y < s.height() && !options.keep_alpha; ++y)
      for (int x = 0; x < s.width(); ++x)
        if ((s.row(y)[x] >> 24) != 0xFF) {
          options.keep_alpha = true;
          break;
        }
  }
  // The pixels are upright: the kept Exif block says so.
  picture::PictureMetadata kept = metadata_;
  if (!kept.exif.empty() && !picture::NormaliseExif(kept.exif, turned_)) kept.exif.clear();
  options.metadata = &kept;
  std::string why;
  const std::vector<std::uint8_t> bytes = picture::EncodePicture(*pixels_, options, &why);
  if (bytes.empty()) return Fail("cannot encode " + path + ": " + why);
  if (!writer_(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), &why))
    return Fail("cannot write " + path + ": " + why);
  return 1;
}

int CImageEngine::SaveAs(const std::string& path) {
  if (!IsLoaded() || path_.empty()) return Fail("no picture loaded");
  if (reduced_) return Fail(path_ + ": loaded reduced for drawing, not for saving");
  const std::optional<int> format = FormatCodeForExtension(ExtensionOf(path));
  if (!format) return Fail(path + ": unknown picture extension");
  if (*format != picture::kFormatBmp && *format != picture::kFormatJpeg && *format != picture::kFormatPng &&
      *format != picture::kFormatGif)
    return Fail(path + ": only BMP, JPEG, PNG and GIF pictures can be written");
  std::int32_t quality = 0;
  if (!SaveQuality(*format, &quality)) quality = 0;
  return WritePicture(path, *format, quality);
}

int CImageEngine::Save() {
  if (!IsLoaded() || path_.empty()) return Fail("no picture loaded");
  if (reduced_) return Fail(path_ + ": loaded reduced for drawing, not for saving");
  CopyComments(path_);
  std::int32_t quality = 0;
  if (!SaveQuality(info_.format, &quality)) quality = 0;
  return WritePicture(path_, info_.format, quality);
}

int CImageEngine::CanPaint() { return IsLoaded() && !pixels_->empty() ? 1 : 0; }

int CImageEngine::GetSize(std::int32_t* width, std::int32_t* height) {
  if (!IsLoaded() || !width || !height) return 0;
  *width = pixels_->width();
  *height = pixels_->height();
  return 1;
}

int CImageEngine::StretchInto(plat::HDC hdc, const plat::SurfacePtr& source, int x, int y, int width, int height,
                              int sx, int sy, int sw, int sh) {
  plat::HBITMAP bitmap = plat::CreateBitmapFromSurface(source);
  plat::HDC memory = plat::CreateCompatibleDC(nullptr);
  if (!bitmap || !memory) {
    if (memory) plat::DeleteDC(memory);
    if (bitmap) plat::DeleteObject(bitmap);
    return Fail("cannot paint");
  }
  plat::HGDIOBJ old = plat::SelectObject(memory, bitmap);
  const int old_mode = plat::SetStretchBltMode(hdc, plat::HALFTONE);
  const bool ok = plat::StretchBlt(hdc, x, y, width, height, memory, sx, sy, sw, sh, plat::SRCCOPY);
  if (old_mode) plat::SetStretchBltMode(hdc, old_mode);
  plat::SelectObject(memory, old);
  plat::DeleteDC(memory);
  plat::DeleteObject(bitmap);
  return ok ? 1 : Fail("painting failed");
}

int CImageEngine::Paint(plat::HDC hdc, int x, int y, int width, int height) {
  if (!IsLoaded()) return Fail("no picture loaded");
  if (!FitRect(&x, &y, &width, &height)) return Fail("nothing to paint into");
  return StretchInto(hdc, pixels_, x, y, width, height, 0, 0, pixels_->width(), pixels_->height());
}

int CImageEngine::PaintTurned(plat::HDC hdc, int x, int y, int width, int height, int angle) {
  if (!IsLoaded()) return Fail("no picture loaded");
  if (angle % 360 == 0) return Paint(hdc, x, y, width, height);
  std::optional<plat::Surface> turned = picture::RotateBy(*pixels_, angle);
  if (!turned) return Fail("picture too large to turn");
  auto surface = std::make_shared<plat::Surface>(std::move(*turned));
  if (!picture::FitAspect(&x, &y, &width, &height, surface->width(), surface->height()))
    return Fail("nothing to paint into");
  return StretchInto(hdc, surface, x, y, width, height, 0, 0, surface->width(), surface->height());
}

int CImageEngine::PaintFromRect(plat::HDC hdc, int left, int top, int right, int bottom, int placedLeft,
                                int placedTop, int placedRight, int placedBottom) {
  if (!IsLoaded()) return Fail("no picture loaded");
  const std::int64_t pw = placedRight - placedLeft, ph = placedBottom - placedTop;
  if (pw <= 0 || ph <= 0 || right <= left || bottom <= top) return Fail("empty rectangle");
  const std::int64_t w = pixels_->width(), h = pixels_->height();
  const int sx = static_cast<int>((left - placedLeft) * w / pw), sy = static_cast<int>((top - placedTop) * h / ph);
  const int sw = static_cast<int>((std::int64_t{right} - left) * w / pw);
  const int sh = static_cast<int>((std::int64_t{bottom} - top) * h / ph);
  return StretchInto(hdc, pixels_, left, top, right - left, bottom - top, sx, sy, std::max(sw, 1), std::max(sh, 1));
}

int CImageEngine::PaintPart(plat::HDC hdc, int left, int top, int right, int bottom, int srcLeft, int srcTop,
                            int srcRight, int srcBottom) {
  if (!IsLoaded()) return Fail("no picture loaded");
  if (srcLeft < 0 || srcTop < 0 || srcLeft >= pixels_->width() || srcTop >= pixels_->height())
    return Fail("source rectangle outside the picture");
  srcRight = std::min(srcRight, pixels_->width());
  srcBottom = std::min(srcBottom, pixels_->height());
  if (srcRight <= srcLeft || srcBottom <= srcTop) return Fail("empty source rectangle");
  return StretchInto(hdc, pixels_, left, top, right - left, bottom - top, srcLeft, srcTop, srcRight - srcLeft,
                     srcBottom - srcTop);
}

int CImageEngine::PaintEffect(plat::HDC hdc, int x, int y, int width, int height, int) {
  return Paint(hdc, x, y, width, height);
}

int CImageEngine::DrawFile(const std::string& path, plat::HDC hdc, int x, int y, int width, int height) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return Fail(path + ": no such file");
  const auto bytes = picture::ReadPictureFile(path, &error_);
  if (!bytes) return 0;
  std::string why;
  const auto info = picture::ProbePicture(*bytes, &why);
  if (!info) return Fail(path + ": " + why);
  const bool swap = picture::SwapsSides(picture::TurnForOrientation(info->orientation));
  const int upright_w = swap ? info->height : info->width, upright_h = swap ? info->width : info->height;
  int fx = x, fy = y, fw = width, fh = height;
  if (!picture::FitAspect(&fx, &fy, &fw, &fh, upright_w, upright_h)) return Fail("nothing to paint into");
  // Decoded no larger than needed: a JPEG at the smallest DCT scale that
  // still covers the fitted size.
  picture::LoadOptions options;
  options.min_width = fw;
  options.min_height = fh;
  options.metadata = false;
  std::optional<picture::Picture> loaded = picture::DecodePicture(*bytes, options, &why);
  if (!loaded) return Fail(path + ": " + why);
  auto surface = std::make_shared<plat::Surface>(std::move(loaded->pixels));
  StretchInto(hdc, surface, fx, fy, fw, fh, 0, 0, surface->width(), surface->height());
  return 1;
}

int CImageEngine::FormatFromExtension(const std::string& extension, std::int32_t* format) {
  const std::optional<int> code = FormatCodeForExtension(extension);
  if (!code || !format) return 0;
  *format = *code;
  return 1;
}

int CImageEngine::ClearChannelsAt(int x, int y, int red, int green, int blue) {
  if (!red && !green && !blue) return 0;
  return ScaleChannelsAt(x, y, red ? 0.0f : 1.0f, green ? 0.0f : 1.0f, blue ? 0.0f : 1.0f);
}

int CImageEngine::ClearChannelsAtPoint(int x, int y, int red, int green, int blue) {
  return ClearChannelsAt(x, y, red, green, blue);
}

int CImageEngine::ClearChannelsInRect(int left, int top, int right, int bottom, int red, int green, int blue) {
  if (!red && !green && !blue) return 0;
  return ScaleChannelsInRect(left, top, right, bottom, red ? 0.0f : 1.0f, green ? 0.0f : 1.0f, blue ? 0.0f : 1.0f);
}

int CImageEngine::ScaleChannelsAt(int x, int y, float red, float green, float blue) {
  if (!IsLoaded() || !pixels_->contains(x, y)) return 0;
  if (red == 1.0f && green == 1.0f && blue == 1.0f) return 0;
  auto* px = reinterpret_cast<std::uint8_t*>(pixels_->row(y) + x);
  px[kRed] = ClampByte(px[kRed] * red);
  if (green != 1.0f) px[kGreen] = ClampByte(px[kGreen] * green);
  if (blue != 1.0f) px[kBlue] = ClampByte(px[kBlue] * blue);
  return 1;
}

int CImageEngine::ScaleChannelsAtPoint(int x, int y, float red, float green, float blue) {
  return ScaleChannelsAt(x, y, red, green, blue);
}

int CImageEngine::ScaleChannelsInRect(int left, int top, int right, int bottom, float red, float green, float blue) {
  if (!IsLoaded()) return 0;
  if (red == 1.0f && green == 1.0f && blue == 1.0f) return 0;
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (left == right || top == bottom) return 0;
  if (!pixels_->contains(left, top) || !pixels_->contains(right, bottom)) return 0;
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) ScaleChannelsAt(x, y, red, green, blue);
  return 1;
}

int CImageEngine::ReduceRedEye(int left, int top, int right, int bottom, float strength) {
  if (!IsLoaded() || strength == 1.0f || !(strength >= 0.0f)) return 0;
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (left < 0 || top < 0 || right > pixels_->width() || bottom > pixels_->height()) return 0;
  const float ratio = 1.0f - strength, factor = std::sqrt(strength);
  for (int y = top; y <= bottom && y < pixels_->height(); ++y)
    for (int x = left; x <= right && x < pixels_->width(); ++x)
      if (InEllipse(left, top, right, bottom, x, y)) ReduceRedAt(x, y, ratio, factor);
  return 1;
}

int CImageEngine::ApplyAdjustment(const EffectParams& params) {
  if (!IsLoaded()) return Fail("no picture loaded");
  if (!params.Active()) return 1;
  std::vector<std::uint8_t> work;
  ApplyEffects(reinterpret_cast<std::uint8_t*>(pixels_->data()), pixels_->width(), pixels_->height(), params,
               nullptr, work);
  return 1;
}

int CImageEngine::AdjustBrightness(int value) {
  if (value < -1000 || value > 1000) return Fail("brightness out of range");
  EffectParams p;
  p.brightness = value * 256 / 1000;
  return ApplyAdjustment(p);
}

int CImageEngine::AdjustHue(int degrees) {
  if (degrees < -180 || degrees > 180) return Fail("hue out of range");
  EffectParams p;
  p.hue = static_cast<float>(degrees) / 180.0f;
  return ApplyAdjustment(p);
}

int CImageEngine::AdjustSaturation(int value) {
  if (value < -1000 || value > 1000) return Fail("saturation out of range");
  EffectParams p;
  p.saturation = 1.0f + static_cast<float>(value) / 1000.0f;
  return ApplyAdjustment(p);
}

int CImageEngine::AdjustContrast(int value) {
  if (value < -1000 || value > 1000) return Fail("contrast out of range");
  EffectParams p;
  p.contrast = 1.0f + static_cast<float>(value) / 1000.0f;
  return ApplyAdjustment(p);
}

int CImageEngine::Sharpen(int value) {
  if (value < -1000 || value > 1000) return Fail("sharpness out of range");
  EffectParams p;
  p.sharpness = static_cast<float>(value) / 1000.0f;
  return ApplyAdjustment(p);
}

int CImageEngine::RotateJpegFile(const std::string& path, int angle) {
  std::string why;
  if (!RotateJpegLosslessly(path, angle, writer_, &why)) return Fail(why);
  return 1;
}

int CImageEngine::Rotate(int angle) {
  if (angle % 360 == 0) return 1;
  if (!IsLoaded()) return Fail("no picture loaded");
  std::optional<plat::Surface> turned = picture::RotateBy(*pixels_, angle);
  if (!turned) return Fail("picture too large to turn");
  pixels_ = std::make_shared<plat::Surface>(std::move(*turned));
  turned_ = true;
  return 1;
}

int CImageEngine::ScalePercent(int percent) {
  if (percent < 0) return Fail("negative scale");
  if (percent == 100) return 1;
  if (!IsLoaded()) return Fail("no picture loaded");
  return Resize(static_cast<int>(std::int64_t{pixels_->width()} * percent / 100),
                static_cast<int>(std::int64_t{pixels_->height()} * percent / 100), 1);
}

int CImageEngine::Resize(int width, int height, int resample) {
  if (!IsLoaded()) return Fail("no picture loaded");
  std::optional<plat::Surface> resized = picture::Resize(*pixels_, width, height, resample != 0);
  if (!resized) return Fail("size out of range");
  pixels_ = std::make_shared<plat::Surface>(std::move(*resized));
  return 1;
}

int CImageEngine::ResizeToFit(int width, int height, int resample) {
  int x = 0, y = 0;
  if (!FitRect(&x, &y, &width, &height)) return Fail("nothing to fit into");
  return Resize(width, height, resample);
}

int CImageEngine::SetResolution(int x, int y) {
  if (x > 0) x_dpi_ = x;
  if (y > 0) y_dpi_ = y;
  return 1;
}

int CImageEngine::ScaleBy(float fx, float fy, int resample) {
  if (fx < 0 || fy < 0) return Fail("negative scale");
  if (fx == 1.0f && fy == 1.0f) return 1;
  if (!IsLoaded()) return Fail("no picture loaded");
  const double w = static_cast<double>(pixels_->width()) * fx, h = static_cast<double>(pixels_->height()) * fy;
  if (w < 1 || h < 1 || w * h > static_cast<double>(plat::MaxSurfacePixels)) return Fail("size out of range");
  return Resize(static_cast<int>(w), static_cast<int>(h), resample);
}

int CImageEngine::ScreenToImage(plat::POINT* point, int x, int y, int width, int height) {
  if (!IsLoaded() || !point) return 0;
  if (point->x < x || point->y < y || point->x >= x + width || point->y >= y + height) return 0;
  if (!FitRect(&x, &y, &width, &height)) return 0;
  const std::int64_t px = (std::int64_t{point->x} - x) * pixels_->width() / width;
  const std::int64_t py = (std::int64_t{point->y} - y) * pixels_->height() / height;
  point->x = static_cast<plat::LONG>(std::clamp<std::int64_t>(px, 0, pixels_->width() - 1));
  point->y = static_cast<plat::LONG>(std::clamp<std::int64_t>(py, 0, pixels_->height() - 1));
  return 1;
}

int CImageEngine::FitRect(int* x, int* y, int* width, int* height) {
  if (!IsLoaded()) return 0;
  return FitAspect(x, y, width, height, pixels_->width(), pixels_->height());
}

int CImageEngine::FitAspect(int* x, int* y, int* width, int* height, int imageWidth, int imageHeight) {
  return picture::FitAspect(x, y, width, height, imageWidth, imageHeight) ? 1 : 0;
}

int CImageEngine::FitRatio(int* x, int* y, int* width, int* height, float ratio) {
  return picture::FitRatio(x, y, width, height, ratio) ? 1 : 0;
}

int CImageEngine::FitWithMinimum(plat::RECT* area, plat::RECT* out, float minimum) {
  if (!IsLoaded() || !area || !out) return 0;
  return picture::FitWithMinimum(area, out, pixels_->width(), pixels_->height(), minimum,
                                 info_.format == picture::kFormatGif)
             ? 1
             : 0;
}

int CImageEngine::SaveQuality(int format, std::int32_t* quality) {
  if (!quality) return 0;
  if (format == 5 || format == 83) *quality = -2;
  else if (format == 10 || format == 11) *quality = 0;
  else if (format >= 21 && format <= 24) *quality = 2;
  else if (format == picture::kFormatJpeg) *quality = 10;
  else return 0;
  return 1;
}

int CImageEngine::CopyComments(const std::string& path) {
  const auto bytes = picture::ReadPictureFile(path);
  if (!bytes) return 0;
  const auto info = picture::ProbePicture(*bytes);
  if (!info) return 0;
  picture::PictureMetadata read;
  if (info->format == picture::kFormatJpeg) read = picture::ReadJpegMetadata(*bytes);
  else if (info->format == picture::kFormatPng) read = picture::ReadPngMetadata(*bytes);
  else if (info->format == picture::kFormatGif) plat::gdi::DecodeGif(*bytes, nullptr, &read.comments);
  metadata_ = std::move(read);
  return 1;
}

int CImageEngine::ReduceRedAt(int x, int y, float ratio, float factor) {
  if (!IsLoaded() || !pixels_->contains(x, y)) return 0;
  auto* px = reinterpret_cast<std::uint8_t*>(pixels_->row(y) + x);
  const float r = px[kRed], g = px[kGreen], b = px[kBlue];
  if (r == 0) return 1;  // no red to reduce, and the ratios below would divide by zero
  float out = r;
  if (g / r <= ratio) out *= factor;
  if (b / r <= ratio) out *= factor;
  if (g / r < ratio || b / r < ratio) out = std::min(g, b);
  px[kRed] = ClampByte(out);
  return 1;
}

int CImageEngine::InEllipse(int left, int top, int right, int bottom, int x, int y) {
  const std::int64_t cx = (std::int64_t{left} + right) / 2, cy = (std::int64_t{top} + bottom) / 2;
  const std::int64_t rx = (std::int64_t{right} - left) / 2, ry = (std::int64_t{bottom} - top) / 2;
  if (rx == 0 || ry == 0) return 0;
  const double dx = static_cast<double>(x - cx), dy = static_cast<double>(y - cy);
  return dx * dx / static_cast<double>(rx * rx) + dy * dy / static_cast<double>(ry * ry) <= 1.0 ? 1 : 0;
}

}  // namespace imagefx
