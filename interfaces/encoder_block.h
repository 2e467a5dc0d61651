// The 400-byte encoder settings record shared by the analogue recorder's
// profiles and the camcorder engine's capture settings. One layout for both:
// the TV recorder reads the profile fields, the camcorder engine the capture
// fields (file path, rates, GOP, audio).
#pragma once

#include <cstddef>
#include <cstdint>

struct EncoderBlock {
  std::int32_t format;         // 0 AVI, 1-3 MPEG-1 (3 VCD), 4 WMV, 5 RAM, 6 SVCD, 7 DVD
  std::int32_t field4;
  std::int32_t field8;
  char filePath[260];          // the capture file, written by the camcorder engine
  std::int32_t capabilities;   // processor capability bits (TV); the constant 1 (camcorder)
  std::int32_t videoBitRate;   // bits per second
  std::int32_t field280;
  std::int32_t width;
  std::int32_t height;
  float frameRate;
  char gop[68];
  std::int32_t field364;       // the mode field
  std::int32_t field368;       // cleared before every start
  std::int32_t field372;       // 2
  std::int32_t field376;       // 1
  std::int32_t audioBitRate;   // kilobits per second (224)
  std::int32_t field384;       // 1
  std::int32_t field388;       // the audio field (1 or 3); cleared before every TV start
  std::int32_t lowerRate;      // bits per second; 0 for none
  std::int32_t upperRate;
};
static_assert(sizeof(EncoderBlock) == 400);
static_assert(offsetof(EncoderBlock, format) == 0);
static_assert(offsetof(EncoderBlock, filePath) == 12);
static_assert(offsetof(EncoderBlock, capabilities) == 272);
static_assert(offsetof(EncoderBlock, videoBitRate) == 276);
static_assert(offsetof(EncoderBlock, width) == 284);
static_assert(offsetof(EncoderBlock, height) == 288);
static_assert(offsetof(EncoderBlock, frameRate) == 292);
static_assert(offsetof(EncoderBlock, gop) == 296);
static_assert(offsetof(EncoderBlock, field364) == 364);
static_assert(offsetof(EncoderBlock, field368) == 368);
static_assert(offsetof(EncoderBlock, field372) == 372);
static_assert(offsetof(EncoderBlock, field376) == 376);
static_assert(offsetof(EncoderBlock, audioBitRate) == 380);
static_assert(offsetof(EncoderBlock, field384) == 384);
static_assert(offsetof(EncoderBlock, field388) == 388);
static_assert(offsetof(EncoderBlock, lowerRate) == 392);
static_assert(offsetof(EncoderBlock, upperRate) == 396);
