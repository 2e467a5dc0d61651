#include "lounge/pages/record/record_copy_worker.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/sys/debug_output.h"
#include "platform/sys/drive_table.h"

namespace {

// A folder name is tried with "(1)" up to this suffix before the copy of that
// source gives up.
constexpr int kMaxNameSuffix = 9999;

// Sums of KiB wrap in 32 bits like the counters they feed.
std::int32_t AddKiB(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string ParentOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string LastComponent(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// The copy is background work: the thread takes the lowest scheduling
// priority (the niceness applies to this thread alone on Linux), so it yields
// to everything else but still moves on under load. Failing to lower the
// priority is not a reason to refuse the copy.
void UseIdlePriority() {
  ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 19);
}

}  // namespace

std::string JoinRecordPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::string RecordFolderNameFor(const std::string& parentFolder) {
  const std::string parent = WithoutTrailingSlashes(parentFolder);
  if (!parent.empty() && parent.front() == '/') {
    const std::optional<plat::VolumeInfo> volume = plat::FindVolume(parent);
    if (volume && WithoutTrailingSlashes(volume->root) == parent) {
      std::string label = volume->label;
      // The label becomes one folder name: no separators, no "." or "..".
      std::replace(label.begin(), label.end(), '/', '_');
      if (label == "." || label == "..") label.clear();
      return label.empty() ? std::string(1, volume->letter) : label;
    }
  }
  return LastComponent(parent);
}

std::string ResolveRecordSource(const std::string& source) {
  std::string path = source;
  const bool letterForm = path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                          (path.size() == 2 || path[2] == '\\' || path[2] == '/');
  if (letterForm) {
    const std::optional<plat::VolumeInfo> volume = plat::FindVolume(std::string(1, path[0]));
    if (volume && !volume->root.empty()) {
      std::string rest = path.substr(std::min<std::size_t>(3, path.size()));
      std::replace(rest.begin(), rest.end(), '\\', '/');
      path = rest.empty() ? volume->root : JoinRecordPath(volume->root, rest);
    }
  }
  return WithoutTrailingSlashes(path);
}

CRecordCopyWorker::CRecordCopyWorker(RecordCopyJob job, IRecordCopyListener& listener)
    : CRecordCopyWorker(std::move(job), listener, Options{}) {}

CRecordCopyWorker::CRecordCopyWorker(RecordCopyJob job, IRecordCopyListener& listener, Options options)
    : m_job(std::move(job)), m_listener(listener), m_options(options) {
  m_job.destination = WithoutTrailingSlashes(m_job.destination);
}

CRecordCopyWorker::~CRecordCopyWorker() { Stop(); }

bool CRecordCopyWorker::Start() {
  if (m_started) return false;
  try {
    m_thread = std::thread([this] { Run(); });
  } catch (const std::system_error& e) {
    LogFailure("cannot start the copy thread", "", e.code().value());
    return false;
  }
  m_started = true;
  return true;
}

void CRecordCopyWorker::Stop() {
  m_cancel.store(1);
  if (m_thread.joinable()) m_thread.join();
}

RecordCopyProgress CRecordCopyWorker::Progress() const {
  RecordCopyProgress p;
  p.totalKiB = m_totalKiB.load();
  p.finishedKiB = m_finishedKiB.load();
  p.currentSizeKiB = m_currentSizeKiB.load();
  p.currentCopiedKiB = m_currentCopiedKiB.load();
  return p;
}

std::string CRecordCopyWorker::CurrentFile() const {
  std::lock_guard lock(m_currentFileMutex);
  return m_currentFile;
}

void CRecordCopyWorker::SetCurrentFile(const std::string& path) {
  std::lock_guard lock(m_currentFileMutex);
  m_currentFile = path;
}

namespace {

// What the directory walk knows of one entry, without following a link.
struct FoundEntry {
  bool found = false;
  bool isFolder = false;
  bool isFile = false;
  std::uint64_t size = 0;
};

FoundEntry Find(const std::string& path) {
  FoundEntry e;
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return e;
  e.found = true;
  e.isFolder = S_ISDIR(info.st_mode);
  e.isFile = S_ISREG(info.st_mode);
  e.size = e.isFile ? static_cast<std::uint64_t>(info.st_size) : 0;
  return e;
}

}  // namespace

void CRecordCopyWorker::Run() {
  UseIdlePriority();
  m_finishedKiB.store(0);
  m_totalKiB.store(0);

  // First pass: how much will be copied.
  std::vector<std::optional<Entry>> sources;
  for (const std::string& source : m_job.sources) {
    if (m_cancel.load()) break;
    const std::string path = ResolveRecordSource(source);
    const FoundEntry found = Find(path);
    if (!found.found) {
      LogFailure("source not found", path, ENOENT);
      sources.emplace_back();
      continue;
    }
    Entry entry{path, LastComponent(path), found.isFolder, found.isFile, found.size};
    m_totalKiB.store(AddKiB(m_totalKiB.load(), CopyEntry(entry, m_job.destination, true)));
    sources.emplace_back(std::move(entry));
  }
  NotifyProgress(true);

  // Second pass: each source into a folder named after its parent folder.
  for (const std::optional<Entry>& source : sources) {
    if (m_cancel.load()) break;
    if (!source) continue;
    const std::string target = UniqueTarget(m_job.destination, RecordFolderNameFor(ParentOf(source->path)));
    if (target.empty()) {
      m_failedFiles.fetch_add(1);
      LogFailure("no free folder name for", source->path, EEXIST);
      continue;
    }
    CopyEntry(*source, target, false);
  }

  m_endedByCancel.store(m_cancel.load() != 0, std::memory_order_release);
  m_finished.store(true, std::memory_order_release);
  m_listener.OnCopyFinished();
}

std::int32_t CRecordCopyWorker::CopyEntry(const Entry& entry, const std::string& destination, bool counting) {
  if (m_cancel.load() || entry.name == "." || entry.name == "..") return 0;
  if (entry.isFolder) {
    // A destination inside the source is not copied into itself.
    if (entry.path == m_job.destination || IsCreatedFolder(entry.path)) return 0;
    return CopyFolder(entry, destination, counting);
  }
  if (!entry.isFile) {
    // Links are not followed (they may lead out of the source), and devices
    // or pipes are no media files.
    if (!counting) LogFailure("skipped (not a regular file)", entry.path, 0);
    return 0;
  }
  if (!PassesExtensionFilter(entry.name, m_job.filter)) return 0;
  if (counting) return SizeInKiB(entry.size);
  return CopyFile(entry, destination);
}

std::int32_t CRecordCopyWorker::CopyFolder(const Entry& folder, const std::string& destination, bool counting) {
  if (m_cancel.load()) return 0;
  std::string target = destination;
  if (!counting) {
    target = UniqueTarget(destination, folder.name);
    if (target.empty()) {
      m_failedFiles.fetch_add(1);
      LogFailure("no free folder name for", folder.path, EEXIST);
      return 0;
    }
  }

  std::error_code error;
  std::vector<std::string> names;
  for (std::filesystem::directory_iterator it(folder.path, error), end; !error && it != end; it.increment(error))
    names.push_back(it->path().filename().string());
  if (error) {
    if (!counting) {
      m_failedFiles.fetch_add(1);
      LogFailure("cannot read folder", folder.path, error.value());
    }
    return 0;
  }
  // A stable order, whatever order the file system lists its entries in.
  std::sort(names.begin(), names.end());

  std::int32_t sum = 0;
  for (const std::string& name : names) {
    if (m_cancel.load()) break;
    const std::string path = JoinRecordPath(folder.path, name);
    const FoundEntry found = Find(path);
    if (!found.found) continue;  // gone since the listing
    sum = AddKiB(sum, CopyEntry(Entry{path, name, found.isFolder, found.isFile, found.size}, target, counting));
  }
  return sum;
}

std::int32_t CRecordCopyWorker::CopyFile(const Entry& file, const std::string& destination) {
  SetCurrentFile(file.path);
  std::int32_t result = 0;
  if (!EnsureFolder(destination)) {
    const int error = errno;
    m_failedFiles.fetch_add(1);
    LogFailure("cannot create the folder " + destination + " for", file.path, error);
  } else {
    const std::string target = JoinRecordPath(destination, file.name);
    const FileCopyOutcome outcome = CopyFileWithProgress(
        file.path, target,
        [this](std::uint64_t total, std::uint64_t copied) {
          m_currentSizeKiB.store(SizeInKiB(total));
          m_currentCopiedKiB.store(SizeInKiB(copied));
          NotifyProgress(false);
        },
        m_cancel);
    if (outcome.result == FileCopyResult::kCopied) {
      result = SizeInKiB(file.size);
      m_copiedFiles.fetch_add(1);
    } else if (outcome.result == FileCopyResult::kFailed) {
      m_failedFiles.fetch_add(1);
      LogFailure("copy failed", file.path + " -> " + target, outcome.error);
    }
  }
  if (!m_cancel.load()) {
    // The current file's values go first, so that a painter never counts the
    // file twice (finished and current).
    m_currentCopiedKiB.store(0);
    m_currentSizeKiB.store(0);
    m_finishedKiB.store(AddKiB(m_finishedKiB.load(), result));
    NotifyProgress(false);
  }
  return result;
}

std::string CRecordCopyWorker::UniqueTarget(const std::string& destination, const std::string& name) const {
  const std::string first = JoinRecordPath(destination, name);
  std::string candidate = first;
  for (int n = 1; Exists(candidate) && !IsCreatedFolder(candidate); ++n) {
    if (n > kMaxNameSuffix) return {};
    candidate = first + "(" + std::to_string(n) + ")";
  }
  return candidate;
}

bool CRecordCopyWorker::IsCreatedFolder(const std::string& path) const {
  return std::find(m_createdFolders.begin(), m_createdFolders.end(), path) != m_createdFolders.end();
}

bool CRecordCopyWorker::EnsureFolder(const std::string& folder) {
  // The missing levels, innermost first, up to the first one that exists.
  std::vector<std::string> missing;
  std::string level = WithoutTrailingSlashes(folder);
  struct stat info {};
  while (!level.empty()) {
    if (::stat(level.c_str(), &info) == 0) {
      if (!S_ISDIR(info.st_mode)) {
        errno = ENOTDIR;
        return false;
      }
      break;
    }
    if (errno != ENOENT) return false;
    missing.push_back(level);
    const std::string parent = ParentOf(level);
    if (parent == level) break;
    level = parent;
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (::mkdir(it->c_str(), 0777) == 0) {
      m_createdFolders.push_back(*it);
      continue;
    }
    // Made by someone else in the meantime is as good, if it is a folder.
    if (errno != EEXIST || ::stat(it->c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
  }
  return true;
}

void CRecordCopyWorker::NotifyProgress(bool force) {
  const auto now = std::chrono::steady_clock::now();
  if (!force && m_options.progressInterval.count() > 0 && m_lastProgress.time_since_epoch().count() != 0 &&
      now - m_lastProgress < m_options.progressInterval)
    return;
  m_lastProgress = now;
  m_listener.OnCopyProgress();
}

void CRecordCopyWorker::LogFailure(const std::string& what, const std::string& path, int error) {
  std::string line = "Record copy: " + what;
  if (!path.empty()) line += " " + path;
  if (error != 0) line += ": " + std::generic_category().message(error);
  plat::OutputDebugStringA(line.c_str());
}
