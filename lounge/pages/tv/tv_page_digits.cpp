#include "lounge/pages/tv/tv_page_digits.h"

void CTvDigitEntry::Reset() {
  if (timerRunning_ && hooks_.killTimer) hooks_.killTimer(kTimerId);
  timerRunning_ = false;
  if (hooks_.hideTooltip) hooks_.hideTooltip();
  count_ = 0;
  value_ = 0;
  text_.clear();
}

void CTvDigitEntry::SendChannel(const Presets& presets) {
  const int value = value_;
  if (presets.mapping) {
    // Positions outside the preset list send nothing.
    if (value >= 1 && value <= static_cast<int>(presets.channels.size()) && hooks_.send)
      hooks_.send("TV Set Channel", static_cast<std::intptr_t>(presets.channels[static_cast<std::size_t>(value - 1)]));
  } else if (hooks_.send) {
    hooks_.send("TV Set Channel", value);
  }
  Reset();
  if (hooks_.showChannelName) hooks_.showChannelName();
}

int CTvDigitEntry::ChannelDigit(int digit, const Presets& presets) {
  if (digit < 0 || digit > 9) return 0;
  if (count_ == 0) {
    // The timer is not restarted by later digits: the entry ends 1500 ms
    // after the first one, whatever was typed.
    if (!hooks_.startTimer || !hooks_.startTimer(kTimerId, kTimeoutMs)) return 0;
    timerRunning_ = true;
    count_ = 1;
    value_ = digit;
  } else {
    value_ = value_ * 10 + digit;
    ++count_;
  }
  text_ = std::to_string(value_);
  if (hooks_.showOsd) hooks_.showOsd(text_);
  if (count_ >= 3) SendChannel(presets);
  return 1;
}

void CTvDigitEntry::OnTimer(const Presets& presets) {
  if (hooks_.killTimer) hooks_.killTimer(kTimerId);
  timerRunning_ = false;
  if (count_ == 0) return;
  SendChannel(presets);
}

int CTvDigitEntry::TeletextDigit(int digit) {
  if (digit < 0 || digit > 9) return 0;
  // Page numbers run from 100 to 899: a first 0 or 9 is no page.
  if (count_ == 0 && (digit == 0 || digit == 9)) return 1;
  value_ = value_ * 10 + digit;
  ++count_;
  text_ = std::to_string(value_);
  if (hooks_.showOsd) hooks_.showOsd(text_);
  if (count_ >= 3) {
    const int page = value_;
    if (hooks_.hideTooltip) hooks_.hideTooltip();
    count_ = 0;
    value_ = 0;
    text_.clear();
    if (hooks_.send) hooks_.send("TV Set Page", page);
  }
  return 1;
}
