// One open DVD: libdvdnav navigation on a reading thread that feeds the
// decoding pipeline, and the operations the client asks for. Navigation state
// is guarded by one lock; the reading thread never holds it while it waits on
// the pipeline.
#pragma once

#include <atomic>
#include <chrono>
#include <vector>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "outside/tovelax/bookmark_store.h"
#include "outside/tovelax/disc_info.h"
#include "outside/tovelax/dvd_pipeline.h"
#include "outside/tovelax/event_queue.h"
#include "outside/tovelax/frame_hub.h"
#include "outside/tovelax/shown_position.h"

struct dvdnav_s;

namespace tovelax {

struct PlayerSettings {
  bool discardAudio = false;
  bool autoPlay = false;
  bool hardwareDecoding = false;
  RegionRecord region{};         // region 0: no check
  std::int32_t parentalLevel = 8;
  std::uint32_t preferredLanguage = 0;  // ISO code; 0 = from the environment
  ColorControls color{};
};

class DvdSession {
 public:
  DvdSession(EventQueue& events, FrameHub& frames, const PlayerSettings& settings);
  ~DvdSession();
  DvdSession(const DvdSession&) = delete;
  DvdSession& operator=(const DvdSession&) = delete;

  HRESULT Open(const std::string& path, bool startPaused);
  void Close();
  const DiscInfo& disc() const { return disc_; }
  // Takes the player's new region and checks the open disc against it: a
  // disc that refused the old region plays once the new one is allowed.
  // kWrongRegion when it is still refused.
  HRESULT SetRegion(const RegionRecord& region);

  HRESULT Play();
  HRESULT Pause();
  HRESULT Resume();
  HRESULT Stop();
  HRESULT NextChapter();
  HRESULT PrevChapter();
  HRESULT Scan(std::int32_t speed, bool backward);
  std::int32_t Speed() const { return speed_; }
  HRESULT PlayTitle(std::int32_t title);
  HRESULT PlayChapter(std::int32_t chapter);
  HRESULT SelectByNumber(std::int32_t number);
  HRESULT NumberRange(std::int32_t* lowest, std::int32_t* highest);
  HRESULT ShowMenu(std::int32_t kind);
  HRESULT ReturnFromMenu();
  enum class Move { kUp, kDown, kLeft, kRight };
  HRESULT MoveButton(Move move);
  HRESULT ActivateButton();
  HRESULT ButtonAtPoint(std::int32_t x, std::int32_t y, bool activate);
  HRESULT SelectAngle(std::int32_t angle);
  HRESULT SelectAudio(std::int32_t stream);
  HRESULT SelectSubtitle(std::int32_t stream);
  HRESULT SetSubtitleDisplay(bool on);
  HRESULT AnswerParentalChange(std::uint32_t answer);
  void SetColor(const ColorControls& color);
  void SetParentalLevel(std::int32_t level);

  // Information.
  HRESULT CurrentAudio(std::int32_t* count, std::int32_t* current);
  HRESULT AudioAttributesOf(std::int32_t stream, AudioAttributes* out);
  HRESULT SubtitleState(std::int32_t* count, std::int32_t* current, std::int32_t* disabled);
  bool SubtitleEnabled(std::int32_t stream);
  HRESULT SubtitleAttributesOf(std::int32_t stream, SubtitleAttributes* out);
  HRESULT VideoAttributesNow(VideoAttributes* out);
  HRESULT TitleTime(TitleTimeRecord* out);
  std::uint32_t CurrentTime();
  std::int32_t Domain();
  void TitleChapter(std::int32_t* title, std::int32_t* chapter);
  std::uint32_t ProhibitedOps();
  void Buttons(std::int32_t* count, std::int32_t* selected);
  void Angles(std::int32_t* count, std::int32_t* current);
  std::int32_t TitleCount();
  std::int32_t ChapterCount();
  std::uint32_t TitleParentalLevels(std::int32_t title);

