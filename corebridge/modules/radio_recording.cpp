// The Radio controller's recordings: the file names, the free-space rule,
// recording through the engine or through the sound card's line with a rip
// engine, the stop, and the recorded files played through the held player.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "corebridge/core/local_clock.h"
#include "corebridge/core/schedule_list.h"
#include "interfaces/cdtomp3.h"
#include "interfaces/cdtowma.h"
#include "platform/com/automation.h"
#include "platform/core/file_time.h"
#include "platform/sys/drive_table.h"
#include "corebridge/modules/radio_controller_internal.h"

namespace radio_controller {

namespace {

constexpr int kMonitorPeriodMs = 10000;
constexpr int kMaxNameCounter = 9999;

bool Exists(const std::string& path) {
  struct stat info{};
  return ::stat(path.c_str(), &info) == 0;
}

const char* Extension(int format) {
  if (format == 1) return ".mp3";
  if (format >= 2 && format <= 4) return ".wma";
  return ".wav";
}

// WAV and MP3 swap places between the settings and the engine.
int EngineFormat(int format) {
  if (format == 0) return kRadioRecordWav;
  if (format == 1) return kRadioRecordMp3;
  return format;
}

const ILocalClock& Clock(const CUISystem& system) {
  return system.Services().clock ? *system.Services().clock : SystemLocalClock();
}

// Makes the chosen line-in (the "Radio" line) the recording source, heard
// at full level.
void PrepareLine(Ctx& c) {
  const CAudioProfile* device = SourceDevice(c.radio);
  const int line = c.radio.m_nSourceLine;
  auto audio = c.sys.CoreService<ICoreAudio>();
  if (!audio || !device || line < 0 || static_cast<std::size_t>(line) >= device->m_wideItems.size()) return;
  audio->SelectDeviceByName(device->m_strName.c_str());
  audio->SelectRecordingSource(line);
  audio->SetRecordingMute(line, 0);
  audio->SetRecordingVolume(line, 1.0f);
}

// Records the sound card's line into `file` with the rip engine of the
// record format; 0 when any step fails (the engine is released again).
int StartLineRecording(Ctx& c, const std::string& file) {
  CRadioConfig& radio = c.radio;
  auto drives = c.sys.CoreService<IDriveEnumerator>();
  if (!drives) return 0;
  char name[kServiceNameBytes] = {};
  char* buffer = name;
  if (FAILED(drives->GetCaptureDeviceName(radio.m_nSourceDevice, &buffer))) return 0;
  if (radio.m_nRecordFormat <= 1) {
    auto mp3 = c.sys.CoreService<ICdToMp3>();
    if (!mp3 || FAILED(mp3->Initialize())) return 0;
    if (FAILED(mp3->FindCaptureFilter(name)) || FAILED(mp3->BuildRipGraph(file.c_str(), 0)) || FAILED(mp3->Run())) {
      mp3->Uninitialize();
      return 0;
    }
    return 1;
  }
  static constexpr int kBitRates[] = {32040, 64080, 128040};
  auto wma = c.sys.CoreService<ICdToWma>();
  if (!wma || FAILED(wma->Initialize())) return 0;
  if (FAILED(wma->FindCaptureFilter(name)) ||
      FAILED(wma->BuildRipGraph(file.c_str(), kBitRates[std::clamp(radio.m_nRecordFormat - 2, 0, 2)], 0)) ||
      FAILED(wma->Run())) {
    wma->Uninitialize();
    return 0;
  }
  return 1;
}

void StopLineRecording(Ctx& c) {
  if (c.radio.m_nRecordFormat <= 1) {
    if (auto mp3 = c.sys.CoreService<ICdToMp3>()) {
      mp3->ShowVideo(0);
      mp3->Stop();
      mp3->Uninitialize();
    }
  } else if (auto wma = c.sys.CoreService<ICdToWma>()) {
    wma->ShowVideo(0);
    wma->Stop();
    wma->Uninitialize();
  }
}

void RecordingStarted(Ctx& c, const std::string& file, int state) {
  if (c.Vendor4() && c.radio.m_nPage != kPageMainStation) {
    c.SetPage(kPageMainStation);
    c.ShowCurrent();
    c.RefreshList();
  }
  c.radio.m_nRecordState = state;
  c.Redraw(0);
  c.radio.m_strRecordingFile = file;
  c.sys.StartRecordMonitorTimer(kMonitorPeriodMs);
}

// The recorded files of the record folder, by name.
void ReadRecordedFiles(CRadioConfig& radio) {
  namespace fs = std::filesystem;
  radio.m_recordedFiles.clear();
  std::error_code error;
  for (fs::directory_iterator it(radio.m_strRecordFolder, error), end; !error && it != end; it.increment(error)) {
    if (!it->is_regular_file(error)) continue;
    std::string extension = it->path().extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char ch) { return std::tolower(ch); });
    if (extension != ".mp3" && extension != ".wav" && extension != ".wma") continue;
    RadioRecordedFile entry;
    entry.strPath = it->path().string();
    entry.strName = it->path().filename().string();
    // The write time, for "Radio SortBy Date".
    struct stat info {};
    if (::stat(entry.strPath.c_str(), &info) == 0)
      entry.ftLastWrite = plat::FileTimeToTicks(plat::FileTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec));
    radio.m_recordedFiles.push_back(std::move(entry));
  }
  std::sort(radio.m_recordedFiles.begin(), radio.m_recordedFiles.end(),
            [](const RadioRecordedFile& a, const RadioRecordedFile& b) { return a.strName < b.strName; });
  radio.m_nCurRecorded = -1;
}

