// The music worker's walk, on its own so it can be tested.
#pragma once

#include <atomic>
#include <string>
#include <vector>

namespace music {

bool IsMusicFile(const std::string& path);

// The ".mp3", ".wma" and ".wav" files below `folder`, without following
// symbolic links; stops at the entry after `stop` is set. 1 when the folder
// cannot be opened, else 0.
int CollectMusicFiles(const std::string& folder, const std::atomic<bool>& stop, std::vector<std::string>& files);

}  // namespace music
