// The order in which the player moves through its current playlist: in list
// order or shuffled, stopping at the end or looping.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

namespace wmhost {

class PlaySequence {
 public:
  explicit PlaySequence(std::uint32_t seed = std::random_device{}());

  bool loop() const { return loop_; }
  void setLoop(bool loop) { loop_ = loop; }
  bool shuffle() const { return shuffle_; }
  // Switching shuffle on draws a new order.
  void setShuffle(bool shuffle);

  // The item that starts a list of `count` (> 0) items.
  std::size_t first(std::size_t count);
  // The item after `current`; none at the end of the list unless looping.
  std::optional<std::size_t> next(std::size_t count, std::size_t current);
  // The item before `current`; none at the start of the list unless looping.
  std::optional<std::size_t> previous(std::size_t count, std::size_t current);

 private:
  // Position of `current` in the play order (the identity unless shuffled).
  std::size_t positionOf(std::size_t count, std::size_t current);
  void reshuffle(std::size_t count);

  bool loop_ = false;
  bool shuffle_ = false;
  std::mt19937 random_;
  std::vector<std::size_t> order_;  // shuffled order, rebuilt when the count changes
};

}  // namespace wmhost
