// The desktop portal's file chooser on a private bus with a fake portal: the
// request carries the token, the multiple flag and the filters; the chosen
// URIs come back as paths; a cancel, a missing portal and the time limit
// answer "cancelled". Also the filter and URI texts on their own.
#include "platform/win/portal_file_chooser.h"

#include <gtest/gtest.h>
#include <systemd/sd-bus.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "tests/support/private_bus.h"

namespace {

using Filters = std::vector<std::pair<std::string, std::vector<std::string>>>;

TEST(PortalFileChooserText, FiltersAndFileUris) {
  EXPECT_EQ(plat::ParseFileFilter("Photo files (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp||"),
            (Filters{{"Photo files (*.jpg;*.jpeg;*.bmp)", {"*.jpg", "*.jpeg", "*.bmp"}}}));
  EXPECT_EQ(plat::ParseFileFilter("A|*.a|B|*.b;*.c||"), (Filters{{"A", {"*.a"}}, {"B", {"*.b", "*.c"}}}));
  EXPECT_TRUE(plat::ParseFileFilter("").empty());
  EXPECT_TRUE(plat::ParseFileFilter("|||").empty());

  const struct {
    const char* uri;
    const char* path;
  } kUris[] = {{"file:///home/u/a%20b.jpg", "/home/u/a b.jpg"},
               {"file:///home/u/%C3%BC.jpg", "/home/u/\xC3\xBC.jpg"},
               {"file://localhost/x.jpg", "/x.jpg"},
               {"file:///100%.jpg", "/100%.jpg"},       // a lone percent stays
               {"file://elsewhere/x.jpg", ""},          // another machine's file
               {"https://example.org/x.jpg", ""},
               {"file:///a%00b", ""}};                  // no NUL in a path
  for (const auto& c : kUris) EXPECT_EQ(plat::PathFromFileUri(c.uri), c.path) << c.uri;
}

// A portal that answers OpenFile with its Response right away.
class FakePortal {
 public:
  explicit FakePortal(const std::string& address) {
    if (sd_bus_new(&bus_) < 0 || sd_bus_set_address(bus_, address.c_str()) < 0 ||
        sd_bus_set_bus_client(bus_, 1) < 0 || sd_bus_start(bus_) < 0 ||
        sd_bus_request_name(bus_, "org.freedesktop.portal.Desktop", 0) < 0 ||
        sd_bus_add_object_vtable(bus_, nullptr, "/org/freedesktop/portal/desktop", "org.freedesktop.portal.FileChooser",
                                 kVtable, this) < 0)
      return;
    ready_ = true;
    thread_ = std::thread([this] {
      while (!stop_) {
        while (sd_bus_process(bus_, nullptr) > 0) {
        }
        sd_bus_wait(bus_, 20'000);
      }
    });
  }
  ~FakePortal() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    sd_bus_flush_close_unref(bus_);
  }
  bool ready() const { return ready_; }

  // The answer: 0 with `uris`, 1 cancelled; `silent` sends none.
  std::uint32_t code = 0;
  std::vector<std::string> uris;
  bool silent = false;
  // What the request carried.
  std::mutex mutex;
  std::string token;
  int multiple = -1;
  Filters filters;

