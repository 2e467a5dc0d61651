// What FireWire camcorders answer, decoded from byte tables: names from ROM
// leaves, kinds and rates from signal modes, AV/C transport states and
// timecodes.
#include <gtest/gtest.h>

#include "interfaces/dvdevice.h"
#include "outside/dvdevice/firewire_bus.h"
#include "outside/dvdevice/firewire_codes.h"

namespace {

using namespace dvdev;

TEST(FireWireCodes, NamesKeepTheEnginesRules) {
  std::string vendor, model;
  VendorAndModel({"Victor", "GR-D23"}, "Victor GR-D23", &vendor, &model);
  EXPECT_EQ(UnitName(model, vendor, 1), "GR-D23 DV (Victor)");  // " DV " and "(victor)" in any case
  VendorAndModel({"Sony"}, "DCR-IP7", &vendor, &model);
  EXPECT_EQ(UnitName(model, vendor, 2), "DCR-IP7 MPEG2 (Sony)");
  VendorAndModel({}, "", &vendor, &model);
  EXPECT_EQ(UnitName(model, vendor, 1), "Camcorder DV (Unknown)");
}

TEST(FireWireCodes, SignalModes) {
  struct Row {
    std::uint8_t mode;
    int kind;
    double rate;
  };
  const Row rows[] = {
      {0x00, 1, 29.97}, {0x04, 1, 29.97}, {0x80, 1, 25.0}, {0x84, 1, 25.0},
      {0x10, 2, 29.97}, {0x90, 2, 25.0},  {0x94, 2, 25.0}, {0x18, 2, 29.97},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(KindFromSignalMode(r.mode), r.kind) << int{r.mode};
    EXPECT_NEAR(FrameRateFromSignalMode(r.mode), r.rate, 0.01) << int{r.mode};
  }
}

TEST(FireWireCodes, TransportStates) {
  struct Row {
    std::uint32_t status;
    int code;
  };
  // Response quadlets: response code, subunit, opcode, operand.
  const Row rows[] = {
      {0x0C20C375, dvcode::kPlay},        {0x0C20C338, dvcode::kPlay},        {0x0C20C37D, dvcode::kPause},
      {0x0C20C36D, dvcode::kPause},       {0x0C20C33F, dvcode::kFastForward}, {0x0C20C34F, dvcode::kRewind},
      {0x0C20C365, dvcode::kRewind},      {0x0C20C460, dvcode::kStop},        {0x0C20C475, dvcode::kFastForward},
      {0x0C20C465, dvcode::kRewind},      {0x0C20C445, dvcode::kRewind},      {0x0C20C160, dvcode::kStop},
      {0x0C20C275, dvcode::kPlay},        {0x00000000, dvcode::kStop},
  };
  for (const Row& r : rows) EXPECT_EQ(TransportCodeFromStatus(r.status), r.code) << std::hex << r.status;
}

TEST(FireWireCodes, Timecodes) {
  const std::uint8_t bcd[4] = {0x24, 0x59, 0x07, 0x01};  // frames, seconds, minutes, hours
  EXPECT_EQ(TimecodeFromBcd(bcd), (Timecode{1, 7, 59, 24}));
  const std::uint8_t dropFlag[4] = {0x40 | 0x02, 0x00, 0x01, 0x00};  // drop-frame flag beside the tens
  EXPECT_EQ(TimecodeFromBcd(dropFlag), (Timecode{0, 1, 0, 2}));
  const std::uint8_t unset[4] = {0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_FALSE(TimecodeFromBcd(unset));
  const std::uint8_t bad[4] = {0x35, 0x00, 0x00, 0x00};
  EXPECT_FALSE(TimecodeFromBcd(bad));

  EXPECT_EQ(TimecodeFromText("00:12:34:05"), (Timecode{0, 12, 34, 5}));
  EXPECT_FALSE(TimecodeFromText(""));
  EXPECT_FALSE(TimecodeFromText("00:61:00:00"));
  EXPECT_FALSE(TimecodeFromText("00:12:34:05x"));
}

// Here there is no FireWire: nothing is listed and nothing opens.
TEST(FireWireBus, WithoutABusNothingIsListed) {
  EXPECT_TRUE(ListFireWireUnits().empty());
  EXPECT_EQ(OpenFireWireCamcorder(0, 0, 1), nullptr);
}

}  // namespace
