// A Video CD file (RIFF "CDXA" of raw 2352-byte Mode 2 sectors) read as the
// MPEG program stream it carries: the user data of each sector, from byte 24.
#pragma once

#include <string>

// GStreamer's element type, declared here so that this header mixes with the
// platform headers (GLib defines TRUE and FALSE as macros).
typedef struct _GstElement GstElement;

namespace rip {

// A floating appsrc delivering the stream; null when the file is no CDXA
// file or cannot be read.
GstElement* MakeVideoCdSource(const std::string& path);

}  // namespace rip
