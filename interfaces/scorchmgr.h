// The burning library the camcorder engine loads by path for captures
// straight to disc: three C entry points and the disc-writer instance (a
// plain table without IUnknown, slots from 0). Results are 0 on success or
// the library's error codes.
#pragma once

#include <cstdint>

namespace scorch {

// Writer and disc information the engine reads before a capture to disc.
struct DriveInfo {             // 352 bytes
  std::uint32_t capabilities;  // 0x80, 0x100, 0x200, 0x400: disc families it writes
  std::uint8_t rest[348];
};
static_assert(sizeof(DriveInfo) == 352);
struct DiscInfo {              // 52 bytes
  std::uint8_t kind;           // bits 0x1, 0x2, 0x8
  std::uint8_t pad[3];
  std::int32_t inUse;          // 0 when the disc is free to write
  std::uint8_t rest[44];
};
static_assert(sizeof(DiscInfo) == 52);

class IDiscWriter {
 public:
  virtual int Reserved0() { return 0; }                                       // 0
  virtual int Reserved1() { return 0; }                                       // 1
  virtual int GetDriveCount() = 0;                                            // 2
  virtual int Reserved3() { return 0; }                                       // 3
  virtual int SelectDrive(int index) = 0;                                     // 4
  virtual int Reserved5() { return 0; }                                       // 5
  virtual int Reserved6() { return 0; }                                       // 6
  virtual int GetDriveName(int which, int size, char* name) = 0;             // 7
  virtual std::intptr_t GetWriter(int which) = 0;                             // 8
  virtual int Reserved9() { return 0; }                                       // 9
  virtual int GetDriveInfo(int which, DriveInfo* info) = 0;                   // 10
  virtual int Reserved11() { return 0; }                                      // 11
  virtual int Reserved12() { return 0; }                                      // 12
  virtual int Reserved13() { return 0; }                                      // 13
  virtual int Reserved14() { return 0; }                                      // 14
  virtual int Reserved15() { return 0; }                                      // 15
  virtual int Reserved16() { return 0; }                                      // 16
  virtual int Reserved17() { return 0; }                                      // 17
  virtual int Reserved18() { return 0; }                                      // 18
  virtual int GetDiscInfo(int which, DiscInfo* info) = 0;                     // 19

 protected:
  ~IDiscWriter() = default;
};

using CreateDiscWriterInstanceFn = int (*)(IDiscWriter** out);
using DestroyDiscWriterInstanceFn = int (*)(IDiscWriter* writer);
using BMGetErrTextFn = int (*)(int code, char* text, int size);

// Codes the engine's holder returns.
inline constexpr std::int32_t kErrChangeFolder = static_cast<std::int32_t>(0xE0FF0034);
inline constexpr std::int32_t kErrLoad = static_cast<std::int32_t>(0xE0FF0031);
inline constexpr std::int32_t kErrEntry = static_cast<std::int32_t>(0xE0FF0033);
inline constexpr std::int32_t kErrFree = static_cast<std::int32_t>(0xE0FF0032);

// The library's file name on this system.
inline constexpr const char* kLibraryName = "libscorchmgr.so";

}  // namespace scorch
