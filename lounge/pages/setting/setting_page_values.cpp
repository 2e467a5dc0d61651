#include "lounge/pages/setting/setting_page_values.h"

#include "corebridge/core/config.h"
#include "corebridge/core/movie_config.h"
#include "lounge/shell/app_services.h"

void StepScreenRatio(int& ratio, int& wideScreenMode) {
  if (ratio == 1) {
    ratio = 2;
    if (wideScreenMode == 2) wideScreenMode = 1;
  } else {
    ratio = 1;
  }
}

int StepWideScreenMode(int ratio, int mode, bool left) {
  if (ratio != 1) return mode == 1 ? 3 : 1;
  if (left) return mode <= 1 || mode > 3 ? 3 : mode - 1;
  return mode >= 3 || mode < 1 ? 1 : mode + 1;
}

int StepResolution(int resolution, bool left) {
  if (left) return resolution <= 1 || resolution > 5 ? 5 : resolution - 1;
  return resolution >= 5 || resolution < 1 ? 1 : resolution + 1;
}

int ToggleLanguage(int language) { return language == 1 ? 2 : 1; }

int StepOsdDuration(int seconds, bool left) {
  // A value from outside 0..10 is brought into the range before the step.
  const int current = ((seconds % 11) + 11) % 11;
  return left ? (current + 10) % 11 : (current + 1) % 11;
}

int StepListIndex(int index, std::size_t count, bool left) {
  if (count == 0) return index;
  const int last = static_cast<int>(count) - 1;
  if (left) return index - 1 < 0 || index - 1 > last ? last : index - 1;
  return index + 1 > last || index + 1 < 0 ? 0 : index + 1;
}

float AspectFactor(int deviceRatio, int screenRatio) {
  if (deviceRatio == 1 && screenRatio == 2) return 0.75f;
  if (deviceRatio == 2 && screenRatio == 1) return 1.3333334f;
  return 1.0f;
}

bool ApplySettingDefaults(CConfig& config, int vendor) {
  if (vendor == VENDOR_VADU) {
    config.m_nScreenRatio = 2;
    config.m_bSubwoofer = 0;
    if (config.m_pMovie) config.m_pMovie->m_nAudioSpeakerIdx = 1;
    return false;
  }
  config.m_nScreenRatio = 1;
  config.m_nWideScreenMode = 1;
  config.m_bSoundEffect = 0;
  config.m_nOsdDuration = 2;
  if (config.m_pMovie) config.m_pMovie->m_nAudioSpeakerIdx = 0;
  // The screen's own mode, and the language of the texts shipped.
  config.m_nResolution = 0;
  config.m_nLanguage = 2;
  return true;
}
