// The setting page's value steps: how each Left/Right changes a display or
// audio setting, the picture aspect factor and the factory defaults. Pure
// functions over the configuration values, so the page only applies them.
#pragma once

#include <cstddef>

class CConfig;

// Screen ratio (1 4:3, 2 wide) after a Left or Right; switching to wide turns
// pan and scan (mode 2), which a wide screen cannot show, into letterbox.
void StepScreenRatio(int& ratio, int& wideScreenMode);
// Wide-screen mode (1 letterbox, 2 pan and scan, 3 WIDEFILL) after a Left
// (`left`) or Right at the given screen ratio.
int StepWideScreenMode(int ratio, int mode, bool left);
// Resolution choice 1..5, wrapping.
int StepResolution(int resolution, bool left);
// Language choice: 1 becomes 2, anything else 1.
int ToggleLanguage(int language);
// On-screen-display duration 0..10 seconds, wrapping.
int StepOsdDuration(int seconds, bool left);
// Index into a list of `count` entries after a step, wrapping; an empty list
// keeps the index.
int StepListIndex(int index, std::size_t count, bool left);
// Picture aspect factor from the display device ratio and the screen ratio.
float AspectFactor(int deviceRatio, int screenRatio);
// The factory defaults of the vendor's settings ("Setting Default Enter"),
// without the boot selection, which lives in the registry, and without the
// aspect factor; returns whether the boot selection is to be written as 0.
bool ApplySettingDefaults(CConfig& config, int vendor);
