#include "lounge/pages/common/file_list_source.h"

#include <dirent.h>
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "lounge/pages/common/file_facts.h"
#include "lounge/pages/common/file_paths.h"
#include "lounge/shell/module_page.h"
#include "lounge/shell/shell_frame.h"
#include "platform/sys/drive_table.h"

using file_list::FileKind;

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

// Case-insensitive by name, then by the exact bytes so that the order of
// names differing only in case is the same on every listing.
bool NameLess(const FileListEntry& a, const FileListEntry& b) {
  const int order = strcasecmp(a.name.c_str(), b.name.c_str());
  return order != 0 ? order < 0 : a.name < b.name;
}

bool TimeLess(const FileListEntry& a, const FileListEntry& b) {
  return plat::CompareFileTime(a.lastWriteTime, b.lastWriteTime) < 0;
}

// The folder a folder entry leads to: a link's target, a drive's root.
std::string FolderOf(const FileListEntry& entry) {
  return file_list::NormaliseFolder(entry.isShortcut ? entry.targetPath : entry.path);
}

}  // namespace

CFileListSource::CFileListSource(std::string currentFolder, std::string filter, CShellPage* ownerPage,
                                 IFileBrowserSink* sink, int sourceId)
    : m_ownerPage(ownerPage),
      m_sink(sink),
      m_currentFolder(std::move(currentFolder)),
      m_filter(std::move(filter)),
      m_sourceId(sourceId) {}

CFileListSource::CFileListSource(std::string filter, CShellPage* ownerPage, IFileBrowserSink* sink, int sourceId)
    : CFileListSource(std::string(), std::move(filter), ownerPage, sink, sourceId) {}

CFileListSource::~CFileListSource() = default;

int CFileListSource::Clear() {
  m_currentFolder.clear();
  m_rootFolder.clear();
  m_history.clear();
  m_folders.clear();
  m_files.clear();
  m_position = 0;
  if (m_sink) m_sink->OnListReset(m_sourceId);
  return 1;
}

int CFileListSource::AddFile(const std::string& path) {
  FileListEntry entry;
  const file_list::FileFacts facts = file_list::ReadFileFacts(path, false);
  if (facts.kind == FileKind::Link) {
    // Only the target is known of a linked file; a linked folder is no file.
    ShortcutTarget target;
    if (!ResolveShortcut(path, m_filter, target) || target.isFolder) return 0;
    entry.targetPath = std::move(target.path);
    entry.targetName = std::move(target.name);
    entry.targetCreationTime = target.creationTime;
    entry.targetLastWriteTime = target.lastWriteTime;
    entry.isShortcut = 1;
  } else {
    const std::string name(file_list::FileNamePart(path));
    if (facts.kind != FileKind::File || !PassesFilter(m_filter, name, false)) return 0;
    entry.path = path;
    entry.name = name;
    entry.creationTime = facts.creationTime;
    entry.lastWriteTime = facts.lastWriteTime;
  }
  m_files.push_back(std::move(entry));
  if (m_sink) m_sink->OnFileAdded(m_sourceId, m_files.back());
  return 1;
}

int CFileListSource::OpenFolder(const std::string& path) {
  m_currentFolder = file_list::ResolveDrivePath(path);
  m_history.clear();
  Rescan();
  if (m_sink) m_sink->OnFolderChanged(m_sourceId, 0, 0);
  return 1;
}

int CFileListSource::SetRootFolder(const std::string& path) {
  const bool unbounded = m_ownerPage && m_ownerPage->Frame().Options().openFolderUpperbound;
  m_rootFolder = unbounded ? std::string() : file_list::ResolveDrivePath(path);
  return 1;
}

