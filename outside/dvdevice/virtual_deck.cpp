#include "outside/dvdevice/virtual_deck.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>

#include "interfaces/dvdevice.h"

namespace dvdev {

namespace {

using Clock = std::chrono::steady_clock;

bool Forward(TransportCommand c) {
  return c == TransportCommand::kPlay || c == TransportCommand::kFastForward || c == TransportCommand::kForwardScan;
}

}  // namespace

VirtualDeck::VirtualDeck(std::string path, Tape tape) : path_(std::move(path)), tape_(std::move(tape)) {
  fd_ = OpenTapeFile(path_);
  thread_ = std::thread([this] { Run(); });
}

VirtualDeck::~VirtualDeck() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
  if (fd_ >= 0) close(fd_);
}

void VirtualDeck::SetFrameSink(FrameSink sink) {
  std::lock_guard lock(mutex_);
  frameSink_ = std::move(sink);
}

void VirtualDeck::SetTapeEndSink(std::function<void()> sink) {
  std::lock_guard lock(mutex_);
  endSink_ = std::move(sink);
}

bool VirtualDeck::Command(TransportCommand command) {
  if (unplugged_) return false;
  {
    std::lock_guard lock(mutex_);
    state_ = command;
    changed_ = true;
  }
  wake_.notify_all();
  return true;
}

void VirtualDeck::Unplug() {
  unplugged_ = true;
  std::lock_guard lock(mutex_);
  state_ = TransportCommand::kStop;
  changed_ = true;
  wake_.notify_all();
}

void VirtualDeck::Seek(long unit) {
  const long last = tape_.UnitCount() - 1;
  position_ = unit < 0 ? 0 : (unit > last ? last : unit);
}

int VirtualDeck::TransportCode() const {
  std::lock_guard lock(mutex_);
  switch (state_) {
    case TransportCommand::kPlay:
      return dvcode::kPlay;
    case TransportCommand::kPause:
      return dvcode::kPause;
    case TransportCommand::kFastForward:
    case TransportCommand::kForwardScan:
      return dvcode::kFastForward;
    case TransportCommand::kRewind:
    case TransportCommand::kReverseScan:
      return dvcode::kRewind;
    case TransportCommand::kStop:
      return dvcode::kStop;
  }
  return dvcode::kStop;
}

Timecode VirtualDeck::CurrentTimecode() const {
  const long pos = position_;
  if (tape_.kind == 1) return FrameTimecode(pos, tape_.frameRate);
  const double seconds = tape_.Unit(pos).seconds;
  return FrameTimecode(static_cast<long>(seconds * tape_.frameRate + 0.5), tape_.frameRate);
}

bool VirtualDeck::SendUnit(long index, bool still) {
  const TapeUnit unit = tape_.Unit(index);
  buffer_.resize(unit.bytes);
  if (fd_ < 0 || pread(fd_, buffer_.data(), unit.bytes, static_cast<off_t>(unit.offset)) != static_cast<ssize_t>(unit.bytes)) {
    return false;
  }
  FrameSink sink;
  {
    std::lock_guard lock(mutex_);
    sink = frameSink_;
  }
  if (sink) sink(buffer_.data(), buffer_.size(), still);
  return true;
}

void VirtualDeck::Run() {
  const long count = tape_.UnitCount();
  const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / tape_.frameRate));
  std::unique_lock lock(mutex_);
  Clock::time_point next = Clock::now();
  double startSeconds = 0;       // tape time at `origin`
  Clock::time_point origin = next;
  while (!quit_) {
    if (changed_) {
      changed_ = false;
      next = origin = Clock::now();
      startSeconds = tape_.Unit(position_).seconds;
      if (state_ == TransportCommand::kPause) {
        lock.unlock();
        SendUnit(position_, true);  // the still picture
        lock.lock();
        continue;
      }
    }
    const TransportCommand state = state_;
    if (state == TransportCommand::kStop || state == TransportCommand::kPause) {
      wake_.wait(lock, [this] { return quit_ || changed_; });
      continue;
    }
    if (wake_.wait_until(lock, next, [this] { return quit_ || changed_; })) continue;
    long pos = position_;
    const bool forward = Forward(state);
    if (state == TransportCommand::kPlay) {
      lock.unlock();
      SendUnit(pos, false);
      lock.lock();
      ++pos;
      if (tape_.kind == 2 && pos < count) {
        // TS units are timed by their PCR.
        next = origin + std::chrono::duration_cast<Clock::duration>(
                            std::chrono::duration<double>(tape_.Unit(pos).seconds - startSeconds));
      } else {
        next += period;
      }
    } else {
      pos += forward ? kWindFactor : -kWindFactor;
      if (pos >= 0 && pos < count &&
          (state == TransportCommand::kForwardScan || state == TransportCommand::kReverseScan)) {
        lock.unlock();
        SendUnit(pos, false);
        lock.lock();
      }
      next += period;
    }
    if (pos >= count || pos < 0) {
      // The tape's end (or its start, winding back): the deck stops.
      position_ = pos < 0 ? 0 : count - 1;
      state_ = TransportCommand::kStop;
      std::function<void()> end = endSink_;
      lock.unlock();
      if (end) end();
      lock.lock();
      continue;
    }
    position_ = pos;
  }
}

}  // namespace dvdev
