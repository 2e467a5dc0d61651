// CGrabber: preview and the stop table, recording, recording to a name, time
// shift, the time-shift source and its recordings, and free space.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "engines/capture/grabber/grabber.h"
#include "engines/capture/grabber/recording_names.h"
#include "engines/capture/grabber/time_shift_plan.h"
#include "platform/sys/clock.h"

using namespace plat;
using namespace grabber;
namespace fs = std::filesystem;

namespace {

constexpr int kSeekStepMs = 15000;

bool Exists(const std::string& path) {
  struct stat st{};
  return ::lstat(path.c_str(), &st) == 0;
}

std::string FieldText(const char* field, std::size_t size) { return std::string(field, strnlen(field, size)); }

// Creates every missing level of `folder`; true when it is a folder then.
bool EnsureFolder(const std::string& folder) {
  if (folder.empty()) return false;
  std::error_code ec;
  fs::create_directories(folder, ec);
  return fs::is_directory(folder, ec);
}

// Removes `folder` and everything in it, read-only entries included, never
// following a symbolic link out of it.
void EmptyFolder(const fs::path& folder) {
  std::error_code ec;
  if (fs::is_symlink(folder, ec)) {
    fs::remove(folder, ec);
    return;
  }
  if (!fs::is_directory(folder, ec)) return;
  // Read-only folders would refuse the removal of what they hold.
  fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ec);
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) {
      EmptyFolder(it->path());
    } else {
      fs::remove(it->path(), ec);
    }
  }
  fs::remove(folder, ec);
}

std::tm LocalNow() {
  const std::time_t now = std::chrono::system_clock::to_time_t(GetClock().wall_now());
  std::tm tm{};
  ::localtime_r(&now, &tm);
  return tm;
}

}  // namespace

long long CGrabber::FreeMB(const std::string& folder) const {
  return m_hooks.freeMB ? m_hooks.freeMB(folder) : 0;
}

std::string CGrabber::Extension(const EncoderBlock& block) const {
  return block.format != 0 ? ".0000.mpg" : ".0000.avi";
}

// The file name (without extension) of a recording started now.
std::string CGrabber::GeneratedName() {
  const std::tm now = LocalNow();
  std::string channel;
  if (m_nInputKind == kInputTuner) {
    char name[kGrabberTextChars] = {};
    GetChannelName(name, 0);
    channel = SafePathComponent(FieldText(name, sizeof name));
  }
  const std::string month = m_hooks.monthAbbreviation ? m_hooks.monthAbbreviation(now.tm_mon + 1) : std::string();
  const std::string base = RecordingBaseName(m_nInputKind, channel, SafePathComponent(month), now);
  return UniqueRecordingName(m_outputFolder, base, Extension(m_current.block), &Exists);
}

// The block handed to the recorder: the processor's capability bits in, the
// two per-start fields cleared.
EncoderBlock CGrabber::StartBlock(const EncoderBlock& source) const {
  EncoderBlock block = source;
  block.capabilities = m_nCapabilities;
  block.field368 = 0;
  block.field388 = 0;
  return block;
}

bool CGrabber::HasFolderFor(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return false;
  return EnsureFolder(slash == 0 ? std::string("/") : path.substr(0, slash));
}

// --- Preview and the stop table ---------------------------------------------------

HRESULT CGrabber::StopActivity() {
  switch (m_nState) {
    case grabstate::kRecording: return Record(0);
    case grabstate::kWatchingRecording:
      WatchWhileRecording(0);
      return Record(0);
    case grabstate::kTimeShift: return TimeShift(0);
    case grabstate::kAutoScan: return AutoScan(0);
    case grabstate::kChannelScan: return StopChannelScan();
    case grabstate::kMultiPreview: return StopMultiChannelPreview();
    case grabstate::kAutoScanAlternate: return AutoScanAlternate(0);
    case grabstate::kSourceRunning:
    case grabstate::kSourceRecording:
    case grabstate::kSourcePaused:
    case grabstate::kSourceNamedRecording:
      // Closing the source ends what records from it.
      return m_pRecorder->OpenTimeShiftSource(0);
    default: return S_OK;
  }
}