 private:
  static int OpenFile(sd_bus_message* m, void* data, sd_bus_error*) {
    auto& self = *static_cast<FakePortal*>(data);
    const char* parent = nullptr;
    const char* title = nullptr;
    sd_bus_message_read(m, "ss", &parent, &title);
    std::lock_guard lock(self.mutex);
    sd_bus_message_enter_container(m, 'a', "{sv}");
    while (sd_bus_message_enter_container(m, 'e', "sv") > 0) {
      const char* key = nullptr;
      sd_bus_message_read(m, "s", &key);
      const std::string name = key;
      if (name == "handle_token") {
        const char* t = nullptr;
        sd_bus_message_read(m, "v", "s", &t);
        self.token = t;
      } else if (name == "multiple") {
        int b = 0;
        sd_bus_message_read(m, "v", "b", &b);
        self.multiple = b;
      } else if (name == "filters") {
        sd_bus_message_enter_container(m, 'v', "a(sa(us))");
        sd_bus_message_enter_container(m, 'a', "(sa(us))");
        while (sd_bus_message_enter_container(m, 'r', "sa(us)") > 0) {
          const char* filterName = nullptr;
          sd_bus_message_read(m, "s", &filterName);
          std::vector<std::string> patterns;
          sd_bus_message_enter_container(m, 'a', "(us)");
          std::uint32_t kind = 0;
          const char* pattern = nullptr;
          while (sd_bus_message_read(m, "(us)", &kind, &pattern) > 0) patterns.emplace_back(pattern);
          sd_bus_message_exit_container(m);
          sd_bus_message_exit_container(m);
          self.filters.emplace_back(filterName, std::move(patterns));
        }
        sd_bus_message_exit_container(m);
        sd_bus_message_exit_container(m);
      } else {
        sd_bus_message_skip(m, "v");
      }
      sd_bus_message_exit_container(m);
    }
    std::string sender = sd_bus_message_get_sender(m) + 1;
    for (char& c : sender)
      if (c == '.') c = '_';
    const std::string handle = "/org/freedesktop/portal/desktop/request/" + sender + "/" + self.token;
    sd_bus_reply_method_return(m, "o", handle.c_str());
    if (self.silent) return 1;
    sd_bus_message* signal = nullptr;
    sd_bus_message_new_signal(sd_bus_message_get_bus(m), &signal, handle.c_str(), "org.freedesktop.portal.Request",
                              "Response");
    sd_bus_message_append(signal, "u", self.code);
    sd_bus_message_open_container(signal, 'a', "{sv}");
    sd_bus_message_open_container(signal, 'e', "sv");
    sd_bus_message_append(signal, "s", "uris");
    sd_bus_message_open_container(signal, 'v', "as");
    sd_bus_message_open_container(signal, 'a', "s");
    for (const std::string& uri : self.uris) sd_bus_message_append(signal, "s", uri.c_str());
    for (int i = 0; i < 4; ++i) sd_bus_message_close_container(signal);
    sd_bus_send(nullptr, signal, nullptr);
    sd_bus_message_unref(signal);
    return 1;
  }
  static constexpr sd_bus_vtable kVtable[] = {
      SD_BUS_VTABLE_START(0),
      SD_BUS_METHOD("OpenFile", "ssa{sv}", "o", &FakePortal::OpenFile, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_VTABLE_END,
  };

  sd_bus* bus_ = nullptr;
  bool ready_ = false;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST(PortalFileChooser, TheDesktopsChoiceComesBackAsPaths) {
  test_support::PrivateBus bus;
  if (bus.Address().empty()) GTEST_SKIP() << "dbus-daemon is not available";
  FakePortal portal(bus.Address());
  ASSERT_TRUE(portal.ready());
  portal.uris = {"file:///media/stick/a%20b.jpg", "file:///media/stick/c.jpg"};
  const plat::FileChooser chooser = plat::MakePortalFileChooser(bus.Address(), std::chrono::seconds(10));
  const plat::OpenFileRequest request{"Photo files (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp||",
                                      plat::OFN_ALLOWMULTISELECT | plat::OFN_FILEMUSTEXIST};
  std::vector<std::string> paths;
  ASSERT_TRUE(chooser(request, paths));
  EXPECT_EQ(paths, (std::vector<std::string>{"/media/stick/a b.jpg", "/media/stick/c.jpg"}));
  {
    std::lock_guard lock(portal.mutex);
    EXPECT_FALSE(portal.token.empty());
    EXPECT_EQ(portal.multiple, 1);
    EXPECT_EQ(portal.filters, (Filters{{"Photo files (*.jpg;*.jpeg;*.bmp)", {"*.jpg", "*.jpeg", "*.bmp"}}}));
  }

  // Cancelled in the desktop's dialog; no answer within the limit.
  portal.code = 1;
  EXPECT_FALSE(chooser(request, paths));
  EXPECT_TRUE(paths.empty());
  portal.code = 0;
  portal.silent = true;
  const plat::FileChooser impatient = plat::MakePortalFileChooser(bus.Address(), std::chrono::seconds(1));
  EXPECT_FALSE(impatient(request, paths));
}

TEST(PortalFileChooser, NoPortalOnTheBusIsACancel) {
  test_support::PrivateBus bus;
  if (bus.Address().empty()) GTEST_SKIP() << "dbus-daemon is not available";
  std::vector<std::string> paths;
  EXPECT_FALSE(plat::MakePortalFileChooser(bus.Address())({"A|*.a||", 0}, paths));
  EXPECT_FALSE(plat::MakePortalFileChooser("unix:path=/nonexistent/bus")({"A|*.a||", 0}, paths));
}

}  // namespace
