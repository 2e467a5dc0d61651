// GStreamer initialisation, once per process, and small ownership helpers.
#pragma once

#include <gst/gst.h>

#include <memory>
#include <string>

namespace plat::media {

// Initialises GStreamer once; false (with the reason) when it cannot be.
bool InitializeGStreamer(std::string* error = nullptr);

// True when an element factory of that name is installed.
bool HasElement(const char* factory);

struct GstObjectUnref {
  void operator()(void* object) const { if (object) gst_object_unref(object); }
};
template <class T>
using GstPtr = std::unique_ptr<T, GstObjectUnref>;

}  // namespace plat::media