HRESULT CGrabber::Preview(int on) {
  if (!m_pRecorder) return E_FAIL;
  if (on) {
    if (m_nState != grabstate::kIdle) return E_FAIL;
    const HRESULT hr = m_pRecorder->Preview(1);
    if (FAILED(hr)) return hr;
    m_nState = grabstate::kPreview;
    TuneChannel(m_nChannel);
    return S_OK;
  }
  if (m_nState == grabstate::kConstructed) return E_FAIL;
  if (m_nState != grabstate::kPreview) StopActivity();
  const HRESULT hr = m_pRecorder->Preview(0);
  m_nState = grabstate::kIdle;
  return hr;
}

// --- Recording --------------------------------------------------------------------

HRESULT CGrabber::ApplyDivX() {
  if (!m_divx) return E_FAIL;
  return m_pRecorder->SetCodecSettings(2, &m_divx->settings, static_cast<int>(sizeof(DivXSettings)));
}

HRESULT CGrabber::Record(int on) {
  if (!m_pRecorder) return E_FAIL;
  if (!on) return m_nState == grabstate::kRecording ? m_pRecorder->StopRecording(0) : E_FAIL;
  // Starting over a running recording, time shift or scan would tear it.
  if (!InState({grabstate::kIdle, grabstate::kPreview})) return E_FAIL;
  if (FAILED(SetTimeShiftFolder(m_outputFolder.c_str()))) return E_FAIL;
  if (FreeMB(m_outputFolder) <= kLowSpaceMB) {
    Notify([](IGrabberEventSink& sink) { sink.OnDiskFull(); });
    return E_FAIL;
  }
  if (m_current.block.format == 0 && FAILED(ApplyDivX())) return E_FAIL;
  const bool wasPreviewing = m_nState == grabstate::kPreview;
  m_pRecorder->Preview(0);
  const std::string file = JoinPath(m_outputFolder, GeneratedName() + Extension(m_current.block));
  const EncoderBlock block = StartBlock(m_current.block);
  if (m_nInputKind == kInputWebCamera) {
    m_pRecorder->SetFrameSize(640, 480);
  } else {
    m_pRecorder->SetFrameSize(block.width, block.height);
  }
  m_pRecorder->SetVideoSize(m_nVideoWidth, m_nVideoHeight);
  const HRESULT hr = m_pRecorder->StartRecording(file.c_str(), 0, &block, 1);
  if (SUCCEEDED(hr)) {
    m_nState = grabstate::kRecording;
    m_bNamedRecording = false;
    return hr;
  }
  ResetVideoSize();
  if (wasPreviewing) m_pRecorder->Preview(1);
  return hr;
}

HRESULT CGrabber::RecordNamed(RecordNameBlock name) {
  if (!m_pRecorder || !m_pStore) return E_FAIL;
  EncoderBlock block{};
  const std::string profile = FieldText(name.profileName, sizeof name.profileName);
  if (FAILED(m_pStore->ReadBlock("Record", profile.c_str(), &block))) block = m_current.block;
  const std::string extension = Extension(block);
  if (block.format == 0 && FAILED(ApplyDivX())) return E_FAIL;
  StopActivity();
  m_pRecorder->Preview(0);
  m_nState = grabstate::kIdle;
  if (FAILED(SetTimeShiftFolder(m_outputFolder.c_str()))) return E_FAIL;
  const std::string base = SafePathComponent(FieldText(name.fileName, sizeof name.fileName));
  const std::string file =
      JoinPath(m_outputFolder, UniqueNamedRecording(m_outputFolder, base, extension, &Exists) + extension);
  const EncoderBlock start = StartBlock(block);
  if (m_nInputKind == kInputWebCamera) {
    m_pRecorder->SetFrameSize(640, 480);
  } else {
    m_pRecorder->SetFrameSize(start.width, start.height);
  }
  m_pRecorder->SetVideoSize(m_nVideoWidth, m_nVideoHeight);
  m_pRecorder->Tune(name.audioValue);
  const HRESULT hr = m_pRecorder->StartRecording(file.c_str(), name.startValue, &start, 1);
  if (SUCCEEDED(hr)) {
    m_nState = grabstate::kRecording;
    m_bNamedRecording = true;
    return hr;
  }
  ResetVideoSize();
  TuneChannel(m_nChannel);
  if (SUCCEEDED(m_pRecorder->Preview(1))) m_nState = grabstate::kPreview;
  return hr;
}

