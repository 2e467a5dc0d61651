// Audio CDs in the Music module: loading a disc's track list, the file path
// of a player CD address, and ripping the chosen tracks to files with the
// rip engines in a message loop on the UI thread.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "corebridge/core/config.h"
#include "corebridge/core/hidden_window.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/ui_system_object.h"
#include "corebridge/modules/music_names.h"
#include "corebridge/modules/music_pages.h"
#include "interfaces/cdtomp3.h"
#include "interfaces/cdtowma.h"
#include "platform/com/automation.h"
#include "platform/sys/drive_table.h"
#include "platform/win/message.h"

using namespace music;
namespace fs = std::filesystem;

namespace {

constexpr plat::UINT kCdReloadMs = 15000;
constexpr int kWmaBitRate = 128040;
constexpr const char* kRipExtensions[] = {".wav", ".mp3", ".wma"};

// "X:" of a drive text ("X:", "X:\" or "x:/..."); empty when it is none.
std::string DriveOf(const std::string& text) {
  if (text.size() < 2 || !std::isalpha(static_cast<unsigned char>(text[0])) || text[1] != ':') return {};
  return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])))) + ":";
}

std::string LowerExtension(const std::string& path) {
  std::string extension = fs::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

}  // namespace

// --- Loading a CD ------------------------------------------------------------

int CUISystem::MusicLoadAudioCd(const std::string& driveText) {
  RunStep(("MusicLoadAudioCd " + driveText).c_str());
  if (!m_pConfig || !m_pConfig->m_pMusic || !m_pWMPlayer) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  const std::string drive = DriveOf(driveText);
  if (drive.empty()) return 0;
  // An audio CD is an optical drive whose table of contents lists audio
  // tracks: the player reads it (a drive, or a disc image on a virtual one).
  if (plat::GetDriveTypeA((drive + "\\").c_str()) != plat::DRIVE_CDROM) return 0;
  long count = 0;
  if (plat::FAILED(m_pWMPlayer->GetCDPlaylistItemCount(plat::Bstr(drive).get(), &count)) || count < 1) return 0;
  music.m_strCurrentDrive = drive;
  music.m_nCurrentDrive = drive[0] - 'A';
  MusicReadTrackList(0);
  for (MusicRecord& track : music.m_vecLibraryTracks) track.bChecked = 1;
  music.m_bRipSelectAll = 1;
  // The CD timer reloads the disc of the first track's address.
  if (m_pStates) {
    m_pStates->vecMusicTracks.clear();
    for (const MusicRecord& track : music.m_vecLibraryTracks) m_pStates->vecMusicTracks.push_back(track.strTexts[kTrackUrl]);
  }
  // The disc is read again later: its titles may come after the first read.
  if (m_pHiddenWindow && m_pHiddenWindow->Handle()) {
    plat::SetTimer(m_pHiddenWindow->Handle(), kCdDriveTimer, kCdReloadMs, nullptr);
  }
  if (MusicCurrentPage() != kCdPage) MusicShowPage(kCdPage);
  else if (m_pMusicPage) m_pMusicPage->ShowPage();
  return 1;
}

// "wmpcd://n/m": n the n-th optical drive in letter order, m the m-th audio
// track from 0; the file is "X:\TrackNN.cda" with NN = m + 1.
std::string CUISystem::CdTrackPath(const std::string& url) const {
  constexpr std::string_view kScheme = "wmpcd://";
  if (url.size() <= kScheme.size() || url.compare(0, kScheme.size(), kScheme) != 0) return {};
  const std::string rest = url.substr(kScheme.size());
  const std::size_t slash = rest.find('/');
  if (slash == std::string::npos || slash == 0 || slash + 1 >= rest.size()) return {};
  const std::string driveDigits = rest.substr(0, slash);
  const std::string trackDigits = rest.substr(slash + 1);
  auto digits = [](const std::string& s) {
    return !s.empty() && s.size() <= 3 && std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
  };
  if (!digits(driveDigits) || !digits(trackDigits)) return {};
  const int driveNumber = std::stoi(driveDigits);
  const int track = std::stoi(trackDigits);
  if (track > 98) return {};
  int seen = 0;
  for (const plat::VolumeInfo& volume : plat::GetVolumes()) {
    if (volume.type != plat::DRIVE_CDROM) continue;
    if (seen++ != driveNumber) continue;
    char path[32];
    std::snprintf(path, sizeof path, "%c:\\Track%02d.cda", volume.letter, track + 1);
    return path;
  }
  return {};
}

std::string CUISystem::TrackSourcePath(int index) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return {};
  CMusicConfig& music = *m_pConfig->m_pMusic;
  if (index == -1) {
    return CdTrackPath(music.m_wstrMediaUrl);
  }
  if (index < 0 || static_cast<std::size_t>(index) >= music.m_vecLibraryTracks.size()) return {};
  return CdTrackPath(music.m_vecLibraryTracks[static_cast<std::size_t>(index)].strTexts[kTrackUrl]);
}

