#include "outside/tvrecorder/vbi_reader.h"

#include <chrono>

namespace tvrec {

VbiReader::VbiReader(std::unique_ptr<plat::tv::V4l2Vbi> vbi, std::shared_ptr<TeletextDecoder> decoder,
                     std::function<void()> onPages)
    : vbi_(std::move(vbi)), decoder_(std::move(decoder)), onPages_(std::move(onPages)) {
  worker_ = std::thread([this] { Loop(); });
}

VbiReader::~VbiReader() {
  stop_ = true;
  worker_.join();
}

void VbiReader::Loop() {
  const auto start = std::chrono::steady_clock::now();
  std::vector<plat::tv::V4l2Vbi::Line> lines;
  while (!stop_) {
    const int ready = vbi_->io().WaitReadable(100);
    if (ready < 0) break;
    if (ready == 0) continue;
    lines.clear();
    if (!vbi_->ReadLines(lines)) break;
    if (lines.empty()) continue;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const int before = decoder_->pagesReceived();
    decoder_->Feed(lines, seconds);
    if (decoder_->pagesReceived() != before && onPages_) onPages_();
  }
  running_ = false;
}

}  // namespace tvrec
