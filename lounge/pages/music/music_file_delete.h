// Deleting the files and folders the user chose on the Music page. A folder
// tree is emptied without ever following a symbolic link (the link itself
// goes, never its target); a file that refuses deletion is made writable and
// deleted again.
#pragma once

#include <string>
#include <vector>

// Deletes one file (or link); on failure gives it owner write permission and
// tries once more. 1 when it is gone.
int DeleteMusicFile(const std::string& path);

// Removes everything below `folder`: sub-folders are emptied the same way
// and removed, files and links deleted. The result of the last file
// deletion (1 when there was none).
int EmptyMusicFolderTree(const std::string& folder);

// Each path of the deletion list: a real folder is emptied and removed, any
// other entry deleted. Failures are not reported.
void DeleteChosenMusicPaths(const std::vector<std::string>& paths);
