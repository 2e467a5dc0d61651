#include "outside/tovelax/dvd_session.h"

#include <dvdnav/dvdnav.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "outside/tovelax/languages.h"

namespace tovelax {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kStillPoll = std::chrono::milliseconds(40);
constexpr auto kLead = std::chrono::milliseconds(600);
constexpr std::int64_t kTicksPerSecond = 90000;

std::uint32_t UopMask(const user_ops_t& u) {
  const unsigned bits[] = {u.title_or_time_play, u.chapter_search_or_play, u.title_play, u.stop, u.go_up,
                           u.time_or_chapter_search, u.prev_or_top_pg_search, u.next_pg_search, u.forward_scan,
                           u.backward_scan, u.title_menu_call, u.root_menu_call, u.subpic_menu_call,
                           u.audio_menu_call, u.angle_menu_call, u.chapter_menu_call, u.resume,
                           u.button_select_or_activate, u.still_off, u.pause_on, u.audio_stream_change,
                           u.subpic_stream_change, u.angle_change, u.karaoke_audio_pres_mode_change,
                           u.video_pres_mode_change};
  std::uint32_t mask = 0;
  for (std::size_t i = 0; i < std::size(bits); ++i)
    if (bits[i]) mask |= 1u << i;
  return mask;
}

TimeCode FromTicks(std::int64_t ticks, int framesPerSecond) {
  if (ticks < 0) ticks = 0;
  const std::int64_t seconds = ticks / kTicksPerSecond;
  TimeCode t;
  t.hours = static_cast<std::uint8_t>(std::min<std::int64_t>(seconds / 3600, 255));
  t.minutes = static_cast<std::uint8_t>((seconds / 60) % 60);
  t.seconds = static_cast<std::uint8_t>(seconds % 60);
  t.frames = static_cast<std::uint8_t>((ticks % kTicksPerSecond) * framesPerSecond / kTicksPerSecond);
  return t;
}

std::uint32_t MenuUop(std::int32_t kind) {
  switch (kind) {
    case kMenuTitle: return kUopTitleMenu;
    case kMenuRoot: return kUopRootMenu;
    case kMenuSubtitle: return kUopSubtitleMenu;
    case kMenuAudio: return kUopAudioMenu;
    case kMenuAngle: return kUopAngleMenu;
    default: return kUopChapterMenu;
  }
}

}  // namespace

DvdSession::DvdSession(EventQueue& events, FrameHub& frames, const PlayerSettings& settings)
    : events_(events), frames_(frames), settings_(settings) {}

DvdSession::~DvdSession() { Close(); }

HRESULT DvdSession::Open(const std::string& path, bool startPaused) {
  auto info = ReadDiscInfo(path);
  if (!info) return kUnplayable;
  disc_ = *info;
  if (dvdnav_open(&nav_, path.c_str()) != DVDNAV_STATUS_OK) {
    nav_ = nullptr;
    return kUnplayable;
  }
  dvdnav_set_readahead_flag(nav_, 1);
  dvdnav_set_PGC_positioning_flag(nav_, 1);
  const std::string language =
      IsoToLetters(settings_.preferredLanguage ? settings_.preferredLanguage : PreferredIsoCode());
  if (!language.empty()) {
    dvdnav_menu_language_select(nav_, const_cast<char*>(language.c_str()));
    dvdnav_audio_language_select(nav_, const_cast<char*>(language.c_str()));
    dvdnav_spu_language_select(nav_, const_cast<char*>(language.c_str()));
  }
  const int region = settings_.region.region;
  if (region >= 1 && region <= 8) dvdnav_set_region_mask(nav_, 1 << (region - 1));

  PipelineHooks hooks;
  hooks.frame = [this](std::shared_ptr<const VideoFrame> frame) {
    // Chapters start for the client when their first picture is drawn.
    if (auto shown = shown_.Drawn(frame->timestampNs, ShownPosition::Clock::now());
        shown && shown->title > 0 && shown->chapter > 0)
      events_.Push(kEvChapterStart, shown->chapter, 0);
    frames_.Publish(std::move(frame));
  };
  hooks.placed = [this](int mark, std::int64_t pts) { shown_.Place(mark, pts, ShownPosition::Clock::now()); };
  hooks.audioProblem = [this](std::int32_t code, int streamId) { events_.Push(code, streamId, 0); };
  hooks.error = [this](const std::string&) { events_.Push(kEvError, kErrUnexpected, 0); };
  pipeline_ = std::make_unique<DvdPipeline>(std::move(hooks), settings_.discardAudio, settings_.hardwareDecoding);
  if (!pipeline_->Start()) {
    Close();
    return kUnplayable;
  }
  pipeline_->SetColorControls(settings_.color);
  reader_ = std::thread([this] { ReaderLoop(); });

  // A disc that refuses the player's region opens but does not play.
  if (region >= 1 && region <= 8 && (disc_.refusedRegions & (1u << (region - 1)))) {
    regionRefused_ = true;
    events_.Push(kEvError, kErrWrongRegion, static_cast<std::intptr_t>(disc_.refusedRegions));
    return kOk;
  }
  if (!startPaused && settings_.autoPlay) SetRun(Run::kPlaying);
  return kOk;
}

void DvdSession::Close() {
  SetRun(Run::kQuit);
  if (pipeline_) pipeline_->Halt();  // unblocks a reader waiting in Push
  if (reader_.joinable()) reader_.join();
  if (pipeline_) pipeline_->Shutdown();
  pipeline_.reset();
  std::lock_guard lock(navMutex_);
  if (nav_) dvdnav_close(nav_);
  nav_ = nullptr;
}

