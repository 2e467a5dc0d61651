// The video output on a clock that moves only when the test moves it: the
// first frame of a stream that starts half a second in reaches the client at
// once, and the frames after it are due from then on, after a start and
// after a jump that resets time alike.
#include <gst/app/gstappsrc.h>
#include <gst/check/gsttestclock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "outside/tovelax/video_output.h"

namespace tovelax {
namespace {

constexpr GstClockTime kStart = 10 * GST_SECOND;
constexpr GstClockTime kFrame = 40 * GST_MSECOND;

class VideoOutputClock : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(EnsureGstreamer());
    onFrame_ = [this](std::shared_ptr<const VideoFrame> frame) {
      std::lock_guard lock(mutex_);
      shown_.push_back(frame->timestampNs);
      changed_.notify_all();
    };
    pipeline_.reset(gst_pipeline_new(nullptr));
    source_ = gst_element_factory_make("appsrc", nullptr);
    GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRA", "width", G_TYPE_INT, 16,
                                        "height", G_TYPE_INT, 16, "framerate", GST_TYPE_FRACTION, 25, 1, nullptr);
    g_object_set(source_, "format", GST_FORMAT_TIME, "caps", caps, nullptr);
    gst_caps_unref(caps);
    GstElement* balance = nullptr;
    GstElement* output = MakeVideoOutputBin(&onFrame_, &balance);
    gst_bin_add_many(GST_BIN(pipeline_.get()), source_, output, nullptr);
    ASSERT_TRUE(gst_element_link(source_, output));
    clock_ = GST_TEST_CLOCK(gst_test_clock_new_with_start_time(kStart));
    gst_pipeline_use_clock(GST_PIPELINE(pipeline_.get()), GST_CLOCK(clock_));
    ASSERT_EQ(gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING), GST_STATE_CHANGE_SUCCESS);
  }
  void TearDown() override {
    if (pipeline_) gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
    pipeline_.reset();
    if (clock_) gst_object_unref(clock_);
  }

  void Push(GstClockTime pts) {
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, 16 * 16 * 4, nullptr);
    gst_buffer_memset(buffer, 0, 0x80, 16 * 16 * 4);
    GST_BUFFER_PTS(buffer) = pts;
    GST_BUFFER_DURATION(buffer) = kFrame;
    ASSERT_EQ(gst_app_src_push_buffer(GST_APP_SRC(source_), buffer), GST_FLOW_OK);
  }

  // Waits (bounded) until `count` frames have reached the client.
  bool WaitForFrames(std::size_t count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return shown_.size() >= count; });
  }
  std::vector<std::int64_t> Shown() {
    std::lock_guard lock(mutex_);
    return shown_;
  }

  // The clock time the sink waits for next (bounded wait for it to wait).
  GstClockTime NextDue() {
    GList* pending = nullptr;
    if (!gst_test_clock_timed_wait_for_multiple_pending_ids(clock_, 1, 10000, &pending)) return GST_CLOCK_TIME_NONE;
    const GstClockTime due = gst_clock_id_get_time(static_cast<GstClockID>(pending->data));
    g_list_free_full(pending, reinterpret_cast<GDestroyNotify>(gst_clock_id_unref));
    return due;
  }

  FrameCallback onFrame_;
  ElementPtr pipeline_;
  GstElement* source_ = nullptr;
  GstTestClock* clock_ = nullptr;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::int64_t> shown_;
};

TEST_F(VideoOutputClock, FirstFrameIsShownAtOnceAndTheRestArePacedFromIt) {
  const auto ns = [](GstClockTime t) { return static_cast<std::int64_t>(t); };
  // The stream starts 540 ms in; the clock stands still.
  Push(540 * GST_MSECOND);
  Push(580 * GST_MSECOND);
  ASSERT_TRUE(WaitForFrames(1)) << "the first frame waited for its timestamp";
  EXPECT_EQ(NextDue(), kStart) << "the first frame's own turn in the sink is now";
  gst_clock_id_unref(gst_test_clock_process_next_clock_id(clock_));
  EXPECT_EQ(NextDue(), kStart + kFrame) << "the second frame is due one frame after the first";
  gst_test_clock_crank(clock_);
  ASSERT_TRUE(WaitForFrames(2));
  EXPECT_EQ(Shown(), (std::vector<std::int64_t>{ns(540 * GST_MSECOND), ns(580 * GST_MSECOND)}))
      << "each frame reaches the client once";

  // A jump: the stream is flushed with its time reset and goes on far ahead.
  gst_element_send_event(source_, gst_event_new_flush_start());
  gst_element_send_event(source_, gst_event_new_flush_stop(TRUE));
  const GstClockTime now = gst_clock_get_time(GST_CLOCK(clock_));
  Push(7 * GST_SECOND);
  Push(7 * GST_SECOND + kFrame);
  ASSERT_TRUE(WaitForFrames(3)) << "the first frame after the jump waited";
  EXPECT_EQ(NextDue(), now);
  gst_clock_id_unref(gst_test_clock_process_next_clock_id(clock_));
  EXPECT_EQ(NextDue(), now + kFrame);
  gst_test_clock_crank(clock_);
  ASSERT_TRUE(WaitForFrames(4));
  EXPECT_EQ(Shown().size(), 4u);
}

}  // namespace
}  // namespace tovelax
