// "Movie Snapshot": the engine writes the picture on screen to a numbered
// bitmap in the snapshot folder, which the picture engine then turns into a
// JPEG beside it (or, for one maker, rewrites in place at 72 dpi).
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "corebridge/core/config.h"
#include "corebridge/core/movie_config.h"
#include "corebridge/core/ui_system_object.h"
#include "corebridge/modules/movie_snapshot_names.h"
#include "interfaces/imagefx.h"
#include "platform/audio/sound/sound.h"
#include "platform/com/hresult.h"

using plat::SUCCEEDED;

namespace fs = std::filesystem;

namespace movie_snapshot {
namespace {

bool Exists(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

}  // namespace

std::optional<fs::path> FreeBitmapName(const fs::path& folder, const char* prefix, int last) {
  for (int n = 0; n <= last; ++n) {
    char name[64];
    std::snprintf(name, sizeof name, "%s_%.3d.BMP", prefix, n);
    if (!Exists(folder / name)) return folder / name;
  }
  return std::nullopt;
}

std::optional<fs::path> FreeJpegName(const fs::path& bitmap, int last) {
  const fs::path folder = bitmap.parent_path();
  const std::string stem = bitmap.stem().string();
  if (!Exists(folder / (stem + ".jpg"))) return folder / (stem + ".jpg");
  for (int k = 1; k <= last; ++k) {
    const fs::path candidate = folder / (stem + "(" + std::to_string(k) + ").jpg");
    if (!Exists(candidate)) return candidate;
  }
  return std::nullopt;
}

}  // namespace movie_snapshot

namespace {

const char* PrefixOf(int discType) {
  if (discType == 4) return "DVD";
  if (discType == 3) return "SVCD";
  return "VCD";
}

}  // namespace

int CUISystem::OnMovieSnapshot(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  auto dvd = MovieEngine();
  if (!dvd) return 0;
  CMovieConfig& movie = MovieState();
  const fs::path folder = movie.m_strSnapshotFolder.empty() ? m_pConfig->m_strSnapshotFolder : movie.m_strSnapshotFolder;
  if (folder.empty()) return 0;
  std::error_code ec;
  fs::create_directories(folder, ec);
  const auto bitmap = movie_snapshot::FreeBitmapName(folder, PrefixOf(movie.m_nDiscType));
  if (!bitmap) return 0;
  if (!SUCCEEDED(dvd->CaptureFrame(bitmap->c_str()))) {
    MoviePageRedraw(0);
    return 1;
  }
  if (auto fx = CoreService<IImageFx>()) {
    fx->Initialize();
    if (SUCCEEDED(fx->LoadImage(bitmap->c_str()))) {
      fx->SetResolution(72, 72);
      if (VendorId() == 2) {
        fx->Save();
        fx->CloseImage();
      } else if (const auto jpeg = movie_snapshot::FreeJpegName(*bitmap); jpeg && SUCCEEDED(fx->SaveAs(jpeg->c_str()))) {
        fx->CloseImage();
        fs::remove(*bitmap, ec);
      } else {
        fx->CloseImage();  // the bitmap stays: nothing is lost when the JPEG cannot be written
      }
    }
  }
  SetNamedItemState("SNAPSHOT", 1);
  if (m_pConfig->m_bSnapshotSoundOn && !m_pConfig->m_strSnapshotSound.empty()) {
    plat::PlaySoundA(nullptr, nullptr, plat::SND_NODEFAULT);
    plat::PlaySoundA(m_pConfig->m_strSnapshotSound.c_str(), nullptr, plat::SND_ASYNC | plat::SND_NODEFAULT);
  }
  MoviePageRedraw(0);
  return 1;
}
