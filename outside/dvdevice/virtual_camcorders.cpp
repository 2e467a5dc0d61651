#include "outside/dvdevice/virtual_camcorders.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "outside/dvdevice/tape.h"
#include "platform/registry/registry.h"

namespace dvdev {

namespace {

using namespace plat;

std::string ReadText(HKEY key, const char* name) {
  char text[1024] = {};
  DWORD size = sizeof text;
  DWORD type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return {};
  }
  text[sizeof text - 1] = '\0';
  return text;
}

}  // namespace

int TapeKind(const std::string& path) {
  const int fd = OpenTapeFile(path);
  if (fd < 0) return 1;
  unsigned char head[189] = {};
  const ssize_t got = pread(fd, head, sizeof head, 0);
  close(fd);
  return got == static_cast<ssize_t>(sizeof head) && head[0] == 0x47 && head[188] == 0x47 ? 2 : 1;
}

std::vector<VirtualCamcorder> ReadVirtualCamcorders(bool presentOnly) {
  std::vector<VirtualCamcorder> out;
  HKEY root = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVirtualCamcordersKey, 0, KEY_READ, &root) != ERROR_SUCCESS) return out;
  for (DWORD i = 0;; ++i) {
    char sub[256] = {};
    DWORD size = sizeof sub;
    if (RegEnumKeyExA(root, i, sub, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, sub, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
    VirtualCamcorder cam;
    cam.tape = ReadText(key, "Tape");
    cam.name = ReadText(key, "Name");
    RegCloseKey(key);
    if (cam.tape.empty()) continue;
    std::error_code ec;
    const bool present = std::filesystem::is_regular_file(cam.tape, ec);
    if (presentOnly && !present) continue;
    cam.kind = present ? TapeKind(cam.tape) : 1;
    if (cam.name.empty()) cam.name = cam.kind == 2 ? "Virtual MPEG2 (Marivel)" : "Virtual DV (Marivel)";
    out.push_back(std::move(cam));
  }
  RegCloseKey(root);
  return out;
}

TapeWatcher::TapeWatcher(const std::vector<std::string>& tapes, std::function<void()> changed)
    : changed_(std::move(changed)) {
  fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  stopFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (fd_ < 0 || stopFd_ < 0) return;
  std::set<std::string> folders;
  for (const auto& tape : tapes) {
    const std::filesystem::path path(tape);
    folders.insert(path.parent_path().string());
    names_.insert(path.filename().string());
  }
  for (const auto& folder : folders) {
    inotify_add_watch(fd_, folder.empty() ? "." : folder.c_str(),
                      IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE);
  }
  thread_ = std::thread([this] { Run(); });
}

TapeWatcher::~TapeWatcher() {
  if (stopFd_ >= 0) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(stopFd_, &one, sizeof one);
  }
  if (thread_.joinable()) thread_.join();
  if (fd_ >= 0) close(fd_);
  if (stopFd_ >= 0) close(stopFd_);
}

void TapeWatcher::Run() {
  for (;;) {
    pollfd fds[2] = {{fd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) continue;
    if (fds[1].revents) return;
    // Only changes of a tape's own name are news: a tape's folder may be a
    // busy one (/dev, where files close all the time), and reacting to
    // every change there would rescan without end.
    alignas(inotify_event) char buffer[4096];
    bool any = false;
    for (ssize_t n; (n = read(fd_, buffer, sizeof buffer)) > 0;) {
      for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if (event->len > 0 && names_.count(event->name) > 0) any = true;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    if (any && changed_) changed_();
  }
}

}  // namespace dvdev
