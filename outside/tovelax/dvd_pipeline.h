// GStreamer decoding of DVD blocks: 2048-byte blocks go into an appsrc, an
// MPEG program-stream demuxer splits them, the chosen audio stream and
// sub-picture stream are picked by the library (input selectors), sub-pictures
// with menu highlights are drawn by dvdspu, and frames leave through an appsink.
#pragma once

#include <gst/gst.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "outside/tovelax/video_output.h"

namespace tovelax {

struct PipelineHooks {
  FrameCallback frame;                                       // streaming thread
  std::function<void(std::int32_t code, int streamId)> audioProblem;  // 0x800A / 0x800B
  std::function<void(const std::string& message)> error;     // fatal pipeline error
  // The first video buffer after a marked block left the demuxer with this
  // timestamp (streaming thread).
  std::function<void(int mark, std::int64_t pts)> placed;
};

class DvdPipeline {
 public:
  // Elements the DVD pipeline cannot work without.
  static std::string MissingRequired();

  // With hardwareDecoding the video decoder is a hardware one when the
  // system has one (VA or V4L2), else the software decoder.
  DvdPipeline(PipelineHooks hooks, bool discardAudio, bool hardwareDecoding = false);
  ~DvdPipeline();
  DvdPipeline(const DvdPipeline&) = delete;
  DvdPipeline& operator=(const DvdPipeline&) = delete;

  bool Start();
  // Blocks while the pipeline's input is full; false when flushing or stopped.
  // A non-zero `mark` is reported through the placed hook with the timestamp
  // of the first video buffer the demuxer sends after this block.
  bool Push(const std::uint8_t* block, std::size_t size, int mark = 0);
  void Flush();
  void SetPaused(bool paused);
  // Demuxer stream ids: 0x80+n AC-3, 0x88+n DTS, 0xA0+n LPCM, 0xC0+n MPEG audio.
  void SelectAudio(int streamId);
  void SetAudioMuted(bool muted);
  // Physical sub-picture stream 0..31; `display` false shows forced pictures only (menus).
  void SelectSubpicture(int physical, bool display);
  // Serialized events take effect with the sub-picture data around them;
  // out-of-band ones (button highlights) at once, also on a still picture.
  void SendSpuEvent(GstStructure* structure, bool outOfBand = false);
  // Tells the overlay again whether it shows every sub-picture or forced ones only.
  void RestateSubpicture();
  // Sub-picture buffers that reached the overlay so far. The overlay forgets
  // its highlight when its sub-picture input starts again (new format, flush),
  // which always comes before the next buffer.
  std::uint64_t SubpictureBuffers() const { return spuBuffers_; }
  // A still picture (menus): sub-picture changes are drawn on the last frame.
  void SetStill(bool still);
  void SetColorControls(const ColorControls& controls);
  // Stops the data flow (a blocked Push returns); the elements stay until Shutdown.
  void Halt();
  // Halts and releases the pipeline; no other thread may use it any more.
  void Shutdown();

 private:
  static void OnPadAdded(GstElement* demux, GstPad* pad, gpointer self);
  static GstBusSyncReply OnBusMessage(GstBus* bus, GstMessage* message, gpointer self);
  void LinkAudio(GstPad* pad, int streamId);
  void LinkSubpicture(GstPad* pad, int streamId);
  void LinkVideo(GstPad* pad);
  void ApplySelection();
  static GstPadProbeReturn OnDemuxInput(GstPad* pad, GstPadProbeInfo* info, gpointer self);
  static GstPadProbeReturn OnDemuxVideo(GstPad* pad, GstPadProbeInfo* info, gpointer self);
  static GstPadProbeReturn OnSubpictureBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer self);

  PipelineHooks hooks_;
  bool discardAudio_;
  bool hardwareDecoding_;
  ElementPtr pipeline_;
  GstElement* source_ = nullptr;
  GstElement* spu_ = nullptr;
  GstElement* audioSelector_ = nullptr;
  GstElement* spuSelector_ = nullptr;
  GstElement* volume_ = nullptr;
  GstElement* balance_ = nullptr;
  std::mutex selectionMutex_;
  int audioStream_ = 0x80;
  int spuStream_ = 0;
  bool spuDisplay_ = false;
  std::atomic<bool> running_{false};
  std::atomic<bool> videoLinked_{false};
  std::atomic<int> markAhead_{0};
  std::atomic<std::uint64_t> spuBuffers_{0};  // a marked block went in; its first video buffer has not come out
};

}  // namespace tovelax
