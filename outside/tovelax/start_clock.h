// The engine's pipelines are fed as they play and their sinks do not
// preroll, so the clock starts when the pipeline starts, not when the first
// picture or sound arrives: a stream whose first timestamp lies half a second
// in would wait that long in the sink, and one that arrives late would stay
// late. A pipeline that prerolls instead starts its clock at the first
// buffer. This does the same: at the first buffer to reach any marked sink,
// after the pipeline starts and after every flush that resets time, the
// pipeline's clock is moved so that this buffer is due now; every buffer
// after it is paced from there.
#pragma once

#include <gst/gst.h>

namespace tovelax {

// Marks `sink` (an element with a "sink" pad) as one whose first buffer may
// start the clock of the pipeline it ends up in.
void StartClockAtFirstBuffer(GstElement* sink);

}  // namespace tovelax
