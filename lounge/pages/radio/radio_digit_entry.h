// The Radio page's frequency entry from the remote's digit keys: the first
// digit starts timer 88 (1500 ms), each digit is shown on the OSD, the fifth
// digit or the timer ends the entry. What the entry does outside itself goes
// through the hooks the page gives it.
#pragma once

#include <functional>
#include <string>

class CRadioDigitEntry {
 public:
  static constexpr unsigned kTimerId = 88;
  static constexpr unsigned kTimeoutMs = 1500;
  static constexpr int kMaxDigits = 5;

  struct Hooks {
    std::function<int(int frequency)> setFrequency;  // "Radio Set Frequency Value"
    std::function<void(const std::string& text)> showOsd;
    std::function<bool(unsigned id, unsigned ms)> startTimer;  // false: no timer
    std::function<void(unsigned id)> killTimer;
  };

  explicit CRadioDigitEntry(Hooks hooks) : m_hooks(std::move(hooks)) {}

  // A digit typed on `band` (1 AM, 2 FM). The first one is dropped when the
  // timer cannot be started. The fifth sends the frequency and ends the entry.
  void Digit(int digit, int band);
  // Timer 88 on a vendor without digit presets: sends what was typed.
  void Finish(int band);
  // Ends any entry without sending: timer killed, count and value 0.
  void Reset();

  bool Running() const { return m_count > 0; }
  int count() const { return m_count; }
  int value() const { return m_value; }
  // The digits as typed, leading zeros kept (the OSD shows the number).
  const std::string& text() const { return m_text; }

 private:
  void Send(int band);

  Hooks m_hooks;
  int m_count = 0;
  int m_value = 0;
  std::string m_text;
  bool m_timerRunning = false;
};
