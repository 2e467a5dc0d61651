// One camcorder as the DV component drives it, whatever carries it (a
// FireWire unit or a virtual deck): its tape transport, timecode and the
// stream it sends. Frames and the tape's end are reported on the device's
// own thread; a frame's bytes are valid for the duration of the call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "outside/dvdevice/tape.h"

namespace dvdev {

enum class TransportCommand { kPlay, kPause, kStop, kFastForward, kRewind, kForwardScan, kReverseScan };

// still: a paused picture repeated, not a new frame of the tape.
using FrameSink = std::function<void(const std::uint8_t* data, std::size_t size, bool still)>;

class Camcorder {
 public:
  virtual ~Camcorder() = default;
  virtual int Kind() const = 0;           // 1 DV, 2 MPEG-2 TS
  virtual double FrameRate() const = 0;
  virtual bool Ready() const = 0;         // the device answers
  virtual bool Command(TransportCommand command) = 0;
  virtual int TransportCode() const = 0;  // AV/C transport code (dvcode)
  virtual Timecode CurrentTimecode() const = 0;
  // Set before the first command; called on the device's thread.
  virtual void SetFrameSink(FrameSink sink) = 0;
  virtual void SetTapeEndSink(std::function<void()> sink) = 0;
};

}  // namespace dvdev
