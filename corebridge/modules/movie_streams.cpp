// The Movie controller's audio, subtitle, angle and closed-caption choices:
// the stream name lists, the automatic choice by the default languages, the
// handlers that step through the streams during playback, and the default
// language lists built when the module is entered.
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "corebridge/core/config.h"
#include "corebridge/core/movie_config.h"
#include "corebridge/core/ui_system_object.h"
#include "corebridge/modules/movie_locales.h"
#include "platform/com/hresult.h"

using plat::SUCCEEDED;

namespace {

constexpr int kDvd = 4;

std::string Compose(const std::string& label, const std::string& value) { return label + " : " + value; }

std::string Numbered(const std::string& name, int n) { return name + " [" + std::to_string(n) + "]"; }

// Names that occur more than once get " [k]", k counting their occurrences
// from 1 in stream order.
void NumberDuplicates(std::vector<std::string>& names) {
  std::map<std::string, int> total, seen;
  for (const auto& name : names) ++total[name];
  for (auto& name : names) {
    if (total[name] > 1) name = Numbered(name, ++seen[name]);
  }
}

const std::string* EntryAt(const std::list<std::string>& list, int index) {
  if (index < 0 || index >= static_cast<int>(list.size())) return nullptr;
  return &*std::next(list.begin(), index);
}

// Index of the first entry that `text` contains; -1 when none does.
int FirstContained(const std::list<std::string>& list, const std::string& text) {
  int index = 0;
  for (const auto& entry : list) {
    if (!entry.empty() && text.find(entry) != std::string::npos) return index;
    ++index;
  }
  return -1;
}

std::string CutAtBlank(const std::string& text) { return text.substr(0, text.find(' ')); }

}  // namespace

// --- Name lists ---------------------------------------------------------------------

void CUISystem::MovieRebuildAudioNames(IDiscRunner& dvd) {
  CMovieConfig& movie = MovieState();
  movie.m_arrAudioNames.clear();
  for (int i = 0; i < movie.m_nAudioStreams; ++i) {
    char text[kDiscRunnerTextChars] = {};
    if (!SUCCEEDED(dvd.GetAudioStreamLanguageText(i, text))) text[0] = 0;
    movie.m_arrAudioNames.emplace_back(text);
  }
  NumberDuplicates(movie.m_arrAudioNames);
}

void CUISystem::MovieRebuildSubtitleNames(IDiscRunner& dvd) {
  CMovieConfig& movie = MovieState();
  movie.m_arrSubtitleNames.clear();
  const std::string unnamed = MovieString("MULTITILE");
  int unnamedCount = 0;
  for (int i = 0; i < movie.m_nSubtitleStreams; ++i) {
    char text[kDiscRunnerTextChars] = {};
    if (!SUCCEEDED(dvd.GetSubtitleLanguageText(i, text)) || !text[0]) {
      movie.m_arrSubtitleNames.push_back(Numbered(unnamed, ++unnamedCount));
    } else {
      movie.m_arrSubtitleNames.emplace_back(text);
    }
  }
  NumberDuplicates(movie.m_arrSubtitleNames);
}

// --- Automatic choice ---------------------------------------------------------------

