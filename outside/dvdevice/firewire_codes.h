// What a FireWire camcorder answers, decoded: its name from the config ROM's
// textual leaves, its kind and frame rate from the AV/C output signal mode,
// the transport state (AV/C TRANSPORT STATE status quadlet) as the engine's
// transport codes, and the timecode (AV/C TIME CODE operands in BCD, or the
// "hh:mm:ss:ff" text libavc1394 gives).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "outside/dvdevice/tape.h"

namespace dvdev {

// "<model> DV (<vendor>)" or "<model> MPEG2 (<vendor>)".
std::string UnitName(const std::string& model, const std::string& vendor, int kind);

// Vendor and model from the textual leaves in ROM order (vendor first);
// the label when there is no second leaf.
void VendorAndModel(const std::vector<std::string>& leaves, const std::string& label, std::string* vendor,
                    std::string* model);

// 2 for an MPEG-2 TS signal mode, else 1; 25 fps for the 50 Hz modes.
int KindFromSignalMode(std::uint8_t mode);
double FrameRateFromSignalMode(std::uint8_t mode);

// 4296 play, 4297 stop, 4298 pause, 4300 fast forward, 4301 rewind.
int TransportCodeFromStatus(std::uint32_t status);

// Frames, seconds, minutes, hours in BCD; nothing for an unset code (0xFF).
std::optional<Timecode> TimecodeFromBcd(const std::uint8_t operands[4]);
std::optional<Timecode> TimecodeFromText(const std::string& text);

}  // namespace dvdev
