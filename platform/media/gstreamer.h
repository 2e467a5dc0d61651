// GStreamer initialisation, once per process, and small ownership helpers.
#pragma once

#include <gst/gst.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace plat::media {

// Initialises GStreamer once; false (with the reason) when it cannot be.
bool InitializeGStreamer(std::string* error = nullptr);

// Begins InitializeGStreamer on a worker thread and returns at once; `done`
// (if any) is called on the worker when it has finished. Loading the plugin
// registry takes tens of milliseconds the first time in a process; begun
// once the program has shown itself, it is over before a module first builds
// a pipeline. A call of InitializeGStreamer made meanwhile waits for the same
// work. The returned thread joins when destroyed (the work is bounded).
std::jthread StartGStreamerInBackground(std::function<void()> done = {});

// True when an element factory of that name is installed.
bool HasElement(const char* factory);

struct GstObjectUnref {
  void operator()(void* object) const { if (object) gst_object_unref(object); }
};
template <class T>
using GstPtr = std::unique_ptr<T, GstObjectUnref>;

}  // namespace plat::media
