// The drawing half of CFileListSource: one list row (icon and text) into a
// page's device context, and the burn check box.
#include "lounge/pages/common/file_list_source.h"

#include "lounge/pages/common/file_paths.h"
#include "lounge/shell/app_services.h"
#include "lounge/skin/gdi_handles.h"
#include "lounge/skin/skin_bitmaps.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/skin_text.h"

namespace {

constexpr const char* kUpLevelIcon = "Layout\\Img\\Common\\sub-folder.bmp";
constexpr const char* kFolderIcon = "Layout\\Img\\Common\\sub-files.bmp";
constexpr int kTextAlign = 0;  // left, centred vertically

void DrawRowText(const FileListDrawRecord& record, const std::string& text) {
  const plat::RECT& r = record.text;
  DrawSkinTextDefaultFont(record.dc, r.left, r.top, r.right, r.bottom, text, kTextAlign, record.textColour,
                          SKIN_FIT_ELLIPSIS);
}

}  // namespace

int CFileListSource::MakeSkinPath(std::string& path) {
  if (m_applicationFolder.empty()) m_applicationFolder = file_list::ApplicationFolder();
  path = m_applicationFolder;
  return 1;
}

int CFileListSource::DrawEntry(const FileListDrawRecord& record) {
  int kind = 0;
  int index = 0;
  if (record.index < 0 || !GetEntryByIndex(record.index, kind, index)) return 0;
  std::string application;
  MakeSkinPath(application);
  const auto skinFile = [&](const std::string& relative) {
    return ResolveSkinPath(application + SkinNameToPosix(relative));
  };

  if (kind == FILE_LIST_UP_LEVEL) {
    std::string icon;
    if (!m_sink || !m_sink->GetUpLevelIcon(m_sourceId, icon) || icon.empty()) icon = kUpLevelIcon;
    DrawBitmapFile(skinFile(icon), record.dc, record.icon);
    DrawRowText(record, UIStringOrEmpty("UPONELEVEL"));
    return 1;
  }

  if (kind == FILE_LIST_FOLDER) {
    const FileListEntry& entry = m_folders[static_cast<size_t>(index)];
    if (!m_sink || !m_sink->DrawFolderText(m_sourceId, index, record.text, record.dc, record.textColour)) {
      std::string name;
      GetShellDisplayName(entry.path, name);
      DrawRowText(record, name.empty() ? entry.name : name);
    }
    if (!m_sink || !m_sink->DrawFolderIcon(m_sourceId, index, record.icon, record.dc, record.rowState))
      DrawBitmapFile(skinFile(kFolderIcon), record.dc, record.icon);
    return 1;
  }

  const FileListEntry& entry = m_files[static_cast<size_t>(index)];
  if (!m_sink || !m_sink->DrawFileText(m_sourceId, index, record.text, record.dc, record.textColour)) {
    // A file added through a link knows only its target.
    const std::string& path = entry.path.empty() ? entry.targetPath : entry.path;
    DrawRowText(record, std::string(file_list::FileNamePart(path)));
  }
  if (m_sink) m_sink->DrawFileIcon(m_sourceId, index, record.icon, record.dc, record.rowState);
  return 1;
}

int CFileListSource::DrawBurnCheckBox(plat::HDC dc, int x, int y, int state) {
  const char* name = state == 0   ? "Layout\\Img\\Common\\bt-burncheckbox.BMP"
                     : state == 1 ? "Layout\\Img\\Common\\bt-burncheckbox-n.BMP"
                                  : nullptr;
  if (!name) return 0;
  std::string application;
  MakeSkinPath(application);
  const BitmapPtr bitmap(LoadDibSectionFile(ResolveSkinPath(application + SkinNameToPosix(name))));
  int width = 0;
  int height = 0;
  if (!GetBitmapSize(bitmap.get(), width, height)) return 0;
  return DrawBitmap(bitmap.get(), dc, plat::RECT{x, y, x + width, y + height});
}
