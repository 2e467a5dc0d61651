// Which layout the home page shows, by vendor and screen: the frame chooses
// it when it is created and the home page each time it is shown. The result
// lists the paths to try in order; the next is loaded when one fails.
#pragma once

#include <string>
#include <vector>

// `hasApplication` false (no application object) always gives "Root".
std::vector<std::string> RootLayoutCandidates(bool hasApplication, int vendorId, int rootFeatures, int screenWidth,
                                              int screenHeight);
