// The rip graph: one GStreamer pipeline that reads a source, holds its first
// decoded audio stream at the "audio output pin" until an output branch is
// built behind it, and then writes the file. Streaming threads only queue
// graph events (end of stream, error) and call the notify function; the
// engine takes the events on its own thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/com/hresult.h"

// GStreamer's types, declared here so that this header mixes with the
// platform headers (GLib defines TRUE and FALSE as macros).
typedef struct _GstElement GstElement;
typedef struct _GstPad GstPad;

namespace rip {

// Graph event codes as the engine reports them.
inline constexpr long kEcComplete = 1;
inline constexpr long kEcUserAbort = 2;
inline constexpr long kEcErrorAbort = 3;

struct SourceSpec {
  enum class Kind {
    File,       // filesrc ! decodebin
    MpegFile,   // filesrc ! mpegpsdemux, the audio stream decoded
    VideoCd,    // the user data of a CDXA file's sectors ! mpegpsdemux
    Element,    // a source element whose "src" pad gives raw audio
  };
  Kind kind = Kind::File;
  std::string path;
  std::function<GstElement*()> makeElement;
};

struct OutputSpec {
  // Pipeline fragment from raw audio to the container, made of constant
  // text ("audioconvert ! wavenc"); the file name never goes into it.
  std::string encoder;
  std::string path;
  bool preview = false;
  // Pass the audio at the pipeline clock's pace instead of as fast as the
  // encoder goes (a rip that runs in real time).
  bool clockPaced = false;
};

class RipGraph {
 public:
  explicit RipGraph(std::function<void()> notify);
  ~RipGraph();
  RipGraph(const RipGraph&) = delete;
  RipGraph& operator=(const RipGraph&) = delete;

  // Builds the source and waits (bounded) until its first decoded audio
  // stream is held. E_FAIL when the source has no audio or fails.
  plat::HRESULT Open(const SourceSpec& source);
  bool HasAudioPin() const { return audioPad_ != nullptr; }
  // The sample rate of the held audio, 0 when not known yet.
  int AudioRate() const;
  // Links the output branch and prerolls; E_FAIL when it cannot be built or
  // the file cannot be written.
  plat::HRESULT Build(const OutputSpec& output);
  bool Built() const { return built_; }

  plat::HRESULT Play();
  plat::HRESULT Pause();
  // Ends the stream (waiting up to `drain` for it to reach the file, so the
  // file is finalised) and stops the pipeline.
  plat::HRESULT Stop(std::chrono::milliseconds drain);

  // The source's duration in 100 ns units; 0 when unknown.
  std::int64_t Duration() const { return duration_; }
  // The position reached in 100 ns units; after the end of the stream, the
  // duration. False when nothing has been read.
  bool Position(std::int64_t* position) const;
  // Takes the oldest queued graph event; false when there is none.
  bool GetEvent(long* code);

  struct Shared;

 private:
  std::int64_t QueryDuration() const;
  // Gives the written file its name once the pipeline has closed it.
  void CommitOutput(bool keepEmpty);

  std::unique_ptr<Shared> shared_;
  GstElement* pipeline_ = nullptr;
  GstPad* audioPad_ = nullptr;
  GstElement* pace_ = nullptr;  // the clock-pacing identity, if any
  bool started_ = false;  // taken to PAUSED already
  bool elementSource_ = false;
  bool built_ = false;
  bool stopped_ = false;
  std::int64_t duration_ = 0;
  std::string outputPath_;   // the file's own name
  std::string partialPath_;  // where it is written until complete

};

}  // namespace rip
