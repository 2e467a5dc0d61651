// Checks a DVD's information files (VIDEO_TS.IFO, VTS_nn_0.IFO and their
// BUP copies) before the DVD reading library parses them. The library trusts
// the sector pointers and table sizes in an IFO's header; a file cut short or
// pointing past its own end sends it down error paths that free memory twice.
// A disc whose files do not hold what their headers declare is refused.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tovelax {

enum class IfoKind { kManager, kTitleSet };

// Why `file` cannot be an IFO of `kind`; empty when every table its header
// declares lies inside the file.
std::string IfoProblem(std::span<const std::uint8_t> file, IfoKind kind);

// The number of title sets a sound manager IFO declares.
int IfoTitleSetCount(std::span<const std::uint8_t> file);

// Why the DVD at `root` (a folder holding VIDEO_TS, a VIDEO_TS folder, an
// image or a device) must not be opened; empty when its manager and every
// title set have a sound IFO or BUP and no damaged copy.
std::string DiscIfoProblem(const std::string& root);

}  // namespace tovelax