// --- Rip actions -------------------------------------------------------------

int CUISystem::OnMusicRipCD(std::intptr_t, std::intptr_t) {
  MusicShowPage(kRipSelectPage);
  return 1;
}

int CUISystem::OnMusicRippingFormatLeft(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  int& format = m_pConfig->m_pMusic->m_nRippingFormat;
  if (format == 1) format = 2;
  else if (format == 2) format = 1;
  MusicRedraw(0);
  return 1;
}

int CUISystem::OnMusicStopRipping(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicStopRipping");
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  if (m_pConfig->m_pMusic->m_bRipping) CleanupIncompleteRip();
  MusicRedraw(1);
  return 1;
}

int CUISystem::OnMusicResumeRipping(std::intptr_t, std::intptr_t) { return MusicRipRun(); }

int CUISystem::OnMusicRipNow(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic || !m_pWMPlayer) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  if (music.m_nMusicState != MUSIC_STOPPED) OnMusicStop(0, 0);
  if (music.m_nRippingFormat < 0 || music.m_nRippingFormat > 2) return 0;

  // The disc's name from the drive of track 0.
  const std::string first = TrackSourcePath(0);
  if (first.size() < 3) return 0;
  plat::Bstr discName;
  if (plat::FAILED(m_pWMPlayer->GetCDPlaylistName(plat::Bstr(first.substr(0, 3)).get(), discName.out()))) return 0;

  // A folder of the disc's name, or "AudioCD", "AudioCD(1)", ... when that
  // exists already: a second rip never writes into the first one's folder.
  const fs::path base(music.m_strDefaultFolder);
  std::error_code error;
  fs::create_directories(base, error);
  fs::path folder = base / SafeComponent(discName.utf8(), "AudioCD");
  if (!fs::create_directory(folder, error)) {
    folder = base / "AudioCD";
    for (int n = 1; !fs::create_directory(folder, error); ++n) {
      if (n > 999) return 0;
      folder = base / ("AudioCD(" + std::to_string(n) + ")");
    }
  }

  const std::string extension = kRipExtensions[music.m_nRippingFormat];
  music.m_vecRipJobs.clear();
  std::vector<std::string> taken;
  for (std::size_t i = 0; i < music.m_vecLibraryTracks.size(); ++i) {
    const MusicRecord& track = music.m_vecLibraryTracks[i];
    if (!track.bChecked) continue;
    const std::string source = TrackSourcePath(static_cast<int>(i));
    // A track whose file cannot be found is not queued.
    if (source.empty()) continue;
    const std::string fallback = "Track " + std::to_string(i + 1);
    const std::string name = UniqueName(SafeComponent(track.strTexts[kTrackName], fallback), taken);
    std::string output = (folder / (name + extension)).string();
    {
      std::FILE* probe = std::fopen(output.c_str(), "wb");
      if (!probe) {
        output = (folder / ("Track" + std::to_string(i + 1) + extension)).string();
      } else {
        std::fclose(probe);
      }
    }
    fs::remove(output, error);
    MusicRecord job;
    job.strTexts[0] = track.strTexts[kTrackName];
    job.strTexts[1] = source;
    job.strTexts[CMusicConfig::kRipOutputPathText] = output;
    job.strTexts[CMusicConfig::kRipStatusText].clear();
    job.bChecked = 1;
    music.m_vecRipJobs.push_back(std::move(job));
  }
  if (music.m_vecRipJobs.empty()) return 0;
  music.m_nRipIndex = -1;
  MusicShowPage(kRipPageA);
  MusicRedraw(0);
  MusicRipRun();
  return 1;
}

// --- The rip loop ------------------------------------------------------------

