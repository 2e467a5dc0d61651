// Tuning, scans, the channel wall, the country, profiles and picture levels
// on a scripted recorder.
#include "tests/engines/capture/grabber/grabber_fixture.h"

namespace grabtest {
namespace {

using Calls = std::vector<std::string>;

TEST_F(GrabberFixture, TuningReadsTheChannelBackAndIsRefusedWhileRecordingTheSource) {
  CGrabber& g = Previewing();
  recorder->results["Tune"] = S_OK;
  ASSERT_EQ(g.TuneChannel(7), S_OK);
  EXPECT_EQ(recorder->Only({"Tune", "ChannelChanged", "GetTunedChannel"}),
            (Calls{"Tune(7)", "ChannelChanged()", "GetTunedChannel()"}));
  EXPECT_EQ(g.current_channel(), 7);
  recorder->calls.clear();
  ASSERT_EQ(g.TuneChannel(7), S_OK);
  EXPECT_EQ(recorder->Count("ChannelChanged("), 0);  // the same channel again
  recorder->tuned = 12;
  ASSERT_EQ(g.ChannelStep2(), S_OK);
  EXPECT_TRUE(recorder->Called("ChannelUp()"));
  EXPECT_EQ(g.current_channel(), 12);
}

TEST_F(GrabberFixture, ChannelNamesAndStoredChannels) {
  CGrabber& g = Ready();
  char name[kGrabberTextChars] = {};
  ASSERT_EQ(g.GetChannelName(name, 0), S_OK);  // the current channel, 5
  EXPECT_STREQ(name, "Station Five");
  EXPECT_TRUE(recorder->Called("QueryAntennaChannel(5)"));
  ASSERT_EQ(g.SetTunerInput(0), S_OK);
  recorder->calls.clear();
  ASSERT_EQ(g.GetChannelName(name, 7), S_OK);
  EXPECT_TRUE(recorder->Called("QueryCableChannel(7)"));

  // Stored channels: 5 and 7; the index counts only those.
  int value = 0, status = 0;
  ASSERT_EQ(g.GetStoredChannel(1, &value, &status), S_OK);
  EXPECT_EQ(value, 80);
  EXPECT_EQ(g.GetStoredChannel(2, &value, &status), E_FAIL);
  EXPECT_EQ(g.GetStoredChannel(-1, &value, &status), S_OK);
  recorder->bandEnd = 6;  // the walk ends where the recorder stops answering
  EXPECT_EQ(g.GetStoredChannel(1, &value, &status), E_FAIL);
}

TEST_F(GrabberFixture, ChannelScanOverAListWrapsUntilStopped) {
  CGrabber& g = Previewing();
  const unsigned list[3] = {5, 7, 9};
  ASSERT_EQ(g.StartChannelScan(0, 2, list), S_OK);
  EXPECT_EQ(g.state(), grabstate::kChannelScan);
  EXPECT_NE(g.step_timer(), 0u);
  EXPECT_TRUE(recorder->Called("ScanStart(0,2)"));
  for (int i = 0; i < 4; ++i) g.OnStepTimer();
  EXPECT_EQ(sink.calls, (Calls{"OnScanStep(0,5,1)", "OnScanStep(1,7,1)", "OnScanStep(2,9,0)", "OnScanStep(0,5,1)",
                               "OnScanStep(1,7,1)"}));
  EXPECT_EQ(recorder->Only({"ScanStep"}), (Calls{"ScanStep(1,7)", "ScanStep(2,9)", "ScanStep(0,5)", "ScanStep(1,7)"}));
  ASSERT_EQ(g.StopChannelScan(), S_OK);
  EXPECT_EQ(g.state(), grabstate::kPreview);
  EXPECT_EQ(g.step_timer(), 0u);
  EXPECT_EQ(g.StartChannelScan(3, 2, nullptr), E_FAIL);  // an empty range
}

TEST_F(GrabberFixture, ChannelScanOverTheBandVisitsStoredChannels) {
  recorder->SetStation(499, "Last");
  recorder->SetStation(0, "Zero");
  CGrabber& g = Previewing();
  ASSERT_EQ(g.TuneChannel(499), S_OK);
  ASSERT_EQ(g.StartChannelScan(0, 3, nullptr), S_OK);
  g.OnStepTimer();
  g.OnStepTimer();
  EXPECT_EQ(sink.calls, (Calls{"OnScanStep(0,499,1)", "OnScanStep(1,0,1)", "OnScanStep(2,5,1)"}));
}

TEST_F(GrabberFixture, ChannelWallStepsOnEachPicture) {
  CGrabber& g = Previewing();
  const unsigned list[2] = {5, 7};
  ASSERT_EQ(g.StartMultiChannelPreview(2, list), S_OK);
  EXPECT_EQ(g.state(), grabstate::kMultiPreview);
  EXPECT_EQ(recorder->Only({"ShowVideo", "SetPreviewFamily", "SourceSeek", "RequestWallPicture"}),
            (Calls{"ShowVideo(0)", "SetPreviewFamily(0)", "SourceSeek(0,1)", "RequestWallPicture()"}));

  // A picture arrives from a streaming thread, valid only for that call.
  std::vector<std::uint8_t> pixels(4 * 2 * 3 + 8, 0);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i);
  TvPicture pic{2, 2, 16, pixels.data()};
  std::thread([&] { recorder->Fire(tvevent::kPictureReady, 0, 0, &pic); }).join();
  pixels.assign(pixels.size(), 0xEE);
  Pump();
  ASSERT_EQ(sink.calls, Calls{"OnPreviewStep(0,5,Station Five)"});
  EXPECT_EQ(sink.threads[0], std::this_thread::get_id());
  EXPECT_EQ(sink.lastPicture, (std::vector<std::uint8_t>{0, 1, 2, 3, 4, 5, 16, 17, 18, 19, 20, 21}));
  EXPECT_NE(g.step_timer(), 0u);