HRESULT CGrabber::WatchWhileRecording(int on) {
  if (!m_pRecorder) return E_FAIL;
  if (on == 1 && m_nState == grabstate::kRecording && m_current.kind[0] != '\0') {
    std::int64_t size = 0;
    m_pRecorder->GetRecordedSize(&size);
    // Give the recording a moment to hold something to play.
    if (size < 1024 && m_hooks.sleep) m_hooks.sleep(500);
    const HRESULT hr = m_pRecorder->WatchRecording(1);
    if (FAILED(hr)) return hr;
    m_pRecorder->SetReplayRate(0, 1.0);
    m_nState = grabstate::kWatchingRecording;
    return hr;
  }
  if (on == 0 && m_nState == grabstate::kWatchingRecording) {
    const HRESULT hr = m_pRecorder->WatchRecording(0);
    m_nState = grabstate::kRecording;
    return hr;
  }
  return E_FAIL;
}

HRESULT CGrabber::TakeSnapshot(const char* path) {
  if (!m_pRecorder || !path || !HasFolderFor(path)) return E_FAIL;
  return m_pRecorder->SaveSnapshot(path);
}

// --- Time shift -------------------------------------------------------------------

HRESULT CGrabber::TimeShift(int on) {
  if (!m_pRecorder) return E_FAIL;
  if (!on) {
    if (m_nState != grabstate::kTimeShift) return E_FAIL;
    const HRESULT hr = m_pRecorder->StartTimeShift(0, nullptr, 0, 0, 0, 0);
    if (SUCCEEDED(hr)) {
      ResetVideoSize();
      m_pRecorder->ResetReplay();
      m_nState = grabstate::kIdle;
    }
    return hr;
  }
  if (m_timeShiftBlock.format == 0 || !InState({grabstate::kIdle, grabstate::kPreview})) return E_FAIL;
  if (FAILED(SetTimeShiftFolder(m_outputFolder.c_str()))) return E_FAIL;
  const TimeShiftPlan plan = PlanTimeShift(m_timeShiftBlock, m_nTimeShiftLength, FreeMB(m_outputFolder));
  if (!plan.ok) {
    Notify([](IGrabberEventSink& sink) { sink.OnTimeShiftNoSpace(); });
    return E_FAIL;
  }
  if (m_pRecorder->CanTimeShift() != S_OK) return E_FAIL;
  m_pRecorder->ShowVideo(0);
  const EncoderBlock block = StartBlock(m_timeShiftBlock);
  const HRESULT hr =
      m_pRecorder->StartTimeShift(1, &block, plan.segmentMB, plan.segmentCount, plan.neededMB, 50);
  if (SUCCEEDED(hr)) {
    m_pRecorder->SetVideoSize(m_nVideoWidth, m_nVideoHeight);
    m_pRecorder->ReplayPause();
    m_nState = grabstate::kTimeShift;
    m_bNamedRecording = false;
    return hr;
  }
  ResetVideoSize();
  m_pRecorder->Preview(1);
  return hr;
}

HRESULT CGrabber::TimeShiftOp122() {
  if (!m_pRecorder || !InState({grabstate::kWatchingRecording, grabstate::kTimeShift})) return E_FAIL;
  return m_pRecorder->ReplayPlay();
}

HRESULT CGrabber::TimeShiftOp126() {
  if (!m_pRecorder || !InState({grabstate::kWatchingRecording, grabstate::kTimeShift})) return E_FAIL;
  return m_pRecorder->ReplayPause();
}

HRESULT CGrabber::SeekBackward(int steps) {
  if (!m_pRecorder || !InState({grabstate::kWatchingRecording, grabstate::kTimeShift})) return E_FAIL;
  m_pRecorder->ReplayHold(1);
  std::int64_t position = 0;
  HRESULT hr = m_pRecorder->GetReplayPosition(&position);
  if (SUCCEEDED(hr)) hr = m_pRecorder->SetReplayPosition(std::max<std::int64_t>(0, position - std::int64_t{steps} * kSeekStepMs));
  m_pRecorder->ReplayHold(0);
  return hr;
}

