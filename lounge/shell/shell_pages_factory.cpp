#include "lounge/shell/shell_pages_factory.h"

#include <memory>

#include "lounge/pages/authoring/authoring_page.h"
#include "lounge/pages/record/record_page.h"
#include "lounge/pages/home/root_page.h"
#include "lounge/pages/setting/setting_page.h"
#include "lounge/pages/video/video_page.h"

ShellPages MakeShellPages(IShellFrame& frame) {
  ShellPages pages;

  auto root = std::make_unique<CRootPage>(frame);
  pages.homeEvents = root.get();
  pages.root = std::move(root);

  auto authoring = std::make_unique<CAuthoringPage>(frame);
  pages.authoringEvents = authoring.get();
  pages.authoring = std::move(authoring);

  auto record = std::make_unique<CRecordPage>(frame);
  pages.recordEvents = record.get();
  pages.record = std::move(record);

  auto video = std::make_unique<CVideoPage>(frame);
  pages.videoEvents = video.get();
  pages.video = std::move(video);

  auto setting = std::make_unique<CSettingPage>(frame);
  CSettingPage* settingPage = setting.get();
  pages.settingEvents = settingPage;
  pages.showSettingPage = [settingPage] { return settingPage->ShowSettingPage(); };
  pages.setting = std::move(setting);

  return pages;
}
