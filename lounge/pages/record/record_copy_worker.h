// CRecordCopyWorker: the record page's copy of pictures, music or videos from
// a removable device to the hard disk, on a thread of its own at idle
// priority. A first pass counts what will be copied (in KiB), a second pass
// copies each source into a folder of the destination named after the
// source's parent folder (or, for a device root, the volume's label or drive
// letter), choosing "Name(1)", "Name(2)"... when a folder of that name exists
// that this copy did not create.
//
// Threads: only the owner (the UI thread) starts and stops the worker, and
// stopping waits for the thread. The worker publishes its counters as atomics
// and the current file name under a mutex; it never draws. It tells its
// listener, paced, that progress changed, and once that the run is over.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "lounge/pages/record/record_file_copy.h"

// What to copy: source paths (files or folders), the destination folder and
// the extension filter ("|.jpg|.jpeg|"; empty copies everything).
struct RecordCopyJob {
  std::vector<std::string> sources;
  std::string destination;
  std::string filter;
};

// The sizes the page shows, in KiB.
struct RecordCopyProgress {
  std::int32_t totalKiB = 0;          // everything the first pass counted
  std::int32_t finishedKiB = 0;       // files done
  std::int32_t currentSizeKiB = 0;    // the file being copied
  std::int32_t currentCopiedKiB = 0;  // of which copied so far
};

class IRecordCopyListener {
 public:
  // Worker thread: the counters or the current file changed. Calls are at
  // least the worker's progress interval apart.
  virtual void OnCopyProgress() = 0;
  // Worker thread, the last call of a run (finished or cancelled).
  virtual void OnCopyFinished() = 0;

 protected:
  ~IRecordCopyListener() = default;
};

class CRecordCopyWorker {
 public:
  struct Options {
    // Least time between two progress calls to the listener; 0 reports every
    // chunk.
    std::chrono::milliseconds progressInterval{100};
  };

  // `listener` outlives the worker.
  CRecordCopyWorker(RecordCopyJob job, IRecordCopyListener& listener);
  CRecordCopyWorker(RecordCopyJob job, IRecordCopyListener& listener, Options options);
  // Stops the run (cancel and wait).
  ~CRecordCopyWorker();
  CRecordCopyWorker(const CRecordCopyWorker&) = delete;
  CRecordCopyWorker& operator=(const CRecordCopyWorker&) = delete;

  // Starts the thread; false (and nothing runs) when it cannot be created or
  // was started before.
  bool Start();
  // Sets the cancel flag and waits until the thread has ended.
  void Stop();

  bool CancelRequested() const { return m_cancel.load() != 0; }
  // The run is over: both passes done, or given up after a cancel.
  bool HasFinished() const { return m_finished.load(std::memory_order_acquire); }
  // The run ended because of a cancel (valid once HasFinished).
  bool WasCancelled() const { return m_endedByCancel.load(std::memory_order_acquire); }

  RecordCopyProgress Progress() const;
  // The source file being copied (empty before the first).
  std::string CurrentFile() const;
  // Files copied and files that could not be copied (cancelled ones are
  // neither).
  int CopiedCount() const { return m_copiedFiles.load(); }
  int FailedCount() const { return m_failedFiles.load(); }
  // Folders this run created, outermost first; read only after Stop or once
  // HasFinished.
  const std::vector<std::string>& CreatedFolders() const { return m_createdFolders; }

 private:
  struct Entry {
    std::string path;  // full path
    std::string name;  // last component
    bool isFolder = false;
    bool isFile = false;
    std::uint64_t size = 0;  // bytes, files only
  };

  void Run();
  // The copy step: counts (counting) or copies one entry into `destination`;
  // the KiB counted.
  std::int32_t CopyEntry(const Entry& entry, const std::string& destination, bool counting);
  std::int32_t CopyFolder(const Entry& folder, const std::string& destination, bool counting);
  std::int32_t CopyFile(const Entry& file, const std::string& destination);
  // destination/name, or destination/name(n) while that exists and this run
  // did not create it; empty when no free name is found.
  std::string UniqueTarget(const std::string& destination, const std::string& name) const;
  bool IsCreatedFolder(const std::string& path) const;
  // Creates every missing level of `folder`, recording each one created.
  bool EnsureFolder(const std::string& folder);
  void SetCurrentFile(const std::string& path);
  // Tells the listener, at most once per progress interval unless `force`.
  void NotifyProgress(bool force);
  void LogFailure(const std::string& what, const std::string& path, int error);

  RecordCopyJob m_job;
  IRecordCopyListener& m_listener;
  Options m_options;
  std::thread m_thread;
  bool m_started = false;

  std::atomic<std::int32_t> m_totalKiB{0};
  std::atomic<std::int32_t> m_finishedKiB{0};
  std::atomic<std::int32_t> m_currentSizeKiB{0};
  std::atomic<std::int32_t> m_currentCopiedKiB{0};
  std::atomic<int> m_cancel{0};
  std::atomic<bool> m_finished{false};
  std::atomic<bool> m_endedByCancel{false};
  std::atomic<int> m_copiedFiles{0};
  std::atomic<int> m_failedFiles{0};

  mutable std::mutex m_currentFileMutex;
  std::string m_currentFile;

  // Worker thread only while it runs.
  std::vector<std::string> m_createdFolders;
  std::chrono::steady_clock::time_point m_lastProgress{};
};

// ---- naming, shared with the tests ----

// `folder` joined with `name` by one '/'.
std::string JoinRecordPath(const std::string& folder, const std::string& name);
// The folder a source is copied into is named after the source's parent
// folder: its last component, or for the root of a volume in the drive table
// its label, or its drive letter when the label is empty or unusable as a
// name.
std::string RecordFolderNameFor(const std::string& parentFolder);
// A source given in drive-letter form ("K:\DCIM\a.jpg") becomes a path below
// the volume's mount point; other paths lose trailing slashes only.
std::string ResolveRecordSource(const std::string& source);
