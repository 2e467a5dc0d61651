#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "corebridge/core/display_adapter.h"
#include "tests/corebridge/core/fake_pci_tree.h"

namespace {

constexpr plat::DWORD kVga = 0x030000;
constexpr plat::DWORD kBridge = 0x060400;
constexpr plat::DWORD kUnclassified = 0x000000;

TEST(DisplayAdapterList, ReadsEveryFieldOfEachDevice) {
  FakePciTree tree;
  tree.Add(0x8086, 0x2562, kVga, 0x1028, 0x0126, 0x03);
  tree.Add(0x10EC, 0x8139, 0x020000);
  CDisplayAdapterList list(tree.root());
  ASSERT_EQ(list.Count(), 2);
  const PciDeviceEntry& e = list.Entry(0);
  EXPECT_EQ(e.vendorId, 0x8086);
  EXPECT_EQ(e.deviceId, 0x2562);
  EXPECT_EQ(e.subsystemVendorId, 0x1028);
  EXPECT_EQ(e.subsystemId, 0x0126);
  EXPECT_EQ(e.revisionId, 0x03);
  EXPECT_EQ(e.classCode, 3);
  EXPECT_EQ(list.Entry(1).classCode, 2);
  EXPECT_EQ(list.CurrentIndex(), -1);
}

TEST(DisplayAdapterList, LookupsSetTheCurrentIndexOnlyWhenTheyMatch) {
  FakePciTree tree;
  tree.Add(0x1106, 0x3038, 0x0C0300);
  tree.Add(0x10DE, 0x0171, kVga);
  tree.Add(0x10DE, 0x0171, kVga);
  CDisplayAdapterList list(tree.root());
  EXPECT_EQ(list.FindPciDevice(0x0171, 0x10DE), 1);
  EXPECT_EQ(list.CurrentIndex(), 1);
  EXPECT_EQ(list.FindPciDevice(0x0172, 0x10DE), 0);
  EXPECT_EQ(list.CurrentIndex(), 1);
  EXPECT_EQ(list.FindPciVendorOfClass(0x1106, 0x0C), 1);
  EXPECT_EQ(list.CurrentIndex(), 0);
  EXPECT_EQ(list.FindPciVendorOfClass(0x1106, 3), 0);
}

TEST(DisplayAdapterList, KeepsTheFirst32Devices) {
  FakePciTree tree;
  for (int i = 0; i < 40; ++i) tree.Add(0x1000, static_cast<plat::WORD>(i), kBridge);
  CDisplayAdapterList list(tree.root());
  ASSERT_EQ(list.Count(), 32);
  EXPECT_EQ(list.Entry(31).deviceId, 31);
  EXPECT_EQ(list.FindPciDevice(35, 0x1000), 0);
}

TEST(DisplayAdapterList, AMissingFolderGivesNoEntriesAndFamilyZero) {
  CDisplayAdapterList list("/nonexistent/pci/devices");
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.FindPciDevice(0, 0), 0);
  EXPECT_EQ(IdentifyDisplayAdapter(list), 0);
}

TEST(DisplayAdapterList, AnUnreadableFieldIsZeroNotTheDeviceBefore) {
  FakePciTree tree;
  tree.Add(0x8086, 0x2562, kVga);
  tree.Add(0x5333, 0x8A22, kVga);
  std::filesystem::remove(tree.last() / "class");
  std::ofstream(tree.last() / "device") << "garbage\n";
  CDisplayAdapterList list(tree.root());
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Entry(1).vendorId, 0x5333);
  EXPECT_EQ(list.Entry(1).deviceId, 0);
  EXPECT_EQ(list.Entry(1).classCode, 0);
}

struct Device {
  plat::WORD vendor;
  plat::WORD device;
  plat::DWORD pciClass;
};

struct IdentifyCase {
  const char* what;
  std::vector<Device> devices;
  int family;
};

void PrintTo(const IdentifyCase& c, std::ostream* os) { *os << c.what; }

class IdentifyDisplayAdapterTest : public ::testing::TestWithParam<IdentifyCase> {};

TEST_P(IdentifyDisplayAdapterTest, GivesTheFamilyCode) {
  FakePciTree tree;
  for (const Device& d : GetParam().devices) tree.Add(d.vendor, d.device, d.pciClass);
  CDisplayAdapterList list(tree.root());
  EXPECT_EQ(IdentifyDisplayAdapter(list), GetParam().family);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IdentifyDisplayAdapterTest,
    ::testing::Values(
        IdentifyCase{"nothing", {}, 0},
        IdentifyCase{"only non-display devices", {{0x8086, 0x7121, kBridge}}, 0},
        IdentifyCase{"8086 base", {{0x8086, 0x9999, kVga}}, 21946},
        IdentifyCase{"8086 first group", {{0x8086, 0x7125, kVga}}, 21947},
        IdentifyCase{"8086 variant found on a bridge", {{0x8086, 0x9999, kVga}, {0x8086, 0x3577, kBridge}}, 21949},
        IdentifyCase{"8086 wins over 10DE", {{0x10DE, 0x0171, kVga}, {0x8086, 0x2562, kVga}}, 21950},
        IdentifyCase{"12D2 alone gives the base", {{0x12D2, 0x0018, kVga}}, 21962},
        IdentifyCase{"12D2 with a 10DE variant device", {{0x12D2, 0x0018, kVga}, {0x10DE, 0x0200, 0x040000}}, 21964},
        IdentifyCase{"12D2 with a variant id of another vendor", {{0x12D2, 0x0200, kVga}}, 21962},
        IdentifyCase{"10DE groups in order", {{0x10DE, 0x017A, kVga}, {0x10DE, 0x0110, kVga}}, 21963},
        IdentifyCase{"3D3D unclassified", {{0x3D3D, 0x0009, kUnclassified}}, 21994},
        IdentifyCase{"104C display", {{0x104C, 0x3D07, kVga}}, 21994},
        IdentifyCase{"3D3D of another class", {{0x3D3D, 0x0009, kBridge}}, 0},
        IdentifyCase{"1039 variant", {{0x1039, 0x6300, kVga}}, 21932},
        IdentifyCase{"5333 groups", {{0x5333, 0x8A26, kVga}}, 22029},
        IdentifyCase{"5333 last group", {{0x5333, 0x8D04, kVga}}, 22031},
        IdentifyCase{"1023", {{0x1023, 0x9880, kVga}}, 22010},
        IdentifyCase{"1002 base", {{0x1002, 0x4752, kVga}}, 21978},
        IdentifyCase{"1002 range start", {{0x1002, 0x5041, kVga}}, 21979},
        IdentifyCase{"1002 range end", {{0x1002, 0x5058, kVga}}, 21979},
        IdentifyCase{"1002 second range", {{0x1002, 0x534D, kVga}}, 21979},
        IdentifyCase{"1002 second variant", {{0x1002, 0x5144, kVga}}, 21980},
        IdentifyCase{"1002 id on another vendor", {{0x1002, 0x4752, kVga}, {0x10DE, 0x5144, 0x040000}}, 21978},
        IdentifyCase{"102B", {{0x102B, 0x0525, kVga}}, 22042},
        IdentifyCase{"16A9 last vendor", {{0x16A9, 0x0001, kVga}}, 22122}),
    [](const auto& info) {
      std::string name = info.param.what;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

}  // namespace
