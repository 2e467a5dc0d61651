// CGrabber: the encoder profiles (defaults by video standard, selection,
// listing, the time-shift choice) and the MPEG-4 encoder settings.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engines/capture/grabber/grabber.h"
#include "engines/capture/grabber/recording_names.h"

using namespace plat;
using namespace grabber;

namespace {

void CopyText(char* out, const char* text, std::size_t size) {
  if (out) std::snprintf(out, size, "%s", text);
}

bool IsListed(const ProfileEntry& entry, bool divxHeld) {
  if (std::strncmp(entry.kind, "Record", sizeof entry.kind) != 0) return false;
  return divxHeld || std::strncmp(entry.name, "DivX", sizeof entry.name) != 0;
}

}  // namespace

// Loads the defaults of the country's video standard unless that family is
// loaded already, and drops the entries that were there before.
CGrabber::ProfileLoad CGrabber::LoadProfiles() {
  if (!m_pStore) return ProfileLoad::kFailed;
  const bool ntsc = IsNtscStandard(m_nStandard);
  if ((ntsc && m_nProfileFamily == 1) || (!ntsc && m_nProfileFamily == 2)) return ProfileLoad::kUnchanged;
  int before = 0;
  m_pStore->GetCount(&before);
  const int value = ntsc ? 0 : 1;
  const std::string file = JoinPath(m_startFolder, ntsc ? "Default_NTSC.prf" : "Default_PAL.prf");
  m_pStore->LoadFile(file.c_str());
  m_pRecorder->SetProfileFamily(value);
  if (m_nState == grabstate::kPreview) m_pRecorder->SetPreviewFamily(value);
  int after = 0;
  m_pStore->GetCount(&after);
  if (after <= before) return ProfileLoad::kFailed;
  for (int i = 0; i < before; ++i) {
    ProfileEntry old{};
    if (FAILED(m_pStore->GetEntry(0, &old))) break;
    m_pStore->DeleteEntry(old.kind, old.name);
  }
  m_nProfileFamily = ntsc ? 1 : 2;
  return ProfileLoad::kLoaded;
}

void CGrabber::WriteDefaultEntry() {
  const bool ntsc = IsNtscStandard(m_nStandard);
  m_current = ProfileEntry{};
  CopyText(m_current.kind, "Record", sizeof m_current.kind);
  CopyText(m_current.name, ntsc ? "Default (NTSC)" : "Default (PAL)", sizeof m_current.name);
  m_current.field1280 = 1;
  EncoderBlock& b = m_current.block;
  b.format = 2;
  b.videoBitRate = 8000000;
  b.width = ntsc ? 320 : 352;
  b.height = ntsc ? 240 : 288;
  b.frameRate = ntsc ? 29.97f : 25.0f;
  CopyText(b.gop, "IBBPBBPBBPBBPBBP", sizeof b.gop);
  b.field364 = 1;
  b.field372 = 2;
  b.field376 = 1;
  b.audioBitRate = 224;
  b.field384 = 1;
  m_profileName = m_current.name;
}

// The first "Replay" entry whose speed range (v / 100000 down to
// v mod 100000 MHz) holds this processor's clock.
void CGrabber::ChooseTimeShiftProfile() {
  m_timeShiftBlock = m_current.block;
  if (!m_pStore) return;
  ProfileEntry entry{};
  for (int i = 0; SUCCEEDED(m_pStore->GetEntry(i, &entry)); ++i) {
    if (std::strncmp(entry.kind, "Replay", sizeof entry.kind) != 0) continue;
    const long long v = std::strtoll(entry.name, nullptr, 10);
    if (v / 100000 >= m_nSpeed && m_nSpeed >= v % 100000) {
      m_timeShiftBlock = entry.block;
      return;
    }
  }
}

HRESULT CGrabber::SelectRecordProfile(const char* name) {
  if (!m_pStore) return E_FAIL;
  const std::string wanted = name && *name ? name : "DVD SP";
  if (wanted == m_profileName) return S_OK;
  if (FAILED(m_pStore->Select("Record", wanted.c_str()))) return E_FAIL;
  ProfileEntry entry{};
  if (FAILED(m_pStore->GetSelected(&entry))) return E_FAIL;
  m_current = entry;
  m_profileName = wanted;
  if (m_nState == grabstate::kSourceRunning && m_pRecorder) m_pRecorder->ApplySourceBlock(&m_current.block);
  return S_OK;
}

HRESULT CGrabber::GetSelectedProfileName(char* name) {
  if (!name) return E_FAIL;
  CopyText(name, m_profileName.c_str(), kGrabberProfileNameChars);
  return S_OK;
}

HRESULT CGrabber::GetRecordProfile(EncoderBlock* block) {
  if (!block) return E_FAIL;
  *block = m_current.block;
  return S_OK;
}

HRESULT CGrabber::GetProfileNameAt(int index, char* name) {
  if (!m_pStore || index < 0) return E_FAIL;
  int counted = 0;
  ProfileEntry entry{};
  for (int i = 0; SUCCEEDED(m_pStore->GetEntry(i, &entry)); ++i) {
    if (!IsListed(entry, m_divx.has_value())) continue;
    if (counted++ == index) {
      CopyText(name, std::string(entry.name, strnlen(entry.name, sizeof entry.name)).c_str(), sizeof entry.name);
      return S_OK;
    }
  }
  return E_FAIL;
}

int CGrabber::GetProfileFamily() { return m_nProfileFamily; }

// 1 finds the first installed compressor whose description begins with
// "DivX" and keeps its settings (once); 0 lets them go.
HRESULT CGrabber::EnableDivXSettings(int on) {
  if (!on) {
    m_divx.reset();
    return S_OK;
  }
  if (m_divx) return S_OK;
  const std::vector<VideoCompressor> compressors =
      m_hooks.videoCompressors ? m_hooks.videoCompressors() : std::vector<VideoCompressor>{};
  for (const VideoCompressor& c : compressors) {
    if (c.description.rfind(u"DivX", 0) != 0) continue;
    DivXHeld held{};
    const std::size_t n = std::min(c.description.size(), std::size(held.settings.codec) - 1);
    std::copy_n(c.description.begin(), n, held.settings.codec);
    std::copy_n(u"PCM", 3, held.settings.audio);
    held.settings.keyInterval = 15;
    held.settings.frameRate = 30.0f;
    held.settings.quality = 1.0f;
    held.settings.bitRate = 230000;
    held.settings.bitsPerPixel = 24;
    held.settings.wave = TvWaveFormat{1, 2, 44100, 176400, 4, 16, 0};
    held.state = c.state;
    m_divx = std::move(held);
    return S_OK;
  }
  return E_FAIL;
}
