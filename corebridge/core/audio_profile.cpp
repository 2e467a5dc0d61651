#include "corebridge/core/audio_profile.h"

#include <algorithm>
#include <cstring>

namespace {

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

template <std::size_t N>
void PutBlock(std::vector<std::uint8_t>& out, const std::array<std::uint8_t, N>& block) {
  out.insert(out.end(), block.begin(), block.end());
}

class Reader {
 public:
  Reader(const std::vector<std::uint8_t>& data, std::size_t offset) : m_data(data), m_offset(offset) {}
  bool U32(std::uint32_t& v) {
    if (m_offset > m_data.size() || m_data.size() - m_offset < 4) return false;
    v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(m_data[m_offset + i]) << (8 * i);
    m_offset += 4;
    return true;
  }
  bool Bytes(std::uint8_t* out, std::size_t n) {
    if (m_offset > m_data.size() || m_data.size() - m_offset < n) return false;
    if (n > 0) std::memcpy(out, m_data.data() + m_offset, n);
    m_offset += n;
    return true;
  }
  // A count is only believable when that many items of `itemSize` bytes fit
  // into what is left; a corrupt count never triggers a huge allocation.
  bool Count(std::uint32_t& n, std::size_t itemSize) {
    return U32(n) && static_cast<std::uint64_t>(n) * itemSize <= m_data.size() - m_offset;
  }
  std::size_t Offset() const { return m_offset; }

 private:
  const std::vector<std::uint8_t>& m_data;
  std::size_t m_offset;
};

}  // namespace

void CAudioProfileList::Serialize(std::vector<std::uint8_t>& archive) const {
  PutU32(archive, static_cast<std::uint32_t>(m_profiles.size()));
  for (const CAudioProfile& p : m_profiles) {
    PutU32(archive, static_cast<std::uint32_t>(p.m_strName.size()));
    archive.insert(archive.end(), p.m_strName.begin(), p.m_strName.end());
    PutBlock(archive, p.m_settings);
    PutU32(archive, static_cast<std::uint32_t>(p.m_items.size()));
    for (const auto& item : p.m_items) PutBlock(archive, item);
    PutU32(archive, static_cast<std::uint32_t>(p.m_wideItems.size()));
    for (const auto& item : p.m_wideItems) PutBlock(archive, item);
  }
}

int CAudioProfileList::Deserialize(const std::vector<std::uint8_t>& archive, std::size_t& offset) {
  if (offset > archive.size()) return 0;
  Reader in(archive, offset);
  std::uint32_t count = 0;
  // Each profile takes at least its name length, block and two counts.
  if (!in.Count(count, 4 + 76 + 4 + 4)) return 0;
  std::vector<CAudioProfile> profiles(count);
  for (CAudioProfile& p : profiles) {
    std::uint32_t n = 0;
    if (!in.Count(n, 1)) return 0;
    p.m_strName.resize(n);
    if (!in.Bytes(reinterpret_cast<std::uint8_t*>(p.m_strName.data()), n)) return 0;
    if (!in.Bytes(p.m_settings.data(), p.m_settings.size())) return 0;
    if (!in.Count(n, 76)) return 0;
    p.m_items.resize(n);
    for (auto& item : p.m_items) in.Bytes(item.data(), item.size());
    if (!in.Count(n, 80)) return 0;
    p.m_wideItems.resize(n);
    for (auto& item : p.m_wideItems) in.Bytes(item.data(), item.size());
  }
  m_profiles = std::move(profiles);
  offset = in.Offset();
  return 1;
}

CAudioProfile InitProfileList() { return CAudioProfile{}; }

void CopyProfileList(CAudioProfile& to, const CAudioProfile& from) { to = from; }

CAudioProfile GetProfileEntry(const CAudioProfileList& list, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= list.m_profiles.size()) return CAudioProfile{};
  return list.m_profiles[static_cast<std::size_t>(index)];
}

void SetProfileListSize(CAudioProfileList& list, int size) {
  list.m_profiles.resize(static_cast<std::size_t>(std::max(size, 0)));
}

void SetProfileArraySize(CAudioProfile& profile, int itemCount, int wideItemCount) {
  profile.m_items.resize(static_cast<std::size_t>(std::max(itemCount, 0)));
  profile.m_wideItems.resize(static_cast<std::size_t>(std::max(wideItemCount, 0)));
}

void DestroyProfileList(CAudioProfileList& list, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= list.m_profiles.size()) return;
  list.m_profiles.erase(list.m_profiles.begin() + index);
}

std::string LineInText(const AudioProfileWideItem& item) {
  const auto end = std::find(item.begin(), item.end(), std::uint8_t{0});
  return std::string(item.begin(), end);
}

std::string LineInText(const CAudioProfile& profile, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= profile.m_wideItems.size()) return {};
  return LineInText(profile.m_wideItems[static_cast<std::size_t>(index)]);
}
