#include "lounge/shell/shell_pages_factory.h"

#include <memory>

#include "lounge/pages/authoring/authoring_page.h"
#include "lounge/pages/music/music_page.h"
#include "lounge/pages/photo/photo_page.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/pages/record/record_page.h"
#include "lounge/pages/home/root_page.h"
#include "lounge/pages/movie/movie_page.h"
#include "lounge/pages/radio/radio_page.h"
#include "lounge/pages/setting/setting_page.h"
#include "lounge/pages/tv/tv_page.h"
#include "lounge/pages/video/video_page.h"

ShellPages MakeShellPages(IShellFrame& frame) {
  ShellPages pages;

  auto root = std::make_unique<CRootPage>(frame);
  pages.homeEvents = root.get();
  pages.root = std::move(root);

  auto movie = std::make_unique<CMoviePage>(frame);
  pages.movieEvents = movie.get();
  pages.movie = std::move(movie);

  auto authoring = std::make_unique<CAuthoringPage>(frame);
  pages.authoringEvents = authoring.get();
  pages.authoring = std::move(authoring);

  auto music = std::make_unique<CMusicPage>(frame);
  pages.musicEvents = music.get();
  pages.music = std::move(music);

  auto photo = std::make_unique<CPhotoPage>(frame);
  CPhotoPage* photoPage = photo.get();
  pages.photoEvents = photoPage;
  pages.photo = std::move(photo);
  frame.SetPhotoItemDrawer([photoPage](plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
    const int first = static_cast<int>(wParam);
    const int second = static_cast<int>(lParam);
    if (msg == kPhotoDrawArchiveItem) photoPage->DrawArchiveItem(first, second);
    if (msg == kPhotoDrawHighlightItem) photoPage->DrawHighlightItem(first, second);
  });

  auto record = std::make_unique<CRecordPage>(frame);
  pages.recordEvents = record.get();
  pages.record = std::move(record);

  auto radio = std::make_unique<CRadioPage>(frame);
  pages.radioEvents = radio.get();
  pages.radio = std::move(radio);

  auto tv = std::make_unique<CTvPage>(frame);
  pages.tvEvents = tv.get();
  pages.tv = std::move(tv);
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
