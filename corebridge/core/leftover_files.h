// What writers killed in an earlier run left behind: the temporary files of
// atomic saves (settings, presets, rotated pictures) and the partial files of
// disc images and ripped tracks. They carry their writer's process id; at
// start the system removes those of ended processes from every folder it
// writes to.
#pragma once

#include <string>
#include <vector>

class CConfig;

// The folders the system saves into, as the configuration names them, and
// the folders of the virtual writers' disc images; without repeats.
std::vector<std::string> FoldersWrittenTo(const CConfig& config);

// Removes the leftovers of ended processes from those folders; returns how
// many files went.
int RemoveLeftoversOfKilledWriters(const CConfig& config);
