// A writer's disc image written while the process is killed: the image is
// the previous one or the new one, whole, and the partial file the kill
// left goes when the next process starts.
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "outside/authoring/image_files.h"
#include "platform/sys/atomic_file.h"
#include "tests/support/kill_loop.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kImageBytes = 24 << 20;

void WriteImage(const std::string& target, char fill) {
  authoring::PendingImage image(target);
  {
    std::ofstream out(image.path(), std::ios::binary);
    const std::string block(1 << 20, fill);
    for (std::size_t written = 0; written < kImageBytes; written += block.size()) out << block;
  }
  image.Commit();
}

TEST(ImageKill, KilledImageWritesLeaveAWholeImageAndNoPartialFileAfterStart) {
  const fs::path folder = fs::path(::testing::TempDir()) / ("image-kill-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  const std::string target = (folder / "disc.bin").string();
  WriteImage(target, 'a');
  test_support::KillWhileWriting(
      12, 400000,
      [&](int readyFd) {
        test_support::SignalReady(readyFd);
        for (char fill = 'b';; fill = fill == 'z' ? 'b' : static_cast<char>(fill + 1)) WriteImage(target, fill);
      },
      [&](int round) {
        ASSERT_EQ(fs::file_size(target), kImageBytes) << "round " << round;
        // What the start does in the writer's folder.
        plat::RemoveStaleTemporaryFilesIn(folder.string());
        for (const auto& entry : fs::directory_iterator(folder))
          ASSERT_EQ(entry.path().filename(), "disc.bin") << "round " << round << ": " << entry.path();
      });
  fs::remove_all(folder);
}

}  // namespace