void DvdSession::SetRun(Run run) {
  {
    std::lock_guard lock(runMutex_);
    if (run_ == Run::kQuit) return;
    run_ = run;
  }
  runChanged_.notify_all();
}

void DvdSession::Wake() {
  {
    std::lock_guard lock(runMutex_);
    nudged_ = true;
  }
  runChanged_.notify_all();
}

bool DvdSession::Prohibited(std::uint32_t uop) { return (uops_ & uop) != 0; }

// ---------------------------------------------------------------------------
// Reading thread.

void DvdSession::ReaderLoop() {
  alignas(16) std::uint8_t block[DVD_VIDEO_LB_LEN];
  for (;;) {
    {
      std::unique_lock lock(runMutex_);
      runChanged_.wait(lock, [&] { return run_ == Run::kPlaying || run_ == Run::kQuit; });
      if (run_ == Run::kQuit) return;
    }
    std::vector<GstStructure*> spuEvents;
    bool flush = false;
    bool stopped = false;
    int still = -1;
    std::size_t length = 0;
    std::int64_t paceTicks = -1;
    GstStructure* highlight = nullptr;
    bool spuRestarted = false;
    {
      std::lock_guard lock(navMutex_);
      int event = DVDNAV_NOP;
      int size = 0;
      if (dvdnav_get_next_block(nav_, block, &event, &size) != DVDNAV_STATUS_OK) {
        events_.Push(kEvStopped, 0, 0);
        stopped = true;
      } else {
        length = HandleBlock(event, block, size, &spuEvents, &flush, &still);
        // Each unit handed on is marked, for the picture to tell when it shows it.
        if (event == DVDNAV_NAV_PACKET && length > 0) pushMark_ = shown_.Enter(readerAt_);
        stopped = event == DVDNAV_STOP;
        if (event == DVDNAV_NAV_PACKET && length > 0 && domain_ == kDomainTitle && speed_ == kNormalSpeed)
          paceTicks = currentTicks_;
        // The outline of the selected button: told to the overlay when the
        // button or its unit's button table changes, when a still picture
        // begins, and again after the overlay's sub-picture input started
        // over (which clears it).
        const std::uint64_t spuBuffers = pipeline_->SubpictureBuffers();
        spuRestarted = spuBuffers != spuBuffersSeen_;
        spuBuffersSeen_ = spuBuffers;
        const bool rehighlight = spuRestarted && sentHighlight_.button != 0;
        if (rehighlight || event == DVDNAV_HIGHLIGHT || event == DVDNAV_NAV_PACKET || stillActive_ != stillSent_) {
          const Highlight now = HighlightNowLocked();
          if (rehighlight || stillActive_ != stillSent_ || now != sentHighlight_) {
            sentHighlight_ = now;
            highlight = HighlightEvent(now);
          }
        }
      }
    }
    if (stopped) SetRun(Run::kStopped);
    if (flush) {
      pipeline_->Flush();
      shown_.Flushed(pushMark_);
    }
    if (flush || still >= 0) paceReset_ = true;
    for (GstStructure* structure : spuEvents) pipeline_->SendSpuEvent(structure);
    // The overlay forgets the still state and which pictures to show when
    // its sub-picture input starts again: both are told again.
    if (spuRestarted) pipeline_->RestateSubpicture();
    if (stillActive_ != stillSent_ || (spuRestarted && stillSent_)) {  // only this thread changes either
      stillSent_ = stillActive_;
      pipeline_->SetStill(stillSent_);
    }
    if (highlight) pipeline_->SendSpuEvent(highlight, true);
    if (length > 0) pipeline_->Push(block, length, std::exchange(pushMark_, 0));
    if (still >= 0) {
      std::unique_lock lock(runMutex_);
      runChanged_.wait_for(lock, kStillPoll, [&] { return std::exchange(nudged_, false) || run_ != Run::kPlaying; });
    }
    if (paceTicks >= 0) Pace(paceTicks);
  }
}

// Keeps reading at most kLead ahead of real time, so that the pipeline is fed
// just in time and the client hears of chapters and times as they are shown.
void DvdSession::Pace(std::int64_t ticks) {
  const auto now = Clock::now();
  if (paceReset_.exchange(false) || ticks < paceLastTicks_ || ticks - paceLastTicks_ > 2 * kTicksPerSecond) {
    paceOrigin_ = now;
    paceBase_ = ticks;
  }
  paceLastTicks_ = ticks;
  const auto due = paceOrigin_ + std::chrono::microseconds((ticks - paceBase_) * 1000000 / kTicksPerSecond) - kLead;
  if (due <= now) return;
  std::unique_lock lock(runMutex_);
  runChanged_.wait_until(lock, due, [&] { return std::exchange(nudged_, false) || run_ != Run::kPlaying; });
}

