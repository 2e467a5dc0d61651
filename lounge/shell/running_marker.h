// The marker the main frame puts in the running-object table while it
// exists, under the class moniker of the program, so that other parts can
// tell that a copy is running. Nothing is read from the object itself.
#pragma once

#include <cstdint>

#include "platform/com/unknown.h"

inline constexpr plat::CLSID CLSID_MarivelRunning = plat::MakeGuid("{331F1768-05A9-4DDD-B86E-DAE34DDC998A}");
inline constexpr plat::IID IID_IMarivelRunning = plat::MakeGuid("{DDEFE873-6997-4E68-BE26-39B633ADBE12}");

// The marker's one operation after IUnknown: takes four values, answers 1.
struct IMarivelRunning : plat::IUnknown {
  virtual int Notify(std::intptr_t a, std::intptr_t b, std::intptr_t c, std::intptr_t d) = 0;

 protected:
  ~IMarivelRunning() = default;
};
PLAT_BIND_IID(IMarivelRunning, IID_IMarivelRunning);

// Registers a fresh marker on construction (the table keeps it alive) and
// revokes it on Revoke or destruction.
class CRunningObjectRegistration {
 public:
  CRunningObjectRegistration();
  ~CRunningObjectRegistration() { Revoke(); }
  CRunningObjectRegistration(const CRunningObjectRegistration&) = delete;
  CRunningObjectRegistration& operator=(const CRunningObjectRegistration&) = delete;

  bool IsRegistered() const { return m_registered; }
  void Revoke();

 private:
  plat::DWORD m_cookie = 0;
  bool m_registered = false;
};
