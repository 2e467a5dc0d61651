// Damaged DVDs: IFOs cut short or pointing past their own end are refused
// before the reading library parses them; sound discs still play.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "outside/tovelax/ifo_check.h"
#include "outside/tovelax/tovelax_api.h"

namespace tovelax {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const fs::path& FixtureDvd() {
  static const fs::path dir = [] {
    const std::string command = std::string(TOVELAX_FIXTURE_SCRIPT) + " " + TOVELAX_FIXTURE_DIR;
    if (std::system(command.c_str()) != 0) return fs::path();
    return fs::path(TOVELAX_FIXTURE_DIR) / "dvd";
  }();
  return dir;
}

std::vector<std::uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value, int width) {
  for (int i = width - 1; i >= 0; --i, value >>= 8) bytes[at + static_cast<std::size_t>(i)] = value & 0xff;
}

// A copy of the test DVD's VIDEO_TS folder in which one file can be damaged.
// Files left alone are hard links (copies across file systems).
class DiscCopy {
 public:
  explicit DiscCopy(const std::string& name)
      : root_(fs::path(TOVELAX_FIXTURE_DIR).parent_path() /
              ("tovelax-damaged-" + std::to_string(::getpid()) + "-" + name)) {
    fs::remove_all(root_);
    fs::create_directories(root_ / "VIDEO_TS");
    for (const auto& entry : fs::directory_iterator(FixtureDvd() / "VIDEO_TS")) {
      std::error_code ec;
      fs::create_hard_link(entry.path(), File(entry.path().filename().string()), ec);
      if (ec) fs::copy_file(entry.path(), File(entry.path().filename().string()));
    }
  }
  ~DiscCopy() { fs::remove_all(root_); }
  fs::path File(const std::string& name) const { return root_ / "VIDEO_TS" / name; }
  // Replaces a file by a copy of its first `length` bytes.
  void Cut(const std::string& name, std::uintmax_t length) {
    Write(name, ReadAll(File(name)));
    fs::resize_file(File(name), length);
  }
  // Replaces a file by new contents (never through the shared link).
  void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    fs::remove(File(name));
    std::ofstream out(File(name), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  void Remove(const std::string& name) { fs::remove(File(name)); }
  std::string Root() const { return root_.string(); }

 private:
  fs::path root_;
};

// The built library, as the DVD engine loads it.
class Engine {
 public:
  Engine() {
    const std::string path = std::string(MARIVEL_TEST_BIN_DIR) + "/Movie/libtovelax.so";
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) return;
    auto get = reinterpret_cast<GetMMAPIFn>(dlsym(handle_, kApiEntry));
    release_ = reinterpret_cast<ReleaseMMAPIFn>(dlsym(handle_, kReleaseEntry));
    api_ = get ? get() : nullptr;
    if (!api_) return;
    std::int32_t discard = 1;
    api_->Source()->SetProperty(kPropAudioOutput, &discard, 4);
    api_->Events()->SetNotifyWindow(reinterpret_cast<HWND>(0x1001), kDefaultEventMessage, 0);
  }
  ~Engine() {
    if (api_) {
      api_->Source()->Close();
      Drain();
      release_();
    }
    if (handle_) dlclose(handle_);
  }
  IMMAPI* api() const { return api_; }

  // Waits until the engine reports `code` with `value1`.
  bool WaitFor(std::int32_t code, std::intptr_t value1) {
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < deadline) {
      if (Drain(code, value1)) return true;
      std::this_thread::sleep_for(20ms);
    }
    return false;
  }

 private:
  bool Drain(std::int32_t wanted = 0, std::intptr_t wantedValue = 0) {
    bool seen = false;
    std::int32_t code;
    std::intptr_t v1, v2;
    while (api_->Events()->GetEvent(&code, &v1, &v2) == kOk) {
      seen = seen || (code == wanted && v1 == wantedValue);
      api_->Events()->FreeEvent(code, v1, v2);
    }
    while (api_->VideoWindow()->DeliverFrame() == kOk) {
    }
    return seen;
  }

  void* handle_ = nullptr;
  IMMAPI* api_ = nullptr;
  ReleaseMMAPIFn release_ = nullptr;
};

enum class Backup { kKept, kRemoved, kCutToo };

struct Damage {
  std::string file;
  std::uintmax_t length;  // the file's length after the cut
  Backup backup;
};

std::string Describe(const Damage& d) {
  static const char* const kBackup[] = {"backup kept", "backup removed", "backup cut too"};
  return d.file + " cut to " + std::to_string(d.length) + ", " + kBackup[static_cast<int>(d.backup)];
}

std::string BackupOf(const std::string& ifo) { return ifo.substr(0, ifo.size() - 3) + "BUP"; }

