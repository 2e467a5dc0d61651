#include "lounge/pages/radio/radio_digit_entry.h"

#include "lounge/pages/radio/radio_frequency_text.h"

void CRadioDigitEntry::Digit(int digit, int band) {
  if (digit < 0 || digit > 9) return;
  if (m_count == 0) {
    if (!m_hooks.startTimer || !m_hooks.startTimer(kTimerId, kTimeoutMs)) return;
    m_timerRunning = true;
    m_count = 1;
    m_value = digit;
    m_text = std::to_string(digit);
  } else {
    m_value = m_value * 10 + digit;
    ++m_count;
    m_text += static_cast<char>('0' + digit);
  }
  if (m_hooks.showOsd) m_hooks.showOsd(std::to_string(m_value));
  if (m_count >= kMaxDigits) {
    Send(band);
    Reset();
  }
}

void CRadioDigitEntry::Finish(int band) {
  if (!m_text.empty()) Send(band);
  Reset();
}

void CRadioDigitEntry::Send(int band) {
  // The typed text keeps its leading zeros, which decide the scale as much
  // as the first digit does.
  const auto frequency = radio_text::ParseTyped(band, m_text);
  if (frequency && m_hooks.setFrequency) m_hooks.setFrequency(*frequency);
}

void CRadioDigitEntry::Reset() {
  if (m_timerRunning && m_hooks.killTimer) m_hooks.killTimer(kTimerId);
  m_timerRunning = false;
  m_count = 0;
  m_value = 0;
  m_text.clear();
}
