#include "outside/authoring/data_disc.h"

#include <libisofs/libisofs.h>

#include <filesystem>
#include <mutex>

#include "outside/authoring/module_pin.h"

namespace authoring {
namespace {

bool InitLibrary() {
  static const bool ok = [] {
    KeepThisModuleLoaded();
    if (iso_init() < 0) return false;
    // Names on disk are UTF-8 whatever the process locale says.
    iso_set_local_charset(const_cast<char*>("UTF-8"), 0);
    iso_set_msgs_severities(const_cast<char*>("NEVER"), const_cast<char*>("FATAL"), const_cast<char*>("marivel"));
    return true;
  }();
  return ok;
}

struct ImageUnref {
  void operator()(IsoImage* image) const { iso_image_unref(image); }
};
struct OptsFree {
  void operator()(IsoWriteOpts* opts) const { iso_write_opts_free(opts); }
};

std::string UniqueName(IsoDir* root, const std::string& name) {
  std::string candidate = name;
  const std::filesystem::path p(name);
  const std::string stem = p.stem().string();
  const std::string ext = p.extension().string();
  for (int n = 2; iso_dir_get_node(root, candidate.c_str(), nullptr) == 1; ++n) {
    candidate = stem + " (" + std::to_string(n) + ")" + ext;
  }
  return candidate;
}

// libisofs stores at most 255 bytes of a Rock Ridge name; longer names are
// cut at a character boundary, keeping the extension.
std::string FitName(const std::string& name) {
  constexpr std::size_t kMax = 240;
  if (name.size() <= kMax) return name;
  const std::string ext = std::filesystem::path(name).extension().string();
  std::string stem = name.substr(0, kMax - std::min(ext.size(), std::size_t{16}));
  while (!stem.empty() && (static_cast<unsigned char>(stem.back()) & 0xC0) == 0x80) stem.pop_back();
  if (!stem.empty() && (static_cast<unsigned char>(stem.back()) & 0x80)) stem.pop_back();
  return stem + ext.substr(0, 16);
}

struct Totals {
  std::int64_t files = 0;
  std::int64_t bytes = 0;
  bool operator==(const Totals&) const = default;
};

void AddTree(IsoDir* dir, Totals& totals) {
  IsoDirIter* iter = nullptr;
  if (iso_dir_get_children(dir, &iter) < 0) return;
  IsoNode* node = nullptr;
  while (iso_dir_iter_next(iter, &node) == 1) {
    if (iso_node_get_type(node) == LIBISO_DIR) {
      AddTree(reinterpret_cast<IsoDir*>(node), totals);
    } else if (iso_node_get_type(node) == LIBISO_FILE) {
      ++totals.files;
      totals.bytes += static_cast<std::int64_t>(iso_stream_get_size(iso_file_get_stream(reinterpret_cast<IsoFile*>(node))));
    }
  }
  iso_dir_iter_free(iter);
}

int CountChildren(IsoDir* dir) {
  IsoDirIter* iter = nullptr;
  if (iso_dir_get_children(dir, &iter) < 0) return -1;
  int n = 0;
  IsoNode* node = nullptr;
  while (iso_dir_iter_next(iter, &node) == 1) ++n;
  iso_dir_iter_free(iter);
  return n;
}

Totals SourceTotals(const std::vector<std::string>& elements) {
  namespace fs = std::filesystem;
  Totals totals;
  for (const std::string& element : elements) {
    std::error_code ec;
    const auto status = fs::symlink_status(element, ec);
    if (fs::is_regular_file(status)) {
      ++totals.files;
      totals.bytes += static_cast<std::int64_t>(fs::file_size(element, ec));
    } else if (fs::is_directory(status)) {
      for (fs::recursive_directory_iterator it(element, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_symlink(ec) || !it->is_regular_file(ec)) continue;
        ++totals.files;
        totals.bytes += static_cast<std::int64_t>(it->file_size(ec));
      }
    }
  }
  return totals;
}

}  // namespace

bool VerifyDataDisc(const std::string& image, const std::vector<std::string>& elements) {
  if (!InitLibrary()) return false;
  IsoDataSource* source = nullptr;
  if (iso_data_source_new_from_file(image.c_str(), &source) < 0) return false;
  IsoReadOpts* opts = nullptr;
  IsoImage* raw = nullptr;
  bool ok = false;
  if (iso_read_opts_new(&opts, 0) >= 0 && iso_image_new("verify", &raw) >= 0) {
    std::unique_ptr<IsoImage, ImageUnref> read(raw);
    IsoReadImageFeatures* features = nullptr;
    if (iso_image_import(read.get(), source, opts, &features) >= 0) {
      iso_read_image_features_destroy(features);
      IsoDir* root = iso_image_get_root(read.get());
      Totals written;
      AddTree(root, written);
      ok = CountChildren(root) == static_cast<int>(elements.size()) && written == SourceTotals(elements);
    }
  }
  if (opts) iso_read_opts_free(opts);
  iso_data_source_unref(source);
  return ok;
}

plat::HRESULT BuildDataDisc(const std::vector<std::string>& elements, const std::string& volumeLabel,
                            TrackSource* image, int* failed) {
  if (failed) *failed = -1;
  if (!image || !InitLibrary()) return plat::E_FAIL;
  IsoImage* raw = nullptr;
  const std::string label = volumeLabel.empty() ? std::string("Marivel") : volumeLabel.substr(0, 32);
  if (iso_image_new(label.c_str(), &raw) < 0) return plat::E_OUTOFMEMORY;
  std::unique_ptr<IsoImage, ImageUnref> iso(raw);
  iso_tree_set_follow_symlinks(iso.get(), 0);
  iso_tree_set_ignore_hidden(iso.get(), 0);
  iso_image_set_application_id(iso.get(), "MARIVEL");
  IsoDir* root = iso_image_get_root(iso.get());
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const std::filesystem::path path(elements[i]);
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(path, ec);
    const std::string name = UniqueName(root, FitName(path.filename().string()));
    int rc = -1;
    if (!ec && std::filesystem::is_directory(status)) {
      IsoDir* dir = nullptr;
      rc = iso_tree_add_new_dir(root, name.c_str(), &dir);
      if (rc >= 0) rc = iso_tree_add_dir_rec(iso.get(), dir, elements[i].c_str());
    } else if (!ec && std::filesystem::is_regular_file(status)) {
      IsoNode* node = nullptr;
      rc = iso_tree_add_new_node(iso.get(), root, name.c_str(), elements[i].c_str(), &node);
    }
    if (rc < 0) {
      if (failed) *failed = static_cast<int>(i);
      return plat::E_FAIL;
    }
  }
  IsoWriteOpts* rawOpts = nullptr;
  if (iso_write_opts_new(&rawOpts, 1) < 0) return plat::E_OUTOFMEMORY;
  std::unique_ptr<IsoWriteOpts, OptsFree> opts(rawOpts);
  iso_write_opts_set_rockridge(opts.get(), 1);
  iso_write_opts_set_joliet(opts.get(), 1);
  iso_write_opts_set_joliet_longer_paths(opts.get(), 1);
  iso_write_opts_set_iso_level(opts.get(), 3);
  burn_source* source = nullptr;
  if (iso_image_create_burn_source(iso.get(), opts.get(), &source) < 0 || !source) return plat::E_FAIL;
  image->reset(source);
  return plat::S_OK;
}

}  // namespace authoring