// Rips the jobs from m_nRipIndex on, one at a time, pumping this thread's
// messages while a track runs; the ripper's reports end each track.
int CUISystem::MusicRipRun() {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  if (music.m_bRipping) return 0;  // a rip loop runs further down this stack
  const int count = static_cast<int>(music.m_vecRipJobs.size());
  if (count == 0) return 0;
  music.m_bRipping = 1;
  if (music.m_nRipIndex < 0) music.m_nRipIndex = 0;
  for (int i = 0; i < music.m_nRipIndex && i < count; ++i) {
    music.m_vecRipJobs[static_cast<std::size_t>(i)].strTexts[CMusicConfig::kRipStatusText] = "Complete";
  }
  MusicRedraw(1);
  bool quit = false;
  while (music.m_bRipping && music.m_nRipIndex >= 0 && music.m_nRipIndex < count && !quit) {
    const MusicRecord job = music.m_vecRipJobs[static_cast<std::size_t>(music.m_nRipIndex)];
    music.m_bRipTrackDone = 0;
    if (!MusicRipTrack(job)) {
      // The track stays "Incomplete", without a partial file; a resume
      // starts again at it.
      CleanupIncompleteRip();
      MusicRedraw(1);
      break;
    }
    while (music.m_bRipping && !music.m_bRipTrackDone) {
      plat::MsgWaitForMultipleObjects(0, nullptr, plat::FALSE, 100, plat::QS_ALLINPUT);
      plat::MSG msg{};
      while (plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE)) {
        if (msg.message == plat::WM_QUIT) {
          // The program is closing: hand the quit on and stop the rip.
          plat::PostQuitMessage(static_cast<int>(msg.wParam));
          CleanupIncompleteRip();
          quit = true;
          break;
        }
        plat::TranslateMessage(&msg);
        plat::DispatchMessage(&msg);
      }
    }
  }
  music.m_bRipping = 0;
  if (music.m_nRipIndex >= count) music.m_nRipIndex = -1;
  MusicRedraw(1);
  return 1;
}

// Starts one job on the ripper of its output's extension; 0 when a step fails.
int CUISystem::MusicRipTrack(const MusicRecord& job) {
  const std::string& source = job.strTexts[1];
  const std::string& output = job.strTexts[CMusicConfig::kRipOutputPathText];
  std::error_code error;
  fs::remove(output, error);
  const std::string extension = LowerExtension(output);
  if (extension == ".mp3" || extension == ".wav") {
    plat::ComPtr<ICdToMp3> ripper = CoreService<ICdToMp3>();
    if (!ripper) return 0;
    if (plat::FAILED(ripper->Initialize()) || plat::FAILED(ripper->OpenSource(source.c_str())) ||
        plat::FAILED(ripper->BuildRipGraph(output.c_str(), 0)) || plat::FAILED(ripper->Run())) {
      ripper->Uninitialize();
      return 0;
    }
    return 1;
  }
  if (extension == ".wma") {
    plat::ComPtr<ICdToWma> ripper = CoreService<ICdToWma>();
    if (!ripper) return 0;
    if (plat::FAILED(ripper->Initialize())) {
      ripper->Uninitialize();
      return 0;
    }
    WaitPumpingMessages(500);
    if (plat::FAILED(ripper->OpenSource(source.c_str())) ||
        plat::FAILED(ripper->BuildRipGraph(output.c_str(), kWmaBitRate, 0)) || plat::FAILED(ripper->Run())) {
      ripper->Uninitialize();
      return 0;
    }
    return 1;
  }
  return 1;
}

// --- Device changes ----------------------------------------------------------

int CUISystem::MusicOnDeviceChange(int event, int drive) {
  RunStep(("MusicOnDeviceChange " + std::to_string(event) + " " + std::to_string(drive)).c_str());
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  constexpr int kFolderGone = 7;
  constexpr int kArrival = 0x8000;
  constexpr int kRemoval = 0x8004;
  const std::string driveText = drive >= 0 && drive < 26 ? std::string(1, static_cast<char>('A' + drive)) + ":" : "";
  if (event == kFolderGone) {
    const int page = MusicCurrentPage();
    if (page != 0 && page != kDevicePage) OnMusicBack(0, 0);
    return 1;
  }
  if (event == kArrival) {
    if (driveText.empty() || !m_pWMPlayer) return 0;
    long tracks = 0;
    if (plat::FAILED(m_pWMPlayer->GetCDPlaylistItemCount(plat::Bstr(driveText).get(), &tracks)) || tracks < 1) return 0;
    if (music.m_nMusicState != MUSIC_STOPPED) MusicStopPlayback();
    if (m_pConfig->m_bSuppress) return 1;  // autoplay is off: the CD waits on its row
    music.m_arrPageHistory.clear();
    MusicShowPage(kDevicePage);
    if (MusicLoadAudioCd(driveText)) OnMusicPlay(0, 0);
    return 1;
  }
  if (event == kRemoval) {
    const bool playingFromIt = music.m_bPlayFromCd && DriveOf(music.m_strCurrentDrive) == driveText;
    if (playingFromIt && music.m_nMusicState != MUSIC_STOPPED) MusicStopPlayback();
    const bool browsed = DriveOf(music.m_strBrowseFolder) == driveText || DriveOf(music.m_strCurrentDrive) == driveText;
    if (!driveText.empty() && browsed && MusicCurrentPage() != kDevicePage) {
      if (VendorId() == 1 && MusicCurrentPage() == kRipPageA) {
        int left = 0;
        while (MusicCurrentPage() != kCdPage && music.PopMusicPage(left)) {
        }
      }
      OnMusicBack(0, 0);
    }
    return 1;
  }
  return 0;
}
