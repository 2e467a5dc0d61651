// A tiny program for the single-instance test: takes the instance lock in the
// folder named by argv[1] and prints what it found. As the first copy it
// waits (at most argv[2] seconds) for one raise request, prints "raised" and
// ends.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "lounge/shell/single_instance.h"
#include "platform/win/message.h"

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  CSingleInstance instance(argv[1]);
  const CSingleInstance::Outcome outcome = instance.Acquire([] {
    std::printf("raised\n");
    std::fflush(stdout);
    plat::PostQuitMessage(0);
  });
  if (outcome == CSingleInstance::Outcome::AnotherRuns) {
    std::printf("another\n");
    return 0;
  }
  if (outcome == CSingleInstance::Outcome::OtherUser) {
    std::printf("other-user\n");
    return 1;
  }
  std::printf("first\n");
  std::fflush(stdout);
  // Ends with exit code 3 when no request came in time.
  const unsigned limitMs = static_cast<unsigned>(std::atoi(argv[2])) * 1000u;
  plat::SetTimer(nullptr, 0, limitMs, [](plat::HWND, plat::UINT, plat::UINT_PTR, plat::DWORD) {
    plat::PostQuitMessage(3);
  });
  plat::MSG msg;
  while (plat::GetMessage(&msg, nullptr, 0, 0) > 0) plat::DispatchMessage(&msg);
  return static_cast<int>(msg.wParam);
}
