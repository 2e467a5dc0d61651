// The version text shown in About: "3.0.MMDD" with the month and day of a
// file's last modification in local time; empty when the file cannot be
// examined.
#pragma once

#include <string>

std::string VersionTextOfFile(const std::string& path);
// Of the running executable.
std::string VersionTextOfExecutable();
