// The TV module's action names, with their ids and
// handlers. Names whose handler the controller has not taken over yet go to
// TVAction, which answers as an absent controller does (0).
#include "corebridge/core/ui_system_object.h"

namespace {
struct Registration {
  const char* name;
  int id;
  ActionHandler handler;
};
}  // namespace

void CUISystem::RegisterTVActions() {
  static const Registration kActions[] = {
      {"TV Preview Page", 318, &CUISystem::TVAction},
      {"TV MainMenu Page", 319, &CUISystem::TVAction},
      {"TV RecordedTV Page", 320, &CUISystem::TVAction},
      {"TV TVWall Page", 321, &CUISystem::TVAction},
      {"TV Schedule Page", 322, &CUISystem::TVAction},
      {"TV SetSchedule Page", 323, &CUISystem::TVAction},
      {"TV Teletext Page", 324, &CUISystem::TVAction},
      {"TV NextView Page", 325, &CUISystem::TVAction},
      {"TV SignalSetting Page", 326, &CUISystem::TVAction},
      {"TV ChannelSetting Page", 327, &CUISystem::TVAction},
      {"TV AutoScan Page", 328, &CUISystem::TVAction},
      {"TV Play", 329, &CUISystem::TVAction},
      {"TV Pause", 330, &CUISystem::TVAction},
      {"TV Stop", 331, &CUISystem::TVAction},
      {"TV Rewind", 332, &CUISystem::TVAction},
      {"TV FastForeward", 333, &CUISystem::TVAction},
      {"TV Record", 334, &CUISystem::TVAction},
      {"TV Stop AutoScan", 335, &CUISystem::TVAction},
      {"TV Stop TVWall", 336, &CUISystem::TVAction},
      {"TV Snapshot", 337, &CUISystem::TVAction},
      {"TV Set Channel", 338, &CUISystem::TVAction},
      {"TV Prev Channel", 339, &CUISystem::TVAction},
      {"TV Next Channel", 340, &CUISystem::TVAction},
      {"TV Last Channel", 341, &CUISystem::TVAction},
      {"TV Enable Channel", 342, &CUISystem::TVAction},
      {"TV RENAME Channel", 343, &CUISystem::TVAction},
      {"TV TVWall Prev Page", 344, &CUISystem::TVAction},
      {"TV TVWall Next Page", 345, &CUISystem::TVAction},
      {"TV Confirm Schedule", 346, &CUISystem::OnNoEffect},
      {"TV Cancel Schedule", 347, &CUISystem::OnNoEffect},
      {"TV Schedule Channel Left", 348, &CUISystem::OnNoEffect},
      {"TV Schedule Channel Right", 349, &CUISystem::OnNoEffect},
      {"TV Schedule RepeatMode Left", 350, &CUISystem::OnNoEffect},
      {"TV Schedule RepeatMode Right", 351, &CUISystem::OnNoEffect},
      {"TV Schedule Quality Left", 352, &CUISystem::OnNoEffect},
      {"TV Schedule Quality Right", 353, &CUISystem::OnNoEffect},
      {"TV Schedule Date Left", 354, &CUISystem::OnNoEffect},
      {"TV Schedule Date Right", 355, &CUISystem::OnNoEffect},
      {"TV Schedule StartHour Left", 356, &CUISystem::OnNoEffect},
      {"TV Schedule StartHour Right", 357, &CUISystem::OnNoEffect},
      {"TV Schedule StartMinute Left", 358, &CUISystem::OnNoEffect},
      {"TV Schedule StartMinute Right", 359, &CUISystem::OnNoEffect},
      {"TV Schedule StartAPM Left", 360, &CUISystem::OnNoEffect},
      {"TV Schedule StartAPM Right", 361, &CUISystem::OnNoEffect},
      {"TV Schedule StopHour Left", 362, &CUISystem::OnNoEffect},
      {"TV Schedule StopHour Right", 363, &CUISystem::OnNoEffect},
      {"TV Schedule StopMinute Left", 364, &CUISystem::OnNoEffect},
      {"TV Schedule StopMinute Right", 365, &CUISystem::OnNoEffect},
      {"TV Set Page", 366, &CUISystem::TVAction},
      {"TV Prev Page", 367, &CUISystem::TVAction},
      {"TV Next Page", 368, &CUISystem::TVAction},
      {"TV Prev SubPage", 369, &CUISystem::TVAction},
      {"TV Next SubPage", 370, &CUISystem::TVAction},
      {"TV Teletext Snapshot", 371, &CUISystem::TVAction},
      {"TV Key Red", 372, &CUISystem::TVAction},
      {"TV Key Green", 373, &CUISystem::TVAction},
      {"TV Key Yellow", 374, &CUISystem::TVAction},
      {"TV Key Blue", 375, &CUISystem::TVAction},
      {"TV Update Page", 376, &CUISystem::TVAction},
      {"TV NextView Prev Channel", 377, &CUISystem::TVAction},
      {"TV NextView Next Channel", 378, &CUISystem::TVAction},
      {"TV NextView Prev Date", 379, &CUISystem::TVAction},
      {"TV NextView Next Date", 380, &CUISystem::TVAction},
      {"TV NextView Prev Item", 381, &CUISystem::TVAction},
      {"TV NextView Next Item", 382, &CUISystem::TVAction},
      {"TV Source Left", 383, &CUISystem::TVAction},
      {"TV Source Right", 384, &CUISystem::TVAction},
      {"TV Country Left", 385, &CUISystem::TVAction},
      {"TV Country Right", 386, &CUISystem::TVAction},
      {"TV Record Quality Left", 387, &CUISystem::TVAction},
      {"TV Record Quality Right", 388, &CUISystem::TVAction},
      {"TV Default Enter", 389, &CUISystem::TVAction},
      {"TV Resize Video", 390, &CUISystem::TVAction},
      {"TV Hide Video", 391, &CUISystem::TVAction},
      {"TV Change Display", 392, &CUISystem::TVAction},
  };
  for (const auto& r : kActions) m_actions.Register(r.name, r.id, r.handler);
}
