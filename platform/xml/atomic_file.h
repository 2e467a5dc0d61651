// Replaces a file's content so that a crash leaves either the old or the new
// content, never a torn file: the data goes to a uniquely named temporary
// file in the same folder, is flushed to disk and renamed over the target,
// then the folder is flushed so the rename itself survives a crash.
#pragma once

#include <string>
#include <string_view>

#include "platform/xml/document.h"

namespace plat::xml {

// On failure the target is untouched and the temporary file is gone.
Status writeFileAtomically(const std::string& path, std::string_view content);

}  // namespace plat::xml
