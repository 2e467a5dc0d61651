// Progress of a media search, from 0 to 1. While no listed file has been
// handled, the walk's share S grows with the elapsed time (5 per million
// milliseconds, at most one half) and is the progress; afterwards the
// progress is S plus the handled share of the listed files times (1 - S).
// A search that has ended is complete, also when it found nothing. The
// counters are updated by the search's worker and read by the engine.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>

namespace wmhost {

class SearchProgress {
 public:
  void reset();
  void start(std::uint64_t nowMs);
  // The list phase begins with this many files.
  void beginList(std::uint32_t total);
  // The walk found one more file.
  void fileFound() { ++found_; }
  // One listed file was handled; `added` when the library took it.
  void fileHandled(bool added);
  void finish();

  // Works out the progress at `nowMs`; while nothing was handled this also
  // moves the walk's share on.
  double compute(std::uint64_t nowMs);
  // trunc(progress * 100), as last worked out.
  int percent() const { return percent_.load(); }
  // Stores the percent of `compute(nowMs)`; true when it changed.
  bool update(std::uint64_t nowMs);

  std::uint32_t total() const { return total_.load(); }
  std::uint32_t handled() const { return handled_.load(); }
  // The files the search has come to: those the walk found so far, and at
  // the end those handled. It only grows.
  std::uint32_t searched() const { return std::max(found_.load(), handled_.load()); }
  std::uint32_t added() const { return added_.load(); }
  bool finished() const { return finished_.load(); }

 private:
  std::atomic<std::uint64_t> startMs_{0};
  std::atomic<double> walkShare_{0};
  std::atomic<std::uint32_t> total_{0};
  std::atomic<std::uint32_t> found_{0};
  std::atomic<std::uint32_t> handled_{0};
  std::atomic<std::uint32_t> added_{0};
  std::atomic<int> percent_{0};
  std::atomic<bool> finished_{false};
};

}  // namespace wmhost
