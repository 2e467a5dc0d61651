// Teletext from a tuner card: a worker reads the card's VBI device and feeds
// its teletext lines into the decoder, as the virtual stations' lines are fed.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "outside/tvrecorder/teletext.h"
#include "platform/media/tv/v4l2_vbi.h"

namespace tvrec {

class VbiReader {
 public:
  // `onPages` runs on the worker when new pages were completed.
  VbiReader(std::unique_ptr<plat::tv::V4l2Vbi> vbi, std::shared_ptr<TeletextDecoder> decoder,
            std::function<void()> onPages);
  // Stops and joins the worker (within one wait of 100 ms).
  ~VbiReader();
  VbiReader(const VbiReader&) = delete;
  VbiReader& operator=(const VbiReader&) = delete;

  // False once the device failed and the worker ended.
  bool running() const { return running_; }

 private:
  void Loop();

  std::unique_ptr<plat::tv::V4l2Vbi> vbi_;
  std::shared_ptr<TeletextDecoder> decoder_;
  std::function<void()> onPages_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> running_{true};
  std::thread worker_;
};

}  // namespace tvrec
