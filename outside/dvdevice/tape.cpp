#include "outside/dvdevice/tape.h"

#include <cmath>
#include <fstream>

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

}  // namespace

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
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  in.seekg(0, std::ios::end);
  Tape tape;
  tape.kind = kind;
  tape.size = static_cast<std::uint64_t>(in.tellg());
  in.seekg(0);
  if (kind == 1) {
    std::uint8_t head[80] = {};
    if (!in.read(reinterpret_cast<char*>(head), sizeof head)) return std::nullopt;
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
  if (!in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()))) return std::nullopt;
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
