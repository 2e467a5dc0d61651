// A virtual camcorder: a tape file played by a deck thread at the tape's
// pace (DV by frame, TS by PCR), with a position and timecode. Play sends
// the frames; pause holds a still frame; wind moves ten times as fast
// (sending every tenth frame when scanning from play); the tape's end stops
// the deck and reports it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "outside/dvdevice/camcorder.h"

namespace dvdev {

class VirtualDeck final : public Camcorder {
 public:
  static constexpr int kWindFactor = 10;

  VirtualDeck(std::string path, Tape tape);
  ~VirtualDeck() override;
  VirtualDeck(const VirtualDeck&) = delete;
  VirtualDeck& operator=(const VirtualDeck&) = delete;

  int Kind() const override { return tape_.kind; }
  double FrameRate() const override { return tape_.frameRate; }
  bool Ready() const override { return !unplugged_; }
  bool Command(TransportCommand command) override;
  int TransportCode() const override;
  Timecode CurrentTimecode() const override;
  void SetFrameSink(FrameSink sink) override;
  void SetTapeEndSink(std::function<void()> sink) override;

  // The tape was taken away: the deck stops and answers no more.
  void Unplug();
  long position() const { return position_; }
  void Seek(long unit);

 private:
  void Run();
  bool SendUnit(long index, bool still);

  std::string path_;
  Tape tape_;
  int fd_ = -1;
  FrameSink frameSink_;
  std::function<void()> endSink_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  TransportCommand state_ = TransportCommand::kStop;
  bool changed_ = false;
  bool quit_ = false;
  std::atomic<bool> unplugged_{false};
  std::atomic<long> position_{0};
  std::vector<std::uint8_t> buffer_;
  std::thread thread_;
};

}  // namespace dvdev
