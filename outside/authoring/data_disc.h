// A data disc built in-process with libisofs: ISO 9660 with Joliet and Rock
// Ridge, UTF-8 names. The image is produced as a stream while it is written,
// so no copy of it is kept on disk.
#pragma once

#include <string>
#include <vector>

#include "outside/authoring/track_source.h"
#include "platform/com/hresult.h"

namespace authoring {

// Each element goes into the root under its own name (a folder with all it
// holds; symbolic links are kept as links, never followed). Names that are
// already taken get " (2)", " (3)"... `failed` receives the index of the
// element that could not be added.
plat::HRESULT BuildDataDisc(const std::vector<std::string>& elements, const std::string& volumeLabel,
                            TrackSource* image, int* failed);

// Reads the image back: every element is there under its name, files of
// the same size, folders with the same count of files and bytes.
bool VerifyDataDisc(const std::string& image, const std::vector<std::string>& elements);

}  // namespace authoring
