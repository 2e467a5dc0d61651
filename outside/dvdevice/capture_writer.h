// Writes a capture from the stream a camcorder sends. DV is demuxed from
// its frames and, by the settings record's format word, stream-copied into
// a type-2 AVI (dvsd + PCM), kept as raw DV, or encoded: MPEG-2 or MPEG-1
// video with MP2 sound in the DVD, SVCD, VCD or plain MPEG program stream,
// or WMV2 with WMA in ASF. A transport stream is written as received. The
// work happens on the writer's thread behind a bounded queue: when it falls
// behind, frames are dropped and counted, and the sender never waits.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "interfaces/encoder_block.h"

namespace dvdev {

struct WriterSettings {
  int kind = 1;              // 1 DV, 2 TS
  int format = 0;            // the record's format word
  bool rawDv = false;        // DV kept as received
  std::string path;
  int videoBitRate = 0;      // 0: the format's own
  int width = 0;             // 0: the tape's
  int height = 0;
  int gopLength = 0;         // pictures per GOP; 0: the format's own
  int lowerRate = 0;
  int upperRate = 0;
  int audioKbps = 0;         // 0: the format's own
  // Called once, on the writer's thread, when writing fails (disk full,
  // unwritable file); the writer has finalised what it could by then.
  std::function<void()> onError;
};

// The settings a record asks for; `rawDv` from the component's output mode.
WriterSettings SettingsFromBlock(const EncoderBlock& block, int kind, bool rawDv);

// Whether the format word names something this writer can make.
bool WritableFormat(int kind, int format);

class CaptureWriter {
 public:
  static constexpr std::size_t kQueueFrames = 100;

  // Nothing when the format cannot be written or the file not made.
  static std::unique_ptr<CaptureWriter> Start(WriterSettings settings);
  ~CaptureWriter();
  CaptureWriter(const CaptureWriter&) = delete;
  CaptureWriter& operator=(const CaptureWriter&) = delete;

  // Any thread; never blocks on the writer.
  void Push(const std::uint8_t* data, std::size_t size);
  // Writes what is queued and closes the file; true when it is complete.
  bool Finish();

  long dropped() const { return dropped_; }
  long received() const { return received_; }
  bool failed() const { return failed_; }

  // The writer thread's input: blocks until bytes come or the end.
  int Read(std::uint8_t* out, int size);

 private:
  explicit CaptureWriter(WriterSettings settings);
  void Run();
  bool RunRaw();
  bool RunDv();

  WriterSettings settings_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::vector<std::uint8_t>> queue_;
  std::vector<std::uint8_t> current_;
  std::size_t currentPos_ = 0;
  bool ending_ = false;
  std::atomic<long> dropped_{0};
  std::atomic<long> received_{0};
  std::atomic<bool> failed_{false};
  bool ok_ = false;
  std::thread thread_;
};

}  // namespace dvdev
