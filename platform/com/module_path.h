// Where the running executable and a loaded library lie on disk.
#pragma once

#include <string>

#include "platform/com/visibility.h"

namespace plat::com_detail {

// The folder of the running executable, without a trailing slash.
PLAT_COM_LOCAL std::string ExecutableDirectory();

// The canonical path of the loaded module (executable or library) holding `address`.
PLAT_COM_LOCAL std::string ModulePathOf(const void* address);

// The path to record for a library: its bare file name when it lies beside
// the executable (so the tree can move), its absolute path otherwise.
PLAT_COM_LOCAL std::string RegistrationPathFor(const std::string& libraryPath);

}  // namespace plat::com_detail
