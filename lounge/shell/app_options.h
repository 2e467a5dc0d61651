// The start-up options of the program, read from the registry by the
// application object before anything else runs: the vendor, the feature-set
// words of the modules, where outside programs are found, and the state of
// the web link. Pages read them through the frame; the web-link fields change
// when the home page's web entry runs the query again.
#pragma once

#include <cstdint>
#include <string>

struct AppOptions {
  int vendorId = 0;  // 0 none, 1 "Vadu", 2 "DEZAD", 3 "RuvE", 4 "Rorido"
  // Feature-set words; -1 (every bit set) when the registry names none.
  // Consecutive, in this order, as the configuration root's start-up words.
  int rootFeatures = -1;
  int tvFeatures = -1;
  int radioFeatures = -1;
  int photoFeatures = -1;
  int musicFeatures = -1;
  int videoFeatures = -1;
  int movieFeatures = -1;
  int generalFeatures = -1;  // bit 0 highlight sound, bit 1 pressed sound, bit 8 snapshot sound

  std::string editorKeyPath, editorValue, editorExe;               // the video-editor program
  std::string burnerKeyPath, burnerDirValue, burnerExe, burnerParam;  // an outside burning program
  std::string videoProgramPath, photoProgramPath;
  bool openFolderUpperbound = false;
  int playbackTooltipHeight = 0;
  std::string regPathName;

  int webLinkStatus = -1;   // the stored "WebLinkStatus"
  int webLinkResult = 0;    // the server's content number from the query at start
  std::string webLinkBuild;  // the server's "BUILD=" value
  // String-table key of the web entry's caption on the home page.
  std::string webEntryCaptionKey = "WEB";
};