std::size_t DvdSession::HandleBlock(int event, std::uint8_t* block, int length,
                                    std::vector<GstStructure*>* spuEvents, bool* flush, int* still) {
  switch (event) {
    case DVDNAV_BLOCK_OK:
      stillActive_ = false;
      return static_cast<std::size_t>(length);
    case DVDNAV_NAV_PACKET: {
      stillActive_ = false;
      if (NoteNavPacket(flush)) return 0;  // a scan or resume jump replaced this unit
      return static_cast<std::size_t>(length);
    }
    case DVDNAV_STILL_FRAME: {
      const auto* still_event = reinterpret_cast<const dvdnav_still_event_t*>(block);
      if (!stillActive_) {
        stillActive_ = true;
        stillStart_ = Clock::now();
      }
      const auto elapsed = Clock::now() - stillStart_;
      if (still_event->length != 0xff && elapsed >= std::chrono::seconds(still_event->length)) {
        dvdnav_still_skip(nav_);
        stillActive_ = false;
      } else {
        *still = still_event->length;
      }
      return 0;
    }
    case DVDNAV_WAIT:
      dvdnav_wait_skip(nav_);
      return 0;
    case DVDNAV_SPU_CLUT_CHANGE: {
      std::memcpy(clut_, block, sizeof clut_);
      GstStructure* s = gst_structure_new("application/x-gst-dvd", "event", G_TYPE_STRING,
                                          "dvd-spu-clut-change", nullptr);
      for (int i = 0; i < 16; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "clut%02d", i);
        gst_structure_set(s, name, G_TYPE_INT, static_cast<gint>(clut_[i]), nullptr);
      }
      spuEvents->push_back(s);
      return 0;
    }
    case DVDNAV_SPU_STREAM_CHANGE: {
      const auto* change = reinterpret_cast<const dvdnav_spu_stream_change_event_t*>(block);
      NoteStreams(change->physical_pan_scan);
      return 0;
    }
    case DVDNAV_AUDIO_STREAM_CHANGE:
      NoteStreams(-1);
      return 0;
    case DVDNAV_HIGHLIGHT:  // the reading loop tells the overlay
      return 0;
    case DVDNAV_VTS_CHANGE:
      RefreshDomain();
      return 0;
    case DVDNAV_CELL_CHANGE:
      NoteCell();
      return 0;
    case DVDNAV_HOP_CHANNEL:
      *flush = true;
      lastSecond_ = -1;
      return 0;
    case DVDNAV_STOP:
      events_.Push(kEvComplete, 0, 0);
      domain_ = kDomainStopped;
      return 0;
    default:
      return 0;
  }
}

void DvdSession::RefreshDomain() {
  std::int32_t domain = kDomainStopped;
  if (dvdnav_is_domain_fp(nav_)) domain = kDomainFirstPlay;
  else if (dvdnav_is_domain_vmgm(nav_)) domain = kDomainDiscMenu;
  else if (dvdnav_is_domain_vtsm(nav_)) domain = kDomainTitleSetMenu;
  else if (dvdnav_is_domain_vts(nav_)) domain = kDomainTitle;
  if (domain == domain_) return;
  domain_ = domain;
  events_.Push(kEvDomainChange, domain, 0);
}

void DvdSession::NoteCell() {
  RefreshDomain();
  std::int32_t title = 0, part = 0;
  if (dvdnav_current_title_info(nav_, &title, &part) != DVDNAV_STATUS_OK) return;
  if (domain_ != kDomainTitle) title = part = 0;
  if (title != title_) {
    title_ = title;
    chapter_ = 0;
    if (title != restoreTitle_) {
      audioChoice_ = -1;
      subtitleChoice_ = -1;
    }
    events_.Push(kEvTitleChange, title, 0);
    NoteStreams(-1);
  }
  // The chapter starts for the client when the picture gets there.
  if (title > 0) chapter_ = part;
  readerAt_.title = title;
  readerAt_.chapter = title > 0 ? part : 0;
  std::int32_t current = 0, count = 0;
  if (dvdnav_get_angle_info(nav_, &current, &count) == DVDNAV_STATUS_OK &&
      (count != angleCount_ || current != angle_)) {
    angleCount_ = count;
    angle_ = current;
    events_.Push(kEvAngleChange, count, current);
  }
}

bool DvdSession::NoteNavPacket(bool* flush) {
  if (pci_t* pci = dvdnav_get_current_nav_pci(nav_)) {
    const std::int32_t count = (pci->hli.hl_gi.hli_ss & 3) ? (pci->hli.hl_gi.btn_ns & 0x3f) : 0;
    std::int32_t selected = 0;
    dvdnav_get_current_highlight(nav_, &selected);
    if (count != buttons_) {
      buttons_ = count;
      selectedButton_ = selected;
      events_.Push(kEvButtonChange, count, selected);
    }
    selectedButton_ = selected;
  }
  const std::uint32_t uops = UopMask(dvdnav_get_restrictions(nav_));
  if (uops != uops_) {
    uops_ = uops;
    events_.Push(kEvValidOpsChange, static_cast<std::intptr_t>(uops), 0);
  }

  // A resume position waits for the first unit of its title.
  if (restoreSector_ >= 0 && domain_ == kDomainTitle && title_ == restoreTitle_) {
    const auto sector = static_cast<std::int64_t>(restoreSector_);
    restoreSector_ = -1;
    restoreTitle_ = 0;
    if (sector > 0 && dvdnav_sector_search(nav_, sector, SEEK_SET) == DVDNAV_STATUS_OK) {
      *flush = true;
      lastSecond_ = -1;
      return true;
    }
  }

  const std::int64_t ticks = dvdnav_get_current_time(nav_);
  currentTicks_ = ticks;
  std::uint32_t unit = 0, units = 0;
  readerAt_.sector = dvdnav_get_position(nav_, &unit, &units) == DVDNAV_STATUS_OK ? unit : -1;
  readerAt_.ticks = ticks;
  if (domain_ == kDomainTitle && ticks / kTicksPerSecond != lastSecond_) {
    lastSecond_ = ticks / kTicksPerSecond;
    events_.PushTime(FromTicks(ticks, FramesPerSecond()));
  }

  // Scanning: show one unit, then jump ahead (or back) by `speed` units.
  const std::int32_t speed = speed_;
  if (speed != kNormalSpeed && domain_ == kDomainTitle) {
    if (!scanShown_) {
      scanShown_ = true;
      return false;
    }
    scanShown_ = false;
    dsi_t* dsi = dvdnav_get_current_nav_dsi(nav_);
    const std::int64_t unit = dsi ? std::max<std::int64_t>(1, dsi->dsi_gi.vobu_ea) : 64;
    const std::int64_t factor = std::max<std::int64_t>(1, speed / kNormalSpeed);
    const std::int64_t offset = scanBackward_ ? -unit * (factor + 1) : unit * (factor - 1);
    std::uint32_t position = 0, length = 0;
    dvdnav_get_position(nav_, &position, &length);
    const std::int64_t target = static_cast<std::int64_t>(position) + offset;
    if (offset != 0 && (target < 0 || dvdnav_sector_search(nav_, target, SEEK_SET) != DVDNAV_STATUS_OK)) {
      // Reached the start of the title: back to normal speed.
      speed_ = kNormalSpeed;
      pipeline_->SetAudioMuted(false);
      events_.Push(kEvRateChange, kNormalSpeed, 0);
      return false;
    }
    *flush = offset != 0;
    return offset != 0;
  }
  return false;
}