HRESULT CGrabber::SeekForward(int steps) {
  if (!m_pRecorder || !InState({grabstate::kWatchingRecording, grabstate::kTimeShift})) return E_FAIL;
  m_pRecorder->ReplayHold(1);
  std::int64_t position = 0;
  HRESULT hr = m_pRecorder->GetReplayPosition(&position);
  if (SUCCEEDED(hr)) hr = m_pRecorder->SetReplayPosition(std::max<std::int64_t>(0, position + std::int64_t{steps} * kSeekStepMs));
  m_pRecorder->ReplayHold(0);
  return hr;
}

HRESULT CGrabber::GetElapsedTime(int* hours, int* minutes, int* seconds) {
  if (!m_pRecorder || !InState({grabstate::kRecording, grabstate::kWatchingRecording})) return E_FAIL;
  std::int64_t start = 0;
  std::int64_t elapsed = 0;
  const HRESULT hr = m_pRecorder->GetRecordTimes(&start, &elapsed);
  if (FAILED(hr)) return hr;
  if (hours) *hours = static_cast<int>(elapsed / 3600 % 24);
  if (minutes) *minutes = static_cast<int>(elapsed / 60 % 60);
  if (seconds) *seconds = static_cast<int>(elapsed % 60);
  return S_OK;
}

HRESULT CGrabber::GetPlaybackPosition(int* hour, int* minute, int* second) {
  if (!m_pRecorder) return E_FAIL;
  if (m_nState == grabstate::kTimeShift) return m_pRecorder->GetReplayClock(hour, minute, second);
  if (m_nState != grabstate::kWatchingRecording) return E_FAIL;
  std::int64_t position = 0;
  std::int64_t start = 0;
  std::int64_t elapsed = 0;
  if (FAILED(m_pRecorder->GetReplayPosition(&position)) || FAILED(m_pRecorder->GetRecordTimes(&start, &elapsed))) {
    return E_FAIL;
  }
  const std::time_t at = static_cast<std::time_t>(start + position / 1000);
  std::tm tm{};
  ::localtime_r(&at, &tm);
  if (hour) *hour = tm.tm_hour;
  if (minute) *minute = tm.tm_min;
  if (second) *second = tm.tm_sec;
  return S_OK;
}

HRESULT CGrabber::SetTimeShiftFolder(const char* folder) {
  if (!folder || !EnsureFolder(folder)) return E_FAIL;
  m_outputFolder = folder;
  if (m_pRecorder) return m_pRecorder->SetTimeShiftFolder(JoinPath(m_outputFolder, "SBE").c_str());
  return S_OK;
}

HRESULT CGrabber::GetRemainingRecordTime(const char* folder, int profileIndex, float* minutes) {
  if (!minutes) return E_FAIL;
  EncoderBlock block = m_current.block;
  if (profileIndex >= 0) {
    if (!m_pStore) return E_FAIL;
    int counted = 0;
    bool found = false;
    ProfileEntry entry{};
    for (int i = 0; SUCCEEDED(m_pStore->GetEntry(i, &entry)); ++i) {
      if (std::strcmp(entry.kind, "Record") != 0) continue;
      if (std::strcmp(entry.name, "DivX") == 0 && !m_divx) continue;
      if (counted++ == profileIndex) {
        block = entry.block;
        found = true;
        break;
      }
    }
    if (!found) return E_FAIL;
  }
  *minutes = RemainingRecordMinutes(block, FreeMB(folder && *folder ? std::string(folder) : m_outputFolder));
  return S_OK;
}

void CGrabber::OnFreeSpaceCheck() {
  if (!InState({grabstate::kRecording, grabstate::kWatchingRecording})) return;
  if (FreeMB(m_outputFolder) <= kLowSpaceMB) Notify([](IGrabberEventSink& sink) { sink.OnDiskFull(); });
}

// --- Time-shift source ------------------------------------------------------------

HRESULT CGrabber::OpenTimeShiftSource(const char* open) {
  if (!m_pRecorder) return E_FAIL;
  if (open) {
    // Emptying a folder is only safe where it is certainly ours.
    if (m_nState != grabstate::kIdle || m_outputFolder.empty() || m_outputFolder[0] != '/') return E_FAIL;
    const std::string folder = JoinPath(m_outputFolder, "SBE");
    EmptyFolder(folder);
    if (!EnsureFolder(folder)) return E_FAIL;
    const HRESULT hr = m_pRecorder->OpenTimeShiftSource(1);
    if (SUCCEEDED(hr)) m_nState = grabstate::kSourceRunning;
    return hr;
  }
  if (m_nState != grabstate::kSourceRunning) return E_FAIL;
  const HRESULT hr = m_pRecorder->OpenTimeShiftSource(0);
  m_nState = grabstate::kIdle;
  return hr;
}

