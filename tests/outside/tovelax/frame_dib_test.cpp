#include <gtest/gtest.h>

#include <cstring>

#include "outside/tovelax/frame_hub.h"

namespace tovelax {
namespace {

VideoFrame Checker(std::uint32_t width, std::uint32_t height) {
  VideoFrame frame;
  frame.width = width;
  frame.height = height;
  frame.stride = width * 4;
  frame.pixels.resize(std::size_t{frame.stride} * height);
  for (std::uint32_t y = 0; y < height; ++y)
    for (std::uint32_t x = 0; x < width; ++x) {
      std::uint8_t* p = frame.pixels.data() + y * frame.stride + x * 4;
      p[0] = static_cast<std::uint8_t>(x);  // blue
      p[1] = static_cast<std::uint8_t>(y);  // green
      p[2] = 200;                           // red
      p[3] = 255;
    }
  return frame;
}

std::uint32_t Word(const std::vector<std::uint8_t>& b, std::size_t at) {
  std::uint32_t v;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

TEST(FrameDib, RowsArePaddedAndBottomUp) {
  // Width 5: 15 bytes of pixels per row, padded to 16; the size is not width * height * 3.
  const VideoFrame frame = Checker(5, 3);
  ASSERT_EQ(FrameDibSize(5, 3), 40u + 16u * 3u);
  std::vector<std::uint8_t> dib(FrameDibSize(5, 3));
  ASSERT_TRUE(WriteDib24(frame, 5, 3, dib.data(), dib.size()));
  EXPECT_EQ(Word(dib, 0), 40u);
  EXPECT_EQ(Word(dib, 4), 5u);
  EXPECT_EQ(Word(dib, 8), 3u);
  EXPECT_EQ(Word(dib, 20), 48u);
  // The first stored row is the picture's last one.
  const std::uint8_t* firstRow = dib.data() + 40;
  EXPECT_EQ(firstRow[1], 2);  // green = y of the bottom row
  EXPECT_EQ(firstRow[3 * 4 + 0], 4);  // blue = x
  EXPECT_EQ(firstRow[2], 200);
}

TEST(FrameDib, RefusesSmallBuffersAndEmptySizes) {
  const VideoFrame frame = Checker(5, 3);
  std::vector<std::uint8_t> dib(FrameDibSize(5, 3) - 1);
  EXPECT_FALSE(WriteDib24(frame, 5, 3, dib.data(), dib.size()));
  EXPECT_FALSE(WriteDib24(frame, 0, 3, dib.data(), dib.size()));
  EXPECT_FALSE(WriteDib24(frame, 5, 3, nullptr, 1000));
}

TEST(FrameDib, ScalesToTheRequestedSize) {
  const VideoFrame frame = Checker(8, 8);
  std::vector<std::uint8_t> dib(FrameDibSize(4, 2));
  ASSERT_TRUE(WriteDib24(frame, 4, 2, dib.data(), dib.size()));
  const std::uint8_t* bottom = dib.data() + 40;
  EXPECT_EQ(bottom[1], 4);           // output row 1 samples source row 4
  EXPECT_EQ(bottom[3 * 3 + 0], 6);   // output column 3 samples source column 6
}

}  // namespace
}  // namespace tovelax

namespace tovelax {
namespace {

struct CountingPoster : INotifyPoster {
  void Post(HWND, std::uint32_t message, std::uintptr_t, std::intptr_t) override { posts += message == kFrameReadyMessage; }
  int posts = 0;
};
struct CountingSink : IFrameSink {
  void OnFrame(const std::shared_ptr<const VideoFrame>&, const Rect&, const Rect&, bool) override { ++frames; }
  int frames = 0;
};

// A file's first picture is made while it opens, before the client gives its
// window: it is announced when the window comes, and the pictures after it
// keep coming.
TEST(FrameHub, APictureBeforeTheWindowIsAnnouncedWhenTheWindowComes) {
  CountingPoster poster;
  CountingSink sink;
  FrameHub hub;
  hub.SetPoster(&poster);
  hub.SetSink(&sink);
  hub.Publish(std::make_shared<VideoFrame>(Checker(4, 4)));
  EXPECT_EQ(poster.posts, 0);
  int window = 0;
  hub.SetDrain(reinterpret_cast<HWND>(&window));
  EXPECT_EQ(poster.posts, 1);
  EXPECT_TRUE(hub.Deliver({0, 0, 4, 4}, {0, 0, 4, 4}, true));
  EXPECT_EQ(sink.frames, 1);
  hub.Publish(std::make_shared<VideoFrame>(Checker(4, 4)));
  hub.Publish(std::make_shared<VideoFrame>(Checker(4, 4)));  // one notice while one waits
  EXPECT_EQ(poster.posts, 2);
  EXPECT_TRUE(hub.Deliver({0, 0, 4, 4}, {0, 0, 4, 4}, true));
  EXPECT_FALSE(hub.Deliver({0, 0, 4, 4}, {0, 0, 4, 4}, true));
  EXPECT_EQ(sink.frames, 2);
}

}  // namespace
}  // namespace tovelax
