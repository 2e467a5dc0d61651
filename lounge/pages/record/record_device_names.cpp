#include "lounge/pages/record/record_device_names.h"

#include <optional>

#include "platform/sys/drive_table.h"

std::string DriveDisplayName(const std::string& root) {
  const std::optional<plat::VolumeInfo> volume = plat::FindVolume(root);
  if (!volume) return {};
  const std::string letter = std::string(1, volume->letter) + ":";
  return volume->label.empty() ? letter : volume->label + " (" + letter + ")";
}

int DriveNumberOf(const std::string& root) {
  const std::optional<plat::VolumeInfo> volume = plat::FindVolume(root);
  if (!volume || volume->letter < 'A' || volume->letter > 'Z') return -1;
  return volume->letter - 'A';
}
