// The processor probe on CPUID fixtures, the clock measurement on scripted
// counters, and the trace log's switch and lines.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "engines/capture/grabber/cpu_probe.h"
#include "engines/capture/grabber/trace_log.h"
#include "platform/registry/registry.h"
#include "tests/support/temp_environment.h"

namespace grabber {
namespace {

std::uint32_t Text4(const char* s) {
  std::uint32_t v = 0;
  std::memcpy(&v, s, 4);
  return v;
}

// A processor described by its CPUID answers.
struct Cpu {
  std::map<std::uint32_t, CpuidRegs> leaves;

  Cpu(const char* vendor, int family, int model, int stepping = 1, std::uint32_t edx = 0) {
    leaves[0] = CpuidRegs{2, Text4(vendor), Text4(vendor + 8), Text4(vendor + 4)};
    const std::uint32_t base = family > 15 ? 15 : static_cast<std::uint32_t>(family);
    const std::uint32_t extFamily = family > 15 ? static_cast<std::uint32_t>(family - 15) : 0;
    leaves[1] = CpuidRegs{(extFamily << 20) | ((static_cast<std::uint32_t>(model) >> 4) << 16) | (base << 8) |
                              ((static_cast<std::uint32_t>(model) & 0xf) << 4) | static_cast<std::uint32_t>(stepping),
                          0x00020800u, 0, edx};
    leaves[0x80000000u] = CpuidRegs{0x80000000u, 0, 0, 0};
  }
  void Brand(const std::string& brand, std::uint32_t extEdx = 0) {
    leaves[0x80000000u].eax = 0x80000004u;
    leaves[0x80000001u] = CpuidRegs{0, 0, 0, extEdx};
    char text[48] = {};
    std::memcpy(text, brand.data(), std::min<std::size_t>(brand.size(), 47));
    for (std::uint32_t i = 0; i < 3; ++i) {
      CpuidRegs r;
      std::memcpy(&r.eax, text + 16 * i, 4);
      std::memcpy(&r.ebx, text + 16 * i + 4, 4);
      std::memcpy(&r.ecx, text + 16 * i + 8, 4);
      std::memcpy(&r.edx, text + 16 * i + 12, 4);
      leaves[0x80000002u + i] = r;
    }
  }
  CpuidReader Reader() const {
    return [leaves = leaves](std::uint32_t leaf, CpuidRegs& out) {
      const auto it = leaves.find(leaf);
      out = it == leaves.end() ? CpuidRegs{} : it->second;
      return true;
    };
  }
};

constexpr std::uint32_t kMmx = 1u << 23;
constexpr std::uint32_t kSse = 1u << 25;
constexpr std::uint32_t kSse2 = 1u << 26;

ProbeResult Probe(const Cpu& cpu) {
  ProbeResult r;
  EXPECT_EQ(ProbeProcessor(cpu.Reader(), CycleClock{}, r), 0);
  return r;
}

TEST(ProcessorProbe, BrandWithBlanksAndClock) {
  Cpu cpu("GenuineIntel", 6, 15, 6, kMmx | kSse | kSse2);
  cpu.Brand("       Intel(R) Core(TM)2 CPU  6600  2.40GHz");
  const ProbeResult r = Probe(cpu);
  EXPECT_EQ(r.name, "Intel(R) Core(TM)2 CPU  6600");
  EXPECT_EQ(r.vendor, "GenuineIntel");
  EXPECT_TRUE(r.mmx && r.sse && r.sse2);
  EXPECT_FALSE(r.amd3dnow);  // not looked for on Intel
  EXPECT_EQ(CapabilityBits(r), 1 | 2 | 16);
  EXPECT_EQ(r.logicalPerPackage, 2);
  EXPECT_EQ(r.apicId, 0);
}

TEST(ProcessorProbe, TidyNames) {
  EXPECT_EQ(TidyProcessorName("  AMD Athlon(tm) 64 Processor 3000+"), "AMD Athlon(tm) 64 Processor 3000+");
  EXPECT_EQ(TidyProcessorName("VIA Esther 1500MHz"), "VIA Esther");
  EXPECT_EQ(TidyProcessorName("Some CPU @ 800 MHz"), "Some CPU @");
  EXPECT_EQ(TidyProcessorName("   "), "");
}

TEST(ProcessorProbe, NamesByVendor) {
  struct Case {
    const char* vendor;
    int family;
    int model;
    int stepping;
    const char* brand;
    const char* expected;
  };
  const Case cases[] = {
      {"GenuineIntel", 4, 1, 0, nullptr, "Intel 486 Processor"},
      {"GenuineIntel", 5, 2, 0, nullptr, "Intel Pentium"},
      {"GenuineIntel", 6, 6, 0, nullptr, "Intel Celeron"},
      {"GenuineIntel", 6, 9, 0, nullptr, "Intel Processor"},
      {"GenuineIntel", 15, 2, 0, nullptr, "Intel Processor"},
      {"AuthenticAMD", 4, 0, 0, nullptr, "AMD 80486 Processor"},
      {"AuthenticAMD", 5, 2, 0, nullptr, "AMD K5"},
      {"AuthenticAMD", 5, 7, 0, nullptr, "AMD K6"},
      {"AuthenticAMD", 5, 8, 0, nullptr, "AMD K6-2"},
      {"AuthenticAMD", 5, 9, 0, nullptr, "AMD K6-III"},
      {"AuthenticAMD", 5, 13, 0, nullptr, "AMD Processor"},
      {"AuthenticAMD", 15, 4, 0, "AMD Athlon(tm) 64 Processor 3000+", "AMD Athlon(tm) 64 Processor 3000+"},
      {"CentaurHauls", 4, 0, 0, nullptr, "WinChip 80486 Processor"},
      {"CentaurHauls", 5, 4, 0, nullptr, "IDT WinChip Processor"},
      {"CentaurHauls", 6, 6, 0, nullptr, "VIA C3 Samuel"},
      {"CentaurHauls", 6, 7, 8, nullptr, "VIA C3 Ezra"},
      {"CentaurHauls", 6, 7, 3, nullptr, "VIA C3 Samuel 2"},
      {"CentaurHauls", 6, 9, 0, "VIA Nehemiah", "VIA Nehemiah"},
      {"CyrixInstead", 4, 0, 0, nullptr, "Cyrix 80486 Processor"},
      {"CyrixInstead", 5, 0, 0, nullptr, "Cyrix MI"},
      {"CyrixInstead", 6, 0, 0, nullptr, "Cyrix MII"},
      {"GenuineTMx86", 5, 4, 0, nullptr, "Transmeta Crusoe"},
      {"GenuineTMx86", 4, 0, 0, nullptr, "Transmeta 80486 Processor"},
      {"SiS SiS SiS ", 5, 0, 0, nullptr, "SiS SiS SiS  80586 Processor"},
  };
  for (const Case& c : cases) {
    Cpu cpu(c.vendor, c.family, c.model, c.stepping);
    if (c.brand) cpu.Brand(c.brand);
    EXPECT_EQ(Probe(cpu).name, c.expected) << c.vendor << " " << c.family << "/" << c.model;
  }
}

TEST(ProcessorProbe, IntelFamilySixByCacheAndBrandIndex) {
  Cpu xeon("GenuineIntel", 6, 7);
  xeon.leaves[2] = CpuidRegs{0x00000001u, 0, 0, 0x00000045u};  // a 2 MB cache
  EXPECT_EQ(Probe(xeon).name, "Intel Pentium III Xeon");
  Cpu small("GenuineIntel", 6, 5);
  small.leaves[2] = CpuidRegs{0x00000001u, 0, 0, 0x0000007Bu};
  EXPECT_EQ(Probe(small).name, "Intel Pentium II");
  Cpu indexed("GenuineIntel", 6, 8);
  indexed.leaves[1].ebx = 0x00010002u;  // brand index 2
  EXPECT_EQ(Probe(indexed).name, "Intel Pentium III");
  Cpu p4("GenuineIntel", 15, 1);
  p4.leaves[1].ebx = 0x00010009u;
  EXPECT_EQ(Probe(p4).name, "Intel Pentium 4");
}

TEST(ProcessorProbe, ThreeDNowOnOtherVendors) {
  Cpu amd("AuthenticAMD", 6, 2, 0, kMmx);
  amd.Brand("AMD Athlon(tm) Processor", (1u << 31) | (1u << 30));
  const ProbeResult r = Probe(amd);
  EXPECT_TRUE(r.amd3dnow);
  EXPECT_TRUE(r.amd3dnowExt);
  EXPECT_EQ(CapabilityBits(r), 1 | 4 | 8);
}

TEST(ProcessorProbe, NoCpuid) {
  ProbeResult r;
  r.mmx = true;
  const CpuidReader none = [](std::uint32_t, CpuidRegs&) { return false; };
  EXPECT_EQ(ProbeProcessor(none, MachineCycleClock(), r), -1);
  EXPECT_EQ(CapabilityBits(r), 0);
  EXPECT_EQ(r.mhz, 0);
  EXPECT_FALSE(r.probed);
}

TEST(ProcessorProbe, ClockPassesUntilThreeAgree) {
  // Microseconds advance one a read; cycles follow a script of rates.
  struct Script {
    std::vector<int> rates;  // MHz of each pass
    std::uint64_t micros = 0;
    std::uint64_t cycles = 0;
    std::size_t pass = 0;
    bool inPass = false;
  };
  auto run = [](std::vector<int> rates, int* passes) {
    auto s = std::make_shared<Script>();
    s->rates = std::move(rates);
    CycleClock clock;
    clock.micros = [s] { return ++s->micros; };
    clock.cycles = [s] {
      // The second read of a pass: the pass's rate over the time since the first.
      static thread_local std::uint64_t startMicros = 0;
      if (!s->inPass) {
        startMicros = s->micros;
        s->inPass = true;
      } else {
        const int rate = s->rates[std::min(s->pass, s->rates.size() - 1)];
        s->cycles += static_cast<std::uint64_t>(rate) * (s->micros - startMicros);
        s->inPass = false;
        ++s->pass;
      }
      return s->cycles;
    };
    const int mhz = MeasureClockMHz(clock);
    *passes = static_cast<int>(s->pass);
    return mhz;
  };
  int passes = 0;
  EXPECT_EQ(run({2400, 2400, 2400}, &passes), 2400);
  EXPECT_EQ(passes, 3);
  EXPECT_EQ(run({3000, 2400, 2401, 2402}, &passes), 2550);
  EXPECT_EQ(passes, 4);
  // Never agreeing: twenty passes at most.
  std::vector<int> wild;
  for (int i = 0; i < 30; ++i) wild.push_back(i % 2 ? 1000 : 2000);
  run(wild, &passes);
  EXPECT_EQ(passes, 20);
  CycleClock none;
  EXPECT_EQ(MeasureClockMHz(none), 0);
}

TEST(ProcessorProbe, ThisMachine) {
  ProbeResult r;
  const int result = ProbeProcessor(MachineCpuid(), MachineCycleClock(), r);
#if defined(__x86_64__) || defined(__i386__)
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(r.mmx);  // every x86-64 processor has it
  EXPECT_FALSE(r.name.empty());
  EXPECT_GT(r.mhz, 0);
#else
  EXPECT_EQ(result, -1);
#endif
}

class TraceLogTest : public ::testing::Test {
 protected:
  void SetSwitch(plat::DWORD value) {
    plat::HKEY key = nullptr;
    ASSERT_EQ(plat::RegCreateKeyExA(plat::HKEY_CURRENT_USER, "SOFTWARE\\Kestrovia\\Common", 0, nullptr, 0,
                                    plat::KEY_ALL_ACCESS, nullptr, &key, nullptr),
              plat::ERROR_SUCCESS);
    plat::RegSetValueExA(key, "rekko_dump", 0, plat::REG_DWORD, reinterpret_cast<const plat::BYTE*>(&value),
                         sizeof value);
    plat::RegCloseKey(key);
  }
  test_support::TempEnvironment env{"trace"};
};

TEST_F(TraceLogTest, SwitchFromTheUserRegistry) {
  EXPECT_FALSE(ReadTraceSwitch());
  SetSwitch(0);
  EXPECT_FALSE(ReadTraceSwitch());
  SetSwitch(2);
  EXPECT_FALSE(ReadTraceSwitch());
  SetSwitch(1);
  EXPECT_TRUE(ReadTraceSwitch());
  EXPECT_EQ(TraceFilePath(), env.dir() + "/data/Marivel/RekkoDump.txt");
}

TEST_F(TraceLogTest, LinesAppendOnlyWhenOn) {
  const std::string path = TraceFilePath();
  TraceLog(false, path).Write("grabber init start\n");
  EXPECT_FALSE(std::filesystem::exists(path));
  const TraceLog on(true, path);
  on.Write("grabber init start\n");
  on.Write("100% %s %n\n");  // the text is never a format
  const std::string text = test_support::ReadFile(path);
  ASSERT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
  EXPECT_EQ(text.substr(0, 5), "Time=");
  EXPECT_NE(text.find("), grabber init start\n"), std::string::npos);
  EXPECT_NE(text.find("), 100% %s %n\n"), std::string::npos);
}

TEST(TraceLine, PrefixIsEightHoursAhead) {
  using namespace std::chrono;
  const system_clock::time_point t{seconds{1777766400 + 20 * 3600 + 5 * 60 + 6} + milliseconds{7}};
  EXPECT_EQ(TraceLinePrefix(t), "Time=04:05:06(007), ");
}

}  // namespace
}  // namespace grabber
