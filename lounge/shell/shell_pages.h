// The ten module pages the main frame owns, in the order it makes them, and
// the event tables the system core is handed for them. A page that does not
// exist in this build is null; so is its event table.
#pragma once

#include <functional>
#include <memory>

#include "interfaces/page_events.h"
#include "lounge/shell/module_page.h"

class IShellFrame;

struct ShellPages {
  std::unique_ptr<CShellPage> root, movie, music, photo, video, radio, tv, authoring, record, setting;

  IHomePageEvents* homeEvents = nullptr;
  IMoviePageEvents* movieEvents = nullptr;
  IMusicPageEvents* musicEvents = nullptr;
  IPhotoPageEvents* photoEvents = nullptr;
  IVideoPageEvents* videoEvents = nullptr;
  IRadioPageEvents* radioEvents = nullptr;
  ITvPageEvents* tvEvents = nullptr;
  IAuthoringPageEvents* authoringEvents = nullptr;
  IRecordPageEvents* recordEvents = nullptr;
  IModule9PageEvents* settingEvents = nullptr;

  // The setting page's ShowSettingPage; empty without a setting page.
  std::function<int()> showSettingPage;
};

// Makes the program's pages for `frame`.
using ShellPageFactory = std::function<ShellPages(IShellFrame& frame)>;
