// Audio-profile lists of the Music and Radio sections: named mixer settings
// that the controllers apply. A profile is a name, a 76-byte settings block
// and two item lists (76- and 80-byte items); a list can write itself to and
// read itself from a byte archive (a count, then each profile).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

using AudioProfileBlock = std::array<std::uint8_t, 76>;
using AudioProfileItem = std::array<std::uint8_t, 76>;
using AudioProfileWideItem = std::array<std::uint8_t, 80>;

class CAudioProfile {
 public:
  CAudioProfile() = default;
  virtual ~CAudioProfile() = default;
  CAudioProfile(const CAudioProfile&) = default;
  CAudioProfile& operator=(const CAudioProfile&) = default;
  bool operator==(const CAudioProfile&) const = default;

  std::string m_strName;
  AudioProfileBlock m_settings{};  // zeroed for a new profile
  std::vector<AudioProfileItem> m_items;
  std::vector<AudioProfileWideItem> m_wideItems;
};

class CAudioProfileList {
 public:
  CAudioProfileList() = default;
  virtual ~CAudioProfileList() = default;
  CAudioProfileList(const CAudioProfileList&) = default;
  CAudioProfileList& operator=(const CAudioProfileList&) = default;

  // Appends the archive form: count, then per profile its name (length and
  // bytes), the settings block, the item count and items, the wide-item
  // count and wide items; counts and lengths are 32-bit little-endian.
  void Serialize(std::vector<std::uint8_t>& archive) const;
  // Reads a list written by Serialize from `archive` at `offset`, which
  // moves past it. 0 (and the list unchanged) when the data is cut short.
  int Deserialize(const std::vector<std::uint8_t>& archive, std::size_t& offset);

  std::vector<CAudioProfile> m_profiles;
};

// The text a line-in item starts with: its bytes up to the first zero, never
// past the item's 80 bytes (an item without a zero gives all 80).
std::string LineInText(const AudioProfileWideItem& item);
// The text of line-in `index` of a profile; empty when out of range.
std::string LineInText(const CAudioProfile& profile, int index);

// The operations the controllers call on profiles and lists.
CAudioProfile InitProfileList();
void CopyProfileList(CAudioProfile& to, const CAudioProfile& from);
// A copy of entry i; an empty profile when i is out of range.
CAudioProfile GetProfileEntry(const CAudioProfileList& list, int index);
void SetProfileListSize(CAudioProfileList& list, int size);
void SetProfileArraySize(CAudioProfile& profile, int itemCount, int wideItemCount);
void DestroyProfileList(CAudioProfileList& list, int index);