int CFileListSource::LoadFileList(const std::vector<std::string>& paths) {
  m_history.clear();
  m_folders.clear();
  m_files.clear();
  if (m_sink) m_sink->OnListReset(m_sourceId);
  for (const std::string& path : paths) {
    const file_list::FileFacts facts = file_list::ReadFileFacts(path, false);
    if (facts.kind != FileKind::File && facts.kind != FileKind::Link) continue;
    FileListEntry entry;
    entry.path = path;
    entry.name = std::string(file_list::FileNamePart(path));
    entry.creationTime = facts.creationTime;
    entry.lastWriteTime = facts.lastWriteTime;
    if (facts.kind == FileKind::Link) {
      ShortcutTarget target;
      if (!ResolveShortcut(path, m_filter, target) || target.isFolder) continue;
      entry.targetPath = std::move(target.path);
      entry.targetName = std::move(target.name);
      entry.targetCreationTime = target.creationTime;
      entry.targetLastWriteTime = target.lastWriteTime;
      entry.isShortcut = 1;
    }
    m_files.push_back(std::move(entry));
    if (m_sink) m_sink->OnFileAdded(m_sourceId, m_files.back());
  }
  return 1;
}

const FileListEntry* CFileListSource::GetFolderEntry(int index) const {
  return index >= 0 && index < GetFolderCount() ? &m_folders[static_cast<size_t>(index)] : nullptr;
}

const FileListEntry* CFileListSource::GetFileEntry(int index) const {
  return index >= 0 && index < GetFileCount() ? &m_files[static_cast<size_t>(index)] : nullptr;
}

int CFileListSource::GetEntryCount() const {
  return GetFolderCount() + GetFileCount() + (m_showUpLevel && CanGoUp() ? 1 : 0);
}

int CFileListSource::GetEntryByIndex(int displayIndex, int& kind, int& index) const {
  if (displayIndex < 0 || displayIndex >= GetEntryCount()) return 0;
  if (m_showUpLevel && CanGoUp()) {
    if (displayIndex == 0) {
      kind = FILE_LIST_UP_LEVEL;
      index = 0;
      return 1;
    }
    --displayIndex;
  }
  if (displayIndex < GetFolderCount()) {
    kind = FILE_LIST_FOLDER;
    index = displayIndex;
  } else {
    kind = FILE_LIST_FILE;
    index = displayIndex - GetFolderCount();
  }
  return 1;
}

// The root is compared as a folder, not as text: "/media/x/", "/media/x" and
// "/media/x/sub/.." are the same bound.
bool CFileListSource::CanGoUp() const {
  if (!m_history.empty()) return true;
  if (m_currentFolder.empty()) return false;
  return file_list::NormaliseFolder(m_currentFolder) != file_list::NormaliseFolder(m_rootFolder);
}

int CFileListSource::SetPosition(int position) {
  if (position < 0) return 0;
  m_position = position;
  return 1;
}

int CFileListSource::ActivateEntry(int displayIndex) {
  int kind = 0;
  int index = 0;
  if (!GetEntryByIndex(displayIndex, kind, index)) return 0;
  if (kind == FILE_LIST_UP_LEVEL) {
    GoUp();
  } else if (kind == FILE_LIST_FOLDER) {
    EnterFolder(index);
  } else if (m_sink) {
    m_sink->OnFileActivated(m_sourceId, index);
  }
  return 0;
}

int CFileListSource::Rescan() {
  m_folders.clear();
  m_files.clear();
  if (m_sink) m_sink->OnListReset(m_sourceId);
  const std::string folder = file_list::ResolveDrivePath(file_list::CutTrailingSlashes(m_currentFolder));
  if (folder.empty()) {
    ListVolumes();
  } else if (file_list::IsDriveForm(folder) || !ListFolder(folder)) {
    // A drive left in drive form has no medium: nothing to list (and no
    // folder of that name below the working folder is meant).
    return 0;
  }
  if (m_sortMode == FILE_LIST_SORT_NAME) {
    SortByName();
  } else if (m_sortMode == FILE_LIST_SORT_TIME) {
    SortByTime();
  }
  NotifyEntries();
  return 1;
}

void CFileListSource::ListVolumes() {
  for (const plat::VolumeInfo& volume : plat::GetVolumes()) {
    FileListEntry entry;
    entry.path = std::string{volume.letter, ':'};
    entry.name = entry.path;
    m_folders.push_back(std::move(entry));
  }
}

