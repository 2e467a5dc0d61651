// The record hub: the Record page's controller. It offers the kinds of media
// to copy from a removable volume, opens the matching module on the volume
// the user picks with "Record Go Back Door" as the way back, and takes the
// files that module hands back.
#include "corebridge/core/config.h"
#include "corebridge/core/record_config.h"
#include "corebridge/core/ui_system_object.h"
#include "interfaces/chosen_files.h"
#include "platform/sys/drive_table.h"

namespace {

constexpr const char* kBackAction = "Record Go Back Door";
constexpr int kHubTop = 0;
constexpr int kHubVolumes = 1;
constexpr int kHubFiles = 2;

}  // namespace

int CUISystem::RecordEntry(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pRecord) return 0;
  CRecordConfig& hub = *m_pConfig->m_pRecord;
  hub.m_strTitleImage = "Layout\\Img\\Common\\Title_Record.BMP";
  hub.m_arrChoices.clear();
  for (const char* key : {"RECORDVIDEO", "RECORDAUDIO", "RECORDPHOTO"}) {
    std::string text;
    if (m_pUICallback) m_pUICallback->LookupString(key, text);
    hub.m_arrChoices.push_back(text);
  }
  m_pConfig->m_nActiveModule = MODULE_RECORD;
  if (m_pRecordPage) m_pRecordPage->ShowRecordPage();
  if (m_pUICallback) m_pUICallback->NotifyCaptionBar(1);
  return 1;
}

int CUISystem::RecordEnterOtherModule(std::intptr_t root, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pRecord) return 0;
  const char* text = reinterpret_cast<const char*>(root);
  if (!text || !*text) return 0;
  const std::string path = text;
  const plat::UINT type = plat::GetDriveTypeA(path.c_str());
  if (type == plat::DRIVE_UNKNOWN || type == plat::DRIVE_NO_ROOT_DIR) return 0;
  switch (m_pConfig->m_pRecord->m_nChosenKind) {
    case MODULE_PHOTO:
      m_pConfig->m_nActiveModule = MODULE_NONE;
      return PhotoSendToRecord(path, kBackAction);
    case MODULE_MUSIC: {
      const int entered = MusicEnterCopyToDrive(path, kBackAction);
      if (entered) m_pConfig->m_nActiveModule = MODULE_NONE;
      return entered;
    }
    case MODULE_VIDEO: {
      // The Video module browses folders: the volume's mount point.
      const auto volume = plat::FindVolume(path);
      if (!volume || volume->root.empty()) return 0;
      m_pConfig->m_nActiveModule = MODULE_NONE;
      return VideoOpenOnFolder(volume->root, kBackAction);
    }
    default:
      return 0;
  }
}

int CUISystem::RecordGoBackDoor(std::intptr_t flag, std::intptr_t chosen) {
  if (!m_pConfig || !m_pConfig->m_pRecord) return 0;
  RecordEntry(0, 0);
  CRecordConfig& hub = *m_pConfig->m_pRecord;
  const auto* files = reinterpret_cast<const ChosenFiles*>(chosen);
  if (flag == 1 && files && !files->files.empty()) {
    hub.m_arrFiles = files->files;
    if (!files->folder.empty()) hub.m_strTargetPath = files->folder;
    hub.m_strFilter = files->filter;
    hub.m_strSelectionName = files->name;
    hub.m_nState = kHubFiles;
  } else {
    hub.m_nState = kHubVolumes;
  }
  if (m_pRecordPage) m_pRecordPage->ShowSubPage();
  return 1;
}

int CUISystem::RecordBack(std::intptr_t, std::intptr_t) {
  RunStep("RecordBack");
  if (!m_pConfig || !m_pConfig->m_pRecord) return 0;
  CRecordConfig& hub = *m_pConfig->m_pRecord;
  switch (hub.m_nState) {
    case kHubVolumes: hub.m_nState = kHubTop; break;
    case kHubFiles: hub.m_nState = kHubVolumes; break;
    default: return OnHome(0, 0);
  }
  if (m_pRecordPage) m_pRecordPage->ShowSubPage();
  return 1;
}

int CUISystem::RecordStopModule(std::intptr_t, std::intptr_t) {
  RunStep("RecordStopModule");
  if (m_pConfig) m_pConfig->m_nActiveModule = MODULE_NONE;
  return 1;
}
