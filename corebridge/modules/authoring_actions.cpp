// The authoring module's action names, with their ids and handlers.
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
      {"Authoring Return", 491, &CUISystem::OnAuthoringReturn},
      {"Authoring Preview", 492, &CUISystem::OnAuthoringPreview},
      {"Authoring Burn", 493, &CUISystem::OnAuthoringBurn},
      {"Authoring BurnDVDFolder", 494, &CUISystem::OnAuthoringBurnDVDFolder},
      {"Authoring StopBurn", 495, &CUISystem::OnAuthoringStopBurn},
      {"Authoring DiscType Left", 496, &CUISystem::OnAuthoringDiscTypeLeft},
      {"Authoring DiscType Right", 497, &CUISystem::OnAuthoringDiscTypeRight},
  };
  for (const auto& r : kActions) m_actions.Register(r.name, r.id, r.handler);
}
