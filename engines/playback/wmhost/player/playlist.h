// A list of media items with a name and playlist attributes, as the player's
// current playlist, the engine's lists and the library's playlists use it.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engines/playback/wmhost/player/media_item.h"

namespace wmhost {

class Playlist {
 public:
  explicit Playlist(std::string name = {}) : name_(std::move(name)) {}

  const std::string& name() const { return name_; }
  void setName(std::string name) { name_ = std::move(name); }

  std::size_t count() const { return items_.size(); }
  // Null for an index at or past the count.
  MediaItemPtr item(std::size_t index) const { return index < items_.size() ? items_[index] : nullptr; }
  const std::vector<MediaItemPtr>& items() const { return items_; }

  void appendItem(MediaItemPtr item);
  // Inserts before `index`; an index past the end appends.
  void insertItem(std::size_t index, MediaItemPtr item);
  // False when the index is at or past the count.
  bool removeItem(std::size_t index);
  void clear();

  // Playlist attributes: "PlaylistType" ("auto" or "static"), and
  // "SortAttribute", which sorts the items by that item attribute
  // (ascending, stable; "AcquisitionTime" text sorts by date).
  std::string getItemInfo(std::string_view name) const;
  void setItemInfo(std::string_view name, std::string value);

  // Bumped by every change of the items, so a player can tell that the list
  // it plays from changed under it.
  unsigned long revision() const { return revision_; }

 private:
  void sortBy(std::string_view attribute);

  std::string name_;
  std::string type_ = "static";
  std::string sortAttribute_;
  std::vector<MediaItemPtr> items_;
  unsigned long revision_ = 0;
};

using PlaylistPtr = std::shared_ptr<Playlist>;

}  // namespace wmhost