int DvdSession::FramesPerSecond() {
  std::uint32_t width = 0, height = 0;
  dvdnav_get_video_resolution(nav_, &width, &height);
  return height == 480 ? 30 : 25;
}

int DvdSession::AudioStreamIdLocked(int logical) {
  if (logical < 0) logical = 0;
  int physical = dvdnav_get_audio_logical_stream(nav_, static_cast<std::uint8_t>(logical));
  if (physical < 0) physical = logical;
  switch (dvdnav_audio_stream_format(nav_, static_cast<std::uint8_t>(logical))) {
    case DVD_AUDIO_FORMAT_DTS: return 0x88 + (physical & 7);
    case DVD_AUDIO_FORMAT_LPCM: return 0xa0 + (physical & 7);
    case DVD_AUDIO_FORMAT_MPEG:
    case DVD_AUDIO_FORMAT_MPEG2_EXT: return 0xc0 + (physical & 7);
    default: return 0x80 + (physical & 7);
  }
}

void DvdSession::NoteStreams(int menuSpuPhysical) {
  const int activeAudio = dvdnav_get_active_audio_stream(nav_);
  const std::int32_t audio = audioChoice_ >= 0 ? audioChoice_ : std::max(activeAudio, 0);
  if (audio != currentAudio_ || audioStreamId_ < 0) {
    currentAudio_ = audio;
    events_.Push(kEvAudioStreamChange, audio, 0);
  }
  audioStreamId_ = AudioStreamIdLocked(audio);
  pipeline_->SelectAudio(audioStreamId_);

  int subtitle = subtitleChoice_;
  if (subtitle < 0) {
    const int active = dvdnav_get_active_spu_stream(nav_);
    subtitle = active >= 0 ? (active & 0x1f) : 0;
    if (subtitleChoice_ < 0 && !subtitleUserSet_) subtitleOn_ = active >= 0 && !(active & 0x80);
  }
  if (subtitle != currentSubtitle_) {
    currentSubtitle_ = subtitle;
    events_.Push(kEvSubtitleStreamChange, subtitle, 0);
  }
  if (domain_ == kDomainTitle) {
    int physical = dvdnav_get_spu_logical_stream(nav_, static_cast<std::uint8_t>(subtitle));
    pipeline_->SelectSubpicture(physical >= 0 ? physical : subtitle, subtitleOn_);
  } else {
    // Menus: their highlights are forced pictures of the menu's stream.
    pipeline_->SelectSubpicture(menuSpuPhysical >= 0 ? menuSpuPhysical : 0, false);
  }
}

DvdSession::Highlight DvdSession::HighlightNowLocked() {
  Highlight highlight;
  pci_t* pci = dvdnav_get_current_nav_pci(nav_);
  std::int32_t button = 0;
  dvdnav_get_current_highlight(nav_, &button);
  selectedButton_ = button;
  const bool hasButtons = pci && (pci->hli.hl_gi.hli_ss & 3) != 0 && (pci->hli.hl_gi.btn_ns & 0x3f) > 0;
  dvdnav_highlight_area_t area{};
  if (hasButtons && button > 0 && dvdnav_get_highlight_area(pci, button, 0, &area) == DVDNAV_STATUS_OK) {
    highlight.button = button;
    highlight.palette = area.palette;
    highlight.sx = static_cast<std::int32_t>(area.sx);
    highlight.sy = static_cast<std::int32_t>(area.sy);
    highlight.ex = static_cast<std::int32_t>(area.ex);
    highlight.ey = static_cast<std::int32_t>(area.ey);
  }
  return highlight;
}

GstStructure* DvdSession::HighlightEvent(const Highlight& h) {
  if (h.button == 0)
    return gst_structure_new("application/x-gst-dvd", "event", G_TYPE_STRING, "dvd-spu-reset-highlight", nullptr);
  return gst_structure_new("application/x-gst-dvd", "event", G_TYPE_STRING, "dvd-spu-highlight", "button", G_TYPE_INT,
                           h.button, "palette", G_TYPE_INT, static_cast<gint>(h.palette), "sx", G_TYPE_INT, h.sx,
                           "sy", G_TYPE_INT, h.sy, "ex", G_TYPE_INT, h.ex, "ey", G_TYPE_INT, h.ey, nullptr);
}

// ---------------------------------------------------------------------------
// Transport.

HRESULT DvdSession::AfterJump(int status) {
  Wake();
  return status == DVDNAV_STATUS_OK ? kOk : kFail;
}

HRESULT DvdSession::JumpTo(std::int32_t title, std::int32_t chapter, int status) {
  if (status == DVDNAV_STATUS_OK) shown_.Jumped(title, chapter);
  return AfterJump(status);
}

