// What the authoring engine tests share: a sandbox with a virtual writer in
// the registry, a sink that records every status on the thread it arrives
// on, and a message pump that runs until a job ends.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "interfaces/authoring.h"
#include "outside/authoring/authoring_engine.h"
#include "platform/com/object.h"
#include "platform/registry/registry.h"
#include "platform/sys/drive_table.h"
#include "platform/win/message.h"
#include "tests/support/temp_environment.h"

namespace authoring_test {

class RecordingSink final : public IAuthoringEventSink {
 public:
  int Notify0(SinkArg, SinkArg) override { return 0; }
  int Notify1(SinkArg, SinkArg) override { return 0; }
  int Notify2(SinkArg, SinkArg) override { return 0; }
  int Notify3(SinkArg, SinkArg) override { return 0; }
  int Notify4(SinkArg, SinkArg) override { return 0; }
  int Notify5(SinkArg, SinkArg) override { return 0; }
  int Notify6(SinkArg, SinkArg) override { return 0; }
  int Notify7(SinkArg a, SinkArg) override {
    statuses.push_back(*reinterpret_cast<const AuthoringStatus*>(a));
    threads.push_back(std::this_thread::get_id());
    return 0;
  }
  int Notify8(SinkArg, SinkArg) override { return 0; }
  int Notify9(SinkArg, SinkArg) override { return 0; }
  int Notify10(SinkArg, SinkArg) override { return 0; }
  int Notify11(SinkArg, SinkArg) override { return 0; }
  int Notify12(SinkArg, SinkArg) override { return 0; }
  int Notify13(SinkArg, SinkArg) override { return 0; }
  int Notify14(SinkArg, SinkArg) override { return 0; }
  int Notify15(SinkArg, SinkArg) override { return 0; }

  bool Ended() const { return !statuses.empty() && statuses.back().stage >= kAuthoringStageDone; }
  std::vector<AuthoringStatus> statuses;
  std::vector<std::thread::id> threads;
};

// Runs this thread's messages until `done` or the time is up.
template <typename Done>
bool PumpUntil(Done done, int seconds = 120) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    plat::MSG msg;
    while (plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE)) plat::DispatchMessage(&msg);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

inline void SetString(plat::HKEY key, const char* name, const std::string& value) {
  plat::RegSetValueExA(key, name, 0, plat::REG_SZ, reinterpret_cast<const plat::BYTE*>(value.c_str()),
                       static_cast<plat::DWORD>(value.size() + 1));
}
inline void SetDword(plat::HKEY key, const char* name, plat::DWORD value) {
  plat::RegSetValueExA(key, name, 0, plat::REG_DWORD, reinterpret_cast<const plat::BYTE*>(&value), sizeof value);
}

// Declares a virtual drive; capacity 0 leaves "Capacity" out.
inline void DeclareDrive(char letter, const std::string& path, const char* type, bool writer, plat::DWORD capacity = 0) {
  const std::string key = std::string("SoftWare\\Kestrovia\\Marivel\\VirtualDrives\\") + letter;
  plat::HKEY k = nullptr;
  ASSERT_EQ(plat::RegCreateKeyExA(plat::HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, plat::KEY_ALL_ACCESS, nullptr,
                                  &k, nullptr),
            plat::ERROR_SUCCESS);
  SetString(k, "Path", path);
  SetString(k, "Type", type);
  if (writer) SetDword(k, "Writer", 1);
  if (capacity) SetDword(k, "Capacity", capacity);
  plat::RegCloseKey(k);
}

// A sandbox: its own home and registry, no real drives, and an engine.
class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::SetVolumeSource(std::make_shared<plat::FakeVolumeSource>());
    dir_ = env_.dir();
    ASSERT_TRUE(plat::SUCCEEDED(plat::CreateComObject<CAuthoringEngine>(nullptr, IID_IAuthoringEngine,
                                                                          reinterpret_cast<void**>(&engine_))));
  }
  void TearDown() override {
    engine_.Reset();
    plat::SetVolumeSource(nullptr);
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  std::string Write(const std::string& name, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(Path(name)).parent_path());
    test_support::WriteFile(Path(name), bytes);
    return Path(name);
  }
  // Starts the job and pumps until it ends.
  bool Burn(RecordingSink& sink, const std::string& workFolder) {
    if (plat::FAILED(engine_->SetEventSink(&sink))) return false;
    if (plat::FAILED(engine_->StartBurning(workFolder.c_str()))) return false;
    return PumpUntil([&] { return sink.Ended(); });
  }

  test_support::TempEnvironment env_{"auth"};
  std::string dir_;
  plat::ComPtr<IAuthoringEngine> engine_;
};

}  // namespace authoring_test
