// The media player the engine drives: a GStreamer playbin behind an object
// model shaped like the one the engine expects of a player control (URL,
// current playlist and item, controls, settings, position, rate), with our
// own playlist sequencing and a fixed order of play-state changes:
//   an item ends in the middle of the list: 8 (media ended), then 3 (playing)
//   the last item ends:                     8, then 1 (stopped)
//   media loaded but not playing:           10 (ready)
// Events caused by a call are reported during that call; events that come
// from the pipeline are posted from its streaming threads to the engine's
// thread and reported there.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engines/playback/wmhost/player/engine_thread.h"
#include "engines/playback/wmhost/player/frame_sink.h"
#include "engines/playback/wmhost/player/playlist.h"

namespace wmhost {

// The player's play-state numbers.
enum class PlayState : int {
  Undefined = 0,
  Stopped = 1,
  Paused = 2,
  Playing = 3,
  MediaEnded = 8,
  Transitioning = 9,
  Ready = 10,
};

class PlayerEvents {
 public:
  virtual void OnPlayStateChange(PlayState state) = 0;
  virtual void OnPositionChange(double oldPosition, double newPosition) = 0;
  virtual void OnMediaChange(const MediaItemPtr& item) = 0;
  // A medium that could not be played; the player moves on to the next one.
  virtual void OnMediaError(const std::string& sourceUrl, const std::string& message) = 0;

 protected:
  ~PlayerEvents() = default;
};

// An audio visualisation: the id stays the same from run to run.
struct Visualization {
  std::string id;
  std::string title;
};
// The visualisations installed on this system, in a fixed order.
const std::vector<Visualization>& InstalledVisualizations();

struct PlayerOptions {
  // Pipeline description of the audio output; empty: the system's default.
  std::string audioSink;
  // The device or disc image behind CD drive n of a "wmpcd://n/m" address;
  // empty when there is none.
  std::function<std::string(int drive)> cdDevice;
};

// Initialises GStreamer once per process; false (with the reason) when it cannot.
bool InitializeGStreamer(std::string* error = nullptr);

// "wmpcd://n/m": track m (0-based) of CD drive n.
std::string CdTrackUrl(int drive, int track);
bool ParseCdTrackUrl(const std::string& url, int* drive, int* track);

class MediaPlayer {
 public:
  MediaPlayer(EngineThread& thread, PlayerEvents& events, PlayerOptions options = {});
  ~MediaPlayer();
  MediaPlayer(const MediaPlayer&) = delete;
  MediaPlayer& operator=(const MediaPlayer&) = delete;

  // A one-item playlist for the file or URL, played at once.
  void setUrl(const std::string& url);
  std::string url() const;

  PlaylistPtr currentPlaylist() const;
  // Stops, and makes `playlist` current with its first item loaded (state 10).
  void setCurrentPlaylist(PlaylistPtr playlist);
  MediaItemPtr currentMedia() const;
  // Loads item `index` of the current playlist and plays it.
  bool playItem(std::size_t index);

  bool play();
  void pause();
  void stop();
  void next();
  void previous();
  // Releases the medium and the playlist.
  void close();

  PlayState playState() const;
  double position() const;  // seconds
  void setPosition(double seconds);
  double currentMediaDuration() const;
  double rate() const;
  void setRate(double rate);
  // Whether the current medium can be played faster (it can be seeked).
  bool fastForwardAvailable() const;

  // "loop" and "shuffle"; other names are false and cannot be set.
  bool mode(const std::string& name) const;
  bool setMode(const std::string& name, bool on);

  // Frames of video, or of the current visualisation for audio, go to the
  // sink on the engine's thread; null stops them.
  void setFrameSink(FrameSink* sink);
  // Index into InstalledVisualizations(); -1 when none is installed.
  int visualization() const;
  bool setVisualization(int index);

 private:
  struct Impl;
  std::shared_ptr<Impl> impl_;
};

}  // namespace wmhost
