// Names of Movie snapshots: numbered bitmaps and the JPEG beside each.
#pragma once

#include <filesystem>
#include <optional>

namespace movie_snapshot {

// Numbers end here: a folder that holds them all gets no further snapshot.
inline constexpr int kLastNumber = 99999;

// The first free "<prefix>_NNN.BMP" of the folder, numbered from 000 up to
// `last`; nullopt when every one exists.
std::optional<std::filesystem::path> FreeBitmapName(const std::filesystem::path& folder, const char* prefix,
                                                    int last = kLastNumber);

// "<stem>.jpg" beside the bitmap, or "<stem>(k).jpg" with the first free k
// up to `last`; nullopt when every one exists.
std::optional<std::filesystem::path> FreeJpegName(const std::filesystem::path& bitmap, int last = kLastNumber);

}  // namespace movie_snapshot