int RecordedPage(Ctx& c) {
  // The vendor's page refuses the recorded list: refused before anything
  // is muted or hidden.
  if (c.Vendor4()) return 0;
  CRadioConfig& radio = c.radio;
  radio.m_nRecordState = RADIO_RECORDED_LIST;
  Mute(c, 1);
  c.SetPage(kPageRecorded);
  if (c.frame) c.frame->SetPlaybackBarVisible(0, 0);
  ReadRecordedFiles(radio);
  // The Radio page browses the record folder itself, on its recorded radio
  // page; the radio stays the active module and the music player plays what
  // is picked there. (Handing the folder to the Music page would make Music
  // the active module and its page the frame's, behind the radio's back.)
  const int opened = c.sys.RadioEnsurePlayer();
  c.ShowCurrent();
  c.RefreshList();
  if (IWMPlayer* player = c.sys.WMPlayer()) {
    plat::UINT index = 0;
    player->GetCurVisualizationIndex(&index);
  }
  return opened;
}

}  // namespace

std::string UniqueFileName(const std::string& path) {
  if (!Exists(path)) return path;
  const auto slash = path.find_last_of('/');
  const auto dot = path.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  const std::string stem = hasExtension ? path.substr(0, dot) : path;
  const std::string extension = hasExtension ? path.substr(dot) : std::string{};
  for (int counter = 1; counter <= kMaxNameCounter; ++counter) {
    std::string name = stem + "(" + std::to_string(counter) + ")" + extension;
    if (!Exists(name)) return name;
  }
  return {};
}

std::string RecordingFileName(const CUISystem& system, const CRadioConfig& radio, int frequency, int band) {
  const plat::SYSTEMTIME now = Clock(system).Now();
  std::string folder = radio.m_strRecordFolder;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  char stem[1200];
  std::snprintf(stem, sizeof stem, "%s/%s%05d_%02i%02i%04i_%02i%02i", folder.c_str(),
                band == RADIO_BAND_AM ? "AM" : "FM", frequency / 10000, now.wDay, now.wMonth, now.wYear, now.wHour,
                now.wMinute);
  return UniqueFileName(std::string(stem) + Extension(radio.m_nRecordFormat));
}