int CFileListSource::ListFolder(const std::string& folder) {
  std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
  if (!dir) return 0;
  const int fd = dirfd(dir.get());
  while (const dirent* d = readdir(dir.get())) {
    const std::string name(d->d_name);
    if (file_list::IsHiddenName(name)) continue;  // also "." and ".."
    // Files outside the filter need no further look.
    if (d->d_type == DT_REG && !PassesFilter(m_filter, name)) continue;
    const file_list::FileFacts facts = file_list::ReadFileFacts(fd, d->d_name, false);
    FileListEntry entry;
    entry.path = file_list::JoinPath(folder, name);
    entry.name = name;
    entry.creationTime = facts.creationTime;
    entry.lastWriteTime = facts.lastWriteTime;
    switch (facts.kind) {
      case FileKind::Folder:
        m_folders.push_back(std::move(entry));
        break;
      case FileKind::File:
        if (PassesFilter(m_filter, name)) m_files.push_back(std::move(entry));
        break;
      case FileKind::Link: {
        // Listed under the link's own name, opened at its target; dangling
        // links and links to files outside the filter are left out.
        ShortcutTarget target;
        if (!ResolveShortcut(entry.path, m_filter, target)) break;
        entry.targetPath = std::move(target.path);
        entry.targetName = std::move(target.name);
        entry.targetCreationTime = target.creationTime;
        entry.targetLastWriteTime = target.lastWriteTime;
        entry.isShortcut = 1;
        (target.isFolder ? m_folders : m_files).push_back(std::move(entry));
        break;
      }
      default:  // devices, fifos, sockets, vanished names
        break;
    }
  }
  return 1;
}

void CFileListSource::NotifyEntries() {
  if (!m_sink) return;
  for (const FileListEntry& entry : m_folders) m_sink->OnFolderAdded(m_sourceId, entry);
  for (const FileListEntry& entry : m_files) m_sink->OnFileAdded(m_sourceId, entry);
}

void CFileListSource::SortByName() {
  std::sort(m_folders.begin(), m_folders.end(), NameLess);
  std::sort(m_files.begin(), m_files.end(), NameLess);
}

void CFileListSource::SortByTime() {
  std::stable_sort(m_folders.begin(), m_folders.end(), TimeLess);
  std::stable_sort(m_files.begin(), m_files.end(), TimeLess);
}

int CFileListSource::EnterFolder(int folderIndex) {
  const FileListEntry* entry = GetFolderEntry(folderIndex);
  if (!entry) return 0;
  FolderHistoryRecord record{m_currentFolder, 0};
  if (m_sink) m_sink->GetListTop(m_sourceId, record.listTop);
  const std::string next = entry->isShortcut ? entry->targetPath : entry->path;
  m_history.push_back(std::move(record));
  m_currentFolder = file_list::ResolveDrivePath(file_list::CutTrailingSlashes(next));
  Rescan();
  if (m_sink) m_sink->OnFolderChanged(m_sourceId, GetEntryCount(), 0);
  m_selectedIndex = -1;
  if (m_sink) m_sink->OnSelectionChanged(m_sourceId, -1);
  return 1;
}

int CFileListSource::GoUp() {
  if (!CanGoUp()) return 0;
  const std::string left = file_list::NormaliseFolder(m_currentFolder);
  int listTop = 0;
  if (m_history.empty()) {
    // Above a volume's root (or "/", or a drive without medium) lies the
    // drive list; elsewhere the parent folder.
    const bool top = file_list::IsDriveForm(left) || file_list::IsVolumeRoot(left);
    m_currentFolder = top ? std::string() : file_list::ParentFolder(left);
  } else {
    m_currentFolder = m_history.back().folder;
    listTop = m_history.back().listTop;
    m_history.pop_back();
  }
  Rescan();
  if (m_sink) m_sink->OnFolderChanged(m_sourceId, GetEntryCount(), listTop);
  // Focus the entry of the folder just left (a drive for its root, a link
  // for its target), when it is listed here.
  for (size_t i = 0; i < m_folders.size(); ++i) {
    if (FolderOf(m_folders[i]) != left) continue;
    m_selectedIndex = static_cast<int>(i) + (CanGoUp() && m_showUpLevel ? 1 : 0);
    if (m_sink) m_sink->OnSelectionChanged(m_sourceId, m_selectedIndex);
    break;
  }
  return 1;
}
