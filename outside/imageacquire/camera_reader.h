// One camera through libgphoto2: opened by driver model and port, its picture
// files listed through every folder, each downloaded to a local file.
#pragma once

#include <string>
#include <vector>

typedef struct _Camera Camera;
typedef struct _GPContext GPContext;

namespace imageacquire {

class CameraReader {
 public:
  CameraReader() = default;
  ~CameraReader();
  CameraReader(const CameraReader&) = delete;
  CameraReader& operator=(const CameraReader&) = delete;

  // False with the reason in `error` when the driver or port is unknown or
  // the camera does not answer.
  bool Open(const std::string& model, const std::string& port, std::string* error);
  // Picture files as "folder/name", in the camera's order.
  std::vector<std::string> ListPictures();
  bool Download(const std::string& file, const std::string& target);

 private:
  void ListFolder(const std::string& folder, std::vector<std::string>& out, int depth);

  Camera* camera_ = nullptr;
  GPContext* context_ = nullptr;
};

// Whether a file name is a picture the Photo module shows.
bool IsPictureName(const std::string& name);

}  // namespace imageacquire
