// libcdio's messages for the whole process. Its own handler prints to
// standard error and ends the process after an error-level message; ours
// passes them to the debugger output and returns, so a damaged disc or image
// is a failed read, never the end of the program. Installed once, before the
// first libcdio call (the GStreamer CD source shares the same library).
#pragma once

namespace plat::media {

void InstallCdioLogHandler();

}  // namespace plat::media
