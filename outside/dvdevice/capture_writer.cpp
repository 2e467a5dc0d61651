#include "outside/dvdevice/capture_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "outside/dvdevice/dv_transcode.h"
#include "platform/sys/atomic_file.h"

namespace dvdev {

WriterSettings SettingsFromBlock(const EncoderBlock& block, int kind, bool rawDv) {
  WriterSettings s;
  s.kind = kind;
  s.format = block.format;
  s.rawDv = rawDv;
  s.path.assign(block.filePath, strnlen(block.filePath, sizeof block.filePath));
  s.videoBitRate = block.videoBitRate;
  s.width = block.width;
  s.height = block.height;
  s.gopLength = static_cast<int>(strnlen(block.gop, sizeof block.gop));
  s.lowerRate = block.lowerRate;
  s.upperRate = block.upperRate;
  s.audioKbps = block.audioBitRate;
  return s;
}

bool WritableFormat(int kind, int format) {
  if (kind == 2) return true;
  return format == 0 || format == 1 || format == 2 || format == 3 || format == 4 || format == 6 || format == 7;
}

std::unique_ptr<CaptureWriter> CaptureWriter::Start(WriterSettings settings) {
  if (settings.path.empty() || !WritableFormat(settings.kind, settings.format)) return nullptr;
  std::unique_ptr<CaptureWriter> writer(new CaptureWriter(std::move(settings)));
  writer->thread_ = std::thread([w = writer.get()] { w->Run(); });
  return writer;
}

CaptureWriter::CaptureWriter(WriterSettings settings) : settings_(std::move(settings)) {}

CaptureWriter::~CaptureWriter() { Finish(); }

void CaptureWriter::Push(const std::uint8_t* data, std::size_t size) {
  ++received_;
  {
    std::lock_guard lock(mutex_);
    if (ending_) return;
    if (queue_.size() >= kQueueFrames) {
      ++dropped_;
      return;
    }
    queue_.emplace_back(data, data + size);
  }
  wake_.notify_one();
}

bool CaptureWriter::Finish() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
  return ok_ && !failed_;
}

int CaptureWriter::Read(std::uint8_t* out, int size) {
  std::unique_lock lock(mutex_);
  while (currentPos_ >= current_.size()) {
    wake_.wait(lock, [this] { return ending_ || !queue_.empty(); });
    if (queue_.empty()) return 0;  // the end
    current_ = std::move(queue_.front());
    queue_.pop_front();
    currentPos_ = 0;
  }
  const std::size_t n = std::min(static_cast<std::size_t>(size), current_.size() - currentPos_);
  std::memcpy(out, current_.data() + currentPos_, n);
  currentPos_ += n;
  return static_cast<int>(n);
}

void CaptureWriter::Run() {
  ok_ = settings_.kind == 2 || settings_.rawDv ? RunRaw() : RunDv();
  if (!ok_) {
    failed_ = true;
    // Keep reading so the sender's frames go somewhere until Finish.
    std::uint8_t sink[65536];
    while (Read(sink, sizeof sink) > 0) {
    }
    if (settings_.onError) settings_.onError();
  }
}

// Tells why the capture file could not be written, once per capture.
static bool CaptureWriteFailed(const std::string& path, int error) {
  std::fprintf(stderr, "capture: cannot write \"%s\": %s\n", path.c_str(), plat::WriteFailureCause(error).c_str());
  return false;
}

bool CaptureWriter::RunRaw() {
  const int fd = open(settings_.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return CaptureWriteFailed(settings_.path, errno);
  std::uint8_t chunk[65536];
  int error = 0;
  for (int n = 0; !error && (n = Read(chunk, sizeof chunk)) > 0;) {
    for (int done = 0; done < n;) {
      const ssize_t w = write(fd, chunk + done, static_cast<std::size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) {
        error = w < 0 ? errno : ENOSPC;
        break;
      }
      done += static_cast<int>(w);
    }
  }
  if (fsync(fd) != 0 && !error) error = errno;
  if (close(fd) != 0 && !error) error = errno;
  return error ? CaptureWriteFailed(settings_.path, error) : true;
}

bool CaptureWriter::RunDv() {
  return TranscodeDv([this](std::uint8_t* out, int size) { return Read(out, size); }, settings_);
}

}  // namespace dvdev