HRESULT DvdSession::SetRegion(const RegionRecord& record) {
  settings_.region = record;
  const int region = record.region;
  const bool refused = region >= 1 && region <= 8 && (disc_.refusedRegions & (1u << (region - 1)));
  if (refused) return kWrongRegion;
  if (region >= 1 && region <= 8) {
    std::lock_guard lock(navMutex_);
    if (nav_) dvdnav_set_region_mask(nav_, 1 << (region - 1));
  }
  regionRefused_ = false;
  return kOk;
}

HRESULT DvdSession::Play() {
  if (regionRefused_) return kWrongRegion;
  Run run;
  {
    std::lock_guard lock(runMutex_);
    run = run_;
  }
  if (run == Run::kPaused) return Resume();
  if (run == Run::kStopped) {
    std::lock_guard lock(navMutex_);
    const int title = lastTitle_ > 0 ? lastTitle_ : 1;
    if (dvdnav_title_play(nav_, title) != DVDNAV_STATUS_OK) dvdnav_reset(nav_);
  }
  pipeline_->SetPaused(false);
  SetRun(Run::kPlaying);
  return kOk;
}

HRESULT DvdSession::Pause() {
  {
    std::lock_guard lock(navMutex_);
    if (Prohibited(kUopPauseOn)) return kProhibited;
  }
  {
    std::lock_guard lock(runMutex_);
    if (run_ != Run::kPlaying) return kFail;
  }
  SetRun(Run::kPaused);
  pipeline_->SetPaused(true);
  return kOk;
}

HRESULT DvdSession::Resume() {
  {
    std::lock_guard lock(runMutex_);
    if (run_ != Run::kPaused) return kFail;
  }
  paceReset_ = true;
  pipeline_->SetPaused(false);
  SetRun(Run::kPlaying);
  return kOk;
}

HRESULT DvdSession::Stop() {
  {
    std::lock_guard lock(navMutex_);
    if (title_ > 0) lastTitle_ = title_;
    domain_ = kDomainStopped;
    title_ = 0;
    chapter_ = 0;
  }
  SetRun(Run::kStopped);
  shown_.Reset();
  pipeline_->Flush();
  pipeline_->SetPaused(false);
  events_.Push(kEvDomainChange, kDomainStopped, 0);
  return kOk;
}

HRESULT DvdSession::NextChapter() {
  std::lock_guard lock(navMutex_);
  if (Prohibited(kUopNextChapter)) return kProhibited;
  // The next chapter counts from the one on the picture (or the one a jump
  // is on its way to), not from where the reader is: it runs ahead of the
  // picture by what the pipeline holds. Past the title's last chapter there
  // is none: the caller ends playback.
  const DiscPlace from = shown_.Current();
  std::int32_t parts = 0;
  const bool known = from.title > 0 && from.chapter > 0 &&
                     dvdnav_get_number_of_parts(nav_, from.title, &parts) == DVDNAV_STATUS_OK && parts > 0;
  if (known && from.chapter >= parts) return kTrackAtEnd;
  if (domain_ != kDomainTitle) return kProhibited;
  if (known) return JumpTo(from.title, from.chapter + 1, dvdnav_part_play(nav_, from.title, from.chapter + 1));
  return AfterJump(dvdnav_next_pg_search(nav_));
}

HRESULT DvdSession::PrevChapter() {
  std::lock_guard lock(navMutex_);
  if (domain_ != kDomainTitle || Prohibited(kUopPrevOrTopChapter)) return kProhibited;
  const DiscPlace from = shown_.Current();
  if (from.title > 0 && from.chapter > 1)
    return JumpTo(from.title, from.chapter - 1, dvdnav_part_play(nav_, from.title, from.chapter - 1));
  return AfterJump(dvdnav_prev_pg_search(nav_));
}

HRESULT DvdSession::Scan(std::int32_t speed, bool backward) {
  if (speed <= 0) return kInvalidArg;
  {
    std::lock_guard lock(navMutex_);
    if (speed != kNormalSpeed || backward) {
      if (domain_ != kDomainTitle) return kProhibited;
      if (Prohibited(backward ? kUopBackwardScan : kUopForwardScan)) return kProhibited;
    }
    scanBackward_ = backward && speed != kNormalSpeed;
    scanShown_ = false;
    // Backward at normal speed still scans (one unit back per unit shown).
    speed_ = backward ? std::max(speed, kNormalSpeed + 1) : speed;
    if (backward && speed == kNormalSpeed) scanBackward_ = true;
  }
  pipeline_->SetAudioMuted(speed_ != kNormalSpeed);
  events_.Push(kEvRateChange, speed_, 0);
  Wake();
  return kOk;
}

HRESULT DvdSession::PlayTitle(std::int32_t title) {
  std::lock_guard lock(navMutex_);
  std::int32_t titles = 0;
  dvdnav_get_number_of_titles(nav_, &titles);
  if (title < 1 || title > titles) return kInvalidArg;
  if (Prohibited(kUopTitlePlay)) return kProhibited;
  const HRESULT hr = JumpTo(title, 1, dvdnav_title_play(nav_, title));
  if (hr == kOk) SetRunIfStopped();
  return hr;
}

HRESULT DvdSession::PlayChapter(std::int32_t chapter) {
  std::lock_guard lock(navMutex_);
  if (domain_ != kDomainTitle || title_ < 1) return kProhibited;
  std::int32_t parts = 0;
  dvdnav_get_number_of_parts(nav_, title_, &parts);
  if (chapter < 1 || chapter > parts) return kInvalidArg;
  if (Prohibited(kUopChapterPlayOrSearch)) return kProhibited;
  return JumpTo(title_, chapter, dvdnav_part_play(nav_, title_, chapter));
}

