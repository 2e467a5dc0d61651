// One medium as the player and the library describe it: its source URL and
// its named attributes, in a fixed order that attribute enumeration follows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace wmhost {

// Attribute names, as callers ask for them.
inline constexpr std::string_view kAttrSourceUrl = "SourceURL";
inline constexpr std::string_view kAttrName = "Name";
inline constexpr std::string_view kAttrTitle = "Title";  // same value as Name
inline constexpr std::string_view kAttrArtist = "Artist";
inline constexpr std::string_view kAttrAuthor = "Author";
inline constexpr std::string_view kAttrAlbum = "Album";
inline constexpr std::string_view kAttrAlbumId = "AlbumID";
inline constexpr std::string_view kAttrGenre = "Genre";
inline constexpr std::string_view kAttrDuration = "Duration";
inline constexpr std::string_view kAttrMediaType = "MediaType";
inline constexpr std::string_view kAttrCollectionId = "WM/WMCollectionID";
inline constexpr std::string_view kAttrReleaseDate = "ReleaseDate";
inline constexpr std::string_view kAttrAcquisitionTime = "AcquisitionTime";

// Case-insensitive ASCII comparison of attribute names and file extensions.
bool EqualsNoCase(std::string_view a, std::string_view b);
std::string ToLowerAscii(std::string_view text);

class MediaItem {
 public:
  explicit MediaItem(std::string sourceUrl);

  const std::string& sourceUrl() const { return sourceUrl_; }
  std::string name() const { return getItemInfo(kAttrName); }
  // Seconds; 0 when unknown.
  double duration() const { return duration_; }
  void setDuration(double seconds) { duration_ = seconds > 0 ? seconds : 0; }
  // "m:ss", or "h:mm:ss" from one hour on; "" when the duration is unknown.
  std::string durationString() const;

  // The enumerable attributes: SourceURL, Name, Artist, Author, Album,
  // AlbumID, Genre, Duration (seconds), MediaType, WM/WMCollectionID,
  // ReleaseDate, AcquisitionTime.
  std::size_t attributeCount() const;
  std::string attributeName(std::size_t index) const;
  // Value of an attribute by name (case-insensitive); "Title" reads Name,
  // "Author" and "Artist" are one value. Unknown names give "".
  std::string getItemInfo(std::string_view name) const;
  // Sets a stored attribute; SourceURL and Duration are fixed at creation.
  void setItemInfo(std::string_view name, std::string value);

  // Row id in the media library, 0 for media outside it.
  std::int64_t libraryId() const { return libraryId_; }
  void setLibraryId(std::int64_t id) { libraryId_ = id; }

 private:
  std::string* find(std::string_view name);
  const std::string* find(std::string_view name) const;

  std::string sourceUrl_;
  double duration_ = 0;
  std::int64_t libraryId_ = 0;
  std::vector<std::pair<std::string, std::string>> stored_;  // Name ... AcquisitionTime
};

using MediaItemPtr = std::shared_ptr<MediaItem>;

// Seconds as the player writes them in attribute text: C locale, at most
// three decimals, no trailing zeros.
std::string FormatSeconds(double seconds);

}  // namespace wmhost
