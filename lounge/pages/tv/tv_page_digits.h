// The TV page's number entry: three-digit channel numbers (ended by the third
// digit or by timer 88, 1500 ms after the first) and three-digit teletext
// page numbers. What the entry does outside itself (sending an action,
// showing a number, the timer) goes through the hooks the page gives it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CTvDigitEntry {
 public:
  static constexpr unsigned kTimerId = 88;
  static constexpr unsigned kTimeoutMs = 1500;

  struct Hooks {
    std::function<int(const char* action, std::intptr_t value)> send;  // to the TV controller
    std::function<void(const std::string& text)> showOsd;
    std::function<bool(unsigned id, unsigned ms)> startTimer;  // false when no timer could be made
    std::function<void(unsigned id)> killTimer;
    std::function<void()> hideTooltip;  // the playback bar's tooltip
    std::function<void()> showChannelName;
  };
  // Typed numbers map to presets (1-based) while the mapping is on.
  struct Presets {
    bool mapping = false;
    std::vector<std::uint32_t> channels;
  };

  explicit CTvDigitEntry(Hooks hooks) : hooks_(std::move(hooks)) {}

  // A channel digit; 0 when the entry cannot take it.
  int ChannelDigit(int digit, const Presets& presets);
  // A teletext page digit.
  int TeletextDigit(int digit);
  // Timer 88: the channel entry ends with what was typed.
  void OnTimer(const Presets& presets);
  // Ends any entry (the page's ResetDigitEntry).
  void Reset();

  int count() const { return count_; }
  int value() const { return value_; }
  const std::string& text() const { return text_; }

 private:
  void SendChannel(const Presets& presets);

  Hooks hooks_;
  int count_ = 0;
  int value_ = 0;
  std::string text_;
  bool timerRunning_ = false;
};
