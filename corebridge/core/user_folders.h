// The per-user folders of the configuration root, from the XDG base and user
// directories:
// - settings: "$XDG_DATA_HOME/Marivel" (or "~/.local/share/Marivel");
// - documents: XDG_DOCUMENTS_DIR, else the home folder;
// - pictures, music, videos: XDG_PICTURES_DIR, XDG_MUSIC_DIR, XDG_VIDEOS_DIR,
//   each else the documents folder.
// A folder that is named but missing is created; one that cannot be created
// falls back like an unnamed one. User directories are read from
// "$XDG_CONFIG_HOME/user-dirs.dirs" (or "~/.config/user-dirs.dirs").
#pragma once

#include <map>
#include <string>

struct UserFolders {
  std::string home;
  std::string settings;
  std::string documents;
  std::string pictures;
  std::string music;
  std::string videos;
};

// The home folder: $HOME, else the password database, else "/".
std::string HomeFolder();

// Parses the text of a user-dirs.dirs file into XDG_*_DIR names and paths
// ("$HOME" expanded); entries that name the home folder itself are left out,
// as they mean "not set".
std::map<std::string, std::string> ParseUserDirs(const std::string& text, const std::string& home);

// Finds the folders and creates those that must exist.
UserFolders FindUserFolders();

// Creates a folder and its missing parents with `mode` (less the umask);
// true when it exists afterwards.
bool EnsureFolder(const std::string& path, unsigned mode = 0777);
