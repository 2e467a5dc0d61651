// Pixel operations on BGRA surfaces: the eight exact turns and flips,
// rotation by any angle, and resizing.
#pragma once

#include <optional>

#include "platform/gdi/surface.h"

namespace picture {

// The eight lossless rearrangements of a picture (turns clockwise).
enum class Turn { None, FlipHorizontal, FlipVertical, Transpose, Transverse, Rotate90, Rotate180, Rotate270 };

// The turn that puts a picture stored with Exif orientation 1..8 upright.
Turn TurnForOrientation(int orientation);
// One turn after the other, as a single turn.
Turn Combine(Turn first, Turn then);
// Quarter turns clockwise for an angle that is a multiple of 90 (any sign).
Turn TurnForAngle(int degrees);
bool SwapsSides(Turn turn);

plat::Surface ApplyTurn(const plat::Surface& in, Turn turn);

// Rotates clockwise by any angle: multiples of 90 exactly, others bilinear
// onto a canvas enlarged to hold the whole picture, filled black. Nullopt
// when that canvas would exceed the surface limit.
std::optional<plat::Surface> RotateBy(const plat::Surface& in, double degrees);

// Resizes to width x height, smooth (area average / bilinear) or nearest.
// Nullopt for sizes that are not positive or exceed the surface limit.
std::optional<plat::Surface> Resize(const plat::Surface& in, int width, int height, bool smooth);

}  // namespace picture
