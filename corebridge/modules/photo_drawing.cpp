// The Photo page's drawing services: a photo of the list into a device
// context or into the record's cached bitmap, a folder's preview grid, and
// any picture file, all through the picture component. Drawing never makes
// working copies: a photo edited before is drawn from its copy, every other
// from where it lies.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <string>
#include <system_error>

#include "corebridge/core/config.h"
#include "corebridge/core/ui_system_object.h"
#include "corebridge/modules/photo_controller.h"
#include "interfaces/imagefx.h"
#include "platform/com/hresult.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/objects.h"

using namespace photo;
using plat::E_FAIL;
using plat::HRESULT;
using plat::S_OK;
namespace fs = std::filesystem;

namespace {

struct Adjustments {
  std::int32_t values[5] = {kNeutral, kNeutral, kNeutral, kNeutral, kNeutral};
  bool Neutral() const {
    return std::all_of(std::begin(values), std::end(values), [](std::int32_t v) { return v == kNeutral; });
  }
};

// A memory device context with a bitmap selected, put back on destruction.
class MemoryCanvas {
 public:
  MemoryCanvas(plat::HDC like, plat::HBITMAP bitmap) : dc_(plat::CreateCompatibleDC(like)) {
    if (dc_) previous_ = plat::SelectObject(dc_, bitmap);
  }
  ~MemoryCanvas() {
    if (!dc_) return;
    plat::SelectObject(dc_, previous_);
    plat::DeleteDC(dc_);
  }
  MemoryCanvas(const MemoryCanvas&) = delete;
  MemoryCanvas& operator=(const MemoryCanvas&) = delete;
  plat::HDC dc() const { return dc_; }

 private:
  plat::HDC dc_;
  plat::HGDIOBJ previous_ = nullptr;
};

bool HasPictureExtension(const fs::path& file, const std::string& extensions) {
  std::string extension = file.extension().string();
  if (extension.empty()) return false;
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return extensions.find(extension + "|") != std::string::npos;
}

// The fit below lets at least this share of the picture show in a thumbnail.
constexpr float kVisibleShare = 0.75f;

// Loads the picture no larger than the drawing needs. The drawing only ever
// shrinks the picture to where it is placed: within the rectangle, or, when
// it fills the rectangle with a cut, at most 1 / share of the rectangle along
// the cut side. Before that, the record's quarter turns swap the sides and
// a pixel-aspect factor would widen the picture. A component without the sized
// load, or a turn the sides cannot follow, gets the picture at full size.
HRESULT LoadForDrawing(IImageFx& fx, const std::string& path, int width, int height, int rotation, float factor,
                       float share) {
  plat::ComPtr<IImageFxSizedLoad> sized;
  const bool bounded = rotation % 90 == 0 && factor > 0.0f && std::isfinite(factor) && width > 0 && height > 0;
  if (!bounded || plat::FAILED(fx.QueryInterface(IID_IImageFxSizedLoad,
                                                 reinterpret_cast<void**>(sized.ReleaseAndGetAddressOf()))) ||
      !sized) {
    return fx.LoadImage(path.c_str());
  }
  double wide = width / static_cast<double>(share) / factor;
  double high = height / static_cast<double>(share);
  if (rotation % 180 != 0) std::swap(wide, high);
  const auto side = [](double v) { return static_cast<std::int32_t>(std::min(std::ceil(v), 1e9)); };
  return sized->LoadImageForSize(path.c_str(), side(wide), side(high));
}

}  // namespace