  recorder->calls.clear();
  g.OnStepTimer();  // next channel, then a picture after 200 ms
  EXPECT_TRUE(recorder->Called("Tune(7)"));
  g.OnWallTimer();
  EXPECT_TRUE(recorder->Called("RequestWallPicture()"));
  recorder->Fire(tvevent::kPictureReady);
  Pump();
  EXPECT_EQ(sink.calls.back(), "OnPreviewStep(1,7,Station Seven)");
  g.OnStepTimer();  // past the last: back to the start channel
  EXPECT_EQ(g.current_channel(), 5);
  EXPECT_EQ(g.scan_position(), 0);

  ASSERT_EQ(g.NextPreviewChannel(), S_OK);
  EXPECT_EQ(g.current_channel(), 7);
  EXPECT_EQ(g.state(), grabstate::kMultiPreview);
  ASSERT_EQ(g.StopMultiChannelPreview(), S_OK);
  EXPECT_EQ(g.state(), grabstate::kPreview);
  EXPECT_EQ(recorder->Only({"SetPreviewFamily"}).back(), "SetPreviewFamily(1)");
}

TEST_F(GrabberFixture, CountryChoice) {
  CGrabber& g = Ready(300);  // outside the table: the locale's country
  EXPECT_EQ(g.GetCountry(), 129);  // Germany
  char name[kGrabberTextChars] = {};
  ASSERT_EQ(g.GetCountryName(240, name), S_OK);
  EXPECT_STREQ(name, "Georgia");
  EXPECT_EQ(g.GetCountryName(241, name), E_FAIL);
  EXPECT_EQ(g.GetCountryName(-1, name), E_FAIL);

  EXPECT_EQ(g.SetCountry(241), E_FAIL);
  EXPECT_EQ(g.SetCountry(-2), E_FAIL);
  EXPECT_EQ(g.GetCountry(), 129);

  ASSERT_EQ(g.SetCountry(195), S_OK);  // Russia: 7, SECAM-D
  EXPECT_EQ(recorder->Only({"SetCountryCode", "SetVideoStandard"}).front(), "SetCountryCode(7)");
  EXPECT_TRUE(recorder->Called("SetVideoStandard(8192)"));
  recorder->calls.clear();
  ASSERT_EQ(g.SetCountry(195), S_OK);
  EXPECT_TRUE(recorder->calls.empty());  // the same country changes nothing

  locale = {7, "Kazakhstan"};
  ASSERT_EQ(g.SetCountry(-1), S_OK);
  EXPECT_EQ(g.GetCountry(), 196);
}

TEST_F(GrabberFixture, DefaultProfilesByVideoStandard) {
  CGrabber& g = Ready(129);  // Germany, PAL
  EXPECT_EQ(g.GetProfileFamily(), 2);
  EXPECT_EQ(store->entries.size(), 5u);
  const std::string engineFolder = env.dir() + "/engine";

  store->calls.clear();
  ASSERT_EQ(g.SetCountry(117), S_OK);  // Italy: PAL again, nothing loaded
  EXPECT_TRUE(store->calls.empty());

  ASSERT_EQ(g.SetCountry(201), S_OK);  // Japan: NTSC-M-J
  EXPECT_EQ(store->calls.front(), "LoadFile(" + engineFolder + "/Default_NTSC.prf)");
  EXPECT_TRUE(recorder->Called("SetProfileFamily(0)"));
  EXPECT_EQ(g.GetProfileFamily(), 1);
  // The old family's entries went; the selected profile is the new family's.
  EXPECT_EQ(store->entries.size(), 2u);
  EncoderBlock block{};
  g.GetRecordProfile(&block);
  EXPECT_EQ(block.videoBitRate, 5000000);

  ASSERT_EQ(g.SetCountry(88), S_OK);  // France: SECAM-L takes the PAL defaults
  EXPECT_EQ(g.GetProfileFamily(), 2);
}

TEST_F(GrabberFixture, MissingProfilesGiveTheDefaultEntry) {
  store->files.clear();
  CGrabber& g = Ready(0);  // United States, NTSC
  EXPECT_EQ(g.GetProfileFamily(), 0);
  char name[64] = {};
  g.GetSelectedProfileName(name);
  EXPECT_STREQ(name, "Default (NTSC)");
  EncoderBlock b{};
  g.GetRecordProfile(&b);
  EXPECT_EQ(b.format, 2);
  EXPECT_EQ(b.width, 320);
  EXPECT_EQ(b.height, 240);
  EXPECT_FLOAT_EQ(b.frameRate, 29.97f);
  EXPECT_EQ(b.videoBitRate, 8000000);
  EXPECT_EQ(b.audioBitRate, 224);
  EXPECT_STREQ(b.gop, "IBBPBBPBBPBBPBBP");
}

TEST_F(GrabberFixture, SelectingProfiles) {
  CGrabber& g = Ready();
  store->calls.clear();
  ASSERT_EQ(g.SelectRecordProfile(""), S_OK);  // "DVD SP", already selected
  EXPECT_TRUE(store->calls.empty());
  ASSERT_EQ(g.SelectRecordProfile("DVD HQ"), S_OK);
  EncoderBlock b{};
  g.GetRecordProfile(&b);
  EXPECT_EQ(b.videoBitRate, 9000000);
  EXPECT_EQ(g.SelectRecordProfile("Nope"), E_FAIL);
  char name[64] = {};
  g.GetSelectedProfileName(name);
  EXPECT_STREQ(name, "DVD HQ");
}

TEST_F(GrabberFixture, PictureLevels) {
  CGrabber& g = Ready();
  // Level 1 is brightness (0..255, default 128), level 2 saturation (-100..100).
  ASSERT_EQ(g.SetPictureLevel1(50), S_OK);
  EXPECT_EQ(recorder->picture[0], 127);
  EXPECT_EQ(g.GetPictureLevel1(), 50);
  ASSERT_EQ(g.SetPictureLevel1(-1), S_OK);  // the default, read back
  EXPECT_EQ(recorder->picture[0], 128);
  EXPECT_EQ(g.GetPictureLevel1(), 50);
  ASSERT_EQ(g.SetPictureLevel2(100), S_OK);
  EXPECT_EQ(recorder->picture[1], 100);
  EXPECT_EQ(g.SetPictureLevel2(101), E_FAIL);
  EXPECT_EQ(g.SetPictureLevel2(-2), E_FAIL);
  EXPECT_EQ(g.GetPictureLevel2(), 100);

  recorder->results["SetContrast"] = E_FAIL;  // a refused set keeps what the device has
  recorder->picture[2] = 150;
  EXPECT_EQ(g.SetPictureLevel3(10), E_FAIL);
  EXPECT_EQ(g.GetPictureLevel3(), 75);

  recorder->range[3][0] = recorder->range[3][1] = 7;  // a control with no range
  recorder->results["SetHue"] = E_FAIL;
  EXPECT_EQ(g.SetPictureLevel4(30), E_FAIL);
  EXPECT_EQ(g.GetPictureLevel4(), 0);
}

TEST_F(GrabberFixture, AnotherDeviceStartsAfresh) {
  recorder->videoDevices = {"Tuner Card", "Second Tuner"};
  recorder->tunerDevices = {"Tuner Card", "Second Tuner"};
  CGrabber& g = Ready();
  ASSERT_EQ(g.SetVideoInput(2), S_OK);
  ASSERT_EQ(g.SetVideoDeviceName("Second Tuner"), S_OK);
  EXPECT_EQ(g.GetInputKind(), 0);
  EXPECT_EQ(g.GetPictureLevel1(), 50);  // -1: the device default (128 of 0..255)
  // The channel tables of both bands are cleared for the new device.
  EXPECT_EQ(recorder->Count("SetChannelStored(1,"), 500);
  EXPECT_EQ(recorder->Count("SetChannelStored(0,"), 125);
  recorder->calls.clear();
  ASSERT_EQ(g.SetVideoDeviceName("Second Tuner"), S_OK);
  EXPECT_TRUE(recorder->calls.empty());
}

TEST_F(GrabberFixture, AudioModes) {
  CGrabber& g = Ready();
  const int mapped[5] = {0, 1, 4, 5, 3};
  for (int mode = 0; mode < 5; ++mode) {
    ASSERT_EQ(g.SetTvAudioMode(mode), S_OK);
    EXPECT_EQ(recorder->tvAudio, mapped[mode]);
    EXPECT_EQ(g.GetTvAudioMode(), mode);
  }
  EXPECT_EQ(g.SetTvAudioMode(5), E_FAIL);
  recorder->results["HasTvAudio"] = E_FAIL;
  EXPECT_EQ(g.SetTvAudioMode(1), E_FAIL);
  EXPECT_EQ(g.GetAudioChannelMode(), -1);
  ASSERT_EQ(g.SetAudioChannelMode(2), S_OK);
  EXPECT_EQ(g.GetAudioChannelMode(), 2);
  EXPECT_EQ(g.SetAudioChannelMode(3), E_FAIL);
}

}  // namespace
}  // namespace grabtest
