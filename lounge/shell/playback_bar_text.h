// The texts the playback bar draws itself: the radio band and frequency and
// the play time of the Movie and Video bars.
#pragma once

#include <string>
#include <string_view>

class CRadioConfig;

// The decimal point of the user's numeric locale (LC_ALL, LC_NUMERIC, LANG),
// read through a locale object so the process-wide locale stays as it is;
// "." when that locale cannot be loaded.
std::string UserDecimalPoint();
// The decimal point of the named locale ("" the user's), "." when unknown.
std::string DecimalPointOf(const char* localeName);

// String-table key of the band name: "RADIO_AM" for band 1, "RADIO_FM" for
// band 2, empty otherwise.
std::string RadioSignalTypeKey(int band);

// The current frequency: AM in whole kilohertz ("522"), FM in megahertz with
// two decimals ("100.70"); empty for any other band.
std::string FormatRadioFrequency(const CRadioConfig& radio, std::string_view decimalPoint);

// "HH:MM:SS / HH:MM:SS" of two spans in seconds; "00:00:00 / 00:00:00" when
// the times could not be read.
std::string FormatPlayTime(bool known, double first, double second);

// "HH:MM:SS" of a span in seconds: how long a recording has run.
std::string FormatRecordTime(double seconds);