// The common drawing routine of the services below.
static HRESULT DrawPhoto(CUISystem& system, const std::string& original, plat::HDC hdc, const plat::RECT& rect,
                         int rotation, const Adjustments& adjust, bool direct, bool keepAspect) {
  auto props = system.CoreService<IImageFxProps>();
  auto fx = system.CoreService<IImageFx>();
  CConfig* config = system.Config();
  if (!props || !fx || !config || !config->m_pPhoto) return E_FAIL;
  std::string path = original;
  if (const auto copy = config->m_pPhoto->m_mapEditedCopies.find(original);
      copy != config->m_pPhoto->m_mapEditedCopies.end()) {
    path = copy->second;
  }
  const std::int32_t width = rect.right - rect.left;
  const std::int32_t height = rect.bottom - rect.top;
  if (direct) return fx->DrawFile(path.c_str(), hdc, rect.left, rect.top, width, height);

  fx->EnableEffects(1);
  // Photos keep their own proportions: the screen the program draws on has
  // square pixels, so the picture is not widened by the display's pixel-aspect
  // factor (a 4:3 photo on a wide screen gets bars, not a stretch).
  HRESULT hr = LoadForDrawing(*fx, path, width, height, rotation, 1.0f, keepAspect ? kVisibleShare : 1.0f);
  if (plat::SUCCEEDED(hr)) {
    if (rotation != 0) fx->Rotate(rotation);
    const auto applyAdjustments = [&] {
      if (adjust.Neutral()) return;
      Adjustments v = adjust;
      props->SetAdjustments(&v.values[0], &v.values[1], &v.values[2], &v.values[3], &v.values[4]);
      props->ApplyToImage();
    };
    if (keepAspect) {
      plat::RECT area = rect;
      plat::RECT out{};
      fx->FitWithMinimum(&area, &out, kVisibleShare);
      fx->ResizeToFit(out.right - out.left, out.bottom - out.top, 1);
      applyAdjustments();
      hr = fx->PaintFromRect(hdc, rect.left, rect.top, rect.right, rect.bottom, out.left, out.top, out.right,
                             out.bottom);
    } else {
      fx->ResizeToFit(width, height, 1);
      applyAdjustments();
      hr = fx->Paint(hdc, rect.left, rect.top, width, height);
    }
  }
  fx->CloseImage();
  fx->EnableEffects(0);
  return hr;
}

// Replaces the record's cached bitmap by a new one of the size given, with
// the background copied in; one retry after dropping every cache.
static HRESULT NewThumbnail(CUISystem& system, PhotoRecord& record, plat::HDC hdc, int width, int height,
                            plat::HBITMAP background) {
  if (record.hThumbnail) plat::DeleteObject(record.hThumbnail);
  record.hThumbnail = nullptr;
  plat::HBITMAP bitmap = width > 0 && height > 0 ? plat::CreateCompatibleBitmap(hdc, width, height) : nullptr;
  if (!bitmap && width > 0 && height > 0) {
    system.DestroyPhotoCaches();
    bitmap = plat::CreateCompatibleBitmap(hdc, width, height);
  }
  if (!bitmap) return plat::E_OUTOFMEMORY;
  record.hThumbnail = bitmap;
  if (background) {
    MemoryCanvas target(hdc, bitmap);
    MemoryCanvas source(hdc, background);
    if (target.dc() && source.dc()) plat::BitBlt(target.dc(), 0, 0, width, height, source.dc(), 0, 0, plat::SRCCOPY);
  }
  return S_OK;
}

HRESULT CUISystem::DrawPhotoThumbnail(std::int32_t index, plat::HDC hdc, std::int32_t left, std::int32_t top,
                                      std::int32_t right, std::int32_t bottom, std::int32_t direct,
                                      std::int32_t keepAspect) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return E_FAIL;
  const CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  if (!ValidIndex(photo.m_vecPhotos, index)) return E_FAIL;
  const PhotoRecord& record = photo.m_vecPhotos[static_cast<std::size_t>(index)];
  Adjustments adjust;
  adjust.values[0] = record.nBrightness;
  adjust.values[1] = record.nHue;
  adjust.values[2] = record.nSaturation;
  adjust.values[3] = record.nContrast;
  adjust.values[4] = record.nSharpness;
  return DrawPhoto(*this, RecordPath(record), hdc, plat::RECT{left, top, right, bottom}, record.nRotation, adjust,
                   direct != 0, keepAspect != 0);
}

// The bitmap stands for the rectangle: the photo is drawn at its origin.
HRESULT CUISystem::RenderPhotoToBitmap(std::int32_t index, plat::HDC hdc, std::int32_t left, std::int32_t top,
                                       std::int32_t right, std::int32_t bottom, plat::HBITMAP background) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return E_FAIL;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  if (!ValidIndex(photo.m_vecPhotos, index)) return E_FAIL;
  const int width = right - left;
  const int height = bottom - top;
  const HRESULT made = NewThumbnail(*this, photo.m_vecPhotos[static_cast<std::size_t>(index)], hdc, width, height,
                                    background);
  if (plat::FAILED(made)) return made;
  MemoryCanvas canvas(hdc, photo.m_vecPhotos[static_cast<std::size_t>(index)].hThumbnail);
  if (!canvas.dc()) return plat::E_OUTOFMEMORY;
  return DrawPhotoThumbnail(index, canvas.dc(), 0, 0, width, height, 0, 1);
}

