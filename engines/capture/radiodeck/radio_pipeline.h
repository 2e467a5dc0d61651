// The kind-1 playback pipeline: tuner audio ! audioconvert ! audioresample !
// 48 kHz stereo ! volume ! tee ! queue ! audio sink, and the recording
// branch that a tee pad feeds while it plays: MP3 (lamemp3enc, 128 kbit/s
// constant, with a Xing header), WAV, or WMA at 32, 64 or 128 kbit/s
// (44.1 kHz stereo, avenc_wmav2 into asfmux), into a filesink. A recording
// starts at time 0 whenever it starts; stopping it sends EOS into the
// branch alone, waits for the file to be finished and removes the branch,
// while playback goes on.
#pragma once

#include <memory>
#include <string>

// GStreamer's element type, declared here so that this header mixes with the
// platform headers (GLib defines TRUE and FALSE as macros).
typedef struct _GstElement GstElement;
typedef struct _GstPad GstPad;

namespace radiodeck {

// The encoder chain of a recording format (0..4); empty for another.
std::string RecordingChain(int format);

inline constexpr int kBranchEosWaitMs = 3000;

class RadioPipeline {
 public:
  // Takes the floating `source`; null (and `error`) when it cannot play.
  static std::unique_ptr<RadioPipeline> Start(GstElement* source, std::string* error = nullptr);
  ~RadioPipeline();
  RadioPipeline(const RadioPipeline&) = delete;
  RadioPipeline& operator=(const RadioPipeline&) = delete;

  void SetMute(bool mute);
  bool Muted() const;

  // Adds the recording branch. On failure nothing of it stays and a file it
  // made (empty) is removed.
  bool StartRecording(const std::string& file, int format, std::string* error = nullptr);
  // Finishes and removes the branch; false when none runs.
  bool StopRecording();
  bool Recording() const { return branch_ != nullptr; }

  GstElement* pipeline() const { return pipeline_; }
  GstElement* sink() const { return sink_; }

 private:
  RadioPipeline() = default;
  void RemoveBranch();

  GstElement* pipeline_ = nullptr;
  GstElement* volume_ = nullptr;
  GstElement* tee_ = nullptr;
  GstElement* sink_ = nullptr;
  GstElement* branch_ = nullptr;
  GstPad* teePad_ = nullptr;
};

}  // namespace radiodeck
