// The program's switches for the screen saver, display power-off and system
// sleep while something is being watched. The application object owns the
// one implementation; the frame's services hand their calls to it. Each
// state is saved once when it is switched off and given back once.
#pragma once

class IPowerControl {
 public:
  // Screen saver and display power-off off, system and display kept awake.
  virtual int SuspendPowerSaving() = 0;
  // Gives back what SuspendPowerSaving switched off.
  virtual int RestorePowerSaving() = 0;
  // 0 keeps the display on until called with non-zero.
  virtual int KeepDisplayOn(int release) = 0;
  // 0 saves and switches the screen saver off; 1 gives the saved state back.
  virtual int EnableScreenSaver(int enable) = 0;
  // 0 saves and switches display power-off off; 1 gives it back.
  virtual int EnableMonitorPowerOff(int enable) = 0;

 protected:
  ~IPowerControl() = default;
};
