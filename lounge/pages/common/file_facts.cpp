#include "lounge/pages/common/file_facts.h"

#include <sys/stat.h>

namespace file_list {
namespace {

plat::FILETIME ToFileTime(const struct statx_timestamp& t) { return plat::FileTimeFromUnix(t.tv_sec, t.tv_nsec); }

}  // namespace

FileFacts ReadFileFacts(int folderFd, const char* name, bool follow) {
  FileFacts facts;
  struct statx sx {};
  const int flags = AT_STATX_SYNC_AS_STAT | (follow ? 0 : AT_SYMLINK_NOFOLLOW);
  if (statx(folderFd, name, flags, STATX_TYPE | STATX_MTIME | STATX_BTIME, &sx) != 0) return facts;
  const mode_t type = sx.stx_mode & S_IFMT;
  facts.kind = type == S_IFDIR   ? FileKind::Folder
               : type == S_IFREG ? FileKind::File
               : type == S_IFLNK ? FileKind::Link
                                 : FileKind::Other;
  facts.lastWriteTime = ToFileTime(sx.stx_mtime);
  facts.creationTime = (sx.stx_mask & STATX_BTIME) ? ToFileTime(sx.stx_btime) : facts.lastWriteTime;
  return facts;
}

}  // namespace file_list