// Every sound IFO of the test DVD passes the check.
TEST(IfoCheck, TheTestDiscsFilesAreSound) {
  ASSERT_FALSE(FixtureDvd().empty());
  const fs::path folder = FixtureDvd() / "VIDEO_TS";
  for (const char* name : {"VIDEO_TS.IFO", "VIDEO_TS.BUP"})
    EXPECT_EQ(IfoProblem(ReadAll(folder / name), IfoKind::kManager), "") << name;
  for (const char* name : {"VTS_01_0.IFO", "VTS_01_0.BUP"})
    EXPECT_EQ(IfoProblem(ReadAll(folder / name), IfoKind::kTitleSet), "") << name;
  EXPECT_EQ(IfoTitleSetCount(ReadAll(folder / "VIDEO_TS.IFO")), 1);
  EXPECT_EQ(DiscIfoProblem(FixtureDvd().string()), "");
  EXPECT_EQ(DiscIfoProblem((FixtureDvd() / "VIDEO_TS").string()), "");
}

// Headers whose pointers or sizes lead outside the file, at every level the
// reading library follows (the header, a table, a table inside a table, a
// program chain's parts), and numbers the navigator follows unchecked to
// title sets, chains, programs or cells that do not exist.
TEST(IfoCheck, PointersOutsideTheFileAndNumbersOfMissingPartsAreFound) {
  ASSERT_FALSE(FixtureDvd().empty());
  struct Case {
    const char* what;
    const char* file;
    std::size_t at;
    std::uint32_t value;
    int width;
  };
  // Offsets in the test DVD: the manager's title search table at sector 1
  // (titles from +8, 12 bytes each), its menu program chains at sector 2
  // (first language unit's table at +16, its first chain at +8 inside that); the title set's chapter
  // table at sector 1 (first chapter at +16), its program chain table at
  // sector 2 (first chain at +24, its program map at +252), its time map
  // table at sector 4 (first map at +16).
  const Case cases[] = {
      {"wrong identifier", "VIDEO_TS.IFO", 9, 'X', 1},
      {"more IFO sectors than the file has", "VIDEO_TS.IFO", 28, 6, 4},
      {"management table past its sector", "VIDEO_TS.IFO", 128, 4096, 4},
      {"first-play chain past the end", "VIDEO_TS.IFO", 132, 12200, 4},
      {"title search table past the end", "VIDEO_TS.IFO", 196, 6, 4},
      {"title search table absent", "VIDEO_TS.IFO", 196, 0, 4},
      {"title search table longer than the file", "VIDEO_TS.IFO", 2048 + 4, 20000, 4},
      {"more titles than the table holds", "VIDEO_TS.IFO", 2048, 400, 2},
      {"title names a title set that does not exist", "VIDEO_TS.IFO", 2048 + 8 + 6, 2, 1},
      {"menu language unit past its table", "VIDEO_TS.IFO", 4096 + 12, 5000, 4},
      {"menu chain count beyond its table", "VIDEO_TS.IFO", 4096 + 16, 60, 2},
      {"cell address table longer than the file", "VIDEO_TS.IFO", 4 * 2048 + 4, 0xffffffff, 4},
      {"VOBU map longer than the file", "VIDEO_TS.IFO", 5 * 2048, 9000, 4},
      {"wrong identifier", "VTS_01_0.IFO", 11, 'G', 1},
      {"chapter table past the end", "VTS_01_0.IFO", 200, 90, 4},
      {"program chain table absent", "VTS_01_0.IFO", 204, 0, 4},
      {"program chain past its table", "VTS_01_0.IFO", 2 * 2048 + 12, 640, 4},
      {"cell playback past its table", "VTS_01_0.IFO", 2 * 2048 + 24 + 3, 200, 1},
      {"command table past its table", "VTS_01_0.IFO", 2 * 2048 + 24 + 228, 0xfff0, 2},
      {"chapter names a program chain that does not exist", "VTS_01_0.IFO", 2048 + 16, 3, 2},
      {"chapter names a program its chain lacks", "VTS_01_0.IFO", 2048 + 18, 3, 2},
      {"program starts at a cell its chain lacks", "VTS_01_0.IFO", 2 * 2048 + 24 + 252 + 1, 9, 1},
      {"time map entries past the end", "VTS_01_0.IFO", 4 * 2048 + 16 + 2, 0xffff, 2},
      {"title VOBU map longer than the file", "VTS_01_0.IFO", 8 * 2048, 3000, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + ": " + c.what);
    auto bytes = ReadAll(FixtureDvd() / "VIDEO_TS" / c.file);
    ASSERT_GT(bytes.size(), c.at + 4);
    Put(bytes, c.at, c.value, c.width);
    const IfoKind kind = c.file[1] == 'I' ? IfoKind::kManager : IfoKind::kTitleSet;
    EXPECT_NE(IfoProblem(bytes, kind), "");
  }
  // A manager's file is no title set's, and the reverse.
  EXPECT_NE(IfoProblem(ReadAll(FixtureDvd() / "VIDEO_TS" / "VIDEO_TS.IFO"), IfoKind::kTitleSet), "");
  EXPECT_NE(IfoProblem(ReadAll(FixtureDvd() / "VIDEO_TS" / "VTS_01_0.IFO"), IfoKind::kManager), "");
}

