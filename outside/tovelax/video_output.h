// The video end of every pipeline: colour balance, conversion to BGRA and an
// appsink whose frames go to a callback on the streaming thread.
#pragma once

#include <gst/gst.h>

#include <functional>
#include <memory>

#include "outside/tovelax/tovelax_api.h"

namespace tovelax {

using FrameCallback = std::function<void(std::shared_ptr<const VideoFrame>)>;

struct GstObjectDeleter {
  void operator()(gpointer object) const {
    if (object) gst_object_unref(object);
  }
};
using ElementPtr = std::unique_ptr<GstElement, GstObjectDeleter>;

// A bin with one "sink" ghost pad taking raw video. `balance` receives the
// videobalance element (owned by the bin). The callback must outlive the bin.
GstElement* MakeVideoOutputBin(const FrameCallback* onFrame, GstElement** balance);

// An audio sink: the system's output, or a clocked fakesink when `discard`.
GstElement* MakeAudioSink(bool discard);

// Applies the colour settings to a videobalance element.
void ApplyColorControls(GstElement* balance, const ColorControls& controls);

// Names of required elements that are not installed, separated by spaces.
std::string MissingElements(std::initializer_list<const char*> names);

// Makes sure GStreamer is initialised (once per process).
bool EnsureGstreamer();

}  // namespace tovelax
