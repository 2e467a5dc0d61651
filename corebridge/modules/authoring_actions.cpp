// The authoring module's action names, with their ids and
// handlers. Names whose handler the controller has not taken over yet go to
// AuthoringAction, which answers as an absent controller does (0).
#include "corebridge/core/ui_system_object.h"

namespace {
struct Registration {
  const char* name;
  int id;
  ActionHandler handler;
};
}  // namespace

void CUISystem::RegisterAuthoringActions() {
  static const Registration kActions[] = {
      {"Authoring Return", 491, &CUISystem::AuthoringAction},
      {"Authoring Preview", 492, &CUISystem::AuthoringAction},
      {"Authoring Burn", 493, &CUISystem::AuthoringAction},
      {"Authoring BurnDVDFolder", 494, &CUISystem::AuthoringAction},
      {"Authoring StopBurn", 495, &CUISystem::AuthoringAction},
      {"Authoring DiscType Left", 496, &CUISystem::AuthoringAction},
      {"Authoring DiscType Right", 497, &CUISystem::AuthoringAction},
  };
  for (const auto& r : kActions) m_actions.Register(r.name, r.id, r.handler);
}