bool FreeSpace(const CUISystem& system, const std::string& folder, std::uint64_t& bytes) {
  if (system.Services().freeSpace) return system.Services().freeSpace(folder, bytes);
  plat::ULONGLONG available = 0;
  if (!plat::GetDiskFreeSpaceExA(folder.empty() ? "." : folder.c_str(), &available, nullptr, nullptr)) return false;
  bytes = available;
  return true;
}

int StartRecordingInto(Ctx& c, const std::string& file, int scheduled) {
  CRadioConfig& radio = c.radio;
  if (file.empty()) return 0;
  if (c.Has(kRecordsItself)) {
    if (FAILED(c.engine->StartRecord(file.c_str(), EngineFormat(radio.m_nRecordFormat), c.sys.RadioSink()))) return 0;
    RecordingStarted(c, file, RADIO_RECORDING);
    return 1;
  }
  const int devices = radio.m_pProfiles1 ? static_cast<int>(radio.m_pProfiles1->m_profiles.size()) : 0;
  if (radio.m_nSourceDevice < 0 || radio.m_nSourceDevice >= devices) return 0;
  if (radio.m_nRecordState == RADIO_LISTENING) PrepareLine(c);
  if (!StartLineRecording(c, file)) return 0;
  RecordingStarted(c, file, scheduled ? RADIO_SCHEDULED_RECORDING : RADIO_RECORDING);
  return 1;
}

int StartManualRecording(Ctx& c) {
  CRadioConfig& radio = c.radio;
  // A second recording would replace the running one behind the monitor.
  if (radio.m_nRecordState == RADIO_RECORDING || radio.m_nRecordState == RADIO_SCHEDULED_RECORDING) return 0;
  std::uint64_t available = 0;
  if (FreeSpace(c.sys, radio.m_strRecordFolder, available) && available <= kManualRecordMinFree) return 0;
  return StartRecordingInto(c, RecordingFileName(c.sys, radio, CurrentFrequency(radio), radio.m_nCurBand), 0);
}

int StopRecording(Ctx& c) {
  CRadioConfig& radio = c.radio;
  if (radio.m_nRecordState != RADIO_RECORDING && radio.m_nRecordState != RADIO_SCHEDULED_RECORDING) return 0;
  c.sys.StopRecordMonitorTimer();
  if (c.Has(kRecordsItself)) c.engine->Stop();
  else StopLineRecording(c);
  radio.m_nRecordState = RADIO_LISTENING;
  return 1;
}

int EndScheduledRecording(Ctx& c, int status) {
  CRadioConfig& radio = c.radio;
  if (!radio.m_pRecordingSchedule) return 0;
  if (radio.m_nRecordState != RADIO_RECORDING && radio.m_nRecordState != RADIO_SCHEDULED_RECORDING) return 0;
  StopRecording(c);
  CScheduleItem done = *radio.m_pRecordingSchedule;
  radio.m_pRecordingSchedule.reset();
  done.SetStatus(status);
  CScheduleList* list = nullptr;
  if (SUCCEEDED(c.sys.GetScheduleList(&list)) && list) {
    list->AddHistory(done);
    if (CConfig* config = c.sys.Config()) list->LoadSave(config->m_strSettingsFolder, 0);
  }
  return 1;
}

int StopPlayback(Ctx& c) {
  CRadioConfig& radio = c.radio;
  if (IWMPlayer* player = c.sys.WMPlayer()) player->Stop();
  c.Redraw(0);
  radio.m_dPlaybackRate = 1.0;
  radio.m_nRecordState = RADIO_RECORDED_LIST;
  radio.m_nCurRecorded = -1;
  return 1;
}

