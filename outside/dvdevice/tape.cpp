#include "outside/dvdevice/tape.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>

namespace dvdev {

namespace {

constexpr double kPcrHz = 27000000.0;

// The 42-bit PCR of a TS packet, when it carries one.
std::optional<std::uint64_t> PacketPcr(const std::uint8_t* p) {
  if (p[0] != 0x47) return std::nullopt;
  const int control = (p[3] >> 4) & 3;
  if (!(control & 2) || p[4] < 7 || !(p[5] & 0x10)) return std::nullopt;
  const std::uint64_t base = (std::uint64_t{p[6]} << 25) | (std::uint64_t{p[7]} << 17) | (std::uint64_t{p[8]} << 9) |
                             (std::uint64_t{p[9]} << 1) | (p[10] >> 7);
  const std::uint64_t ext = (std::uint64_t{p[10]} & 1) << 8 | p[11];
  return base * 300 + ext;
}

// Reads `size` bytes at `offset`; false when the file ends first.
bool ReadAt(int fd, std::uint8_t* data, std::size_t size, std::uint64_t offset) {
  std::size_t got = 0;
  while (got < size) {
    const ssize_t n = ::pread(fd, data + got, size - got, static_cast<off_t>(offset + got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

int OpenTapeFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool DvFrameIsPal(const std::uint8_t* frame, std::size_t size) { return size > 3 && (frame[3] & 0x80) != 0; }

TapeUnit Tape::Unit(long index) const {
  if (kind == 1) {
    return TapeUnit{static_cast<std::uint64_t>(index) * frameBytes, static_cast<std::uint32_t>(frameBytes),
                    static_cast<double>(index) / frameRate};
  }
  return tsUnits[static_cast<std::size_t>(index)];
}

double Tape::Seconds() const {
  if (kind == 1) return static_cast<double>(UnitCount()) / frameRate;
  return tsUnits.empty() ? 0.0 : tsUnits.back().seconds + 1.0 / frameRate;
}

std::optional<Tape> ProbeTape(const std::string& path, int kind) {
  const int fd = OpenTapeFile(path);
  if (fd < 0) return std::nullopt;
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0) return std::nullopt;
  Tape tape;
  tape.kind = kind;
  tape.size = static_cast<std::uint64_t>(info.st_size);
  if (kind == 1) {
    std::uint8_t head[80] = {};
    if (!ReadAt(fd, head, sizeof head, 0)) return std::nullopt;
    // A DIF header block: section type 0 in the top bits of its first byte.
    if ((head[0] >> 5) != 0) return std::nullopt;
    const bool pal = DvFrameIsPal(head, sizeof head);
    tape.frameRate = pal ? 25.0 : 30000.0 / 1001.0;
    tape.frameBytes = pal ? kDvFrameBytes625 : kDvFrameBytes525;
    if (tape.UnitCount() == 0) return std::nullopt;
    return tape;
  }
  // TS: one unit per PCR, timed by it.
  std::vector<std::uint8_t> data(static_cast<std::size_t>(tape.size));
  if (!ReadAt(fd, data.data(), data.size(), 0)) return std::nullopt;
  if (data.size() < kTsPacketBytes || data[0] != 0x47) return std::nullopt;
  std::optional<std::uint64_t> first;
  std::uint64_t unitStart = 0;
  double unitSeconds = 0;
  int pcrPid = -1;
  for (std::uint64_t off = 0; off + kTsPacketBytes <= data.size(); off += kTsPacketBytes) {
    const std::uint8_t* p = &data[off];
    const int pid = ((p[1] & 0x1F) << 8) | p[2];
    const auto pcr = PacketPcr(p);
    if (!pcr || (pcrPid >= 0 && pid != pcrPid)) continue;
    pcrPid = pid;
    if (!first) first = *pcr;
    const double seconds = static_cast<double>(*pcr - *first) / kPcrHz;
    if (off > unitStart) {
      tape.tsUnits.push_back(TapeUnit{unitStart, static_cast<std::uint32_t>(off - unitStart), unitSeconds});
    }
    unitStart = off;
    unitSeconds = seconds;
  }
  const std::uint64_t end = data.size() - data.size() % kTsPacketBytes;
  if (end > unitStart) tape.tsUnits.push_back(TapeUnit{unitStart, static_cast<std::uint32_t>(end - unitStart), unitSeconds});
  if (tape.tsUnits.empty()) return std::nullopt;
  // The video frame rate of a TS tape comes from its sequence header.
  tape.frameRate = 30000.0 / 1001.0;
  for (std::size_t i = 0; i + 8 < data.size(); ++i) {
    if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1 && data[i + 3] == 0xB3) {
      const int code = data[i + 7] & 0x0F;
      if (code == 3) tape.frameRate = 25.0;
      break;
    }
  }
  return tape;
}

Timecode FrameTimecode(long frame, double frameRate) {
  Timecode tc;
  if (frame < 0) frame = 0;
  if (std::fabs(frameRate - 25.0) < 0.01) {
    tc.frames = static_cast<int>(frame % 25);
    const long seconds = frame / 25;
    tc.seconds = static_cast<int>(seconds % 60);
    tc.minutes = static_cast<int>(seconds / 60 % 60);
    tc.hours = static_cast<int>(seconds / 3600 % 24);
    return tc;
  }
  // Drop-frame: frame numbers 0 and 1 are skipped at every minute but each tenth.
  constexpr long kPer10Min = 17982;
  constexpr long kPerMin = 1798;
  const long tens = frame / kPer10Min;
  long rest = frame % kPer10Min;
  long number = frame + 18 * tens;
  if (rest > 1) number += 2 * ((rest - 2) / kPerMin);
  tc.frames = static_cast<int>(number % 30);
  tc.seconds = static_cast<int>(number / 30 % 60);
  tc.minutes = static_cast<int>(number / 1800 % 60);
  tc.hours = static_cast<int>(number / 108000 % 24);
  return tc;
}

}  // namespace dvdev
