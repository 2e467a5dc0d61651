#include "platform/win/portal_file_chooser.h"

#include <systemd/sd-bus.h>

#include <atomic>
#include <memory>
#include <utility>

#include "platform/win/message.h"

namespace plat {

namespace {

constexpr const char* kPortal = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kFileChooser = "org.freedesktop.portal.FileChooser";
constexpr const char* kRequest = "org.freedesktop.portal.Request";
constexpr std::uint64_t kCallTimeoutUsec = 5'000'000;

struct BusDeleter {
  void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
using BusPtr = std::unique_ptr<sd_bus, BusDeleter>;

BusPtr OpenBus(const std::string& address) {
  sd_bus* raw = nullptr;
  if (address.empty()) {
    if (sd_bus_open_user(&raw) < 0) return nullptr;
    return BusPtr(raw);
  }
  if (sd_bus_new(&raw) < 0) return nullptr;
  BusPtr bus(raw);
  if (sd_bus_set_address(raw, address.c_str()) < 0 || sd_bus_set_bus_client(raw, 1) < 0 || sd_bus_start(raw) < 0)
    return nullptr;
  return bus;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// What the Response signal brought.
struct Answer {
  bool arrived = false;
  std::uint32_t code = 2;  // 0 chosen, 1 cancelled, 2 ended otherwise
  std::vector<std::string> uris;
};

// Reads the "uris" entry of the results (a{sv}).
int ReadResults(sd_bus_message* m, Answer& answer) {
  int r = sd_bus_message_enter_container(m, 'a', "{sv}");
  if (r < 0) return r;
  while ((r = sd_bus_message_enter_container(m, 'e', "sv")) > 0) {
    const char* key = nullptr;
    if ((r = sd_bus_message_read(m, "s", &key)) < 0) return r;
    if (std::string(key) == "uris") {
      if ((r = sd_bus_message_enter_container(m, 'v', "as")) < 0) return r;
      if ((r = sd_bus_message_enter_container(m, 'a', "s")) < 0) return r;
      const char* uri = nullptr;
      while ((r = sd_bus_message_read(m, "s", &uri)) > 0) answer.uris.emplace_back(uri);
      if (r < 0) return r;
      sd_bus_message_exit_container(m);
      sd_bus_message_exit_container(m);
    } else if ((r = sd_bus_message_skip(m, "v")) < 0) {
      return r;
    }
    sd_bus_message_exit_container(m);
  }
  if (r < 0) return r;
  return sd_bus_message_exit_container(m);
}

int OnResponse(sd_bus_message* m, void* data, sd_bus_error*) {
  auto& answer = *static_cast<Answer*>(data);
  answer.arrived = true;
  if (sd_bus_message_read(m, "u", &answer.code) < 0 || ReadResults(m, answer) < 0) answer.code = 2;
  return 0;
}

// The options of OpenFile: a token naming the request, multiple selection
// and the filters.
int AppendOptions(sd_bus_message* m, const OpenFileRequest& request, const std::string& token) {
  int r = sd_bus_message_open_container(m, 'a', "{sv}");
  if (r < 0) return r;
  if ((r = sd_bus_message_append(m, "{sv}", "handle_token", "s", token.c_str())) < 0) return r;
  if ((r = sd_bus_message_append(m, "{sv}", "multiple", "b", (request.flags & OFN_ALLOWMULTISELECT) ? 1 : 0)) < 0)
    return r;
  const auto filters = ParseFileFilter(request.filter);
  if (!filters.empty()) {
    if ((r = sd_bus_message_open_container(m, 'e', "sv")) < 0) return r;
    if ((r = sd_bus_message_append(m, "s", "filters")) < 0) return r;
    if ((r = sd_bus_message_open_container(m, 'v', "a(sa(us))")) < 0) return r;
    if ((r = sd_bus_message_open_container(m, 'a', "(sa(us))")) < 0) return r;
    for (const auto& [name, patterns] : filters) {
      if ((r = sd_bus_message_open_container(m, 'r', "sa(us)")) < 0) return r;
      if ((r = sd_bus_message_append(m, "s", name.c_str())) < 0) return r;
      if ((r = sd_bus_message_open_container(m, 'a', "(us)")) < 0) return r;
      for (const std::string& pattern : patterns)
        if ((r = sd_bus_message_append(m, "(us)", 0u, pattern.c_str())) < 0) return r;
      for (int i = 0; i < 2; ++i)
        if ((r = sd_bus_message_close_container(m)) < 0) return r;
    }
    for (int i = 0; i < 3; ++i)
      if ((r = sd_bus_message_close_container(m)) < 0) return r;
  }
  return sd_bus_message_close_container(m);
}

bool Choose(const std::string& address, std::chrono::seconds limit, const OpenFileRequest& request,
            std::vector<std::string>& paths) {
  BusPtr bus = OpenBus(address);
  if (!bus) return false;
  sd_bus_set_method_call_timeout(bus.get(), kCallTimeoutUsec);
  const char* unique = nullptr;
  if (sd_bus_get_unique_name(bus.get(), &unique) < 0 || !unique) return false;
  // The request object's path is known before the call, so the answer
  // cannot slip past the match.
  static std::atomic<unsigned> counter{0};
  const std::string token = "marivel" + std::to_string(++counter);
  std::string sender = unique + (unique[0] == ':' ? 1 : 0);
  for (char& c : sender)
    if (c == '.') c = '_';
  const std::string handle = std::string(kPortalPath) + "/request/" + sender + "/" + token;
  Answer answer;
  sd_bus_slot* slot = nullptr;
  if (sd_bus_match_signal(bus.get(), &slot, kPortal, handle.c_str(), kRequest, "Response", &OnResponse, &answer) < 0)
    return false;
  std::unique_ptr<sd_bus_slot, decltype(&sd_bus_slot_unref)> match(slot, &sd_bus_slot_unref);

  sd_bus_message* call = nullptr;
  if (sd_bus_message_new_method_call(bus.get(), &call, kPortal, kPortalPath, kFileChooser, "OpenFile") < 0)
    return false;
  std::unique_ptr<sd_bus_message, decltype(&sd_bus_message_unref)> message(call, &sd_bus_message_unref);
  const std::string title = (request.flags & OFN_ALLOWMULTISELECT) ? "Choose files" : "Choose a file";
  if (sd_bus_message_append(call, "ss", "", title.c_str()) < 0 || AppendOptions(call, request, token) < 0)
    return false;
  sd_bus_error error = SD_BUS_ERROR_NULL;
  sd_bus_message* reply = nullptr;
  const int r = sd_bus_call(bus.get(), call, kCallTimeoutUsec, &error, &reply);
  sd_bus_error_free(&error);
  sd_bus_message_unref(reply);
  if (r < 0) return false;

  // The dialog is the desktop's: meanwhile this thread's windows still get
  // their messages.
  const auto until = std::chrono::steady_clock::now() + limit;
  while (!answer.arrived && std::chrono::steady_clock::now() < until) {
    while (sd_bus_process(bus.get(), nullptr) > 0 && !answer.arrived) {
    }
    if (answer.arrived) break;
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
      }
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
    sd_bus_wait(bus.get(), 20'000);
  }
  if (!answer.arrived || answer.code != 0) return false;
  for (const std::string& uri : answer.uris) {
    std::string path = PathFromFileUri(uri);
    if (!path.empty()) paths.push_back(std::move(path));
  }
  return !paths.empty();
}

}  // namespace

std::vector<std::pair<std::string, std::vector<std::string>>> ParseFileFilter(const std::string& filter) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : filter) {
    if (c == '|') {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  std::vector<std::pair<std::string, std::vector<std::string>>> filters;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].empty()) break;  // "||" ends the list
    std::vector<std::string> patterns;
    std::string pattern;
    for (char c : parts[i + 1] + ';') {
      if (c == ';') {
        if (!pattern.empty()) patterns.push_back(pattern);
        pattern.clear();
      } else {
        pattern += c;
      }
    }
    filters.emplace_back(parts[i], std::move(patterns));
  }
  return filters;
}

std::string PathFromFileUri(const std::string& uri) {
  constexpr std::string_view kScheme = "file://";
  if (uri.compare(0, kScheme.size(), kScheme) != 0) return {};
  std::string rest = uri.substr(kScheme.size());
  // "file://host/path": only this machine's files.
  const std::size_t slash = rest.find('/');
  if (slash == std::string::npos) return {};
  const std::string host = rest.substr(0, slash);
  if (!host.empty() && host != "localhost") return {};
  std::string path;
  for (std::size_t i = slash; i < rest.size(); ++i) {
    if (rest[i] == '%' && i + 2 < rest.size() && HexValue(rest[i + 1]) >= 0 && HexValue(rest[i + 2]) >= 0) {
      path += static_cast<char>(HexValue(rest[i + 1]) * 16 + HexValue(rest[i + 2]));
      i += 2;
    } else {
      path += rest[i];
    }
  }
  if (path.find('\0') != std::string::npos) return {};
  return path;
}

FileChooser MakePortalFileChooser(std::string busAddress, std::chrono::seconds limit) {
  return [address = std::move(busAddress), limit](const OpenFileRequest& request, std::vector<std::string>& paths) {
    paths.clear();
    return Choose(address, limit, request, paths);
  };
}

}  // namespace plat
