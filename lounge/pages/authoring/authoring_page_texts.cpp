#include "lounge/pages/authoring/authoring_page_texts.h"

#include <cstdint>

#include "corebridge/core/authoring_config.h"
#include "corebridge/core/config.h"
#include "lounge/shell/app_services.h"
#include "lounge/shell/checked_format.h"

namespace {

std::string Text(const std::string& key) {
  std::string text;
  if (!key.empty()) LookupUIString(key, text);
  return text;
}

const char* ModuleTitleKey(int module) {
  switch (module) {
    case MODULE_PHOTO: return "PHOTO";
    case MODULE_MUSIC: return "MUSIC";
    case MODULE_RADIO: return "RADIO";
    case MODULE_VIDEO: return "VIDEO";
    case MODULE_TV: return "TV";
    default: return "";
  }
}

const char* ModuleOptionKey(int module) {
  switch (module) {
    case MODULE_PHOTO: return "MYPICTURES";
    case MODULE_MUSIC:
    case MODULE_RADIO: return "MYMUSICS";
    case MODULE_VIDEO: return "VIDEO_MYVIDEOS";
    case MODULE_TV: return "RECORDEDTV";
    default: return "";
  }
}

const char* ElementUnitKey(int module) {
  switch (module) {
    case MODULE_PHOTO: return "PICTURES";
    case MODULE_MUSIC:
    case MODULE_RADIO: return "SONGS";
    case MODULE_VIDEO:
    case MODULE_TV: return "VIDEOS";
    default: return "";
  }
}

// "<number> <text>" through the checked formatter.
std::string NumberAndText(long long number, const std::string& text) {
  return CheckedFormat("%d %s", {number, text}).value_or(std::string{});
}

// "<BURNINGTO> <disc type> -- hh:mm:ss" with the time the burning has run.
std::string BurningProgressText(const CAuthoringConfig& job) {
  const int seconds = job.m_nElapsedSeconds > 0 ? job.m_nElapsedSeconds : 0;
  return CheckedFormat("%s %s -- %02d:%02d:%02d", {Text("BURNINGTO"), Text(DiscTypeKey(job.m_nDiscType)),
                                                  seconds / 3600, seconds / 60 % 60, seconds % 60})
      .value_or(std::string{});
}

}  // namespace

std::string DiscTypeKey(int discType) {
  switch (discType) {
    case AUTHORING_DISC_DVD: return "DVD";
    case AUTHORING_DISC_SVCD: return "SVCD";
    case AUTHORING_DISC_VCD: return "VCD";
    case AUTHORING_DISC_AUDIOCD: return "AUDIOCD";
    case AUTHORING_DISC_DATACD: return "DATACD";
    default: return {};
  }
}

std::optional<std::string> AuthoringText(const CConfig& config, const std::string& name) {
  if (name == "Authoring Module Title") return Text(ModuleTitleKey(config.m_nActiveModule));
  if (name == "Authoring BurningProgress Info") {
    if (!config.m_pAuthoring) return std::string{};
    return BurningProgressText(*config.m_pAuthoring);
  }
  return std::nullopt;
}

std::optional<std::string> AuthoringListText(const CConfig& config, const std::string& name) {
  const int module = config.m_nActiveModule;
  if (name == "Authoring Module Option") return Text(ModuleOptionKey(module));
  const CAuthoringConfig* job = config.m_pAuthoring.get();
  const bool jobName = name == "Authoring DiscType Option" || name == "Authoring DiscRemains" ||
                       name == "Authoring FileSize" || name == "Authoring Element Size";
  if (!jobName) return std::nullopt;
  if (!job) return std::string{};
  if (name == "Authoring DiscType Option") return Text(DiscTypeKey(job->m_nDiscType));
  if (name == "Authoring DiscRemains") return NumberAndText(job->m_nDiscRemainMB, Text("MB"));
  if (name == "Authoring FileSize") {
    const std::int64_t megabytes = job->m_llTotalBytes / 1024 / 1024;
    return NumberAndText(static_cast<long long>(megabytes), Text("MB"));
  }
  return NumberAndText(static_cast<long long>(job->m_arrElements.size()), Text(ElementUnitKey(module)));
}
