#include "outside/imageacquire/camera_reader.h"

#include <fcntl.h>
#include <gphoto2/gphoto2-abilities-list.h>
#include <gphoto2/gphoto2-camera.h>
#include <gphoto2/gphoto2-file.h>
#include <gphoto2/gphoto2-port-info-list.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

#include "outside/imageacquire/library_allocations.h"
#include "outside/imageacquire/resident_drivers.h"

namespace imageacquire {
namespace {
constexpr int kMaxFolderDepth = 8;
}

bool IsPictureName(const std::string& name) {
  const auto dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  std::string ext = name.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == "jpg" || ext == "jpeg" || ext == "png" || ext == "bmp" || ext == "gif";
}

CameraReader::~CameraReader() {
  LibraryAllocationsIgnored scope;
  if (camera_) {
    gp_camera_exit(camera_, context_);
    gp_camera_unref(camera_);
  }
  if (context_) gp_context_unref(context_);
}

bool CameraReader::Open(const std::string& model, const std::string& port, std::string* error) {
  LibraryAllocationsIgnored scope;
  auto fail = [&](const std::string& reason) {
    if (error) *error = reason;
    return false;
  };
  context_ = gp_context_new();
  if (gp_camera_new(&camera_) < GP_OK) return fail("no camera object");

  CameraAbilitiesList* abilities = nullptr;
  gp_abilities_list_new(&abilities);
  gp_abilities_list_load(abilities, context_);
  const int model_index = gp_abilities_list_lookup_model(abilities, model.c_str());
  CameraAbilities a{};
  const bool have_model = model_index >= 0 && gp_abilities_list_get_abilities(abilities, model_index, &a) >= GP_OK;
  gp_abilities_list_free(abilities);
  if (!have_model) return fail("no camera driver \"" + model + "\"");
  gp_camera_set_abilities(camera_, a);

  GPPortInfoList* ports = nullptr;
  gp_port_info_list_new(&ports);
  gp_port_info_list_load(ports);
  const int port_index = gp_port_info_list_lookup_path(ports, port.c_str());
  GPPortInfo info = nullptr;
  const bool have_port = port_index >= 0 && gp_port_info_list_get_info(ports, port_index, &info) >= GP_OK;
  if (have_port) gp_camera_set_port_info(camera_, info);
  gp_port_info_list_free(ports);
  if (!have_port) return fail("no camera port \"" + port + "\"");

  const bool answered = gp_camera_init(camera_, context_) >= GP_OK;
  KeepLoadedDriversResident();
  if (!answered) return fail("the camera does not answer");
  return true;
}

void CameraReader::ListFolder(const std::string& folder, std::vector<std::string>& out, int depth) {
  CameraList* files = nullptr;
  gp_list_new(&files);
  if (gp_camera_folder_list_files(camera_, folder.c_str(), files, context_) >= GP_OK) {
    for (int i = 0; i < gp_list_count(files); ++i) {
      const char* name = nullptr;
      gp_list_get_name(files, i, &name);
      if (name && IsPictureName(name)) out.push_back((folder == "/" ? "" : folder) + "/" + name);
    }
  }
  gp_list_free(files);
  if (depth >= kMaxFolderDepth) return;
  CameraList* folders = nullptr;
  gp_list_new(&folders);
  std::vector<std::string> children;
  if (gp_camera_folder_list_folders(camera_, folder.c_str(), folders, context_) >= GP_OK) {
    for (int i = 0; i < gp_list_count(folders); ++i) {
      const char* name = nullptr;
      gp_list_get_name(folders, i, &name);
      if (name) children.push_back((folder == "/" ? "" : folder) + "/" + name);
    }
  }
  gp_list_free(folders);
  for (const auto& child : children) ListFolder(child, out, depth + 1);
}

std::vector<std::string> CameraReader::ListPictures() {
  LibraryAllocationsIgnored scope;
  std::vector<std::string> out;
  if (camera_) ListFolder("/", out, 0);
  return out;
}

bool CameraReader::Download(const std::string& file, const std::string& target) {
  LibraryAllocationsIgnored scope;
  if (!camera_) return false;
  const auto slash = file.rfind('/');
  const std::string folder = slash == 0 ? "/" : file.substr(0, slash);
  const std::string name = file.substr(slash + 1);
  const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  CameraFile* out = nullptr;
  bool ok = gp_file_new_from_fd(&out, fd) >= GP_OK;  // the file object closes the descriptor
  if (!ok) ::close(fd);
  ok = ok && gp_camera_file_get(camera_, folder.c_str(), name.c_str(), GP_FILE_TYPE_NORMAL, out, context_) >= GP_OK;
  if (out) gp_file_unref(out);
  if (!ok) ::unlink(target.c_str());
  return ok;
}

}  // namespace imageacquire