HRESULT DvdSession::SelectByNumber(std::int32_t number) {
  std::int32_t domain;
  {
    std::lock_guard lock(navMutex_);
    domain = domain_;
    if (domain == kDomainDiscMenu || domain == kDomainTitleSetMenu) {
      pci_t* pci = dvdnav_get_current_nav_pci(nav_);
      if (!pci || number < 1 || number > buttons_) return kInvalidArg;
      return AfterJump(dvdnav_button_select_and_activate(nav_, pci, number));
    }
  }
  return domain == kDomainTitle ? PlayChapter(number) : PlayTitle(number);
}

HRESULT DvdSession::NumberRange(std::int32_t* lowest, std::int32_t* highest) {
  std::lock_guard lock(navMutex_);
  std::int32_t count = 0;
  if (domain_ == kDomainTitle) dvdnav_get_number_of_parts(nav_, title_, &count);
  else if (domain_ == kDomainDiscMenu || domain_ == kDomainTitleSetMenu) count = std::max(buttons_, 0);
  else dvdnav_get_number_of_titles(nav_, &count);
  *lowest = count > 0 ? 1 : 0;
  *highest = count;
  return kOk;
}

void DvdSession::SetRunIfStopped() {
  bool start = false;
  {
    std::lock_guard lock(runMutex_);
    start = run_ == Run::kStopped || run_ == Run::kIdle;
    if (start) run_ = Run::kPlaying;
  }
  if (start) runChanged_.notify_all();
}

HRESULT DvdSession::ShowMenu(std::int32_t kind) {
  if (kind < kMenuTitle || kind > kMenuChapter) return kInvalidArg;
  std::lock_guard lock(navMutex_);
  if (Prohibited(MenuUop(kind))) return kProhibited;
  const HRESULT hr = JumpTo(0, 0, dvdnav_menu_call(nav_, static_cast<DVDMenuID_t>(kind)));
  if (hr == kOk) SetRunIfStopped();
  return hr;
}

HRESULT DvdSession::ReturnFromMenu() {
  std::lock_guard lock(navMutex_);
  if (domain_ != kDomainDiscMenu && domain_ != kDomainTitleSetMenu) return kProhibited;
  if (Prohibited(kUopResume)) return kProhibited;
  return AfterJump(dvdnav_menu_call(nav_, DVD_MENU_Escape));
}

HRESULT DvdSession::MoveButton(Move move) {
  std::lock_guard lock(navMutex_);
  pci_t* pci = dvdnav_get_current_nav_pci(nav_);
  if (!pci || buttons_ <= 0) return kProhibited;
  if (Prohibited(kUopButtonSelectOrActivate)) return kProhibited;
  int status = DVDNAV_STATUS_ERR;
  switch (move) {
    case Move::kUp: status = dvdnav_upper_button_select(nav_, pci); break;
    case Move::kDown: status = dvdnav_lower_button_select(nav_, pci); break;
    case Move::kLeft: status = dvdnav_left_button_select(nav_, pci); break;
    case Move::kRight: status = dvdnav_right_button_select(nav_, pci); break;
  }
  return AfterJump(status);
}

HRESULT DvdSession::ActivateButton() {
  std::lock_guard lock(navMutex_);
  pci_t* pci = dvdnav_get_current_nav_pci(nav_);
  if (!pci || buttons_ <= 0) return kProhibited;
  if (Prohibited(kUopButtonSelectOrActivate)) return kProhibited;
  return AfterJump(dvdnav_button_activate(nav_, pci));
}

HRESULT DvdSession::ButtonAtPoint(std::int32_t x, std::int32_t y, bool activate) {
  std::lock_guard lock(navMutex_);
  pci_t* pci = dvdnav_get_current_nav_pci(nav_);
  if (!pci || buttons_ <= 0) return kFail;
  const int status = activate ? dvdnav_mouse_activate(nav_, pci, x, y) : dvdnav_mouse_select(nav_, pci, x, y);
  return AfterJump(status);
}

HRESULT DvdSession::SelectAngle(std::int32_t angle) {
  std::lock_guard lock(navMutex_);
  if (domain_ != kDomainTitle || Prohibited(kUopAngleChange)) return kProhibited;
  if (angle < 1 || angle > std::max(angleCount_, 1)) return kInvalidArg;
  return AfterJump(dvdnav_angle_change(nav_, angle));
}

HRESULT DvdSession::SelectAudio(std::int32_t stream) {
  std::lock_guard lock(navMutex_);
  if (domain_ != kDomainTitle || Prohibited(kUopAudioStreamChange)) return kProhibited;
  if (stream < 0 || stream > 7 || dvdnav_get_audio_logical_stream(nav_, static_cast<std::uint8_t>(stream)) < 0)
    return kInvalidArg;
  audioChoice_ = stream;
  NoteStreams(-1);
  return kOk;
}

HRESULT DvdSession::SelectSubtitle(std::int32_t stream) {
  std::lock_guard lock(navMutex_);
  if (domain_ != kDomainTitle || Prohibited(kUopSubtitleStreamChange)) return kProhibited;
  if (stream < 0 || stream > 31 || dvdnav_get_spu_logical_stream(nav_, static_cast<std::uint8_t>(stream)) < 0)
    return kInvalidArg;
  subtitleChoice_ = stream;
  NoteStreams(-1);
  return kOk;
}

