// Music rows: player state, the view on top of the page history, ripping,
// media search and the vendor differences.
#include <gtest/gtest.h>

#include "corebridge/core/music_config.h"
#include "lounge/shell/action_state_music.h"
#include "tests/lounge/shell/action_state_cases.h"

// Named, not anonymous: the module tables share one compilation in batch builds.
namespace music_state_test {

using namespace action_state_test;
using C = Case<CMusicConfig>;
using M = CMusicConfig;

void Check(const std::vector<C>& cases) { RunCases<CMusicConfig>(cases, QueryMusicActionState); }

auto State(int state) {
  return [=](CConfig&, M& m) { m.m_nMusicState = state; };
}

// The view `view` on top of a history, with vendor `vendor`.
auto View(int view, int vendor = 0) {
  return [=](CConfig& root, M& m) {
    root.m_nVendorId = vendor;
    m.PushMusicPage(1);
    if (view != 0) m.PushMusicPage(view);
  };
}

TEST(MusicActionState, TransportButtons) {
  auto visual = [](int state, bool selected, int sel, int view) {
    return [=](CConfig&, M& m) {
      m.m_nMusicState = state;
      m.m_arrVisualEffects.resize(2);
      m.m_arrVisualEffects[1].bSelected = selected ? 1 : 0;
      m.m_nVisualizationSel = sel;
      if (view) m.PushMusicPage(view);
    };
  };
  Check({
      {"Music Play", State(MUSIC_PLAYING), {0, kKept, kKept}},
      {"Music Play", State(MUSIC_STOPPED), {1, kKept, kKept}},
      {"Music Play", State(MUSIC_PAUSED), {1, kKept, kKept}},
      {"Music Play", State(MUSIC_REWIND), {1, kKept, kKept}},
      {"Music Pause", State(MUSIC_PLAYING), {1, kKept, kKept}},
      {"Music Pause", State(MUSIC_FAST_FORWARD), {0, kKept, kKept}},
      {"Music Stop", State(MUSIC_STOPPED), {1, 0, kKept}},
      {"Music Stop", State(MUSIC_PAUSED), {1, 1, kKept}},
      {"Music Next Track", [](CConfig&, M& m) { m.m_bCanRewind = 1; }, {kKept, 1, kKept}},
      {"Music Previous Track", [](CConfig& r, M& m) { r.m_nVendorId = 1; m.m_bCanRewind = 1; }, {kKept, 0, kKept}},
      {"Music Rewind", nullptr, {kKept, 0, kKept}},
      {"Music Fastforward", [](CConfig&, M& m) { m.m_bCanFastForward = 1; m.m_nMusicState = 0; }, {kKept, 1, kKept}},
      {"Music Fastforward", [](CConfig&, M& m) { m.m_bCanFastForward = 1; m.m_nMusicState = 3; }, {kKept, 0, kKept}},
      {"Music Fastforward", [](CConfig&, M& m) { m.m_bCanFastForward = 1; m.m_nMusicState = 2; }, {kKept, 0, kKept}},
      {"Music Visualization", visual(0, true, 1, 0), {kKept, 1, kKept}},
      {"Music Visualization", visual(2, true, 1, 0), {kKept, 0, kKept}},
      {"Music Visualization", visual(0, false, 1, 0), {kKept, 0, kKept}},
      {"Music Visualization", visual(0, true, -1, 0), {kKept, 0, kKept}},
      {"Music Next Effect", visual(0, true, 1, 24), {kKept, 1, kKept}},
      {"Music Previous Effect", visual(0, true, 1, 6), {kKept, 0, kKept}},
      {"Music Visualization Plus Selection", visual(0, true, 1, 6), {kKept, 1, kKept}},
      {"Music Visualization Plus Selection", visual(2, true, 1, 24), {kKept, 0, kKept}},
      {"Music Visualization Focus", View(24), {1, 1, kKept}},
      {"Music Visualization Focus", View(6), {0, 0, kKept}},
  });
}

TEST(MusicActionState, ViewsOfTheBrowser) {
  Check({
      // An empty history counts as view 0: no tab is the focused one.
      {"Music Album", nullptr, {1, kKept, kKept}},
      {"Music Album Focus", nullptr, {0, kKept, kKept}},
      {"UpOneLevel", nullptr, {0, 1, kKept}},
      {"Music Album", View(9), {0, kKept, kKept}},
      {"Music Album Focus", View(9), {1, kKept, kKept}},
      {"Music Artist Focus", View(10), {1, kKept, kKept}},
      {"Music Artist", View(9), {1, kKept, kKept}},
      {"Music Genre Focus", View(11), {1, kKept, kKept}},
      {"Music Playlist", View(12), {0, kKept, kKept}},
      {"Music Playlist Focus", View(11), {0, kKept, kKept}},
      {"Music Browse By Path", View(6), {kKept, 0, kKept}},
      {"Music Browse By Path", View(9), {kKept, 1, kKept}},
      {"UpOneLevel", [](CConfig&, M& m) { m.PushMusicPage(6); m.m_bBrowserCanGoUp = 0; }, {1, 0, kKept}},
      {"Music Play On Control Panel", [](CConfig&, M& m) { m.PushMusicPage(6); }, {1, 0, kKept}},
      {"Music Play On Control Panel",
       [](CConfig&, M& m) {
         m.PushMusicPage(6);
         m.m_vecPlayList.resize(1);
         m.m_nMusicState = 0;
       },
       {0, 1, kKept}},
      {"Music Play On Control Panel", View(9), {1, kKept, kKept}},
      {"Music Play On Control Panel Focus", View(9), {0, kKept, kKept}},
      {"Music Play On Control Panel Focus", [](CConfig&, M& m) { m.m_nMusicState = 1; m.PushMusicPage(6); },
       {1, 0, kKept}},
      {"Music Browse By Album", nullptr, {kKept, 0, kKept}},
      {"Music Browse By Artist", nullptr, {kKept, 0, kKept}},
      {"Music Browse By Song", nullptr, {kKept, 0, kKept}},
  });
}

TEST(MusicActionState, ShuffleRepeatAndVendorFour) {
  auto modes = [](int shuffle, int repeat, int view, int vendor) {
    return [=](CConfig& root, M& m) {
      root.m_nVendorId = vendor;
      m.m_bShuffle = shuffle;
      m.m_bRepeatAll = repeat;
      if (view) m.PushMusicPage(view);
    };
  };
  Check({
      {"Music Shuffle", modes(0, 0, 9, 0), {1, 1, kKept}},
      {"Music Shuffle Focus", modes(0, 0, 9, 0), {0, 1, kKept}},
      {"Music Shuffle Focus", modes(1, 0, 9, 0), {1, 1, kKept}},
      // Vendor 4 turns the modes off in the folder and CD views.
      {"Music Shuffle", modes(0, 0, 6, 4), {1, 0, kKept}},
      {"Music Shuffle", modes(0, 0, 19, 4), {1, 0, kKept}},
      {"Music Shuffle", modes(0, 0, 9, 4), {1, 1, kKept}},
      {"Music Shuffle", modes(0, 0, 6, 2), {1, 1, kKept}},
      {"Music Repeat All", modes(0, 1, 19, 4), {0, 0, kKept}},
      {"Music Repeat All Focus", modes(0, 1, 9, 0), {1, 1, kKept}},
      {"Music Rip Now", View(19, 4), {kKept, 0, kKept}},
      {"Music Rip Now", View(25, 4), {kKept, 1, kKept}},
      {"Music Rip Now", View(19, 1), {kKept, kKept, kKept}},
  });
}

TEST(MusicActionState, RippingAndSearch) {
  auto rip = [](int view, int ripping, int done, int vendor) {
    return [=](CConfig& root, M& m) {
      root.m_nVendorId = vendor;
      m.m_bRipping = ripping;
      m.m_bRipTrackDone = done;
      if (view) m.PushMusicPage(view);
    };
  };
  Check({
      {"Music Resume Ripping", rip(25, 0, 0, 0), {kKept, 1, kKept}},
      {"Music Resume Ripping", rip(25, 1, 0, 0), {kKept, 0, kKept}},
      {"Music Resume Ripping", rip(19, 0, 0, 0), {kKept, 0, kKept}},
      {"Music Resume Ripping", rip(19, 0, 0, 4), {1, 0, kKept}},
      {"Music Resume Ripping", rip(25, 0, 1, 4), {0, 0, kKept}},
      {"Music Stop Ripping", rip(25, 1, 0, 0), {kKept, 1, kKept}},
      {"Music Stop Ripping", rip(25, 1, 1, 0), {kKept, 0, kKept}},
      {"Music Stop Ripping", rip(6, 1, 0, 4), {1, 0, kKept}},
      {"Music Stop Ripping", rip(25, 0, 0, 4), {0, 0, kKept}},
      {"Music stop Media Search", [](CConfig&, M& m) { m.m_bMediaSearchActive = 1; }, {1, kKept, kKept}},
      {"Music stop Media Search", nullptr, {0, kKept, kKept}},
      {"Music Close Search", [](CConfig&, M& m) { m.m_bMediaSearchActive = 1; }, {0, kKept, kKept}},
      {"Music Close Search", nullptr, {1, kKept, kKept}},
      {"Music Refresh", nullptr, {kKept, kKept, kKept}, 0},
  });
}

}  // namespace music_state_test
