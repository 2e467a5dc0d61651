// Video rows: capture sources and capture buttons, the transport buttons in
// and outside the capture view, list stepping, sorting and screen modes.
#include <gtest/gtest.h>

#include "corebridge/core/video_config.h"
#include "lounge/shell/action_state_video.h"
#include "tests/lounge/shell/action_state_cases.h"

// Named, not anonymous: the module tables share one compilation in batch builds.
namespace video_state_test {

using namespace action_state_test;
using C = Case<CVideoConfig>;
using V = CVideoConfig;

void Check(const std::vector<C>& cases) { RunCases<CVideoConfig>(cases, QueryVideoActionState); }

// The capture view with `source`, the DV device state, the transport state
// and whether a capture runs.
auto Capture(int source, int dvState, int transport, int capturing = 0) {
  return [=](CConfig&, V& v) {
    v.m_nView = VIDEO_VIEW_CAPTURE;
    v.m_nCaptureSource = source;
    v.m_nDVDeviceState = dvState;
    v.m_nTransportState = transport;
    v.m_bCapturing = capturing;
  };
}

auto Browse(int transport) {
  return [=](CConfig&, V& v) {
    v.m_nView = VIDEO_VIEW_FOLDER;
    v.m_nTransportState = transport;
  };
}

TEST(VideoActionState, TransportOutsideTheCaptureView) {
  Check({
      {"Video Play", Browse(1), {1, 1, kKept}},
      {"Video Play", Browse(2), {0, 1, kKept}},
      {"Video Play", Browse(5), {1, 1, kKept}},
      {"Video Pause", Browse(2), {1, 1, kKept}},
      {"Video Pause", Browse(3), {0, 1, kKept}},
      {"Video Stop", Browse(1), {1, 0, kKept}},
      {"Video Stop", Browse(3), {1, 1, kKept}},
      {"Video FastForeward", [](CConfig&, V& v) { v.m_bKeyAnswer4 = 1; }, {kKept, 1, kKept}},
      {"Video FastForeward", [](CConfig&, V& v) { v.m_bKeyAnswer5 = 1; }, {kKept, 0, kKept}},
      {"Video Rewind", [](CConfig&, V& v) { v.m_bKeyAnswer5 = 1; }, {kKept, 1, kKept}},
      {"Video Take Snapshot", [](CConfig&, V& v) { v.m_bSnapshotAvailable = 1; }, {kKept, 1, kKept}},
      {"Video Take Snapshot", nullptr, {kKept, 0, kKept}},
  });
}

TEST(VideoActionState, TransportInTheCaptureView) {
  Check({
      // Webcam, composite and S-Video: every transport button is off.
      {"Video Play", Capture(2, 2, 2), {0, 0, kKept}},
      {"Video Pause", Capture(3, 2, 2), {1, 0, kKept}},
      {"Video Stop", Capture(4, 2, 2), {1, 0, kKept}},
      {"Video FastForeward", Capture(2, 2, 2), {kKept, 0, kKept}},
      {"Video Rewind", Capture(4, 2, 3), {kKept, 0, kKept}},
      // A DV camcorder that is on drives them.
      {"Video Play", Capture(1, 2, 1), {1, 1, kKept}},
      {"Video Play", Capture(1, 1, 1), {1, 0, kKept}},
      {"Video Play", Capture(1, 2, 1, 1), {1, 0, kKept}},
      {"Video Play", Capture(0, 2, 1), {1, 0, kKept}},
      {"Video Stop", Capture(1, 2, 2), {1, 1, kKept}},
      {"Video Stop", Capture(1, 2, 1), {1, 0, kKept}},
      {"Video Stop", Capture(0, 2, 2), {1, 0, kKept}},
      {"Video Stop", Capture(1, 1, 2), {1, 0, kKept}},
      {"Video Stop", Capture(1, 1, 2, 1), {1, 1, kKept}},
      {"Video Stop",
       [](CConfig& root, V& v) {
         Capture(1, 2, 2)(root, v);
         v.m_bCaptureBusy = 1;
       },
       {1, 0, kKept}},
      {"Video FastForeward", Capture(1, 2, 2), {kKept, 1, kKept}},
      {"Video FastForeward", Capture(1, 2, 5), {kKept, 0, kKept}},
      {"Video FastForeward", Capture(1, 2, 4), {kKept, 1, kKept}},
      {"Video Rewind", Capture(1, 2, 4), {kKept, 0, kKept}},
      {"Video Rewind", Capture(1, 2, 1), {kKept, 0, kKept}},
      {"Video Rewind", Capture(1, 1, 2), {kKept, 0, kKept}},
      {"Video Rewind", Capture(1, 2, 2, 1), {kKept, 0, kKept}},
  });
}

TEST(VideoActionState, CaptureMenu) {
  auto sources = [](int current, int capturing) {
    return [=](CConfig&, V& v) {
      v.m_bHasDV = 1;
      v.m_bHasWebcam = 1;
      v.m_bHasComposite = 0;
      v.m_bHasSVideo = 1;
      v.m_nCaptureSource = current;
      v.m_bCapturing = capturing;
    };
  };
  auto start = [](int source, int dvState, int transport, int kind = 2, int ready = 0) {
    return [=](CConfig& root, V& v) {
      Capture(source, dvState, transport)(root, v);
      v.m_nCaptureTargetKind = kind;
      v.m_bTargetReady = ready;
    };
  };
  Check({
      {"Video Capture DV", sources(2, 0), {1, 1, kKept}},
      {"Video Capture DV", sources(1, 0), {0, 0, kKept}},
      {"Video Capture Composite", sources(1, 0), {1, 0, kKept}},
      {"Video Capture SVideo", sources(1, 1), {1, 0, kKept}},
      {"Video Capture Webcam Tag", sources(2, 0), {1, 0, kKept}},
      {"Video Capture DV Tag", sources(2, 0), {0, 0, kKept}},
      {"Video Capture To HD", [](CConfig&, V& v) { v.m_bCapturing = 1; }, {1, kKept, kKept}},
      {"Video Capture To DVD", [](CConfig&, V& v) { v.m_bCapturing = 1; }, {0, kKept, kKept}},
      {"Video Capture To DVD", [](CConfig&, V& v) { v.m_bCapturing = 1; v.m_nCaptureTarget = 1; }, {1, kKept, kKept}},
      {"Video Start Capturing", start(1, 2, 2), {1, kKept, kKept}},
      {"Video Start Capturing", start(1, 2, 1), {0, kKept, kKept}},
      {"Video Start Capturing", start(1, 1, 1), {1, kKept, kKept}},
      {"Video Start Capturing", start(0, 1, 2), {0, kKept, kKept}},
      {"Video Start Capturing", start(2, 1, 2), {1, kKept, kKept}},
      {"Video Start Capturing", start(3, 1, 3), {0, kKept, kKept}},
      {"Video Start Capturing", start(1, 2, 2, 1, 0), {0, kKept, kKept}},
      {"Video Start Capturing", start(1, 2, 2, 1, 1), {1, kKept, kKept}},
      {"Video Stop Capturing", Capture(1, 2, 8, 1), {1, kKept, kKept}},
      {"Video Stop Capturing", Capture(1, 2, 8, 0), {0, kKept, kKept}},
      {"Video Capture Play", Capture(1, 2, 1), {1, 1, kKept}},
      {"Video Capture Play", Capture(1, 2, 2), {1, 0, kKept}},
      {"Video Capture Pause", Capture(1, 2, 2), {1, 1, kKept}},
      {"Video Capture Stop", Capture(1, 2, 3), {1, 1, kKept}},
      {"Video Capture Stop", Capture(1, 2, 1), {1, 0, kKept}},
      {"Video Capture Play", Capture(1, 1, 1), {0, 1, kKept}},
      {"Video Capture Rewind", Capture(2, 2, 1), {0, kKept, kKept}},
      {"Video Capture FastForeward", Capture(1, 2, 2), {1, kKept, kKept}},
      {"Video Capture Video", nullptr, {1, 1, kKept}},
      {"Video Burn Video", nullptr, {1, 1, kKept}},
  });
}

TEST(VideoActionState, ListsSortingAndScreenModes) {
  auto lists = [](int view, int sourceView, int folderIndex, int recentIndex) {
    return [=](CConfig&, V& v) {
      v.m_nView = view;
      v.m_nPlaySourceView = sourceView;
      v.m_folderFiles = {"/a.mp4", "/b.mp4", "/c.mp4"};
      v.m_recentFiles = {"/r.mp4"};
      v.m_nFolderIndex = folderIndex;
      v.m_nRecentIndex = recentIndex;
    };
  };
  Check({
      {"Video Previous Video", lists(2, 2, 1, 0), {1, 1, kKept}},
      {"Video Previous Video", lists(2, 2, 0, 0), {1, 0, kKept}},
      {"Video Previous Video", lists(5, 2, 2, 0), {1, 0, kKept}},
      {"Video Next Video", lists(2, 2, 1, 0), {1, 1, kKept}},
      {"Video Next Video", lists(2, 2, 2, 0), {1, 0, kKept}},
      // Stepping follows the list playback came from, not the one shown.
      {"Video Next Video", lists(2, 3, 0, 0), {1, 0, kKept}},
      {"Video Clear Recent Video Records", lists(2, 2, 0, 0), {1, 1, kKept}},
      {"Video Clear Recent Video Records", nullptr, {1, 0, kKept}},
      {"Video Sort By Name", lists(2, 2, 0, 0), {0, 1, kKept}},
      {"Video Sort By Date", nullptr, {1, 0, kKept}},
      {"Video Sort By Date", [](CConfig&, V& v) { v.m_nView = 3; v.m_folderFiles = {"/a"}; }, {1, 0, kKept}},
      {"Video Sort By Name Tag", nullptr, {1, kKept, kKept}},
      {"Video Sort By Date Tag", [](CConfig&, V& v) { v.m_nSortMode = 1; }, {1, kKept, kKept}},
      {"Video Sort By Name", [](CConfig&, V& v) { v.m_nSortMode = 1; v.m_folderFiles = {"/a"}; }, {1, 1, kKept}},
      {"Video 4X3 Srceen 16X9 Movie PanScan", [](CConfig&, V& v) { v.m_nScreenMode4x3 = 2; }, {1, kKept, kKept}},
      {"Video 4X3 Srceen 16X9 Movie LetterBox", [](CConfig&, V& v) { v.m_nScreenMode4x3 = 2; }, {0, kKept, kKept}},
      {"Video 16X9 Srceen 4X3 Movie Original", nullptr, {1, kKept, kKept}},
      {"Video 16X9 Srceen 4X3 Movie Stretch", nullptr, {0, kKept, kKept}},
      {"Video Snapshot Folder", nullptr, {kKept, kKept, kKept}, 0},
  });
}

}  // namespace video_state_test
