// The media-file search: walks root folders on a worker thread, lists the
// audio files above a minimum size and the playlist files, then goes through
// the list. Progress is reported through a notification function, called on
// the worker thread. The walk never follows symbolic links to folders,
// skips hidden entries (dot files) and the kernel's virtual file systems
// (/proc, /sys, /dev), does not go down into the system's own and temporary
// folders (/run, /tmp, /var/tmp, $TMPDIR, /usr, ...) and visits each folder
// once.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace wmhost {

// Notification codes, with the index and path they come with.
enum SearchNotification : unsigned {
  kSearchWalkStarted = 4,
  kSearchWalkFinished = 8,
  kSearchEnteringFolder = 16,  // path
  kSearchFileFound = 32,       // path
  kSearchListStarted = 64,     // index = number of files found
  kSearchListEnded = 128,
  kSearchListedFile = 256,  // index, path
};

inline constexpr unsigned kSearchPhaseWalk = 1;
inline constexpr unsigned kSearchPhaseList = 2;

class MediaFileSearch {
 public:
  using Notify = std::function<void(unsigned code, std::size_t index, const std::string& path)>;

  static constexpr const char* kAudioExtensions = ".mp3;.wma;.wav;";
  static constexpr const char* kPlaylistExtensions = ".m3u;.wax;.wpl;.wmx;.asx;";
  // Audio files must be larger than this to be taken.
  static constexpr std::uint64_t kMinimumAudioBytes = 100000;

  MediaFileSearch() = default;
  ~MediaFileSearch();
  MediaFileSearch(const MediaFileSearch&) = delete;
  MediaFileSearch& operator=(const MediaFileSearch&) = delete;

  // Stops a running search first. `roots` is a ";"-separated list; a
  // trailing slash or backslash of a root is dropped. `phases` selects the
  // walk and list phases. Returns at once.
  void start(const std::string& roots, const std::string& audioExtensions, const std::string& playlistExtensions,
             unsigned phases, Notify notify);
  // Asks the worker to stop and waits for it.
  void stop();
  bool running() const { return worker_.joinable() && !finished_.load(); }
  // The files found, in the order found; read it once the search ended.
  const std::vector<std::string>& results() const { return results_; }
  // Whether a file name is taken by the search (extension and size rules).
  bool takes(const std::string& fileName, std::uint64_t size) const;

 private:
  void run();
  void walk(const std::string& folder);

  std::vector<std::string> roots_;
  std::string audioExtensions_;
  std::string playlistExtensions_;
  unsigned phases_ = 0;
  Notify notify_;
  std::vector<std::string> results_;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> visited_;  // (device, inode) of walked folders
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> finished_{false};
  std::thread worker_;
};

}  // namespace wmhost