HRESULT DvdSession::SetSubtitleDisplay(bool on) {
  std::lock_guard lock(navMutex_);
  if (Prohibited(kUopSubtitleStreamChange)) return kProhibited;
  subtitleOn_ = on;
  subtitleUserSet_ = true;
  if (subtitleChoice_ < 0) subtitleChoice_ = currentSubtitle_;
  NoteStreams(-1);
  events_.Push(kEvSubtitleStreamChange, currentSubtitle_, 0);
  return kOk;
}

HRESULT DvdSession::AnswerParentalChange(std::uint32_t answer) {
  std::lock_guard lock(navMutex_);
  parentalAnswer_ = answer;
  return kOk;
}

void DvdSession::SetColor(const ColorControls& color) {
  settings_.color = color;
  if (pipeline_) pipeline_->SetColorControls(color);
}

void DvdSession::SetParentalLevel(std::int32_t level) { settings_.parentalLevel = level; }

// ---------------------------------------------------------------------------
// Information.

HRESULT DvdSession::CurrentAudio(std::int32_t* count, std::int32_t* current) {
  std::lock_guard lock(navMutex_);
  std::int32_t n = 0;
  for (std::uint8_t i = 0; i < 8; ++i)
    if (dvdnav_get_audio_logical_stream(nav_, i) >= 0) ++n;
  *count = n;
  *current = currentAudio_;
  return kOk;
}

HRESULT DvdSession::AudioAttributesOf(std::int32_t stream, AudioAttributes* out) {
  std::lock_guard lock(navMutex_);
  if (stream < 0 || stream > 7 || dvdnav_get_audio_logical_stream(nav_, static_cast<std::uint8_t>(stream)) < 0)
    return kInvalidArg;
  audio_attr_t attr{};
  if (dvdnav_get_audio_attr(nav_, static_cast<std::uint8_t>(stream), &attr) != DVDNAV_STATUS_OK) return kFail;
  *out = {};
  out->format = attr.audio_format;
  out->channels = attr.channels + 1u;
  out->sampleRate = attr.sample_frequency ? 96000 : 48000;
  out->isoCode = attr.lang_code;
  out->language = LanguageIdFromIso(attr.lang_code);
  out->physicalStream = static_cast<std::uint32_t>(dvdnav_get_audio_logical_stream(nav_, static_cast<std::uint8_t>(stream)));
  switch (attr.audio_format) {
    case kAudioAc3: out->decodable = MissingElements({"a52dec"}).empty() || MissingElements({"avdec_ac3"}).empty(); break;
    case kAudioDts: out->decodable = MissingElements({"dtsdec"}).empty() || MissingElements({"avdec_dca"}).empty(); break;
    case kAudioLpcm: out->decodable = MissingElements({"dvdlpcmdec"}).empty(); break;
    case kAudioMpeg1:
    case kAudioMpeg2:
      out->decodable = MissingElements({"mpg123audiodec"}).empty() || MissingElements({"avdec_mp2float"}).empty();
      break;
    default: out->decodable = 0;
  }
  return kOk;
}

HRESULT DvdSession::SubtitleState(std::int32_t* count, std::int32_t* current, std::int32_t* disabled) {
  std::lock_guard lock(navMutex_);
  std::int32_t n = 0;
  for (std::uint8_t i = 0; i < 32; ++i)
    if (dvdnav_get_spu_logical_stream(nav_, i) >= 0) n = i + 1;
  *count = n;
  *current = currentSubtitle_;
  *disabled = subtitleOn_ ? 0 : 1;
  return kOk;
}

bool DvdSession::SubtitleEnabled(std::int32_t stream) {
  std::lock_guard lock(navMutex_);
  return stream >= 0 && stream < 32 && dvdnav_get_spu_logical_stream(nav_, static_cast<std::uint8_t>(stream)) >= 0;
}

HRESULT DvdSession::SubtitleAttributesOf(std::int32_t stream, SubtitleAttributes* out) {
  std::lock_guard lock(navMutex_);
  if (stream < 0 || stream > 31) return kInvalidArg;
  const int physical = dvdnav_get_spu_logical_stream(nav_, static_cast<std::uint8_t>(stream));
  if (physical < 0) return kInvalidArg;
  subp_attr_t attr{};
  if (dvdnav_get_spu_attr(nav_, static_cast<std::uint8_t>(stream), &attr) != DVDNAV_STATUS_OK) return kFail;
  *out = {};
  out->coding = attr.code_mode;
  out->type = attr.type;
  out->isoCode = attr.lang_code;
  out->language = LanguageIdFromIso(attr.lang_code);
  out->physicalStream = static_cast<std::uint32_t>(physical);
  return kOk;
}

HRESULT DvdSession::VideoAttributesNow(VideoAttributes* out) {
  std::lock_guard lock(navMutex_);
  std::uint32_t width = 0, height = 0;
  if (dvdnav_get_video_resolution(nav_, &width, &height) != DVDNAV_STATUS_OK || width == 0) return kFail;
  *out = {};
  out->compression = 2;
  out->lineStandard = height == 480 ? 1 : 2;
  out->frameRate = height == 480 ? 30 : 25;
  const bool wide = dvdnav_get_video_aspect(nav_) == 3;
  out->aspectX = wide ? 16 : 4;
  out->aspectY = wide ? 9 : 3;
  const std::uint8_t permission = dvdnav_get_video_scale_permission(nav_);
  out->panScanPermitted = (permission & 1) ? 0 : 1;
  out->letterboxPermitted = (permission & 2) ? 0 : 1;
  out->width = width;
  out->height = height;
  return kOk;
}

