#include "outside/dvdevice/firewire_codes.h"

#include <cstdio>

#include "interfaces/dvdevice.h"

namespace dvdev {

namespace {

constexpr std::uint32_t kLoadMedium = 0xC1;
constexpr std::uint32_t kRecord = 0xC2;
constexpr std::uint32_t kPlay = 0xC3;
constexpr std::uint32_t kWind = 0xC4;

int Bcd(std::uint8_t v, std::uint8_t mask) {
  v &= mask;
  return (v >> 4) * 10 + (v & 0x0F);
}

}  // namespace

std::string UnitName(const std::string& model, const std::string& vendor, int kind) {
  return (model.empty() ? std::string("Camcorder") : model) + (kind == 2 ? " MPEG2 (" : " DV (") +
         (vendor.empty() ? std::string("Unknown") : vendor) + ")";
}

void VendorAndModel(const std::vector<std::string>& leaves, const std::string& label, std::string* vendor,
                    std::string* model) {
  *vendor = leaves.empty() ? std::string() : leaves[0];
  *model = leaves.size() > 1 ? leaves[1] : label;
}

int KindFromSignalMode(std::uint8_t mode) { return (mode & 0x70) == 0x10 ? 2 : 1; }

double FrameRateFromSignalMode(std::uint8_t mode) { return (mode & 0x80) ? 25.0 : 30000.0 / 1001.0; }

int TransportCodeFromStatus(std::uint32_t status) {
  const std::uint32_t opcode = (status >> 8) & 0xFF;
  const std::uint32_t operand = status & 0xFF;
  switch (opcode) {
    case kPlay:
      if (operand == 0x7D || operand == 0x6D || operand == 0x30 || operand == 0x40) return dvcode::kPause;
      if (operand == 0x75 || operand == 0x38 || (operand >= 0x31 && operand <= 0x37)) return dvcode::kPlay;
      if (operand >= 0x39 && operand <= 0x3F) return dvcode::kFastForward;
      if ((operand >= 0x41 && operand <= 0x4F) || operand == 0x65) return dvcode::kRewind;
      return dvcode::kPlay;
    case kRecord:
      return operand == 0x7D ? dvcode::kPause : dvcode::kPlay;
    case kWind:
      if (operand == 0x75) return dvcode::kFastForward;
      if (operand == 0x65 || operand == 0x45) return dvcode::kRewind;
      return dvcode::kStop;
    case kLoadMedium:
    default:
      return dvcode::kStop;
  }
}

std::optional<Timecode> TimecodeFromBcd(const std::uint8_t operands[4]) {
  for (int i = 0; i < 4; ++i) {
    if (operands[i] == 0xFF) return std::nullopt;
  }
  Timecode tc;
  tc.frames = Bcd(operands[0], 0x3F);
  tc.seconds = Bcd(operands[1], 0x7F);
  tc.minutes = Bcd(operands[2], 0x7F);
  tc.hours = Bcd(operands[3], 0x3F);
  if (tc.frames > 29 || tc.seconds > 59 || tc.minutes > 59 || tc.hours > 23) return std::nullopt;
  return tc;
}

std::optional<Timecode> TimecodeFromText(const std::string& text) {
  Timecode tc;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%2d:%2d:%2d:%2d%c", &tc.hours, &tc.minutes, &tc.seconds, &tc.frames, &tail) != 4) {
    return std::nullopt;
  }
  if (tc.hours < 0 || tc.hours > 23 || tc.minutes < 0 || tc.minutes > 59 || tc.seconds < 0 || tc.seconds > 59 ||
      tc.frames < 0 || tc.frames > 29) {
    return std::nullopt;
  }
  return tc;
}

}  // namespace dvdev
