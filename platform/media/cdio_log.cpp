#include "platform/media/cdio_log.h"

#include <cdio/logging.h>

#include <mutex>
#include <string>

#include "platform/sys/debug_output.h"

namespace plat::media {
namespace {

void logToDebugOutput(cdio_log_level_t level, const char* message) {
  // Debug and info chatter (drivers tried, sources opened) is no news.
  if (level < CDIO_LOG_WARN || !message) return;
  const std::string text = std::string("libcdio: ") + message + "\n";
  plat::OutputDebugStringA(text.c_str());
}

}  // namespace

void InstallCdioLogHandler() {
  static std::once_flag once;
  std::call_once(once, [] { cdio_log_set_handler(logToDebugOutput); });
}

}  // namespace plat::media
