#include "engines/picture/slidedraw/frame_composer.h"

#include <algorithm>

#include "engines/picture/picture_core/fit.h"
#include "engines/picture/picture_core/picture_file.h"
#include "engines/picture/picture_core/pixel_ops.h"
#include "engines/picture/slidedraw/transition_effects.h"

namespace slidedraw {
namespace {
constexpr std::size_t kCachedSlides = 4;  // current, next, and one each way for stepping
}

plat::Surface RenderSlide(const std::string& path, int width, int height) {
  plat::Surface out(width, height, 0xFF000000u);
  if (out.empty()) return out;
  picture::LoadOptions options;
  options.min_width = width;
  options.min_height = height;
  options.metadata = false;
  auto loaded = picture::LoadPictureFile(path, options);
  if (!loaded || loaded->pixels.empty()) return out;
  int x = 0, y = 0, w = width, h = height;
  if (!picture::FitRatio(&x, &y, &w, &h,
                         static_cast<double>(loaded->pixels.width()) / static_cast<double>(loaded->pixels.height())))
    return out;
  w = std::max(w, 1);
  h = std::max(h, 1);
  auto scaled = picture::Resize(loaded->pixels, w, h, true);
  if (!scaled) return out;
  for (int row = 0; row < h && y + row < height; ++row) {
    if (y + row < 0) continue;
    const std::uint32_t* src = scaled->row(row);
    std::uint32_t* dst = out.row(y + row);
    for (int col = 0; col < w && x + col < width; ++col)
      if (x + col >= 0) dst[x + col] = src[col] | 0xFF000000u;
  }
  return out;
}

FrameComposer::FrameComposer() : worker_([this] { WorkerLoop(); }) {}

FrameComposer::~FrameComposer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

void FrameComposer::SetSize(int width, int height) {
  std::lock_guard lock(mutex_);
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  requests_.clear();
  cache_.remove_if([](const Entry& e) { return e.picture != nullptr; });
}

int FrameComposer::width() const {
  std::lock_guard lock(mutex_);
  return width_;
}

int FrameComposer::height() const {
  std::lock_guard lock(mutex_);
  return height_;
}

void FrameComposer::Prefetch(const std::string& path) {
  {
    std::lock_guard lock(mutex_);
    for (const Entry& e : cache_)
      if (e.path == path && e.width == width_ && e.height == height_) return;
    if (std::find(requests_.begin(), requests_.end(), path) != requests_.end()) return;
    requests_.push_back(path);
  }
  changed_.notify_all();
}

void FrameComposer::TrimLocked() {
  while (cache_.size() > kCachedSlides) {
    auto victim = std::find_if(cache_.rbegin(), cache_.rend(), [](const Entry& e) { return e.picture != nullptr; });
    if (victim == cache_.rend()) return;
    cache_.erase(std::next(victim).base());
  }
}

Picture FrameComposer::SlidePicture(const std::string& path) {
  std::unique_lock lock(mutex_);
  const int width = width_;
  const int height = height_;
  for (;;) {
    auto it = std::find_if(cache_.begin(), cache_.end(), [&](const Entry& e) {
      return e.path == path && e.width == width && e.height == height;
    });
    if (it == cache_.end()) break;
    if (it->picture) {
      cache_.splice(cache_.begin(), cache_, it);
      return cache_.front().picture;
    }
    changed_.wait(lock);  // the worker is decoding it
  }
  std::erase(requests_, path);
  lock.unlock();
  auto picture = std::make_shared<const plat::Surface>(RenderSlide(path, width, height));
  lock.lock();
  if (width == width_ && height == height_) {
    cache_.push_front(Entry{path, width, height, picture});
    TrimLocked();
  }
  return picture;
}

void FrameComposer::WorkerLoop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !requests_.empty(); });
    if (stopping_) return;
    const std::string path = requests_.front();
    requests_.pop_front();
    const int width = width_;
    const int height = height_;
    cache_.push_front(Entry{path, width, height, nullptr});
    lock.unlock();
    auto picture = std::make_shared<const plat::Surface>(RenderSlide(path, width, height));
    lock.lock();
    auto it = std::find_if(cache_.begin(), cache_.end(), [&](const Entry& e) {
      return e.path == path && e.width == width && e.height == height && !e.picture;
    });
    if (it != cache_.end()) it->picture = std::move(picture);
    TrimLocked();
    changed_.notify_all();
  }
}

Picture FrameComposer::Compose(const SlideTimeline& timeline, const Moment& moment) {
  if (moment.slide < 0 || moment.slide >= timeline.count()) {
    return std::make_shared<const plat::Surface>(width(), height(), 0xFF000000u);
  }
  Picture from = SlidePicture(timeline.slide(moment.slide).path);
  if (moment.next < 0 || moment.next >= timeline.count()) {
    if (moment.slide + 1 < timeline.count()) Prefetch(timeline.slide(moment.slide + 1).path);
    return from;
  }
  Picture to = SlidePicture(timeline.slide(moment.next).path);
  auto mixed = std::make_shared<plat::Surface>(from->width(), from->height());
  ComposeTransition(timeline.slide(moment.slide).effect, moment.progress, *from, *to, *mixed);
  return mixed;
}

}  // namespace slidedraw
