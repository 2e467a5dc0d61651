#include "lounge/skin/skin_report.h"

#include <cstdio>
#include <mutex>
#include <set>
#include <utility>

namespace {

std::mutex& ReportLock() {
  static std::mutex lock;
  return lock;
}

std::set<std::pair<std::string, std::string>>& Reported() {
  static std::set<std::pair<std::string, std::string>> reported;
  return reported;
}

}  // namespace

std::string EscapeForMessage(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out;
}

bool ReportSkinProblem(std::string_view what, std::string_view path, std::string_view reason) {
  {
    std::lock_guard<std::mutex> guard(ReportLock());
    if (!Reported().emplace(std::string(path), std::string(reason)).second) return false;
  }
  const std::string line = "lounge: skin: " + EscapeForMessage(what) + " \"" + EscapeForMessage(path) +
                           "\": " + EscapeForMessage(reason) + "\n";
  std::fputs(line.c_str(), stderr);
  return true;
}

std::string SkinLoadReason(std::string_view message, std::string_view path) {
  const std::string quoted = "\"" + std::string(path) + "\": ";
  const std::string unreadable = "Cannot read " + quoted;
  if (message.starts_with(unreadable)) return std::string(message.substr(unreadable.size()));
  if (message.starts_with(quoted)) return "not well-formed XML: " + std::string(message.substr(quoted.size()));
  return std::string(message);
}

void ResetSkinReports() {
  std::lock_guard<std::mutex> guard(ReportLock());
  Reported().clear();
}
