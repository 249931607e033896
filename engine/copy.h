#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <wx/arrstr.h>
#include <wx/event.h>
#include <wx/string.h>
#include <wx/thread.h>

#include "engine/compress_pool.h"
#include "engine/file_copy.h"
#include "engine/run_log.h"
#include "engine/sync_types.h"
#include "engine/thread_event.h"
#include "store/bzip2.h"

// The worker that carries out a run's planned actions: copies, moves (compressing small files on
// the way to the medium and decompressing them on the way back), deletes and makes directories,
// writes the XML run log, removes empty directories after each folder when soRemoveEmptyFolders
// is on, and reports on channel ID_THREAD_EVENT to its owner. A log-only run performs nothing:
// it reports and logs what would be done (it still creates a missing medium folder, and removes
// no empty directory).
//
// Every file the run writes goes to a temporary file beside its target, gets its source's time
// and is renamed into place only when complete; on the medium the other form of the name (x or
// x.bz2) is removed right before that rename, so a changed compression choice never leaves
// twins, even when the run is killed; a ".bz2" file on the station is always its user's own and
// stays. A name too long to take ".bz2" goes plain. Leftover temporary files of an earlier run
// are removed from each directory that a real run writes to.
//
// A moved source is removed only once its copy is on the device: the sources of a folder's
// moves wait until one flush of the target's file system after the folder's items (or after
// every thousand items, which bounds the log lines held in memory meanwhile). A real run that
// was not stopped ends by flushing the medium's file system, before its end event.
//
// The files of a folder that are compressed or decompressed are written ahead into their
// temporary files on every core (CompressPool); the thread itself still does, in plan order,
// every check, removal, rename, message, log entry and event, and writes any file the pool did
// not foresee as it decides.
//
// Safety checks before a folder's items: when its roots are no longer what the analysis saw
// (CheckRootIdentities) every item fails and nothing is written or removed; so does every item
// after a check before an item finds the medium's drive root off its mount (a handle on the
// root, held while the folder runs, keeps its mount's ID from going to another stick). From that
// moment the pool makes no more files, the folder's held move sources stay and its empty
// directories stay too. No item acts
// through a symbolic link below a folder root. A removal that the other side justifies (the
// source of a move, a deletion of a move mode) happens only while that counterpart is still
// there and not older. Any failed item makes the run end with RUN_FINISHED_WITH_ERRORS and posts
// a message naming its file and the system's reason.
//
// Lifecycle (joinable thread; the owner holds the object):
//   1. construct, Create(), AddIncompressibleMask() for each mask, Run() - all on the owner's
//      thread;
//   2. the thread posts code 5 (TE_COPY_END, long value = RunResult) as its last event; the log
//      is complete and closed before that event is posted;
//   3. the owner calls Wait() (after code 5, or after Stop() to cancel) and then deletes the
//      object. The owner must not be destroyed before Wait() has returned; once it has, nothing
//      more is posted. Events already queued die with the owner.
// Stop() (any thread) interrupts the file being written within a block (its temporary file
// goes, the item is left undone like those after it), makes the run finish the folder it is in
// (log elements closed, empty directories removed; sources of moves whose copies were not yet
// flushed stay) and end with RUN_CANCELLED without waiting for the medium; wxThread::Delete()
// asks the same between items and waits.
//
// The compression settings and soRemoveEmptyFolders are taken when the object is made.
//
// The job tree is read on the worker thread and must stay untouched until Wait() returns; the
// worker changes nothing in it but the ".bz2" suffix appended to item paths in place.
class swxCopy : public wxThread {
public:
    // owner may be null (nothing is posted). jobs is borrowed. The log file is created (emptied)
    // at once when logFileName is not empty; a log that cannot be opened is silently not written.
    swxCopy(wxEvtHandler* owner, JobTree* jobs, bool logOnly, const wxString& logFileName);
    ~swxCopy() override;

    // Owner's thread, before Run(): a file whose lower-cased path matches the mask is never
    // compressed. "/" and "\" are the same separator in masks and paths.
    void AddIncompressibleMask(const wxString& mask);
    // Owner's thread, before Run(): a real run also sends each item's text, worded as a
    // log-only run words it, with the item's step (code 3).
    void SendItemTexts() { itemTexts = true; }

    // Any thread: ask the run to end at its next check. Returns at once.
    void Stop() { stopRequested = true; }

    bool TestDestroy() override;

