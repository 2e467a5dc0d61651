#include "engines/picture/imagefx/image_fx.h"

#include <sys/stat.h>

#include <cmath>
#include <string_view>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/objects.h"

using plat::E_FAIL;
using plat::HRESULT;
using plat::S_OK;

namespace {

constexpr int kBrightness = 0, kHue = 1, kSaturation = 2, kContrast = 3, kSharpness = 4;

EffectValue DefaultValue(std::int32_t value) { return EffectValue{0, 100, value, 2.55f}; }

// Internal 0..255 to the engine's signed amounts (127 is neutral).
std::int32_t ToEngineAmount(std::int32_t v) { return (v * 1000 - 127000) / 128; }
std::int32_t ToEngineHue(std::int32_t v) { return (v * 180 - 22860) / 128; }

std::int32_t Normalise(std::int32_t angle) { return ((angle % 360) + 360) % 360; }

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

CImageFx::CImageFx()
    : m_engineFactory([] { return std::make_unique<imagefx::CImageEngine>(); }) {}

CImageFx::~CImageFx() = default;

// ---- adjustments ----

HRESULT CImageFx::ResetAdjustments() {
  for (int i = 0; i < 4; ++i) m_adjustments[i] = DefaultValue(127);
  m_adjustments[kSharpness] = DefaultValue(0);
  m_pWorker = std::make_unique<imagefx::CEffectWorker>();
  m_bAdjustmentsReady = true;
  return S_OK;
}

HRESULT CImageFx::UninitializeAdjustments() {
  m_pWorker.reset();
  m_bAdjustmentsReady = false;
  return S_OK;
}

HRESULT CImageFx::SetRange(EffectValue& record, std::int32_t min, std::int32_t max) {
  if (!m_bAdjustmentsReady || min >= max) return E_FAIL;
  record = EffectValue{min, max, 127, 255.0f / static_cast<float>(std::int64_t{max} - min)};
  return S_OK;
}

HRESULT CImageFx::GetRange(const EffectValue& record, std::int32_t* min, std::int32_t* max) {
  if (!m_bAdjustmentsReady || !min || !max) return E_FAIL;
  *min = record.minimum;
  *max = record.maximum;
  return S_OK;
}

HRESULT CImageFx::SetValue(EffectValue& record, std::int32_t value) {
  if (!m_bAdjustmentsReady || value < record.minimum || value > record.maximum) return E_FAIL;
  record.value = static_cast<std::int32_t>(static_cast<float>(std::int64_t{value} - record.minimum) * record.scale);
  return S_OK;
}

HRESULT CImageFx::SetBrightnessRange(std::int32_t min, std::int32_t max) { return SetRange(m_adjustments[kBrightness], min, max); }
HRESULT CImageFx::GetBrightnessRange(std::int32_t* min, std::int32_t* max) { return GetRange(m_adjustments[kBrightness], min, max); }
HRESULT CImageFx::SetHueRange(std::int32_t min, std::int32_t max) { return SetRange(m_adjustments[kHue], min, max); }
HRESULT CImageFx::GetHueRange(std::int32_t* min, std::int32_t* max) { return GetRange(m_adjustments[kHue], min, max); }
HRESULT CImageFx::SetSaturationRange(std::int32_t min, std::int32_t max) { return SetRange(m_adjustments[kSaturation], min, max); }
HRESULT CImageFx::GetSaturationRange(std::int32_t* min, std::int32_t* max) { return GetRange(m_adjustments[kSaturation], min, max); }
HRESULT CImageFx::SetContrastRange(std::int32_t min, std::int32_t max) { return SetRange(m_adjustments[kContrast], min, max); }
HRESULT CImageFx::GetContrastRange(std::int32_t* min, std::int32_t* max) { return GetRange(m_adjustments[kContrast], min, max); }
HRESULT CImageFx::SetSharpnessRange(std::int32_t min, std::int32_t max) { return SetRange(m_adjustments[kSharpness], min, max); }
HRESULT CImageFx::GetSharpnessRange(std::int32_t* min, std::int32_t* max) { return GetRange(m_adjustments[kSharpness], min, max); }
HRESULT CImageFx::SetBrightness(std::int32_t value) { return SetValue(m_adjustments[kBrightness], value); }
HRESULT CImageFx::SetHue(std::int32_t value) { return SetValue(m_adjustments[kHue], value); }
HRESULT CImageFx::SetSaturation(std::int32_t value) { return SetValue(m_adjustments[kSaturation], value); }
HRESULT CImageFx::SetContrast(std::int32_t value) { return SetValue(m_adjustments[kContrast], value); }
HRESULT CImageFx::SetSharpness(std::int32_t value) { return SetValue(m_adjustments[kSharpness], value); }

HRESULT CImageFx::SetAdjustments(std::int32_t* brightness, std::int32_t* hue, std::int32_t* saturation,
                                 std::int32_t* contrast, std::int32_t* sharpness) {
  if (!m_bAdjustmentsReady) return E_FAIL;
  std::int32_t* values[5] = {brightness, hue, saturation, contrast, sharpness};
  for (int i = 0; i < 5; ++i) {
    if (!values[i] || *values[i] < m_adjustments[i].minimum || *values[i] > m_adjustments[i].maximum) return E_FAIL;
  }
  for (int i = 0; i < 5; ++i) SetValue(m_adjustments[i], *values[i]);
  return S_OK;
}

HRESULT CImageFx::GetAdjustments(std::int32_t* values) {
  if (!m_bAdjustmentsReady || !values) return E_FAIL;
  for (int i = 0; i < 5; ++i) {
    const EffectValue& v = m_adjustments[i];
    values[i] = static_cast<std::int32_t>(static_cast<float>(v.value) / v.scale) + v.minimum;
  }
  return S_OK;
}

HRESULT CImageFx::ResetValues() {
  if (!m_bAdjustmentsReady) return E_FAIL;
  for (int i = 0; i < 4; ++i) m_adjustments[i].value = 127;
  m_adjustments[kSharpness].value = 0;
  return S_OK;
}

HRESULT CImageFx::ApplyToPixels(unsigned char* pixels, std::int32_t columns, std::int32_t rows) {
  if (!m_bAdjustmentsReady || !m_pWorker || !pixels) return E_FAIL;
  auto byte = [&](int i) { return static_cast<unsigned char>(std::clamp(m_adjustments[i].value, 0, 255)); };
  const unsigned char values[5] = {byte(kBrightness), byte(kContrast), byte(kHue), byte(kSaturation),
                                   byte(kSharpness)};
  m_pWorker->Prepare(columns, rows);
  m_pWorker->SetValues(values);
  m_pWorker->Apply(100, pixels, 0, 0);
  m_pWorker->Free();
  return S_OK;
}

HRESULT CImageFx::ApplyToImage() {
  if (!m_bAdjustmentsReady || !m_pWorker || !m_bEngineReady || !m_pEngine) return E_FAIL;
  m_pEngine->AdjustBrightness(ToEngineAmount(m_adjustments[kBrightness].value));
  m_pEngine->AdjustHue(ToEngineHue(m_adjustments[kHue].value));
  m_pEngine->AdjustSaturation(ToEngineAmount(m_adjustments[kSaturation].value));
  m_pEngine->AdjustContrast(ToEngineAmount(m_adjustments[kContrast].value));
  m_pEngine->Sharpen(ToEngineAmount(m_adjustments[kSharpness].value));
  return S_OK;
}

// ---- the picture ----

HRESULT CImageFx::Initialize() {
  if (m_pEngine) m_pEngine->Close();
  m_pEngine = m_engineFactory();
  if (!m_pEngine) return E_FAIL;
  m_pEngine->Close();
  m_imagePath.clear();
  m_bEngineReady = true;
  m_bOption = false;
  return S_OK;
}

HRESULT CImageFx::UninitializeEngine() {
  if (m_pEngine) m_pEngine->Close();
  m_pEngine.reset();
  m_imagePath.clear();
  m_bEngineReady = false;
  return S_OK;
}

HRESULT CImageFx::SetOption(std::int32_t option) {
  if (!m_bEngineReady) return E_FAIL;
  m_bOption = option != 0;
  return S_OK;
}

HRESULT CImageFx::SetViewParams(std::int32_t a, std::int32_t b, std::int32_t angle) {
  if (!m_bEngineReady) return E_FAIL;
  m_nViewA = a;
  m_nViewB = b;
  m_nRotation = Normalise(angle);
  return S_OK;
}

HRESULT CImageFx::GetViewParams(std::int32_t* values) {
  if (!m_bEngineReady || !values) return E_FAIL;
  values[0] = m_nViewA;
  values[1] = m_nViewB;
  values[2] = m_nRotation;
  return S_OK;
}

HRESULT CImageFx::SetRotation(std::int32_t angle) {
  if (!m_bEngineReady) return E_FAIL;
  m_nRotation = Normalise(angle);
  return S_OK;
}

HRESULT CImageFx::EnableEffects(std::int32_t on) {
  m_nEffectsOn = on;
  return S_OK;
}

HRESULT CImageFx::LoadImage(const char* path) {
  if (!m_bEngineReady || !path) return E_FAIL;
  if (!imagefx::IsSupportedImage(path) || !m_pEngine->Load(path)) return E_FAIL;
  m_imagePath = path;
  return S_OK;
}

HRESULT CImageFx::LoadImageForSize(const char* path, std::int32_t minWidth, std::int32_t minHeight) {
  if (!m_bEngineReady || !path) return E_FAIL;
  // The decoder checks the content and its size limit on the one read.
  if (!imagefx::HasSupportedExtension(path) || !m_pEngine->LoadForSize(path, minWidth, minHeight)) return E_FAIL;
  m_imagePath = path;
  return S_OK;
}

HRESULT CImageFx::CloseImage() {
  if (!m_bEngineReady) return E_FAIL;
  m_pEngine->Close();
  m_imagePath.clear();
  return S_OK;
}

HRESULT CImageFx::GetImageSize(std::int32_t* width, std::int32_t* height) {
  if (!HasImage()) return E_FAIL;
  return EngineResult(m_pEngine->GetSize(width, height));
}

HRESULT CImageFx::FitImage(plat::RECT* area, float zoom, std::int32_t* out) {
  if (!HasImage() || !area || !out || !(zoom > 0.0f)) return E_FAIL;
  int x = area->left, y = area->top, w = area->right - area->left, h = area->bottom - area->top;
  if (!m_pEngine->FitRect(&x, &y, &w, &h)) return E_FAIL;
  const double zw = w * static_cast<double>(zoom), zh = h * static_cast<double>(zoom);
  std::int32_t iw = 0, ih = 0;
  m_pEngine->GetSize(&iw, &ih);
  const double aw = area->right - area->left, ah = area->bottom - area->top;
  if (aw < zw) {
    out[0] = static_cast<std::int32_t>(aw / zw * iw);
  } else {
    area->left += static_cast<plat::LONG>((aw - zw) / 2);
    area->right = area->left + static_cast<plat::LONG>(zw);
    out[0] = iw;
  }
  if (ah < zh) {
    out[1] = static_cast<std::int32_t>(ah / zh * ih);
  } else {
    area->top += static_cast<plat::LONG>((ah - zh) / 2);
    area->bottom = area->top + static_cast<plat::LONG>(zh);
    out[1] = ih;
  }
  return S_OK;
}

HRESULT CImageFx::Save() {
  if (!HasImage()) return E_FAIL;
  return SaveAs(m_imagePath.c_str());
}

HRESULT CImageFx::SaveAs(const char* path) {
  if (!m_bEngineReady || !path) return E_FAIL;
  return EngineResult(m_pEngine->SaveAs(path));
}

HRESULT CImageFx::ResizeAndSave(std::int32_t width, std::int32_t height) {
  if (!HasImage()) return E_FAIL;
  if (!m_pEngine->Resize(width, height, 0)) return E_FAIL;
  return Save();
}

HRESULT CImageFx::ResizeAndSaveAs(const char* path, std::int32_t width, std::int32_t height) {
  if (!HasImage()) return E_FAIL;
  if (!m_pEngine->Resize(width, height, 0)) return E_FAIL;
  return SaveAs(path);
}

HRESULT CImageFx::MakeBitmapInfo(plat::BITMAPINFOHEADER* out, std::int32_t width, std::int32_t height,
                                 std::int32_t bits) {
  if (!out) return E_FAIL;
  // The image size must fit its 32-bit field.
  const std::int64_t size = std::int64_t{width} * bits * height / 8;
  if (size < 0 || size > 0xFFFFFFFFll) return E_FAIL;
  *out = plat::BITMAPINFOHEADER{};
  out->biSize = 40;
  out->biWidth = width;
  out->biHeight = height;
  out->biPlanes = 1;
  out->biBitCount = static_cast<plat::WORD>(bits);
  out->biCompression = plat::BI_RGB;
  out->biSizeImage = static_cast<plat::DWORD>(size);
  out->biXPelsPerMeter = 100;
  out->biYPelsPerMeter = 100;
  out->biClrUsed = 0;
  return S_OK;
}

HRESULT CImageFx::RenderToDib(plat::HBITMAP* out, plat::BITMAPINFO* info, std::int32_t width, std::int32_t height) {
  if (!HasImage() || !out || !info) return E_FAIL;
  void* bits = nullptr;
  plat::HBITMAP dib = plat::CreateDIBSection(nullptr, info, plat::DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib) return E_FAIL;
  plat::HDC dc = plat::CreateCompatibleDC(nullptr);
  plat::HGDIOBJ old = plat::SelectObject(dc, dib);
  m_pEngine->PaintTurned(dc, 0, 0, width, height, m_nRotation);
  plat::SelectObject(dc, old);
  plat::DeleteDC(dc);
  if (m_bAdjustmentsReady && m_nEffectsOn) {
    // The section's own size bounds the work, whatever the caller passed.
    const plat::SurfacePtr surface = plat::GetBitmapSurface(dib);
    if (surface) ApplyToPixels(static_cast<unsigned char*>(bits), surface->width(), surface->height());
  }
  *out = dib;
  return S_OK;
}

HRESULT CImageFx::Paint(plat::HDC hdc, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
  if (!HasImage()) return E_FAIL;
  return EngineResult(m_pEngine->Paint(hdc, x, y, width, height));
}

HRESULT CImageFx::PaintFromRect(plat::HDC hdc, std::int32_t left, std::int32_t top, std::int32_t right,
                                std::int32_t bottom, std::int32_t placedLeft, std::int32_t placedTop,
                                std::int32_t placedRight, std::int32_t placedBottom) {
  if (!HasImage()) return E_FAIL;
  return EngineResult(
      m_pEngine->PaintFromRect(hdc, left, top, right, bottom, placedLeft, placedTop, placedRight, placedBottom));
}

HRESULT CImageFx::PaintPart(plat::HDC hdc, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                            std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom) {
  if (!HasImage()) return E_FAIL;
  return EngineResult(m_pEngine->PaintPart(hdc, x, y, x + width, y + height, srcLeft, srcTop, srcRight, srcBottom));
}

HRESULT CImageFx::DrawFile(const char* path, plat::HDC hdc, std::int32_t x, std::int32_t y, std::int32_t width,
                           std::int32_t height) {
  if (!m_bEngineReady || !path) return E_FAIL;
  return EngineResult(m_pEngine->DrawFile(path, hdc, x, y, width, height));
}

HRESULT CImageFx::FileExists(const char* path) {
  struct stat st {};
  return path && ::stat(path, &st) == 0 ? S_OK : E_FAIL;
}

HRESULT CImageFx::FolderExists(const char* path) {
  if (!path || !*path) return E_FAIL;
  std::string folder(path);
  // A path ending in a separator names the folder itself, else its parent.
  if (folder.back() != '/') {
    const std::size_t slash = folder.find_last_of('/');
    folder = slash == std::string::npos ? "." : folder.substr(0, slash + 1);
  }
  return IsDirectory(folder) ? S_OK : E_FAIL;
}

HRESULT CImageFx::IsSupportedImage(const char* path) {
  if (!m_bEngineReady || !path) return E_FAIL;
  return imagefx::IsSupportedImage(path) ? S_OK : E_FAIL;
}

HRESULT CImageFx::RotateFile(const char* path, std::int32_t angle) {
  if (!m_bEngineReady || !path) return E_FAIL;
  std::string ext(path);
  const std::size_t dot = ext.find_last_of('.');
  ext = dot == std::string::npos ? std::string() : ext.substr(dot);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if ((ext == ".jpg" || ext == ".jpeg" || ext == ".cmp") && m_pEngine->RotateJpegFile(path, angle)) return S_OK;
  // Load, turn and save; the result says whether all of it worked.
  const std::string target(path);
  HRESULT hr = LoadImage(target.c_str());
  if (plat::SUCCEEDED(hr)) hr = Rotate(angle);
  if (plat::SUCCEEDED(hr)) hr = Save();
  CloseImage();
  return hr;
}

HRESULT CImageFx::Rotate(std::int32_t angle) {
  if (!m_bEngineReady) return E_FAIL;
  return EngineResult(m_pEngine->Rotate(angle));
}

HRESULT CImageFx::ScalePercent(std::int32_t percent) {
  if (!m_bEngineReady) return E_FAIL;
  return EngineResult(m_pEngine->ScalePercent(percent));
}

HRESULT CImageFx::ResizeToFit(std::int32_t width, std::int32_t height, std::int32_t resample) {
  if (!m_bEngineReady) return E_FAIL;
  return EngineResult(m_pEngine->ResizeToFit(width, height, resample));
}

HRESULT CImageFx::SetResolution(std::int32_t x, std::int32_t y) {
  if (!m_bEngineReady) return E_FAIL;
  return EngineResult(m_pEngine->SetResolution(x, y));
}

HRESULT CImageFx::ScaleBy(float fx, float fy, std::int32_t resample) {
  if (!m_bEngineReady) return E_FAIL;
  return EngineResult(m_pEngine->ScaleBy(fx, fy, resample));
}

HRESULT CImageFx::ScaleChannelsAt(std::int32_t x, std::int32_t y, float red, float green, float blue) {
  if (!m_bEngineReady) return E_FAIL;
  return EngineResult(m_pEngine->ScaleChannelsAt(x, y, red, green, blue));
}

HRESULT CImageFx::ScaleChannelsInRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                                      float red, float green, float blue) {
  if (!m_bEngineReady) return E_FAIL;
  return EngineResult(m_pEngine->ScaleChannelsInRect(left, top, right, bottom, red, green, blue));
}

HRESULT CImageFx::ReduceRedEye(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                               float strength) {
  if (!m_bEngineReady) return E_FAIL;
  return EngineResult(m_pEngine->ReduceRedEye(left, top, right, bottom, strength));
}

HRESULT CImageFx::ScreenToImage(plat::POINT* point, std::int32_t x, std::int32_t y, std::int32_t width,
                                std::int32_t height) {
  if (!m_bEngineReady) return E_FAIL;
  return EngineResult(m_pEngine->ScreenToImage(point, x, y, width, height));
}

HRESULT CImageFx::CanPaint() {
  if (!m_bEngineReady) return E_FAIL;
  return EngineResult(m_pEngine->CanPaint());
}

HRESULT CImageFx::FitWithMinimum(plat::RECT* area, plat::RECT* out, float minimum) {
  if (!m_bEngineReady) return E_FAIL;
  return EngineResult(m_pEngine->FitWithMinimum(area, out, minimum));
}
