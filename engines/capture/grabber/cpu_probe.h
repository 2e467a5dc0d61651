// The processor probe: vendor, family, name and instruction-set features
// from CPUID, and the clock measured by the time-stamp counter. The CPUID
// and counter readers are injectable so the rules run on fixtures.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace grabber {

struct CpuidRegs {
  std::uint32_t eax = 0;
  std::uint32_t ebx = 0;
  std::uint32_t ecx = 0;
  std::uint32_t edx = 0;
};

// Answers CPUID `leaf` (sub-leaf 0); false when the processor has no CPUID.
using CpuidReader = std::function<bool(std::uint32_t leaf, CpuidRegs& out)>;

// The processor's own CPUID on x86; elsewhere a reader that always fails.
CpuidReader MachineCpuid();

// The two clocks the measurement compares: cycles and microseconds.
struct CycleClock {
  std::function<std::uint64_t()> cycles;   // empty: no time-stamp counter
  std::function<std::uint64_t()> micros;
};

// rdtsc on x86 (empty elsewhere) against CLOCK_MONOTONIC_RAW.
CycleClock MachineCycleClock();

struct ProbeResult {
  bool probed = false;
  std::string vendor;
  int family = 0;
  int model = 0;
  int stepping = 0;
  int type = 0;
  int brandIndex = 0;
  std::string name;
  bool mmx = false;
  bool sse = false;
  bool sse2 = false;
  bool amd3dnow = false;
  bool amd3dnowExt = false;
  bool timeStampCounter = false;
  int mhz = 0;
  int processors = 0;
  int logicalPerPackage = 0;
  int apicId = 0;
};

// Identifies the processor: -1 when there is no CPUID (every flag stays 0),
// else 0. The clock is measured when `clock` has a cycle counter and the
// family is 3 or more; else it is 0.
int ProbeProcessor(const CpuidReader& cpuid, const CycleClock& clock, ProbeResult& out);

// Leading blanks and a trailing clock figure ("2.40GHz", "800 MHz" and the
// blanks before it) removed.
std::string TidyProcessorName(std::string name);

// The measured clock in whole MHz: passes of 1000 us each until the last
// three agree (each times three within 3 of their sum), at least 3 and at
// most 20; total cycles over total microseconds.
int MeasureClockMHz(const CycleClock& clock);

// Capability bits: 0 MMX, 1 SSE, 2 3DNow!, 3 extended 3DNow!, 4 SSE2.
int CapabilityBits(const ProbeResult& probe);

// The probe of this machine, run once per process.
const ProbeResult& MachineProbe();

}  // namespace grabber
