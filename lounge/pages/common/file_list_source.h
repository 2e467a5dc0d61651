// CFileListSource: the folder-and-file model behind every browsing list of
// the pages. It lists one folder (or the lettered volumes), keeps the files
// whose extension passes its filter, resolves symbolic links (listed under
// their own names, entered or played at their targets), sorts, remembers
// the way the user came, and draws or activates the entries of the list a
// page shows. It holds no window; everything the page wants to know comes
// through the page's IFileBrowserSink, with the source's id.
//
// Display index: with the up-level entry shown, 0 is "up one level", then the
// folder entries, then the file entries; without it the folders start at 0.
//
// Every operation returns 1 for done and 0 for refused unless said.
#pragma once

#include <string>
#include <vector>

#include "lounge/pages/common/file_browser_sink.h"
#include "lounge/pages/common/shell_files.h"
#include "platform/core/types.h"

class CShellPage;

struct FolderHistoryRecord {
  std::string folder;
  int listTop = 0;  // the list top row the sink reported when the folder was left
};

// What DrawEntry draws: one row of a page's list.
struct FileListDrawRecord {
  int index = 0;  // display index
  plat::RECT icon;
  plat::RECT text;
  plat::HDC dc = nullptr;
  plat::COLORREF textColour = 0;
  plat::COLORREF secondColour = 0;
  int rowState = 0;  // the state in which the row's bitmaps are drawn
};

// Kinds of GetEntryByIndex.
inline constexpr int FILE_LIST_UP_LEVEL = 0;
inline constexpr int FILE_LIST_FOLDER = 1;
inline constexpr int FILE_LIST_FILE = 2;

// Sort modes.
inline constexpr int FILE_LIST_SORT_NAME = 0;
inline constexpr int FILE_LIST_SORT_TIME = 1;

class CFileListSource {
 public:
  // The page that makes the source is only stored; the sink (may be null)
  // must outlive the source.
  CFileListSource(std::string currentFolder, std::string filter, CShellPage* ownerPage, IFileBrowserSink* sink,
                  int sourceId);
  CFileListSource(std::string filter, CShellPage* ownerPage, IFileBrowserSink* sink, int sourceId);
  virtual ~CFileListSource();

  CFileListSource(const CFileListSource&) = delete;
  CFileListSource& operator=(const CFileListSource&) = delete;

  // Empties folders, lists and history; position 0.
  int Clear();
  // Appends one file: a plain file must exist and pass the filter with its
  // extension as written; a link is resolved (target fields only).
  int AddFile(const std::string& path);
  // Shows `path` from a fresh history; 1 whatever the listing gave.
  int OpenFolder(const std::string& path);
  const std::string& GetCurrentFolder() const { return m_currentFolder; }
  // The bound above which GoUp refuses; kept empty when the application's
  // "OpenFolderUpperbound" option is set.
  int SetRootFolder(const std::string& path);
  const std::string& GetRootFolder() const { return m_rootFolder; }
  // Replaces the content with the named files that exist (no filter test
  // except on link targets).
  int LoadFileList(const std::vector<std::string>& paths);

  const FileListEntry* GetFolderEntry(int index) const;
  const FileListEntry* GetFileEntry(int index) const;
  int GetFolderCount() const { return static_cast<int>(m_folders.size()); }
  int GetFileCount() const { return static_cast<int>(m_files.size()); }
  // (kind, index) of a display index; 0 outside 0..GetEntryCount()-1.
  int GetEntryByIndex(int displayIndex, int& kind, int& index) const;
  int GetEntryCount() const;
  bool CanGoUp() const;
  int GetShowUpLevel() const { return m_showUpLevel; }
  void SetShowUpLevel(int flag) { m_showUpLevel = flag; }
  int GetPosition() const { return m_position; }
  int SetPosition(int position);
  int GetSelectedIndex() const { return m_selectedIndex; }
  int GetSortMode() const { return m_sortMode; }
  void SetSortMode(int mode) { m_sortMode = mode; }
  int GetSourceId() const { return m_sourceId; }
  CShellPage* GetOwnerPage() const { return m_ownerPage; }
  const std::vector<FolderHistoryRecord>& GetHistory() const { return m_history; }

  // Draws one row of the list into the record's device context.
  int DrawEntry(const FileListDrawRecord& record);
  // Up-level entry: GoUp; folder: EnterFolder; file: the sink's
  // OnFileActivated. Always 0.
  int ActivateEntry(int displayIndex);

  // Lists the current folder again (the history stays); 0 when the folder
  // cannot be listed, with the lists left empty.
  int Rescan();
  int EnterFolder(int folderIndex);
  int GoUp();
  void SortByName();
  void SortByTime();

  // The application folder, ending in a slash; callers append a skin path.
  int MakeSkinPath(std::string& path);
  // State 0 draws the burn check box, 1 its checked form, at (x, y) in the
  // bitmap's own size; other states draw nothing (0).
  int DrawBurnCheckBox(plat::HDC dc, int x, int y, int state);

 private:
  void ListVolumes();
  int ListFolder(const std::string& folder);
  void NotifyEntries();

  int m_sortMode = FILE_LIST_SORT_NAME;
  CShellPage* m_ownerPage = nullptr;
  IFileBrowserSink* m_sink = nullptr;
  std::string m_currentFolder;
  std::string m_rootFolder;
  std::string m_filter;
  std::string m_applicationFolder;
  std::vector<FolderHistoryRecord> m_history;
  std::vector<FileListEntry> m_folders;
  std::vector<FileListEntry> m_files;
  int m_position = 0;
  int m_selectedIndex = -1;
  int m_showUpLevel = 1;
  int m_sourceId = 0;
};
