// The burning hub: the Record page in its burning mode. It offers the kinds
// of media to burn, opens the matching module on the volume the user picks
// with "Burning Go Back Door" as the way back, and takes back the files that
// module hands over; the Record page then burns them as a data disc.
#include "corebridge/core/config.h"
#include "corebridge/core/record_config.h"
#include "corebridge/core/ui_system_object.h"
#include "interfaces/chosen_files.h"
#include "platform/sys/drive_table.h"

namespace {

constexpr const char* kBackAction = "Burning Go Back Door";
constexpr int kBurningFeatureBit = 0x10;  // bit 4 of the root feature word
constexpr int kHubVolumes = 1;
constexpr int kHubFiles = 2;
constexpr int kResultNothingChosen = 1;
constexpr int kResultFilesChosen = 2;

}  // namespace

int CUISystem::OnBurningEntry(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pRecord) return 0;
  if (!(m_pConfig->m_aFeatureWords[FEATURE_ROOT] & kBurningFeatureBit)) return 0;
  CRecordConfig& hub = *m_pConfig->m_pRecord;
  hub.m_strTitleImage = "Layout\\Img\\Common\\Title_Burn.BMP";
  hub.m_arrChoices.clear();
  for (const char* key : {"BURN_VIDEO", "BURN_AUDIO", "BURN_PHOTO"}) {
    std::string text;
    if (m_pUICallback) m_pUICallback->LookupString(key, text);
    hub.m_arrChoices.push_back(text);
  }
  m_pConfig->m_nActiveModule = MODULE_BURNING;
  if (m_pRecordPage) m_pRecordPage->ShowRecordPage();
  if (m_pUICallback) m_pUICallback->NotifyCaptionBar(1);
  return 1;
}

int CUISystem::OnBurningEnterOtherModule(std::intptr_t root, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pRecord) return 0;
  CRecordConfig& hub = *m_pConfig->m_pRecord;
  const char* text = reinterpret_cast<const char*>(root);
  hub.m_strTargetPath = text ? text : "";
  if (hub.m_strTargetPath.empty()) return 0;
  const std::string path = hub.m_strTargetPath;
  const plat::UINT type = plat::GetDriveTypeA(path.c_str());
  if (type == plat::DRIVE_UNKNOWN || type == plat::DRIVE_NO_ROOT_DIR) return 0;
  switch (hub.m_nChosenKind) {
    case MODULE_PHOTO:
      m_pConfig->m_nActiveModule = MODULE_NONE;
      return PhotoSendToRecord(path, kBackAction);
    case MODULE_MUSIC: {
      // Music picks from its own folders; an optical drive is no place to
      // choose files to burn from.
      if (type == plat::DRIVE_CDROM) return 0;
      const int entered = MusicEnterCopyToFolder(kBackAction);
      if (entered) m_pConfig->m_nActiveModule = MODULE_NONE;
      return entered;
    }
    case MODULE_VIDEO: {
      const auto volume = plat::FindVolume(path);
      if (!volume || volume->root.empty()) return 0;
      m_pConfig->m_nActiveModule = MODULE_NONE;
      return VideoOpenOnFolder(volume->root, kBackAction);
    }
    default:
      return 0;
  }
}

int CUISystem::OnBurningGoBackDoor(std::intptr_t chosen, std::intptr_t list) {
  if (!m_pConfig || !m_pConfig->m_pRecord) return 0;
  OnBurningEntry(0, 0);
  CRecordConfig& hub = *m_pConfig->m_pRecord;
  // Coming back from a module, the hub is the burning side even when the
  // feature word has been turned off meanwhile.
  m_pConfig->m_nActiveModule = MODULE_BURNING;
  const auto* files = reinterpret_cast<const ChosenFiles*>(list);
  if (chosen == 1 && files && !files->files.empty()) {
    hub.m_arrFiles = files->files;
    hub.m_strFilter = files->filter;
    hub.m_strSelectionName = files->name;
    hub.m_nResultState = kResultFilesChosen;
    hub.m_nState = kHubFiles;
  } else {
    hub.m_nResultState = kResultNothingChosen;
    hub.m_nState = kHubVolumes;
  }
  if (m_pRecordPage) m_pRecordPage->ShowSubPage();
  return 1;
}
