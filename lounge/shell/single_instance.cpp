#include "lounge/shell/single_instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "corebridge/core/user_folders.h"
#include "platform/win/window.h"

namespace {

constexpr const char* kRelayClass = "Marivel3 Instance";
constexpr plat::UINT kRaiseMessage = plat::WM_APP + 1;
constexpr char kRequest[] = "RAISE\n";
constexpr char kAnswer[] = "OK\n";
// A second start writes its request right after connecting.
constexpr int kRequestWaitMs = 500;

bool FillAddress(const std::string& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

bool WaitFor(int fd, short events, int timeoutMs) {
  pollfd p{fd, events, 0};
  int r;
  do {
    r = ::poll(&p, 1, timeoutMs);
  } while (r < 0 && errno == EINTR);
  return r > 0 && (p.revents & events);
}

bool IsFolder(const char* path) {
  struct stat st{};
  return path && *path && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

CSingleInstance::CSingleInstance(std::string folder) : folder_(folder.empty() ? DefaultFolder() : std::move(folder)) {}

CSingleInstance::~CSingleInstance() {
  if (watch_) plat::UnwatchFd(watch_);
  if (listenFd_ >= 0) {
    ::close(listenFd_);
    ::unlink(SocketPath().c_str());
  }
  if (relay_ && plat::IsWindow(relay_)) plat::DestroyWindow(relay_);
  if (lockFd_ >= 0) ::close(lockFd_);  // closing drops the lock
}

std::string CSingleInstance::DefaultFolder() {
  const char* runtime = ::getenv("XDG_RUNTIME_DIR");
  if (IsFolder(runtime)) return runtime;
  return FindUserFolders().settings;
}

std::string CSingleInstance::LockPath() const { return folder_ + "/Marivel-" + kAppId + ".lock"; }
std::string CSingleInstance::SocketPath() const { return folder_ + "/Marivel-" + kAppId + ".sock"; }

CSingleInstance::Outcome CSingleInstance::Acquire(std::function<void()> onRaise) {
  if (lockFd_ >= 0) return Outcome::First;
  const std::string lockPath = LockPath();
  const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    // A lock file we may not open is another user's.
    if (errno == EACCES || errno == EPERM) return Outcome::OtherUser;
    std::fprintf(stderr, "lounge: cannot make the instance lock %s: %s\n", lockPath.c_str(), std::strerror(errno));
    onRaise_ = std::move(onRaise);
    return Outcome::First;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    struct stat st{};
    const bool ours = ::fstat(fd, &st) == 0 && st.st_uid == ::geteuid();
    ::close(fd);
    if (!ours) return Outcome::OtherUser;
    AskRunningCopyToRaise(SocketPath());
    return Outcome::AnotherRuns;
  }
  lockFd_ = fd;
  onRaise_ = std::move(onRaise);
  Listen();
  return Outcome::First;
}

void CSingleInstance::Listen() {
  plat::WNDCLASS wc{};
  wc.lpfnWndProc = &CSingleInstance::RelayProc;
  wc.lpszClassName = kRelayClass;
  plat::RegisterClass(&wc);
  relay_ = plat::CreateWindowEx(0, kRelayClass, "", 0, 0, 0, 0, 0, plat::HWND_MESSAGE, nullptr, nullptr, this);
  if (!relay_) return;
  plat::SetWindowLongPtr(relay_, plat::GWLP_USERDATA, reinterpret_cast<plat::LONG_PTR>(this));

  sockaddr_un address{};
  const std::string path = SocketPath();
  if (!FillAddress(path, address)) {
    std::fprintf(stderr, "lounge: instance socket path too long: %s\n", path.c_str());
    return;
  }
  // We hold the lock, so a socket file left there is a crashed copy's.
  ::unlink(path.c_str());
  listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (listenFd_ < 0) return;
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listenFd_, 4) != 0) {
    std::fprintf(stderr, "lounge: cannot listen on %s: %s\n", path.c_str(), std::strerror(errno));
    ::close(listenFd_);
    listenFd_ = -1;
    return;
  }
  ::chmod(path.c_str(), 0600);
  watch_ = plat::WatchFd(listenFd_, POLLIN, [this](int, short) { Answer(); });
}

void CSingleInstance::Answer() {
  for (;;) {
    const int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) return;
    // Only this user's copies may ask (the folder is private too).
    ucred peer{};
    socklen_t size = sizeof peer;
    const bool sameUser =
        ::getsockopt(client, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
    char request[16] = {};
    ssize_t got = 0;
    if (sameUser && WaitFor(client, POLLIN, kRequestWaitMs)) got = ::recv(client, request, sizeof request - 1, 0);
    if (got == static_cast<ssize_t>(sizeof kRequest - 1) && std::memcmp(request, kRequest, sizeof kRequest - 1) == 0) {
      plat::PostMessage(relay_, kRaiseMessage, 0, 0);
      ::send(client, kAnswer, sizeof kAnswer - 1, MSG_NOSIGNAL);
    }
    ::close(client);
  }
}

plat::LRESULT CSingleInstance::RelayProc(plat::HWND window, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  if (msg == kRaiseMessage) {
    auto* self = reinterpret_cast<CSingleInstance*>(plat::GetWindowLongPtr(window, plat::GWLP_USERDATA));
    if (self && self->onRaise_) self->onRaise_();
    return 0;
  }
  return plat::DefWindowProc(window, msg, wParam, lParam);
}

bool AskRunningCopyToRaise(const std::string& socketPath, int timeoutMs) {
  sockaddr_un address{};
  if (!FillAddress(socketPath, address)) return false;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  bool answered = false;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::send(fd, kRequest, sizeof kRequest - 1, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof kRequest - 1) &&
      WaitFor(fd, POLLIN, timeoutMs)) {
    char answer[8] = {};
    answered = ::recv(fd, answer, sizeof answer - 1, 0) == static_cast<ssize_t>(sizeof kAnswer - 1) &&
               std::memcmp(answer, kAnswer, sizeof kAnswer - 1) == 0;
  }
  ::close(fd);
  return answered;
}
