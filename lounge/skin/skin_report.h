// Problems with the skin's files (a layout, an image or the string table that
// is missing or cannot be read), said on stderr so that a broken skin does not
// pass for an empty one. Each file and reason is said once per run: pages are
// drawn again and again, and one missing image must not flood the log.
#pragma once

#include <string>
#include <string_view>

// `text` with every control character written as \xNN, so that a file name
// holding a newline cannot split a log line or forge another.
std::string EscapeForMessage(std::string_view text);

// Writes "lounge: skin: <what> "<path>": <reason>" unless the same path and
// reason were reported before. Returns whether it wrote.
bool ReportSkinProblem(std::string_view what, std::string_view path, std::string_view reason);

// The reason in a file-load message of the XML document ("Cannot read
// "<path>": <why>" or ""<path>": <parse error>"), without the path.
std::string SkinLoadReason(std::string_view message, std::string_view path);

// Forgets what was reported (tests).
void ResetSkinReports();