int PlayRecorded(Ctx& c) {
  CRadioConfig& radio = c.radio;
  const int count = static_cast<int>(radio.m_recordedFiles.size());
  if (count > 0 && radio.m_nCurRecorded < 0) radio.m_nCurRecorded = 0;
  if (radio.m_nCurRecorded < 0 || radio.m_nCurRecorded >= count) return 0;
  IWMPlayer* player = c.sys.WMPlayer();
  if (!player) return 0;
  if (radio.m_nRecordState == RADIO_RECORDING_PAUSED) {
    if (FAILED(player->Run())) return 0;
    radio.m_nRecordState = RADIO_PLAYING_RECORDING;
    c.Redraw(0);
    return 1;
  }
  plat::Bstr file(radio.m_recordedFiles[static_cast<std::size_t>(radio.m_nCurRecorded)].strPath);
  if (FAILED(player->LoadFile(file.get()))) {
    radio.m_nCurRecorded = -1;
    return 0;
  }
  radio.m_nRecordState = RADIO_PLAYING_RECORDING;
  c.Redraw(0);
  return 1;
}

int StopAll(Ctx& c) {
  CRadioConfig& radio = c.radio;
  int result = 1;
  switch (radio.m_nRecordState) {
    case RADIO_RECORDING:
    case RADIO_SCHEDULED_RECORDING:
      // A stop by the user ends a held schedule as stopped (status 3).
      result = radio.m_pRecordingSchedule ? EndScheduledRecording(c, 3) : StopRecording(c);
      break;
    case RADIO_SCANNING:
      if (c.engine) c.engine->Stop();
      radio.m_nRecordState = RADIO_LISTENING;
      break;
    case RADIO_PLAYING_RECORDING:
    case RADIO_RECORDING_PAUSED: result = StopPlayback(c); break;
    default: break;
  }
  return result;
}

int RecordingAction(Ctx& c, int id) {
  CRadioConfig& radio = c.radio;
  const int state = radio.m_nRecordState;
  switch (id) {
    case kRecordedRadioPage: return RecordedPage(c);
    case kRecord: return c.sys.OnRadioRecord(0, 0);
    case kStop: return c.sys.RadioStopRecording(0, 0);
    case kPlay:
      if (radio.m_nPage != kPageRecorded) return 0;
      return PlayRecorded(c);
    case kPause: {
      IWMPlayer* player = c.sys.WMPlayer();
      if (state != RADIO_PLAYING_RECORDING || !player || FAILED(player->Pause())) return 0;
      radio.m_nRecordState = RADIO_RECORDING_PAUSED;
      c.Redraw(0);
      return 1;
    }
    case kFastforward:
    case kRewind: {
      if (state == RADIO_LISTENING) return c.sys.RadioRun(id == kFastforward ? kFinetuneUp : kFinetuneDown, 0, 0);
      if (state != RADIO_PLAYING_RECORDING && state != RADIO_RECORDING_PAUSED) return 0;
      IWMPlayer* player = c.sys.WMPlayer();
      if (!player) return 0;
      if (id == kFastforward) {
        radio.m_dPlaybackRate = radio.m_dPlaybackRate == 1.0 ? 2.0 : 1.0;
        return SUCCEEDED(player->FastForward()) ? 1 : 0;
      }
      return SUCCEEDED(player->BackwardScan()) ? 1 : 0;
    }
    default: return 0;
  }
}

}  // namespace radio_controller

using namespace radio_controller;

int CUISystem::OnRadioRecord(std::intptr_t, std::intptr_t) {
  RunStep("OnRadioRecord");
  auto c = MakeCtx(*this);
  if (!c || !c->engine) return 0;
  return StartManualRecording(*c);
}

// "Radio Stop": whatever runs stops, then the page redraws.
int CUISystem::RadioStopRecording(std::intptr_t, std::intptr_t) {
  RunStep("RadioStopRecording");
  auto c = MakeCtx(*this);
  if (!c) return 0;
  const int result = StopAll(*c);
  c->Redraw(0);
  return result;
}

int CUISystem::RadioEnsurePlayer() { return MusicEnsurePlayer(); }
