#include "engines/capture/grabber/cpu_probe.h"

#include <time.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define GRABBER_X86 1
#endif

namespace grabber {

namespace {

constexpr const char* kIntel = "GenuineIntel";
constexpr const char* kAmd = "AuthenticAMD";
constexpr const char* kCentaur = "CentaurHauls";
constexpr const char* kCyrix = "CyrixInstead";
constexpr const char* kTransmeta = "GenuineTMx86";

std::string Format(const char* pattern, int value) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

std::string RegText(std::uint32_t reg) {
  char text[4];
  std::memcpy(text, &reg, 4);
  return std::string(text, 4);
}

// The brand string of CPUID 0x80000002..4, when the extended range has it.
std::string BrandString(const CpuidReader& cpuid, std::uint32_t extendedMax) {
  if (extendedMax < 0x80000004) return {};
  std::string brand;
  for (std::uint32_t leaf = 0x80000002; leaf <= 0x80000004; ++leaf) {
    CpuidRegs r;
    if (!cpuid(leaf, r)) return {};
    brand += RegText(r.eax) + RegText(r.ebx) + RegText(r.ecx) + RegText(r.edx);
  }
  brand.resize(std::strlen(brand.c_str()));
  return brand;
}

// The largest cache of the CPUID 2 descriptors, in the table's units.
int LargestCache(const CpuidReader& cpuid) {
  CpuidRegs r;
  if (!cpuid(2, r)) return 0;
  int largest = 0;
  const std::uint32_t regs[4] = {r.eax, r.ebx, r.ecx, r.edx};
  for (int i = 0; i < 4; ++i) {
    if (regs[i] & 0x80000000u) continue;  // a register without descriptors
    for (int b = (i == 0 ? 1 : 0); b < 4; ++b) {
      const unsigned d = (regs[i] >> (8 * b)) & 0xff;
      int size = 0;
      switch (d) {
        case 0x00:
        case 0x40: size = 0; break;
        case 0x44: case 0x7C: case 0x84: size = 1000; break;
        case 0x45: case 0x85: size = 2000; break;
        case 0x79: size = 128; break;
        case 0x7A: case 0x82: size = 256; break;
        case 0x7B: size = 512; break;
        default: size = 1; break;
      }
      if (size > largest) largest = size;
    }
  }
  return largest;
}

std::string IntelName(const CpuidReader& cpuid, const ProbeResult& p, const std::string& brand) {
  if (!brand.empty()) return brand;
  if (p.family <= 4) return Format("Intel %d86 Processor", p.family);
  if (p.family == 5) return "Intel Pentium";
  if (p.family == 6) {
    const int cache = LargestCache(cpuid);
    switch (p.model) {
      case 5: return cache < 1000 ? "Intel Pentium II" : "Intel Pentium II Xeon";
      case 6: return "Intel Celeron";
      case 7: return cache < 1000 ? "Intel Pentium III" : "Intel Pentium III Xeon";
      case 8:
        switch (p.brandIndex) {
          case 1: return "Intel Celeron";
          case 2: return "Intel Pentium III";
          case 3: return "Intel Pentium III Xeon";
          case 8: return "Intel Pentium 4";
          default: return "Intel Processor";
        }
      default: return "Intel Processor";
    }
  }
  if (p.family == 15 && p.brandIndex > 7) return "Intel Pentium 4";
  return "Intel Processor";
}

std::string AmdName(const ProbeResult& p, const std::string& brand) {
  if (p.family <= 4) return Format("AMD 80%d86 Processor", p.family);
  if (p.family == 5) {
    if (p.model <= 3) return "AMD K5";
    if (p.model <= 7 && p.model >= 6) return "AMD K6";
    if (p.model == 8) return "AMD K6-2";
    if (p.model == 9) return "AMD K6-III";
    return "AMD Processor";
  }
  return brand;
}

std::string CentaurFamily6(const ProbeResult& p, const std::string& brand) {
  if (p.model == 6) return "VIA C3 Samuel";
  if (p.model == 7) return p.stepping > 7 ? "VIA C3 Ezra" : "VIA C3 Samuel 2";
  if (p.model < 7) return "IDT WinChip Processor";
  return brand;
}

std::string CentaurName(const ProbeResult& p, const std::string& brand) {
  if (p.family <= 4) return Format("WinChip 80%d86 Processor", p.family);
  if (p.family == 5) return "IDT WinChip Processor";
  if (p.family == 6) return CentaurFamily6(p, brand);
  return brand;
}

std::string CyrixName(const ProbeResult& p, const std::string& brand) {
  if (p.family <= 4) return Format("Cyrix 80%d86 Processor", p.family);
  if (p.family == 5) return "Cyrix MI";
  if (p.family == 6) return "Cyrix MII";
  return CentaurName(p, brand);
}

std::string TransmetaName(const ProbeResult& p, const std::string& brand) {
  if (p.family <= 4) return Format("Transmeta 80%d86 Processor", p.family);
  if (p.family == 5) return "Transmeta Crusoe";
  return brand;
}

}  // namespace

CpuidReader MachineCpuid() {
#ifdef GRABBER_X86
  return [](std::uint32_t leaf, CpuidRegs& out) {
    const unsigned top = __get_cpuid_max(leaf & 0x80000000u, nullptr);
    if (top == 0 || leaf > top) {
      // Beyond the range the processor answers with zeros, as the probe expects.
      if (__get_cpuid_max(0, nullptr) == 0) return false;
      out = CpuidRegs{};
      return true;
    }
    __cpuid_count(leaf, 0, out.eax, out.ebx, out.ecx, out.edx);
    return true;
  };
#else
  return [](std::uint32_t, CpuidRegs&) { return false; };
#endif
}

CycleClock MachineCycleClock() {
  CycleClock clock;
#ifdef GRABBER_X86
  clock.cycles = [] { return static_cast<std::uint64_t>(__rdtsc()); };
#endif
  clock.micros = [] {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC_RAW, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000u;
  };
  return clock;
}

std::string TidyProcessorName(std::string name) {
  const std::size_t first = name.find_first_not_of(' ');
  name.erase(0, first == std::string::npos ? name.size() : first);
  const auto endsWith = [&](const char* unit) {
    return name.size() >= 3 && name.compare(name.size() - 3, 3, unit) == 0;
  };
  if (endsWith("MHz") || endsWith("GHz")) {
    std::size_t cut = name.size() - 3;
    while (cut > 0 && (name[cut - 1] == ' ')) --cut;  // "800 MHz"
    while (cut > 0 && ((name[cut - 1] >= '0' && name[cut - 1] <= '9') || name[cut - 1] == '.')) --cut;
    while (cut > 0 && name[cut - 1] == ' ') --cut;
    name.resize(cut);
  }
  return name;
}

int MeasureClockMHz(const CycleClock& clock) {
  if (!clock.cycles || !clock.micros) return 0;
  std::vector<std::uint64_t> estimates;
  std::uint64_t totalCycles = 0;
  std::uint64_t totalMicros = 0;
  for (int pass = 0; pass < 20; ++pass) {
    // Start on a fresh tick, 50 us in, then measure 1000 us.
    const std::uint64_t begin = clock.micros();
    std::uint64_t start = begin;
    while ((start = clock.micros()) - begin < 50) {
    }
    const std::uint64_t c0 = clock.cycles();
    std::uint64_t end = start;
    while ((end = clock.micros()) - start < 1000) {
    }
    const std::uint64_t c1 = clock.cycles();
    const std::uint64_t cycles = c1 - c0;
    const std::uint64_t micros = end - start;
    totalCycles += cycles;
    totalMicros += micros;
    estimates.push_back(micros ? cycles / micros : 0);
    if (estimates.size() >= 3) {
      const std::uint64_t a = estimates[estimates.size() - 3];
      const std::uint64_t b = estimates[estimates.size() - 2];
      const std::uint64_t c = estimates[estimates.size() - 1];
      const long long sum = static_cast<long long>(a + b + c);
      const auto close = [&](std::uint64_t e) { return std::llabs(static_cast<long long>(e * 3) - sum) <= 3; };
      if (close(a) && close(b) && close(c)) break;
    }
  }
  return totalMicros ? static_cast<int>(totalCycles / totalMicros) : 0;
}

int ProbeProcessor(const CpuidReader& cpuid, const CycleClock& clock, ProbeResult& out) {
  out = ProbeResult{};
  const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
  out.processors = online > 0 ? static_cast<int>(online) : 1;
  CpuidRegs r0;
  if (!cpuid(0, r0)) return -1;
  out.vendor = RegText(r0.ebx) + RegText(r0.edx) + RegText(r0.ecx);
  CpuidRegs r1;
  if (r0.eax >= 1) cpuid(1, r1);
  const int baseFamily = static_cast<int>((r1.eax >> 8) & 0xf);
  const int baseModel = static_cast<int>((r1.eax >> 4) & 0xf);
  out.family = baseFamily;
  out.model = baseModel;
  out.stepping = static_cast<int>(r1.eax & 0xf);
  out.type = static_cast<int>((r1.eax >> 12) & 0x3);
  out.brandIndex = static_cast<int>(r1.ebx & 0xff);
  out.logicalPerPackage = static_cast<int>((r1.ebx >> 16) & 0xff);
  out.apicId = static_cast<int>((r1.ebx >> 24) & 0xff);
  out.timeStampCounter = (r1.edx >> 4) & 1;

  CpuidRegs ext;
  cpuid(0x80000000u, ext);
  const std::uint32_t extendedMax = ext.eax;
  const std::string brand = BrandString(cpuid, extendedMax);

  const bool intel = out.vendor == kIntel;
  const bool known = intel || out.vendor == kAmd || out.vendor == kCentaur || out.vendor == kCyrix ||
                     out.vendor == kTransmeta;
  if (known || out.family > 4) {
    out.mmx = (r1.edx >> 23) & 1;
    out.sse = (r1.edx >> 25) & 1;
    out.sse2 = (r1.edx >> 26) & 1;
    if (!intel && extendedMax > 0x80000000u) {
      CpuidRegs e1;
      cpuid(0x80000001u, e1);
      out.amd3dnow = (e1.edx >> 31) & 1;
      out.amd3dnowExt = (e1.edx >> 30) & 1;
    }
  }
  if (intel) {
    if (baseFamily == 15) out.family = baseFamily + static_cast<int>((r1.eax >> 20) & 0xff);
    if (baseFamily == 6 || baseFamily == 15) out.model = baseModel + static_cast<int>(((r1.eax >> 16) & 0xf) << 4);
    out.name = IntelName(cpuid, out, extendedMax > 0x80000000u ? brand : std::string());
  } else if (out.vendor == kAmd) {
    out.name = AmdName(out, brand);
  } else if (out.vendor == kCentaur) {
    out.name = CentaurName(out, brand);
  } else if (out.vendor == kCyrix) {
    out.name = CyrixName(out, brand);
  } else if (out.vendor == kTransmeta) {
    out.name = TransmetaName(out, brand);
  } else {
    char text[64];
    std::snprintf(text, sizeof text, "%s 80%d86 Processor", out.vendor.c_str(), out.family);
    out.name = text;
  }
  out.name = TidyProcessorName(out.name);
  if (out.timeStampCounter && out.family >= 3) out.mhz = MeasureClockMHz(clock);
  out.probed = true;
  return 0;
}

int CapabilityBits(const ProbeResult& probe) {
  return (probe.mmx ? 1 : 0) | (probe.sse ? 2 : 0) | (probe.amd3dnow ? 4 : 0) | (probe.amd3dnowExt ? 8 : 0) |
         (probe.sse2 ? 16 : 0);
}

const ProbeResult& MachineProbe() {
  static const ProbeResult result = [] {
    ProbeResult r;
    ProbeProcessor(MachineCpuid(), MachineCycleClock(), r);
    return r;
  }();
  return result;
}

}  // namespace grabber