int CUISystem::MovieSelectDefaultAudio() {
  auto dvd = MovieEngine();
  if (!dvd || !m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  movie.m_nAudioChosen = 1;
  MovieRebuildAudioNames(*dvd);
  const std::string titleDefault = MovieString("TITLEDEFAULT");
  const std::string* entry = EntryAt(movie.m_listLanguageProfiles, movie.m_nLanguageProfileIdx);
  std::string wanted = entry ? *entry : titleDefault;
  if (wanted == titleDefault) {
    char text[kDiscRunnerTextChars] = {};
    wanted = SUCCEEDED(dvd->GetDefaultLanguageName(text)) ? text : "";  // the title's default audio language
  }
  for (int i = 0; !wanted.empty() && i < static_cast<int>(movie.m_arrAudioNames.size()); ++i) {
    if (movie.m_arrAudioNames[static_cast<std::size_t>(i)].find(wanted) != std::string::npos) {
      dvd->SelectAudioStream(i);
      movie.m_strAudioText = movie.m_arrAudioNames[static_cast<std::size_t>(i)];
      return 1;
    }
  }
  movie.m_strAudioText = titleDefault;
  return 1;
}

int CUISystem::MovieSelectDefaultSubtitle() {
  auto dvd = MovieEngine();
  if (!dvd || !m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  movie.m_nSubtitleChosen = 1;
  MovieRebuildSubtitleNames(*dvd);
  const std::string off = MovieString("OFF");
  const std::string titleDefault = MovieString("TITLEDEFAULT");
  const std::string* entry = EntryAt(movie.m_listSubtitleProfiles, movie.m_nSubtitleProfileIdx);
  std::string wanted = entry ? *entry : off;
  if (wanted == off) {
    dvd->SetSubtitleOn(plat::FALSE);
    movie.m_strSubtitleText = off;
    return 1;
  }
  if (wanted == titleDefault) {
    char text[kDiscRunnerTextChars] = {};
    wanted = SUCCEEDED(dvd->GetDefaultLanguageNameLocal(text)) ? text : "";  // the title's default subtitle language
  }
  for (int i = 0; !wanted.empty() && i < static_cast<int>(movie.m_arrSubtitleNames.size()); ++i) {
    if (movie.m_arrSubtitleNames[static_cast<std::size_t>(i)].find(wanted) != std::string::npos) {
      dvd->SelectSubtitleStream(i);
      dvd->SetSubtitleOn(plat::TRUE);
      movie.m_strSubtitleText = movie.m_arrSubtitleNames[static_cast<std::size_t>(i)];
      return 1;
    }
  }
  movie.m_strSubtitleText = off;
  return 1;
}

// The stream texts and the language selectors follow the engine at a chapter start.
void CUISystem::MovieOnChapterChange(int chapter) {
  CMovieConfig& movie = MovieState();
  if (movie.m_nTitleState != 0 && chapter != movie.m_nChapterNumber) {
    if ((movie.m_dwDiscCaps & MOVIE_CAP_SUBTITLE) && movie.m_nSubtitleChosen == 0) MovieSelectDefaultSubtitle();
    if ((movie.m_dwDiscCaps & MOVIE_CAP_AUDIO_LANGUAGE) && movie.m_nAudioChosen == 0) MovieSelectDefaultAudio();
    movie.m_nChapterNumber = chapter;
  }
  auto dvd = MovieEngine();
  if (dvd && movie.m_nSubtitleStreams > 0) {
    int index = 0, on = 0;
    dvd->GetSubtitleState(&index, &on);
    MovieRebuildSubtitleNames(*dvd);
    const bool inside = index >= 0 && index < static_cast<int>(movie.m_arrSubtitleNames.size());
    movie.m_strSubtitleText = on && inside ? movie.m_arrSubtitleNames[static_cast<std::size_t>(index)] : "";
    if (movie.m_strSubtitleText.empty() || movie.m_strSubtitleText == MovieString("OFF")) {
      movie.m_nSubtitleProfileIdx = 0;
    } else if (const int found = FirstContained(movie.m_listSubtitleProfiles, movie.m_strSubtitleText); found >= 0) {
      movie.m_nSubtitleProfileIdx = found;
    }
  }
  if (dvd && movie.m_nAudioStreams > 0) {
    int stream = 0;
    dvd->GetCurrentAudioStream(&stream);
    MovieRebuildAudioNames(*dvd);
    if (stream >= 0 && stream < static_cast<int>(movie.m_arrAudioNames.size())) {
      movie.m_strAudioText = movie.m_arrAudioNames[static_cast<std::size_t>(stream)];
      const int found = FirstContained(movie.m_listLanguageProfiles, CutAtBlank(movie.m_strAudioText));
      if (found >= 0) movie.m_nLanguageProfileIdx = found;
    }
  }
  MoviePageRedraw(0);
}

// --- Handlers during playback --------------------------------------------------------

int CUISystem::OnMovieLanguage(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  auto dvd = MovieEngine();
  if (!dvd) return 0;
  CMovieConfig& movie = MovieState();
  if (movie.m_nDiscType == kDvd && movie.m_nAudioStreams > 0) {
    movie.m_nAudioChosen = 1;
    int current = 0;
    dvd->GetCurrentAudioStream(&current);
    const int next = current + 1 >= movie.m_nAudioStreams ? 0 : current + 1;
    dvd->SelectAudioStream(next);
    MovieRebuildAudioNames(*dvd);
    const std::string name = movie.m_arrAudioNames[static_cast<std::size_t>(next)];
    SetNamedItemState(Compose(MovieString("LANGUAGE"), name), 0);
    const int found = FirstContained(movie.m_listLanguageProfiles, CutAtBlank(name));
    if (found >= 0) movie.m_nLanguageProfileIdx = found;
  }
  MoviePageRedraw(0);
  return 1;
}

int CUISystem::OnMovieSubtitle(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  auto dvd = MovieEngine();
  if (!dvd) return 0;
  CMovieConfig& movie = MovieState();
  if (movie.m_nDiscType == kDvd && movie.m_nSubtitleStreams > 0) {
    movie.m_nSubtitleChosen = 1;
    int index = 0, on = 0;
    dvd->GetSubtitleState(&index, &on);
    if (index < 0 || index >= movie.m_nSubtitleStreams) index = 0;
    if (!on) {
      on = 1;
    } else if (index == movie.m_nSubtitleStreams - 1) {
      on = 0;
      index = 0;
    } else {
      ++index;
    }
    dvd->SelectSubtitleStream(index);
    dvd->SetSubtitleOn(on ? plat::TRUE : plat::FALSE);
    MovieRebuildSubtitleNames(*dvd);
    const std::string name = on ? movie.m_arrSubtitleNames[static_cast<std::size_t>(index)] : "";
    movie.m_strSubtitleText = name;
    SetNamedItemState(Compose(MovieString("SUBTITLE"), on ? name : MovieString("OFF")), 0);
    if (!on) {
      movie.m_nSubtitleProfileIdx = 0;
    } else if (const int found = FirstContained(movie.m_listSubtitleProfiles, name); found >= 0) {
      movie.m_nSubtitleProfileIdx = found;
    }
  }
  MoviePageRedraw(0);
  return 1;
}

int CUISystem::OnMovieAngle(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  auto dvd = MovieEngine();
  if (!dvd) return 0;
  CMovieConfig& movie = MovieState();
  if (movie.m_nDiscType == kDvd) {
    int angle = 0;
    dvd->GetAngle(&angle);
    const int next = angle + 1 > movie.m_nAngles ? 1 : angle + 1;
    dvd->SetAngle(next);
    if (SUCCEEDED(dvd->GetAngle(&angle))) {
      movie.m_nAngleNumber = angle;
      char text[300];
      std::snprintf(text, sizeof text, "%s : %d", MovieString("ANGLE").c_str(), movie.m_nAngleNumber);
      SetNamedItemState(text, 0);
    }
  }
  MoviePageRedraw(0);
  return 1;
}

int CUISystem::OnMovieClosedCaption(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  auto dvd = MovieEngine();
  if (!dvd) return 0;
  CMovieConfig& movie = MovieState();
  if (movie.m_nDiscType == kDvd) {
    // Off, then reverse, then normal, then off again.
    const char* key = "OFF";
    switch (movie.m_bClosedCaptionOn) {
      case 1:
        movie.m_bClosedCaptionOn = 3;
        dvd->SetClosedCaptionMode(0x10001);
        key = "REVERSE";
        break;
      case 3:
        movie.m_bClosedCaptionOn = 2;
        dvd->SetClosedCaptionMode(1);
        key = "NORMAL";
        break;
      default:
        movie.m_bClosedCaptionOn = 1;
        dvd->SetClosedCaptionMode(0);
        break;
    }
    SetNamedItemState(Compose(MovieString("CLOSEDCAPTION"), MovieString(key)), 0);
  }
  MoviePageRedraw(0);
  return 1;
}

// --- Default language lists --------------------------------------------------------------

int CUISystem::EnumDvdLocales() {
  if (!m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  if (movie.m_listSubtitleProfiles.empty() && movie.m_listLanguageProfiles.empty()) {
    movie.m_listSubtitleProfiles.push_back(MovieString("OFF"));
    const std::string titleDefault = MovieString("TITLEDEFAULT");
    movie.m_listSubtitleProfiles.push_back(titleDefault);
    movie.m_listLanguageProfiles.push_back(titleDefault);
    const int vendor = VendorId();
    if (vendor != 0) {
      const std::string user = movie_locales::UserLanguage();
      if (!user.empty()) {
        movie.m_listSubtitleProfiles.push_back(user);
        movie.m_listLanguageProfiles.push_back(user);
      }
    }
    if (vendor != 1) {
      for (auto& language : movie_locales::SortedLanguages(movie_locales::InstalledLocaleNames())) {
        if (std::find(movie.m_listThirdProfiles.begin(), movie.m_listThirdProfiles.end(), language) ==
            movie.m_listThirdProfiles.end()) {
          movie.m_listThirdProfiles.push_back(language);
        }
      }
      movie.m_listSubtitleProfiles.insert(movie.m_listSubtitleProfiles.end(), movie.m_listThirdProfiles.begin(),
                                          movie.m_listThirdProfiles.end());
      movie.m_listLanguageProfiles.insert(movie.m_listLanguageProfiles.end(), movie.m_listThirdProfiles.begin(),
                                          movie.m_listThirdProfiles.end());
    }
  }
  MovieSetDxva(movie.m_bUseDxva);
  return 1;
}