// The sweep: IFOs of the manager and the title set cut to many lengths
// around the sector boundaries, with the backup kept, removed or cut too.
// Each cut disc is refused with the open error, never opened; a disc cut
// nowhere (the full length) plays into a title.
TEST(DamagedDisc, CutIfosAreRefusedAndWholeOnesPlay) {
  ASSERT_FALSE(FixtureDvd().empty());
  std::vector<Damage> damages;
  for (const char* file : {"VIDEO_TS.IFO", "VTS_01_0.IFO"}) {
    std::set<std::uintmax_t> lengths;
    for (std::uintmax_t n = 0; n <= 8192; n += 256) lengths.insert(n);
    for (std::uintmax_t n = 2040; n <= 2056; ++n) lengths.insert(n);
    for (std::uintmax_t n = 4088; n <= 4104; ++n) lengths.insert(n);
    lengths.insert(fs::file_size(FixtureDvd() / "VIDEO_TS" / file) - 1);
    for (const std::uintmax_t n : lengths)
      for (const Backup backup : {Backup::kKept, Backup::kRemoved}) damages.push_back({file, n, backup});
    for (const std::uintmax_t n : {std::uintmax_t{2048}, std::uintmax_t{4095}})
      damages.push_back({file, n, Backup::kCutToo});
  }
  Engine engine;
  ASSERT_NE(engine.api(), nullptr) << dlerror();
  for (const Damage& damage : damages) {
    SCOPED_TRACE(Describe(damage));
    DiscCopy disc("sweep");
    disc.Cut(damage.file, damage.length);
    if (damage.backup == Backup::kRemoved) disc.Remove(BackupOf(damage.file));
    if (damage.backup == Backup::kCutToo) disc.Cut(BackupOf(damage.file), damage.length);
    EXPECT_NE(DiscIfoProblem(disc.Root()), "");
    const HRESULT opened = engine.api()->Source()->Open(disc.Root().c_str());
    // A cut manager IFO may not even look like a DVD folder any more.
    EXPECT_TRUE(opened == kUnplayable || opened == kFail) << std::hex << opened;
    engine.api()->Source()->Close();
  }
}

// Discs that are whole, or that lose one copy of a title set's file and
// keep the other, play into a title; a damaged backup beside a sound IFO is
// refused all the same (the library turns to the backup when it dislikes
// the IFO).
TEST(DamagedDisc, OneSoundCopyPlaysAndADamagedBackupIsRefused) {
  ASSERT_FALSE(FixtureDvd().empty());
  struct Case {
    const char* what;
    const char* cut;      // file cut to 3000 bytes, or nullptr
    const char* removed;  // file removed, or nullptr
    bool plays;
  };
  const Case cases[] = {
      {"whole disc", nullptr, nullptr, true},
      {"no manager backup", nullptr, "VIDEO_TS.BUP", true},
      {"no title set backup", nullptr, "VTS_01_0.BUP", true},
      {"title set IFO lost, backup sound", nullptr, "VTS_01_0.IFO", true},
      {"manager backup cut", "VIDEO_TS.BUP", nullptr, false},
      {"title set backup cut", "VTS_01_0.BUP", nullptr, false},
      {"title set lost both copies", "VTS_01_0.BUP", "VTS_01_0.IFO", false},
  };
  Engine engine;
  ASSERT_NE(engine.api(), nullptr) << dlerror();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DiscCopy disc("copies");
    if (c.cut) disc.Cut(c.cut, 3000);
    if (c.removed) disc.Remove(c.removed);
    if (!c.plays) {
      EXPECT_NE(DiscIfoProblem(disc.Root()), "");
      EXPECT_EQ(engine.api()->Source()->Open(disc.Root().c_str()), kUnplayable);
      continue;
    }
    EXPECT_EQ(DiscIfoProblem(disc.Root()), "");
    ASSERT_EQ(engine.api()->Source()->Open(disc.Root().c_str()), kOk);
    ASSERT_EQ(engine.api()->Transport()->Play(), kOk);
    ASSERT_TRUE(engine.WaitFor(kEvDomainChange, kDomainDiscMenu));
    ASSERT_EQ(engine.api()->Transport()->SelectByNumber(1), kOk);
    EXPECT_TRUE(engine.WaitFor(kEvTitleChange, 1));
    engine.api()->Source()->Close();
  }
}

}  // namespace
}  // namespace tovelax
