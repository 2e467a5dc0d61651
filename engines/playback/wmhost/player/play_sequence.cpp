#include "engines/playback/wmhost/player/play_sequence.h"

#include <algorithm>
#include <numeric>

namespace wmhost {

PlaySequence::PlaySequence(std::uint32_t seed) : random_(seed) {}

void PlaySequence::setShuffle(bool shuffle) {
  shuffle_ = shuffle;
  order_.clear();
}

void PlaySequence::reshuffle(std::size_t count) {
  order_.resize(count);
  std::iota(order_.begin(), order_.end(), std::size_t{0});
  std::shuffle(order_.begin(), order_.end(), random_);
}

std::size_t PlaySequence::positionOf(std::size_t count, std::size_t current) {
  if (!shuffle_) return current;
  if (order_.size() != count) reshuffle(count);
  const auto it = std::find(order_.begin(), order_.end(), current);
  return it == order_.end() ? 0 : static_cast<std::size_t>(it - order_.begin());
}

std::size_t PlaySequence::first(std::size_t count) {
  if (!shuffle_ || count == 0) return 0;
  reshuffle(count);
  return order_.front();
}

std::optional<std::size_t> PlaySequence::next(std::size_t count, std::size_t current) {
  if (count == 0) return std::nullopt;
  const std::size_t position = positionOf(count, current);
  if (position + 1 < count) return shuffle_ ? order_[position + 1] : position + 1;
  if (!loop_) return std::nullopt;
  if (!shuffle_) return 0;
  // A new round in a new order, which does not start with the item just heard.
  reshuffle(count);
  if (count > 1 && order_.front() == current) std::swap(order_[0], order_[1]);
  return order_.front();
}

std::optional<std::size_t> PlaySequence::previous(std::size_t count, std::size_t current) {
  if (count == 0) return std::nullopt;
  const std::size_t position = positionOf(count, current);
  if (position > 0) return shuffle_ ? order_[position - 1] : position - 1;
  if (!loop_) return std::nullopt;
  return shuffle_ ? order_.back() : count - 1;
}

}  // namespace wmhost
