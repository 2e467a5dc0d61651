#include "engines/rip/vcd_source.h"

#include <gst/app/gstappsrc.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

#include "engines/rip/mpeg_sniff.h"

namespace rip {
namespace {

constexpr std::uint64_t kSectorsPerBuffer = 32;

struct SectorReader {
  std::ifstream file;
  std::uint64_t dataOffset = 0;
  std::uint64_t sectors = 0;  // whole sectors inside the data chunk
  std::uint64_t next = 0;
};

void OnNeedData(GstAppSrc* source, guint, gpointer data) {
  auto* reader = static_cast<SectorReader*>(data);
  if (reader->next >= reader->sectors) {
    gst_app_src_end_of_stream(source);
    return;
  }
  const std::uint64_t count = std::min(kSectorsPerBuffer, reader->sectors - reader->next);
  std::vector<std::uint8_t> raw(count * kRawSectorBytes);
  reader->file.clear();
  reader->file.seekg(static_cast<std::streamoff>(reader->dataOffset + reader->next * kRawSectorBytes));
  reader->file.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size()));
  const auto got = static_cast<std::uint64_t>(reader->file.gcount()) / kRawSectorBytes;
  reader->next += count;
  if (got == 0) {
    gst_app_src_end_of_stream(source);
    return;
  }
  GstBuffer* buffer = gst_buffer_new_allocate(nullptr, got * kMode2Form2UserBytes, nullptr);
  GstMapInfo map;
  gst_buffer_map(buffer, &map, GST_MAP_WRITE);
  std::size_t filled = 0;
  for (std::uint64_t i = 0; i < got; ++i) {
    const std::uint8_t* sector = raw.data() + i * kRawSectorBytes;
    // Only sectors that carry MPEG packs; empty and data sectors are left out.
    if (!IsMpegSector(sector)) continue;
    std::memcpy(map.data + filled, sector + kSectorUserDataOffset, kMode2Form2UserBytes);
    filled += kMode2Form2UserBytes;
  }
  gst_buffer_unmap(buffer, &map);
  gst_buffer_set_size(buffer, static_cast<gssize>(filled));
  gst_app_src_push_buffer(source, buffer);
}

}  // namespace

GstElement* MakeVideoCdSource(const std::string& path) {
  const std::optional<CdxaData> data = FindCdxaData(path);
  if (!data) return nullptr;
  auto reader = std::make_unique<SectorReader>();
  reader->file.open(path, std::ios::binary);
  if (!reader->file) return nullptr;
  reader->dataOffset = data->offset;
  reader->sectors = data->size / kRawSectorBytes;
  GstElement* element = gst_element_factory_make("appsrc", nullptr);
  if (!element) return nullptr;
  auto* source = GST_APP_SRC(element);
  GstCaps* caps = gst_caps_from_string("video/mpeg, mpegversion=(int)1, systemstream=(boolean)true");
  gst_app_src_set_caps(source, caps);
  gst_caps_unref(caps);
  g_object_set(element, "format", GST_FORMAT_BYTES, "block", FALSE, nullptr);
  GstAppSrcCallbacks callbacks{};
  callbacks.need_data = OnNeedData;
  gst_app_src_set_callbacks(source, &callbacks, reader.release(),
                            [](gpointer data) { delete static_cast<SectorReader*>(data); });
  return element;
}

}  // namespace rip