HRESULT CUISystem::DrawFolderPreview(std::int32_t index, plat::HDC hdc, std::int32_t bitmapLeft,
                                     std::int32_t bitmapTop, std::int32_t bitmapRight, std::int32_t bitmapBottom,
                                     std::int32_t gridLeft, std::int32_t gridTop, std::int32_t gridRight,
                                     std::int32_t gridBottom, std::int32_t rows, std::int32_t columns,
                                     std::int32_t percent, plat::HBITMAP background) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return E_FAIL;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  // Folders are records of the folder list, where the page keeps the folders
  // of the current photo folder.
  if (!ValidIndex(photo.m_vecFolders, index) || rows <= 0 || columns <= 0) return E_FAIL;
  PhotoRecord& record = photo.m_vecFolders[static_cast<std::size_t>(index)];

  // The first rows x columns pictures in the order the folder lists them;
  // hidden entries, folders and anything but plain files are skipped.
  const std::size_t wanted = static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns);
  std::vector<std::string> files;
  std::error_code ec;
  fs::directory_iterator it(RecordPath(record), ec);
  if (ec) return E_FAIL;
  for (; it != fs::directory_iterator() && files.size() < wanted; it.increment(ec)) {
    if (ec) break;
    const fs::path& entry = it->path();
    const std::string name = entry.filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    if (HasPictureExtension(entry, photo.m_strImageExtensions)) files.push_back(entry.string());
  }
  if (!files.empty()) record.bHasPreview = 1;

  const int cellWidth = (gridRight - gridLeft) / columns;
  const int cellHeight = (gridBottom - gridTop) / rows;
  const int thumbWidth = percent * cellWidth / 100;
  const int thumbHeight = percent * cellHeight / 100;
  const int width = bitmapRight - bitmapLeft;
  const int height = bitmapBottom - bitmapTop;
  const HRESULT made = NewThumbnail(*this, record, hdc, width, height, background);
  if (plat::FAILED(made)) return made;
  MemoryCanvas canvas(hdc, record.hThumbnail);
  if (!canvas.dc()) return plat::E_OUTOFMEMORY;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const int row = static_cast<int>(i) / columns;
    const int column = static_cast<int>(i) % columns;
    // Grid coordinates are those of the bitmap's rectangle.
    const int x = cellWidth * column + gridLeft + (cellWidth - thumbWidth) / 2 - bitmapLeft;
    const int y = cellHeight * row + gridTop + (cellHeight - thumbHeight) / 2 - bitmapTop;
    DrawPhoto(*this, files[i], canvas.dc(), plat::RECT{x, y, x + thumbWidth, y + thumbHeight}, 0, Adjustments{},
              true, true);
  }
  return S_OK;
}

HRESULT CUISystem::DrawImageFile(const char* path, plat::HDC hdc, std::int32_t left, std::int32_t top,
                                 std::int32_t right, std::int32_t bottom, std::int32_t direct) {
  auto props = CoreService<IImageFxProps>();
  auto fx = CoreService<IImageFx>();
  if (!props || !fx || !path) return E_FAIL;
  if (plat::FAILED(props->ResetAdjustments()) || plat::FAILED(fx->Initialize())) return E_FAIL;
  const std::int32_t width = right - left;
  const std::int32_t height = bottom - top;
  fx->EnableEffects(0);
  HRESULT hr = E_FAIL;
  if (direct) {
    hr = fx->DrawFile(path, hdc, left, top, width, height);
  } else {
    hr = fx->LoadImage(path);
    if (plat::SUCCEEDED(hr)) {
      fx->ResizeToFit(width, height, 0);
      hr = fx->Paint(hdc, left, top, width, height);
    }
    fx->CloseImage();
  }
  fx->EnableEffects(1);
  return hr;
}
