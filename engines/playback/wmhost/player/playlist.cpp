#include "engines/playback/wmhost/player/playlist.h"

#include <algorithm>

namespace wmhost {

void Playlist::appendItem(MediaItemPtr item) {
  if (!item) return;
  items_.push_back(std::move(item));
  ++revision_;
}

void Playlist::insertItem(std::size_t index, MediaItemPtr item) {
  if (!item) return;
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(std::min(index, items_.size())), std::move(item));
  ++revision_;
}

bool Playlist::removeItem(std::size_t index) {
  if (index >= items_.size()) return false;
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
  ++revision_;
  return true;
}

void Playlist::clear() {
  items_.clear();
  ++revision_;
}

std::string Playlist::getItemInfo(std::string_view name) const {
  if (EqualsNoCase(name, "PlaylistType")) return type_;
  if (EqualsNoCase(name, "SortAttribute")) return sortAttribute_;
  if (EqualsNoCase(name, "Name")) return name_;
  return {};
}

void Playlist::setItemInfo(std::string_view name, std::string value) {
  if (EqualsNoCase(name, "PlaylistType")) {
    type_ = std::move(value);
  } else if (EqualsNoCase(name, "Name")) {
    name_ = std::move(value);
  } else if (EqualsNoCase(name, "SortAttribute")) {
    sortAttribute_ = std::move(value);
    sortBy(sortAttribute_);
  }
}

void Playlist::sortBy(std::string_view attribute) {
  if (attribute.empty()) return;
  if (EqualsNoCase(attribute, kAttrDuration)) {
    std::stable_sort(items_.begin(), items_.end(),
                     [](const MediaItemPtr& a, const MediaItemPtr& b) { return a->duration() < b->duration(); });
  } else {
    // Text attributes compare without case, as a user reads a sorted list.
    std::stable_sort(items_.begin(), items_.end(), [attribute](const MediaItemPtr& a, const MediaItemPtr& b) {
      return ToLowerAscii(a->getItemInfo(attribute)) < ToLowerAscii(b->getItemInfo(attribute));
    });
  }
  ++revision_;
}

}  // namespace wmhost
