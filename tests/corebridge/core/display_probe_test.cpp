#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "corebridge/core/display_probe.h"
#include "platform/sys/clock.h"
#include "tests/corebridge/core/fake_pci_tree.h"

namespace {

// Driver interfaces that answer with set values and count their calls.
class FakeProbes : public DisplayDriverProbes {
 public:
  int OverlayControlProbe() override { return Called(0, 5); }
  int DisplayLibraryProbe() override { return Called(1, 4); }
  int EscapeProbe() override { return Called(2, 2); }
  bool CreateDisplayComponent() override { return componentCreatable; }
  int DisplayComponentLayout() override {
    ++layoutCalls;
    return layout;
  }

  int Called(int which, int answer) {
    ++calls[which];
    return answer;
  }

  int calls[3] = {};
  bool componentCreatable = true;
  int layout = 3;
  int layoutCalls = 0;
};

class DisplayProbeTest : public ::testing::Test {
 protected:
  CDisplayProbe Make(int monitors = 1) {
    DisplayProbeEnvironment env;
    env.monitorCount = [monitors] { return monitors; };
    env.tickCount = [this] { return now; };
    env.pciDevicesDir = tree.root();
    env.probes = probes;
    return CDisplayProbe(env);
  }

  FakePciTree tree;
  std::shared_ptr<FakeProbes> probes = std::make_shared<FakeProbes>();
  std::uint32_t now = 5000;
};

TEST(DisplayFamilyBase, RoundsDownToTheFamily) {
  EXPECT_EQ(DisplayFamilyBase(21965), 21962);
  EXPECT_EQ(DisplayFamilyBase(21962), 21962);
  EXPECT_EQ(DisplayFamilyBase(21950), 21946);
  EXPECT_EQ(DisplayFamilyBase(21933), 21930);
  EXPECT_EQ(DisplayFamilyBase(21980), 21978);
}

TEST_F(DisplayProbeTest, FamiliesGoToTheirProbe) {
  CDisplayProbe probe = Make();
  EXPECT_EQ(probe.DisplayCapability(21965), 5);  // overlay control
  EXPECT_EQ(probe.DisplayCapability(21979), 4);  // display library
  EXPECT_EQ(probe.DisplayCapability(21931), 2);  // escape
  EXPECT_EQ(probe.DisplayCapability(21947), 3);  // display component
  EXPECT_EQ(probe.DisplayCapability(21994), 1);
  EXPECT_EQ(probe.DisplayCapability(22026), 1);
  EXPECT_EQ(probe.DisplayCapability(12345), 1);
  EXPECT_EQ(probes->calls[0], 1);
  EXPECT_EQ(probes->calls[1], 1);
  EXPECT_EQ(probes->calls[2], 1);
}

TEST_F(DisplayProbeTest, TwoMonitorsAnswerTwoWithoutAnyProbe) {
  tree.Add(0x10DE, 0x0171);
  CDisplayProbe probe = Make(2);
  EXPECT_EQ(probe.DisplayCapability(0), 2);
  EXPECT_EQ(probe.DisplayCapability(21962), 2);
  EXPECT_EQ(probes->calls[0], 0);
}

TEST_F(DisplayProbeTest, FamilyZeroIdentifiesTheAdapterFirst) {
  tree.Add(0x10DE, 0x0171);
  EXPECT_EQ(Make().IdentifyDisplayAdapter(), 21965);
  EXPECT_EQ(Make().DisplayCapability(0), 5);
  EXPECT_EQ(probes->calls[0], 1);
}

TEST_F(DisplayProbeTest, WithoutDriverInterfacesEveryProbedFamilyAnswersZero) {
  DisplayProbeEnvironment env;
  env.monitorCount = [] { return 1; };
  env.tickCount = [] { return 0u; };
  env.pciDevicesDir = tree.root();
  CDisplayProbe probe(env);
  for (int family : {21930, 21946, 21962, 21978}) EXPECT_EQ(probe.DisplayCapability(family), 0) << family;
  EXPECT_EQ(probe.DisplayCapability(0), 1);  // no adapter known
}

TEST_F(DisplayProbeTest, DefaultsAskTheDisplayBackendAndTheProcessClock) {
  auto clock = std::make_shared<plat::ManualClock>(40'000);
  plat::SetClock(clock);
  DisplayProbeEnvironment env;
  env.pciDevicesDir = tree.root();
  env.probes = probes;
  CDisplayProbe probe(env);
  // Without a display attached the backend reports one monitor.
  EXPECT_EQ(probe.DisplayCapability(21946), 3);
  probes->layout = 1;
  clock->advance(999);
  EXPECT_EQ(probe.DisplayCapability(21946), 3);
  clock->advance(1);
  EXPECT_EQ(probe.DisplayCapability(21946), 1);
  plat::SetClock(nullptr);
}

TEST_F(DisplayProbeTest, ComponentAnswerIsReusedFor1000Ms) {
  CDisplayProbe probe = Make();
  EXPECT_EQ(probe.DisplayCapability(21946), 3);
  probes->layout = 2;
  now += 999;
  EXPECT_EQ(probe.DisplayCapability(21946), 3);
  EXPECT_EQ(probes->layoutCalls, 1);
  now += 1;
  EXPECT_EQ(probe.DisplayCapability(21946), 2);
  EXPECT_EQ(probes->layoutCalls, 2);
}

TEST_F(DisplayProbeTest, ComponentCacheSurvivesTheTickWrap) {
  now = 0xFFFFFF00u;
  CDisplayProbe probe = Make();
  EXPECT_EQ(probe.DisplayCapability(21946), 3);
  probes->layout = 1;
  now += 0x200;  // wrapped, 512 ms later
  EXPECT_EQ(probe.DisplayCapability(21946), 3);
  now += 600;
  EXPECT_EQ(probe.DisplayCapability(21946), 1);
}

TEST_F(DisplayProbeTest, FirstComponentProbeAtAnEarlyTickIsNotTakenFromAnEmptyCache) {
  now = 10;
  CDisplayProbe probe = Make();
  EXPECT_EQ(probe.DisplayCapability(21946), 3);
  EXPECT_EQ(probes->layoutCalls, 1);
}

TEST_F(DisplayProbeTest, AComponentThatCannotBeCreatedAnswersZero) {
  probes->componentCreatable = false;
  CDisplayProbe probe = Make();
  EXPECT_EQ(probe.DisplayCapability(21946), 0);
  EXPECT_EQ(probes->layoutCalls, 0);
}

TEST_F(DisplayProbeTest, OverlayReservation) {
  CDisplayProbe probe = Make();
  EXPECT_EQ(probe.HoldDisplayOverlay(0), 1);  // nothing held: still done
  EXPECT_EQ(probe.HoldDisplayOverlay(1), 1);
  EXPECT_TRUE(probe.OverlayHeld());
  EXPECT_EQ(probe.HoldDisplayOverlay(1), 0);
  EXPECT_TRUE(probe.OverlayHeld());
  EXPECT_EQ(probe.HoldDisplayOverlay(0), 1);
  EXPECT_FALSE(probe.OverlayHeld());
  EXPECT_EQ(probe.HoldDisplayOverlay(1), 1);
}

}  // namespace
