#include "engines/playback/wmhost/player/media_item.h"

#include <cmath>
#include <cstdio>

namespace wmhost {

namespace {

// The enumeration order; SourceURL and Duration are computed, the others stored.
constexpr std::string_view kEnumerated[] = {kAttrSourceUrl, kAttrName,      kAttrArtist,      kAttrAuthor,
                                            kAttrAlbum,     kAttrAlbumId,   kAttrGenre,       kAttrDuration,
                                            kAttrMediaType, kAttrCollectionId, kAttrReleaseDate, kAttrAcquisitionTime};
constexpr std::string_view kStored[] = {kAttrName,      kAttrAuthor,       kAttrAlbum,       kAttrAlbumId,
                                        kAttrGenre,     kAttrMediaType,    kAttrCollectionId, kAttrReleaseDate,
                                        kAttrAcquisitionTime};

std::string_view Canonical(std::string_view name) {
  if (EqualsNoCase(name, kAttrTitle)) return kAttrName;
  if (EqualsNoCase(name, kAttrArtist)) return kAttrAuthor;
  return name;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

std::string ToLowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

std::string FormatSeconds(double seconds) {
  char text[64];
  std::snprintf(text, sizeof text, "%.3f", seconds);
  std::string out = text;
  // The C library formats with the C locale's point unless a program
  // changed it; we never do.
  while (!out.empty() && out.back() == '0') out.pop_back();
  if (!out.empty() && out.back() == '.') out.pop_back();
  return out;
}

MediaItem::MediaItem(std::string sourceUrl) : sourceUrl_(std::move(sourceUrl)) {
  for (std::string_view name : kStored) stored_.emplace_back(std::string(name), std::string());
}

std::string MediaItem::durationString() const {
  if (duration_ <= 0) return {};
  const long total = std::lround(duration_);
  char text[32];
  if (total >= 3600) {
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, (total / 60) % 60, total % 60);
  } else {
    std::snprintf(text, sizeof text, "%02ld:%02ld", total / 60, total % 60);
  }
  return text;
}

std::size_t MediaItem::attributeCount() const { return std::size(kEnumerated); }

std::string MediaItem::attributeName(std::size_t index) const {
  return index < std::size(kEnumerated) ? std::string(kEnumerated[index]) : std::string();
}

std::string* MediaItem::find(std::string_view name) {
  const std::string_view canonical = Canonical(name);
  for (auto& [key, value] : stored_) {
    if (EqualsNoCase(key, canonical)) return &value;
  }
  return nullptr;
}

const std::string* MediaItem::find(std::string_view name) const {
  return const_cast<MediaItem*>(this)->find(name);
}

std::string MediaItem::getItemInfo(std::string_view name) const {
  if (EqualsNoCase(name, kAttrSourceUrl)) return sourceUrl_;
  if (EqualsNoCase(name, kAttrDuration)) return FormatSeconds(duration_);
  const std::string* value = find(name);
  return value ? *value : std::string();
}

void MediaItem::setItemInfo(std::string_view name, std::string value) {
  if (std::string* stored = find(name)) *stored = std::move(value);
}

}  // namespace wmhost
