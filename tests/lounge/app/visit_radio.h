// The virtual radio of the Radio visit and the lounge benchmark, declared in
// a sandbox's machine hive: preferred over any real radio, FM only, three
// stations: 88.0 MHz without RDS (1000 Hz), 98.5 MHz "MARIVEL", pop music,
// with a radio text and a 440 Hz tone, and 104.2 MHz without RDS (1500 Hz).
#pragma once

#include <cstdio>
#include <fstream>
#include <string>

namespace app_test {

inline void DeclareVisitRadio(const std::string& machineHive) {
  constexpr const char* kKey = "HKEY_LOCAL_MACHINE\\SoftWare\\Kestrovia\\Marivel\\VirtualRadio";
  auto hex = [](unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08x", value);
    return std::string(text);
  };
  std::ofstream reg(machineHive, std::ios::app);
  reg << "\n[" << kKey << "]\n\"Name\"=\"Test\"\n\"Bands\"=\"FM\"\n\"Prefer\"=dword:00000001\n";
  const struct {
    const char* key;
    unsigned hz;
    const char* name;
    const char* text;
    unsigned type, tone;
  } stations[] = {{"A", 88'000'000, nullptr, nullptr, 0, 1000},
                  {"B", 98'500'000, "MARIVEL", "Marivel radio plays the tone", 10, 440},
                  {"C", 104'200'000, nullptr, nullptr, 0, 1500}};
  for (const auto& s : stations) {
    reg << "\n[" << kKey << "\\Stations\\" << s.key << "]\n"
        << "\"Frequency\"=dword:" << hex(s.hz) << "\n\"Tone\"=dword:" << hex(s.tone)
        << "\n\"ProgramType\"=dword:" << hex(s.type) << "\n";
    if (s.name) reg << "\"Name\"=\"" << s.name << "\"\n\"PI\"=dword:0000c001\n";
    if (s.text) reg << "\"RadioText\"=\"" << s.text << "\"\n";
  }
}

}  // namespace app_test