HRESULT CGrabber::RecordSource() {
  if (!m_pRecorder || m_nState != grabstate::kSourceRunning) return E_FAIL;
  const std::string file = JoinPath(m_outputFolder, GeneratedName() + Extension(m_current.block));
  const HRESULT hr = m_pRecorder->RecordSource(file.c_str());
  if (SUCCEEDED(hr)) m_nState = grabstate::kSourceRecording;
  return hr;
}

HRESULT CGrabber::PauseSource(int value) {
  if (!m_pRecorder || !InState({grabstate::kSourceRecording, grabstate::kSourceNamedRecording})) return E_FAIL;
  const HRESULT hr = m_pRecorder->PauseSource(value);
  if (SUCCEEDED(hr) && m_nState == grabstate::kSourceRecording) m_nState = grabstate::kSourcePaused;
  return hr;
}

HRESULT CGrabber::ResumeSource() {
  if (!m_pRecorder || !InState({grabstate::kSourcePaused, grabstate::kSourceNamedRecording})) return E_FAIL;
  const HRESULT hr = m_pRecorder->ResumeSource();
  if (SUCCEEDED(hr)) m_nState = grabstate::kSourceRunning;
  return hr;
}

HRESULT CGrabber::RecordSourceNamed(RecordNameBlock name) {
  if (!m_pRecorder || m_nState != grabstate::kSourceRunning) return E_FAIL;
  const std::string extension = ".0000.mpg";
  const std::string base = SafePathComponent(FieldText(name.fileName, sizeof name.fileName));
  const std::string file =
      JoinPath(m_outputFolder, UniqueNamedRecording(m_outputFolder, base, extension, &Exists) + extension);
  m_pRecorder->Tune(name.audioValue);
  const HRESULT hr = m_pRecorder->RecordSourceNamed(file.c_str(), name.startValue);
  if (SUCCEEDED(hr)) m_nState = grabstate::kSourceNamedRecording;
  return hr;
}

HRESULT CGrabber::SeekTo(int step, double value) {
  if (!m_pRecorder) return E_FAIL;
  if (m_nState != grabstate::kSourcePaused && step) return m_pRecorder->SourceSeek(0, value);
  return m_pRecorder->SetSourceRate(step, value);
}

HRESULT CGrabber::SeekTo2(int step, double value) {
  if (!m_pRecorder) return E_FAIL;
  if (m_nState != grabstate::kSourcePaused && step) return m_pRecorder->SourceSeek2(0, value);
  return m_pRecorder->SetSourceRate(step, value);
}

HRESULT CGrabber::ResetPlaybackRate() {
  if (!m_pRecorder || m_nState != grabstate::kSourceRunning) return E_FAIL;
  m_rates[0] = 1.0;
  m_rates[1] = 1.0;
  const HRESULT hr = m_pRecorder->SetSourceRate(0, 1.0);
  m_pRecorder->SourceOp44();
  return hr;
}

// --- Discs ------------------------------------------------------------------------

// The engine has no disc-burning component: both fail.
HRESULT CGrabber::RecordToDisc(int) { return E_FAIL; }
HRESULT CGrabber::PrepareDisc(int) { return E_FAIL; }

HRESULT CGrabber::SetBurnSource(const char* path, int format) {
  if (!m_pRecorder || !path || !HasFolderFor(path)) return E_FAIL;
  std::string file = path;
  if (Exists(file)) {
    const std::size_t slash = file.find_last_of('/');
    const std::size_t dot = file.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && dot > slash + 1;
    const std::string stem = hasExtension ? file.substr(0, dot) : file;
    const std::string extension = hasExtension ? file.substr(dot) : std::string();
    for (int n = 1;; ++n) {
      const std::string candidate = stem + "(" + std::to_string(n) + ")" + extension;
      if (!Exists(candidate)) {
        file = candidate;
        break;
      }
    }
  }
  return m_pRecorder->SaveTeletextPage(file.c_str(), format);
}