    // The thread's own steps, run by Entry on the worker thread.
    // True when the file is at most the project's compress-below size, does not end in ".bz2"
    // and matches no incompressible mask; false when the project never compresses.
    bool ShouldCompress(const ProjectJob& project, const wxString& path) const;
    // True without a size limit, else when the file (or, when missing, its ".bz2" form) is at
    // most the limit; a file found in neither form fails every limit below 4294967295.
    bool SizeWithinLimit(const ProjectJob& project, const wxString& path) const;
    // Copies, compresses or decompresses the item's file and logs the result attribute; appends
    // ".bz2" to the item's paths for the forms it actually read and wrote. True when it arrived.
    bool CopyOneFile(const ProjectJob& project, SyncItem& item);
    // Removes path and the directories below it, depth first, that hold no other entry; links
    // are never followed. True when path itself was removed. With below, path is reached from
    // that directory (see file_copy.h).
    bool RemoveEmptyDirs(const wxString& path,
                         const std::shared_ptr<const OpenDirectory>& below = nullptr);
    // The cleaning after a folder: the medium, the station or both (medium first) by the
    // project's mode. True when every directory tried was removed.
    bool CleanEmptyFolders(const ProjectJob& project, const FolderJob& folder);

protected:
    ExitCode Entry() override;

private:
    void RunJobs();
    void RunProject(const ProjectJob& project);
    void RunFolder(const ProjectJob& project, FolderJob& folder);
    void RunItem(const ProjectJob& project, const FolderJob& folder, SyncItem& item,
                 bool rootsChanged);
    // The item's text; with logResult its result attribute goes to the log.
    wxString DescribeItem(const ProjectJob& project, const SyncItem& item, bool logResult);
    void PerformItem(const ProjectJob& project, const FolderJob& folder, SyncItem& item);
    void MoveOneFile(const ProjectJob& project, SyncItem& item);
    void SettleRemovals(const FolderJob& folder);
    void FlushMedium();
    // The item's result attribute after a file operation (errno still its own); false when it
    // failed or was interrupted by Stop.
    bool Outcome(bool done, const char* success, const char* failure, const wxString& path,
                 const SyncItem& item);
    void DeleteOneFile(const ProjectJob& project, const FolderJob& folder, SyncItem& item);
    void MakeDirectory(const FolderJob& folder, const SyncItem& item);
    bool PathsAreSafe(const FolderJob& folder, const SyncItem& item);
    // Whether the file that the item deletes (its target, found) may go for a counterpart
    // equal or newer on the other side; planned is the target as the analysis planned it.
    bool CounterpartStands(const FolderJob& folder, const SyncItem& item, const wxString& planned);
    // Removes leftover temporary files once per directory; reports them now or (report false)
    // when an item in plan order first writes there.
    void RemoveTemporaries(const wxString& directory, bool report = true,
                           const std::shared_ptr<const OpenDirectory>& below = nullptr);
    // Posts the removals not reported yet, of one directory or (nullopt) of all.
    void ReportRemovedTemporaries(const std::optional<std::string>& directory);
    // Hands the pool the compressions and decompressions among the items from `from` on, as
    // long as it takes more; next is the first item not looked at.
    void QueueAhead(const ProjectJob& project, const FolderJob& folder, std::size_t from,
                    std::size_t& next);
    // Writes the item's target through one temporary file, taking the pool's file when it
    // has it, else writing it here; beforeRename runs right before the rename.
    bool WriteFile(const SyncItem& item, const CompressPool::Write& write,
                   const BeforeRename& beforeRename = nullptr);
    void MakeMediumFolder(const FolderJob& folder);
    // Checked before every item: true from the first sign that the medium left its mount.
    bool MediumLost(const FolderJob& folder);
    // Right before a file made on the medium takes its place: false (errno ENOENT) once the
    // medium is lost.
    bool MediumStays();
    // Where the thread's writes and removals on one side start: the held drive root on the
    // medium (null without one), null on the station (reached by path).
    std::shared_ptr<const OpenDirectory> HeldRoot(bool onMedium) const;
    void Attribute(const char* attribute);
    // Logs the item's error result (on a held line when given) and posts message when not
    // empty; the run then ends with RUN_FINISHED_WITH_ERRORS.
    void Fail(const char* attribute, const wxString& message = wxString());
    void FailHeld(std::size_t line, const char* attribute, const wxString& message);

    JobTree* const jobs;
    ThreadEventSender event;  // owner and the reused event of channel ID_THREAD_EVENT
    RunLog log;
    const bool logOnly;
    const bool logging;
    bool itemTexts = false;
    wxArrayString incompressibleMasks;
    const Bz2Settings bz2Settings;
    const bool removeEmptyFolders;
    int runResult = RUN_FINISHED;
    bool anyItemFailed = false;
    bool interrupted = false;  // Stop came in the middle of the current item's file
    bool mediumLost = false;  // every later item fails: nothing more is written or removed
    const FolderJob* currentFolder = nullptr;  // the folder whose items are carried out
    // Its medium's drive root, held open: every file made or removed on the medium during the
    // folder, by the pool or this thread, is reached from there.
    std::shared_ptr<const OpenDirectory> driveRoot;
    // Where leftover temporaries were looked for, with the removals not reported yet.
    std::map<std::string, std::vector<wxString>> cleanedDirectories;
    // Moves whose sources wait for the flush of their copies, with their held log lines.
    struct PendingRemoval {
        SyncItem* item;
        std::size_t logLine;
    };
    std::vector<PendingRemoval> pendingRemovals;
    std::size_t itemsHeld = 0;  // items since the first pending removal
    StopFlag stopRequested{false};
    // Made when there is something to compress or expand; last, so it ends before the rest.
    std::unique_ptr<CompressPool> pool;
};
