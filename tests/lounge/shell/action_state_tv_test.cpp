// TV rows: the TV state, play state, channel move state and teletext flag.
#include <gtest/gtest.h>

#include "corebridge/core/tv_config.h"
#include "lounge/shell/action_state_tv.h"
#include "tests/lounge/shell/action_state_cases.h"

// Named, not anonymous: the module tables share one compilation in batch builds.
namespace tv_state_test {

using namespace action_state_test;
using C = Case<CTVConfig>;
using T = CTVConfig;

void Check(const std::vector<C>& cases) { RunCases<CTVConfig>(cases, QueryTVActionState); }

auto Mode(int tvState, int playState = 0) {
  return [=](CConfig&, T& tv) {
    tv.m_nTVMode = tvState;
    tv.m_nReplayState = playState;
  };
}

auto Edit(int moveState) {
  return [=](CConfig&, T& tv) { tv.m_nChannelEditMode = moveState; };
}

TEST(TVActionState, TransportButtons) {
  Check({
      {"TV Play", Mode(4, 2), {1, 1, kKept}},
      {"TV Play", Mode(2, 2), {1, 0, kKept}},
      {"TV Play", Mode(4, 1), {0, 0, kKept}},
      {"TV Pause", Mode(4, 1), {1, 1, kKept}},
      {"TV Pause", Mode(3, 1), {1, 0, kKept}},
      {"TV Pause", Mode(4, 2), {0, 0, kKept}},
      {"TV Stop", Mode(3), {1, 1, kKept}},
      {"TV Stop", Mode(4), {1, 1, kKept}},
      {"TV Stop", Mode(2), {0, 0, kKept}},
      {"TV Rewind", Mode(4), {kKept, 1, kKept}},
      {"TV FastForeward", Mode(2), {kKept, 0, kKept}},
      {"TV FastForward", Mode(4), {kKept, 1, kKept}},
      {"TV Record", Mode(2), {1, 1, kKept}},
      {"TV Record", Mode(3), {1, 1, 1}},
      {"TV Record", Mode(4), {0, 0, kKept}},
      {"TV Prev Channel", Mode(2), {kKept, 1, kKept}},
      {"TV Next Channel", Mode(4), {kKept, 1, kKept}},
      {"TV Next Channel", Mode(1), {kKept, 0, kKept}},
  });
}

TEST(TVActionState, ChannelListAndTeletext) {
  auto channels = [](std::size_t count) {
    return [=](CConfig&, T& tv) { tv.m_signalChannels.assign(count, 21u); };
  };
  Check({
      {"TV NoChannel Message", channels(0), {1, kKept, kKept}},
      {"TV NoChannel Message", channels(3), {0, kKept, kKept}},
      {"TV Channel List", channels(0), {0, kKept, kKept}},
      {"TV Channel Control List", channels(1), {1, kKept, kKept}},
      {"TV Disable", Edit(1), {kKept, 1, kKept}},
      {"TV Disable", Edit(2), {kKept, 0, kKept}},
      {"TV Move", Edit(0), {kKept, 0, 0}},
      {"TV Move", Edit(1), {kKept, 1, 0}},
      {"TV Move", Edit(2), {kKept, 1, 1}},
      {"TV Teletext Page", [](CConfig&, T& tv) { tv.m_bTeletext = 1; }, {kKept, 1, kKept}},
      {"TV Teletext Page", nullptr, {kKept, 0, kKept}},
      {"TV Rename", Edit(1), {kKept, 0, kKept}},
      {"TV Snapshot", nullptr, {kKept, kKept, kKept}, 0},
  });
}

}  // namespace tv_state_test
