// What a browsing page learns from and tells its file list sources.
//
// FileListEntry is one folder, drive or file of a source's list; the sink
// receives it whole and may keep a copy. IFileBrowserSink is implemented by
// each browsing page; every call carries the id of the source that makes it,
// so that a page with several sources can tell them apart. Results are 1 (or
// non-zero) for done or true; every slot defaults to "not handled", so a page
// overrides only what it uses.
#pragma once

#include <string>

#include "platform/core/file_time.h"
#include "platform/core/types.h"

struct FileListEntry {
  // Full path; for a drive its letter and colon ("C:").
  std::string path;
  // File name with extension; a linked entry keeps the link's own name; a
  // drive the same text as the path.
  std::string name;
  // A link's target (fully resolved) and the target's file name; else empty.
  std::string targetPath;
  std::string targetName;
  // Times of the entry itself (zero for drives) and of a link's target.
  plat::FILETIME creationTime;
  plat::FILETIME lastWriteTime;
  plat::FILETIME targetCreationTime;
  plat::FILETIME targetLastWriteTime;
  // 1 when the entry came from a symbolic link.
  int isShortcut = 0;
};

class IFileBrowserSink {
 public:
  virtual ~IFileBrowserSink() = default;
  // The lists were emptied (Clear, LoadFileList, Rescan).
  virtual int OnListReset(int sourceId) { return 0; }
  // One call per folder entry after a rescan, in final (sorted) order.
  virtual int OnFolderAdded(int sourceId, const FileListEntry& entry) { return 0; }
  // One call per file entry after a rescan, and per file AddFile or
  // LoadFileList adds.
  virtual int OnFileAdded(int sourceId, const FileListEntry& entry) { return 0; }
  // After OpenFolder (0, 0), EnterFolder (count, 0) and GoUp (count, the
  // list top kept when the folder was entered).
  virtual int OnFolderChanged(int sourceId, int entryCount, int listTop) { return 0; }
  // The up-level entry's bitmap, relative to the application folder; 0 or an
  // empty path keeps the default.
  virtual int GetUpLevelIcon(int sourceId, std::string& path) {
    path.clear();
    return 0;
  }
  // Non-zero when the page drew the folder's icon (row state: the state in
  // which the row's bitmaps are drawn).
  virtual int DrawFolderIcon(int sourceId, int folderIndex, const plat::RECT& icon, plat::HDC dc, int rowState) {
    return 0;
  }
  // Non-zero when the page drew the file's text.
  virtual int DrawFileText(int sourceId, int fileIndex, const plat::RECT& text, plat::HDC dc, plat::COLORREF colour) {
    return 0;
  }
  // Non-zero when the page drew the folder's text.
  virtual int DrawFolderText(int sourceId, int folderIndex, const plat::RECT& text, plat::HDC dc,
                             plat::COLORREF colour) {
    return 0;
  }
  // Draws the file's icon or thumbnail.
  virtual int DrawFileIcon(int sourceId, int fileIndex, const plat::RECT& icon, plat::HDC dc, int rowState) {
    return 0;
  }
  // The user chose a file.
  virtual int OnFileActivated(int sourceId, int fileIndex) { return 0; }
  // The page's list top row, kept in the history when a folder is entered.
  virtual int GetListTop(int sourceId, int& top) { return 0; }
  // Page-side list movements; the source never calls these.
  virtual int SetListTop(int sourceId, int row) { return 0; }
  virtual int ScrollListUp(int sourceId, int rows) { return 0; }
  virtual int ScrollListDown(int sourceId, int rows) { return 0; }
  // The source chose the display index to focus, or -1.
  virtual int OnSelectionChanged(int sourceId, int displayIndex) { return 0; }
};
