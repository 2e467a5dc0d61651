#include "tests/outside/authoring/iso_reader.h"

#include <libisofs/libisofs.h>

namespace authoring_test {
namespace {

void Walk(IsoDir* dir, const std::string& prefix, IsoContents& out) {
  IsoDirIter* iter = nullptr;
  if (iso_dir_get_children(dir, &iter) < 0) return;
  IsoNode* node = nullptr;
  while (iso_dir_iter_next(iter, &node) == 1) {
    const std::string name = prefix + iso_node_get_name(node);
    switch (iso_node_get_type(node)) {
      case LIBISO_DIR: Walk(reinterpret_cast<IsoDir*>(node), name + "/", out); break;
      case LIBISO_SYMLINK: out.symlinks[name] = iso_symlink_get_dest(reinterpret_cast<IsoSymlink*>(node)); break;
      case LIBISO_FILE: {
        IsoStream* stream = iso_file_get_stream(reinterpret_cast<IsoFile*>(node));
        std::string bytes;
        if (iso_stream_open(stream) >= 0) {
          char buffer[65536];
          int n = 0;
          while ((n = iso_stream_read(stream, buffer, sizeof buffer)) > 0) bytes.append(buffer, static_cast<std::size_t>(n));
          iso_stream_close(stream);
        }
        out.files[name] = bytes;
        break;
      }
      default: break;
    }
  }
  iso_dir_iter_free(iter);
}

}  // namespace

IsoContents ReadIso(const std::string& path) {
  IsoContents out;
  static const bool init = [] {
    iso_init();
    iso_set_local_charset(const_cast<char*>("UTF-8"), 0);
    return true;
  }();
  (void)init;
  IsoDataSource* source = nullptr;
  if (iso_data_source_new_from_file(path.c_str(), &source) < 0) return out;
  IsoReadOpts* opts = nullptr;
  iso_read_opts_new(&opts, 0);
  IsoImage* image = nullptr;
  iso_image_new("read", &image);
  IsoReadImageFeatures* features = nullptr;
  if (iso_image_import(image, source, opts, &features) >= 0) {
    out.ok = true;
    if (const char* id = iso_image_get_volume_id(image)) out.volumeId = id;
    Walk(iso_image_get_root(image), "", out);
    iso_read_image_features_destroy(features);
  }
  iso_read_opts_free(opts);
  iso_image_unref(image);
  iso_data_source_unref(source);
  return out;
}

}  // namespace authoring_test