HRESULT DvdSession::TitleTime(TitleTimeRecord* out) {
  std::lock_guard lock(navMutex_);
  if (title_ < 1) return kProhibited;
  std::uint64_t* times = nullptr;
  std::uint64_t duration = 0;
  const std::uint32_t chapters = dvdnav_describe_title_chapters(nav_, title_, &times, &duration);
  std::free(times);
  if (chapters == 0) return kFail;
  out->title = static_cast<std::uint32_t>(title_);
  out->chapters = chapters;
  out->framesPerSecond = static_cast<std::uint32_t>(FramesPerSecond());
  out->totalTime = PackTime(FromTicks(static_cast<std::int64_t>(duration), FramesPerSecond()));
  return kOk;
}

std::uint32_t DvdSession::CurrentTime() {
  std::lock_guard lock(navMutex_);
  return PackTime(FromTicks(currentTicks_, FramesPerSecond()));
}

std::int32_t DvdSession::Domain() {
  std::lock_guard lock(navMutex_);
  return domain_;
}

void DvdSession::TitleChapter(std::int32_t* title, std::int32_t* chapter) {
  const DiscPlace now = shown_.Current();
  *title = now.title;
  *chapter = now.chapter;
}

std::uint32_t DvdSession::ProhibitedOps() {
  std::lock_guard lock(navMutex_);
  return uops_;
}

void DvdSession::Buttons(std::int32_t* count, std::int32_t* selected) {
  std::lock_guard lock(navMutex_);
  std::int32_t button = 0;
  if (dvdnav_get_current_highlight(nav_, &button) == DVDNAV_STATUS_OK) selectedButton_ = button;
  *count = std::max(buttons_, 0);
  *selected = selectedButton_;
}

void DvdSession::Angles(std::int32_t* count, std::int32_t* current) {
  std::lock_guard lock(navMutex_);
  *count = angleCount_;
  *current = angle_;
}

std::int32_t DvdSession::TitleCount() {
  std::lock_guard lock(navMutex_);
  std::int32_t titles = 0;
  dvdnav_get_number_of_titles(nav_, &titles);
  return titles;
}

std::int32_t DvdSession::ChapterCount() {
  std::lock_guard lock(navMutex_);
  std::int32_t parts = 0;
  if (title_ > 0) dvdnav_get_number_of_parts(nav_, title_, &parts);
  return parts;
}

std::uint32_t DvdSession::TitleParentalLevels(std::int32_t title) { return TitleParentalMask(disc_, title); }

ResumeRecord DvdSession::Position() {
  std::lock_guard lock(navMutex_);
  ResumeRecord record;
  std::memcpy(record.discId, disc_.id.data(), 16);
  // The place on the picture, not the reader's, which runs ahead of it; a
  // chapter jump on its way counts from the start of that chapter.
  DiscPlace place = shown_.Shown();
  if (const auto jump = shown_.PendingJump(); jump && jump->title > 0 && jump->chapter > 0) {
    place = *jump;
    place.sector = 0;
    std::uint64_t* times = nullptr;
    std::uint64_t duration = 0;
    const std::uint32_t chapters = dvdnav_describe_title_chapters(nav_, jump->title, &times, &duration);
    // The table holds each chapter's end: the one before is this one's start.
    if (times && jump->chapter >= 2 && static_cast<std::uint32_t>(jump->chapter) <= chapters)
      place.ticks = static_cast<std::int64_t>(times[jump->chapter - 2]);
    std::free(times);
  } else if (place.title < 1 || place.sector < 0) {
    if (domain_ != kDomainTitle || title_ < 1) return record;
    std::uint32_t position = 0, length = 0;
    dvdnav_get_position(nav_, &position, &length);
    place = {title_, chapter_, position, currentTicks_};
  }
  record.valid = 1;
  record.title = static_cast<std::uint32_t>(place.title);
  record.chapter = static_cast<std::uint32_t>(std::max(place.chapter, 1));
  record.time = PackTime(FromTicks(place.ticks, FramesPerSecond()));
  record.sector = static_cast<std::uint32_t>(std::max<std::int64_t>(place.sector, 0));
  record.audioStream = static_cast<std::uint32_t>(currentAudio_);
  record.subtitleStream = static_cast<std::uint32_t>(currentSubtitle_);
  record.subtitleOn = subtitleOn_ ? 1 : 0;
  record.angle = static_cast<std::uint32_t>(std::max(angle_, 1));
  return record;
}

HRESULT DvdSession::PlayFrom(const ResumeRecord& record) {
  if (!record.valid || record.title < 1) return kInvalidArg;
  {
    std::lock_guard lock(navMutex_);
    std::int32_t titles = 0;
    dvdnav_get_number_of_titles(nav_, &titles);
    if (static_cast<std::int32_t>(record.title) > titles) return kInvalidArg;
    restoreTitle_ = static_cast<std::int32_t>(record.title);
    restoreSector_ = record.sector;
    audioChoice_ = static_cast<std::int32_t>(record.audioStream);
    subtitleChoice_ = static_cast<std::int32_t>(record.subtitleStream);
    subtitleOn_ = record.subtitleOn != 0;
    subtitleUserSet_ = true;
    const int status = dvdnav_part_play(nav_, static_cast<std::int32_t>(record.title),
                                        static_cast<std::int32_t>(std::max<std::uint32_t>(record.chapter, 1)));
    if (status == DVDNAV_STATUS_OK)
      shown_.Jumped(static_cast<std::int32_t>(record.title),
                    static_cast<std::int32_t>(std::max<std::uint32_t>(record.chapter, 1)));
    if (status != DVDNAV_STATUS_OK) {
      restoreTitle_ = 0;
      restoreSector_ = -1;
      return kFail;
    }
  }
  SetRunIfStopped();
  pipeline_->SetPaused(false);
  Wake();
  return kOk;
}

}  // namespace tovelax