  // Resume positions.
  ResumeRecord Position();
  HRESULT PlayFrom(const ResumeRecord& record);

 private:
  enum class Run { kIdle, kPlaying, kPaused, kStopped, kQuit };

  void ReaderLoop();
  // Handles one navigation event with the lock held; returns how many bytes of
  // `block` to hand to the pipeline (0 for none).
  std::size_t HandleBlock(int event, std::uint8_t* block, int length, std::vector<GstStructure*>* spuEvents,
                          bool* flush, int* stillSeconds);
  void NoteCell();
  bool NoteNavPacket(bool* flush);
  void NoteStreams(int menuSpuPhysical);
  int FramesPerSecond();
  void SetRunIfStopped();
  void Pace(std::int64_t ticks);
  void RefreshDomain();
  int AudioStreamIdLocked(int logical);
  bool Prohibited(std::uint32_t uop);
  void SetRun(Run run);
  void Wake();
  HRESULT AfterJump(int status);
  // Plays `where` and counts from it until the picture gets there.
  HRESULT JumpTo(std::int32_t title, std::int32_t chapter, int status);
  // The selected button's outline as the overlay draws it; button 0: none.
  struct Highlight {
    std::int32_t button = 0;
    std::uint32_t palette = 0;
    std::int32_t sx = 0, sy = 0, ex = 0, ey = 0;
    bool operator==(const Highlight&) const = default;
  };
  Highlight HighlightNowLocked();
  static GstStructure* HighlightEvent(const Highlight& highlight);

  EventQueue& events_;
  FrameHub& frames_;
  PlayerSettings settings_;
  DiscInfo disc_;
  std::unique_ptr<DvdPipeline> pipeline_;

  std::mutex navMutex_;
  dvdnav_s* nav_ = nullptr;
  // Cached navigation state, guarded by navMutex_.
  std::int32_t domain_ = 0;
  std::int32_t title_ = 0;
  std::int32_t chapter_ = 0;
  std::int32_t buttons_ = -1;
  std::int32_t selectedButton_ = 0;
  std::uint32_t uops_ = 0xffffffff;
  std::int32_t angleCount_ = 0;
  std::int32_t angle_ = 0;
  std::int64_t lastSecond_ = -1;
  std::int32_t audioChoice_ = -1;     // the library's own audio choice in this title, -1 none
  std::int32_t subtitleChoice_ = -1;  // likewise for sub-pictures
  bool subtitleOn_ = false;
  std::int32_t currentAudio_ = 0;
  std::int32_t currentSubtitle_ = 0;
  std::uint32_t clut_[16] = {};
  bool subtitleUserSet_ = false;
  int audioStreamId_ = -1;
  bool stillActive_ = false;
  bool stillSent_ = false;
  Highlight sentHighlight_;            // reading thread: what the overlay was last told
  std::uint64_t spuBuffersSeen_ = 0;   // reading thread
  std::chrono::steady_clock::time_point stillStart_{};
  bool scanShown_ = false;
  bool scanBackward_ = false;
  std::int64_t currentTicks_ = 0;
  std::int32_t lastTitle_ = 0;
  std::int32_t restoreTitle_ = 0;
  std::int64_t restoreSector_ = -1;
  std::uint32_t parentalAnswer_ = 0;
  bool regionRefused_ = false;

  std::mutex runMutex_;
  std::condition_variable runChanged_;
  Run run_ = Run::kIdle;
  std::atomic<std::int32_t> speed_{kNormalSpeed};
  bool nudged_ = false;  // guarded by runMutex_: the client asked for something
  std::atomic<bool> paceReset_{true};
  std::chrono::steady_clock::time_point paceOrigin_{};
  std::int64_t paceBase_ = 0;
  std::int64_t paceLastTicks_ = 0;
  ShownPosition shown_;
  DiscPlace readerAt_;  // reading thread: the place of the unit being read
  int pushMark_ = 0;    // reading thread: the mark that goes with the next block handed on
  std::thread reader_;
};

}  // namespace tovelax
