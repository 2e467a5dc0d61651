// Frequencies as the Radio page shows and takes them. FM values are in Hz,
// AM values in thousandths of a hertz (value / 1,000,000 is the kHz): the
// texts and the typed numbers follow the band, so an AM frequency is never
// shown or read as if it were FM.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace radio_text {

// A schedule has no band: a frequency above this is AM (AM starts at
// 153 kHz = 153,000,000, FM ends at 108 MHz).
inline constexpr int kAmScheduleThreshold = 150000000;

// "98.50" with the given decimal point: MHz and two decimals (truncated).
std::string FmNumber(int hz, std::string_view point);
// "999": the kHz.
std::string AmNumber(int value);
// By band (1 AM, 2 FM): FmNumber or AmNumber; empty for another band.
std::string Number(int band, int value, std::string_view point);
// By band with the unit text after a blank: "98.50 MHz", "999 kHz".
std::string WithUnit(int band, int value, std::string_view point, std::string_view mhz, std::string_view khz);
// A scale or step as the settings show it, unit glued on: "0.05MHz", "9kHz".
std::string Scale(int band, int value, std::string_view point, std::string_view mhz, std::string_view khz);
// A fine-tune step with its sign ('-' or '+') in front of Scale.
std::string FineTune(char sign, int band, int value, std::string_view point, std::string_view mhz,
                     std::string_view khz);
// The band of a schedule's frequency (1 AM, 2 FM).
int ScheduleBand(int frequency);
// A schedule row's frequency: "FM 98.50 MHz", "AM 999 kHz".
std::string ScheduleFrequency(int frequency, std::string_view point, std::string_view mhz, std::string_view khz);

// The frequency typed as digits on a band: on FM the number is scaled by its
// length and whether it starts with "1" ("9" 90 MHz, "1" 100 MHz, "987"
// 98.7 MHz, "10535" 105.35 MHz); on AM it is kHz whatever its length.
// Nothing for an empty text, a text with anything but digits, more than five
// digits, a band other than AM or FM, or a value beyond the stored range.
std::optional<int> ParseTyped(int band, std::string_view digits);

}  // namespace radio_text
