// An audio CD made by the authoring engine on a virtual writer is a disc
// like any other: the MP3 ripper reads track 2 back to WAV with the same
// samples that went in.
#include <gtest/gtest.h>

#include <filesystem>

#include "interfaces/authoring.h"
#include "outside/authoring/authoring_engine.h"
#include "platform/com/object.h"
#include "platform/registry/registry.h"
#include "platform/sys/drive_table.h"
#include "tests/engines/rip/ripper_client.h"

namespace {

namespace fs = std::filesystem;

class EndSink final : public IAuthoringEventSink {
 public:
  int Notify0(SinkArg, SinkArg) override { return 0; }
  int Notify1(SinkArg, SinkArg) override { return 0; }
  int Notify2(SinkArg, SinkArg) override { return 0; }
  int Notify3(SinkArg, SinkArg) override { return 0; }
  int Notify4(SinkArg, SinkArg) override { return 0; }
  int Notify5(SinkArg, SinkArg) override { return 0; }
  int Notify6(SinkArg, SinkArg) override { return 0; }
  int Notify7(SinkArg a, SinkArg) override {
    last = *reinterpret_cast<const AuthoringStatus*>(a);
    return 0;
  }
  int Notify8(SinkArg, SinkArg) override { return 0; }
  int Notify9(SinkArg, SinkArg) override { return 0; }
  int Notify10(SinkArg, SinkArg) override { return 0; }
  int Notify11(SinkArg, SinkArg) override { return 0; }
  int Notify12(SinkArg, SinkArg) override { return 0; }
  int Notify13(SinkArg, SinkArg) override { return 0; }
  int Notify14(SinkArg, SinkArg) override { return 0; }
  int Notify15(SinkArg, SinkArg) override { return 0; }
  AuthoringStatus last{};
};

TEST(AudioCdRoundTrip, TrackTwoRipsBackBitForBit) {
  rip_test::ServerEnvironment environment;
  rip_test::TempDir dir;
  const std::vector<double> tones = {440, 660, 990};
  const std::vector<double> seconds = {1.0, 2.5, 1.5};
  std::vector<std::string> files;
  std::vector<std::vector<std::int16_t>> samples;
  for (std::size_t i = 0; i < tones.size(); ++i) {
    samples.push_back(rip_test::StereoTone(seconds[i], tones[i]));
    files.push_back(dir / ("tone" + std::to_string(i) + ".wav"));
    rip_test::WriteWav(files.back(), samples.back());
  }
  const std::string sheet = dir / "disc.cue";
  {
    plat::HKEY k = nullptr;
    ASSERT_EQ(plat::RegCreateKeyExA(plat::HKEY_LOCAL_MACHINE, "SoftWare\\Kestrovia\\Marivel\\VirtualDrives\\D", 0,
                                    nullptr, 0, plat::KEY_ALL_ACCESS, nullptr, &k, nullptr),
              plat::ERROR_SUCCESS);
    auto set = [k](const char* name, const std::string& v) {
      plat::RegSetValueExA(k, name, 0, plat::REG_SZ, reinterpret_cast<const plat::BYTE*>(v.c_str()),
                           static_cast<plat::DWORD>(v.size() + 1));
    };
    set("Path", sheet);
    set("Type", "cdrom");
    const plat::DWORD one = 1;
    plat::RegSetValueExA(k, "Writer", 0, plat::REG_DWORD, reinterpret_cast<const plat::BYTE*>(&one), sizeof one);
    plat::RegCloseKey(k);
  }
  plat::SetVolumeSource(std::make_shared<plat::FakeVolumeSource>());

  {
    plat::ComPtr<IAuthoringEngine> engine;
    ASSERT_EQ(plat::CreateComObject<CAuthoringEngine>(nullptr, IID_IAuthoringEngine, reinterpret_cast<void**>(&engine)),
              plat::S_OK);
    EndSink sink;
    ASSERT_EQ(engine->Initialize(), plat::S_OK);
    ASSERT_EQ(engine->SetDiscType(kAuthoringDiscAudioCd), plat::S_OK);
    for (const auto& f : files) ASSERT_EQ(engine->AddElement(f.c_str()), plat::S_OK);
    ASSERT_EQ(engine->SetEventSink(&sink), plat::S_OK);
    ASSERT_EQ(engine->StartBurning((dir / "work").c_str()), plat::S_OK);
    ASSERT_TRUE(rip_test::PumpUntil([&] { return sink.last.stage >= kAuthoringStageDone; }, 60000));
    ASSERT_EQ(sink.last.stage, kAuthoringStageDone) << std::hex << sink.last.result;
  }

  // The drive now holds the disc.
  auto volumes = std::make_shared<plat::FakeVolumeSource>();
  volumes->volumes = plat::ReadVirtualDrives();
  ASSERT_EQ(volumes->volumes.size(), 1u);
  EXPECT_EQ(volumes->volumes[0].image, sheet);
  plat::SetVolumeSource(volumes);

  rip_test::RipperClient ripper(rip_test::Kind::Mp3);
  rip_test::RecordingSink ripSink;
  const std::string output = dir / "track2.wav";
  const rip_test::RipOutcome outcome = rip_test::RipToEnd(ripper, ripSink, "D:\\Track02.cda", output);
  ASSERT_EQ(outcome.open, plat::S_OK);
  ASSERT_EQ(outcome.build, plat::S_OK);
  ASSERT_TRUE(outcome.ended);
  // The tone, then silence to the end of its last sector.
  std::vector<std::uint8_t> expected(reinterpret_cast<const std::uint8_t*>(samples[1].data()),
                                     reinterpret_cast<const std::uint8_t*>(samples[1].data() + samples[1].size()));
  expected.resize((expected.size() + 2351) / 2352 * 2352, 0);
  EXPECT_TRUE(rip_test::WavData(output) == expected);
  plat::SetVolumeSource(nullptr);
}

}  // namespace
