#include "corebridge/core/user_folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string TrimTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// An XDG base directory: the variable when it holds an absolute path, else
// the fallback below the home folder.
std::string BaseDir(const char* variable, const std::string& home, const char* fallback) {
  const std::string value = Env(variable);
  if (!value.empty() && value.front() == '/') return TrimTrailingSlashes(value);
  return home + "/" + fallback;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The named user directory, created when missing; `fallback` when it is not
// named or cannot be created.
std::string UserDir(const std::map<std::string, std::string>& dirs, const char* name, const std::string& fallback) {
  const auto it = dirs.find(name);
  if (it == dirs.end()) return fallback;
  return EnsureFolder(it->second) ? it->second : fallback;
}

}  // namespace

std::string HomeFolder() {
  std::string home = Env("HOME");
  if (home.empty()) {
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_dir) home = pw->pw_dir;
  }
  if (home.empty()) home.assign(1, '/');  // (assigning "/" trips a false GCC 12 -Wrestrict at -O3)
  return TrimTrailingSlashes(home);
}

std::map<std::string, std::string> ParseUserDirs(const std::string& text, const std::string& home) {
  std::map<std::string, std::string> dirs;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    const auto eq = line.find('=', first);
    if (eq == std::string::npos) continue;
    const std::string name = line.substr(first, eq - first);
    std::string value = line.substr(eq + 1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r')) value.pop_back();
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') continue;
    value = value.substr(1, value.size() - 2);
    // The format allows "$HOME/..." or an absolute path, with \" and \\ escapes.
    std::string path;
    for (std::size_t i = 0; i < value.size(); ++i) {
      if (value[i] == '\\' && i + 1 < value.size()) {
        path.push_back(value[++i]);
      } else {
        path.push_back(value[i]);
      }
    }
    if (path.rfind("$HOME", 0) == 0) {
      const std::string rest = path.substr(5);
      if (!rest.empty() && rest.front() != '/') continue;
      path = home + rest;
    } else if (path.empty() || path.front() != '/') {
      continue;
    }
    path = TrimTrailingSlashes(path);
    if (path == home) continue;  // a user directory set to home means "none"
    dirs[name] = path;
  }
  return dirs;
}

bool EnsureFolder(const std::string& path, unsigned mode) {
  if (path.empty()) return false;
  if (IsFolder(path)) return true;
  for (std::size_t pos = path.find('/', 1); pos != std::string::npos; pos = path.find('/', pos + 1)) {
    const std::string part = path.substr(0, pos);
    if (!IsFolder(part) && ::mkdir(part.c_str(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST) return false;
  }
  if (::mkdir(path.c_str(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST) return false;
  return IsFolder(path);
}

UserFolders FindUserFolders() {
  UserFolders f;
  f.home = HomeFolder();
  const std::string configHome = BaseDir("XDG_CONFIG_HOME", f.home, ".config");
  const auto dirs = ParseUserDirs(ReadText(configHome + "/user-dirs.dirs"), f.home);

  f.documents = UserDir(dirs, "XDG_DOCUMENTS_DIR", f.home);
  f.pictures = UserDir(dirs, "XDG_PICTURES_DIR", f.documents);
  f.music = UserDir(dirs, "XDG_MUSIC_DIR", f.documents);
  f.videos = UserDir(dirs, "XDG_VIDEOS_DIR", f.documents);

  // The settings folder lives in the data home; without one, in documents.
  const std::string dataHome = BaseDir("XDG_DATA_HOME", f.home, ".local/share");
  // Private data folders are created 0700, as the XDG base directories ask.
  f.settings = dataHome + "/Marivel";
  if (!EnsureFolder(f.settings, 0700)) {
    f.settings = f.documents + "/Marivel";
    EnsureFolder(f.settings, 0700);
  }
  return f;
}
