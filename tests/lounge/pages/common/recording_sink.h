// A browser sink that writes down every call the source makes, with the
// entry names and counts, and answers the list top it is told to.
#pragma once

#include <string>
#include <vector>

#include "lounge/pages/common/file_browser_sink.h"

class RecordingSink : public IFileBrowserSink {
 public:
  std::vector<std::string> calls;
  std::vector<FileListEntry> folders;  // as announced since the last reset
  std::vector<FileListEntry> files;
  int listTop = 0;  // what GetListTop answers
  std::string upLevelIcon;
  int drawsFolderText = 0;
  int drawsFileText = 0;

  std::vector<std::string> FolderNames() const { return Names(folders); }
  std::vector<std::string> FileNames() const { return Names(files); }
  bool Called(const std::string& call) const {
    for (const std::string& c : calls)
      if (c == call) return true;
    return false;
  }

  int OnListReset(int id) override {
    calls.push_back(Tag(id) + "reset");
    folders.clear();
    files.clear();
    return 1;
  }
  int OnFolderAdded(int id, const FileListEntry& entry) override {
    folders.push_back(entry);
    return 1;
  }
  int OnFileAdded(int id, const FileListEntry& entry) override {
    files.push_back(entry);
    return 1;
  }
  int OnFolderChanged(int id, int count, int top) override {
    calls.push_back(Tag(id) + "changed " + std::to_string(count) + " " + std::to_string(top));
    return 1;
  }
  int GetUpLevelIcon(int id, std::string& path) override {
    path = upLevelIcon;
    return upLevelIcon.empty() ? 0 : 1;
  }
  int DrawFolderText(int id, int index, const plat::RECT&, plat::HDC, plat::COLORREF) override {
    calls.push_back(Tag(id) + "folder text " + std::to_string(index));
    return drawsFolderText;
  }
  int DrawFolderIcon(int id, int index, const plat::RECT&, plat::HDC, int state) override {
    calls.push_back(Tag(id) + "folder icon " + std::to_string(index));
    return 0;
  }
  int DrawFileText(int id, int index, const plat::RECT&, plat::HDC, plat::COLORREF) override {
    calls.push_back(Tag(id) + "file text " + std::to_string(index));
    return drawsFileText;
  }
  int DrawFileIcon(int id, int index, const plat::RECT&, plat::HDC, int state) override {
    calls.push_back(Tag(id) + "file icon " + std::to_string(index));
    return 1;
  }
  int OnFileActivated(int id, int index) override {
    calls.push_back(Tag(id) + "activated " + std::to_string(index));
    return 1;
  }
  int GetListTop(int id, int& top) override {
    top = listTop;
    return 1;
  }
  int OnSelectionChanged(int id, int index) override {
    calls.push_back(Tag(id) + "selected " + std::to_string(index));
    return 1;
  }

 private:
  // Only a source id other than the tests' usual 5 shows in the record.
  static std::string Tag(int id) { return id == 5 ? std::string() : "#" + std::to_string(id) + " "; }
  static std::vector<std::string> Names(const std::vector<FileListEntry>& entries) {
    std::vector<std::string> names;
    for (const FileListEntry& e : entries) names.push_back(e.name);
    return names;
  }
};
