#pragma once

#include <atomic>
#include <memory>

#include <wx/event.h>
#include <wx/thread.h>

#include "engine/sync_types.h"
#include "engine/thread_event.h"

class swxDirCompare;

// The worker thread that plans a whole run: one folder comparison (swxDirCompare) per folder
// job, project by project, filling each folder job's item list. Posts to its owner on
// ID_THREAD_EVENT: code 0 for the project and folder banners and for case twins (which abort
// their project: its planned items are discarded and its remaining folders not compared), the
// comparisons' own codes 0, 1 and 3, and code 4 last with the RunResult: 0 finished, 2
// cancelled (whenever Cancel came, even before the thread started), 1 after an unexpected
// failure. Before each comparison it records the identities of the folder's roots
// (RecordRootIdentities) for the copy to check. A folder whose station and medium folders
// overlap (FoldersOverlap) is not compared: one message, nothing planned, its refusal set.
//
// Lifetime: a joinable thread. The owner makes it, calls AddProject, then Create() and Run().
// It keeps the object and must Wait() for it (after the code-4 event, or after Cancel() when
// it wants to stop early) before deleting it, and before the owner itself or the job tree goes:
// once Wait() has returned nothing more is posted. The job tree is read and its item lists
// written by the thread until then.
class swxAnalyze : public wxThread {
public:
    // owner receives the events (null: nothing posted); jobs is the run's job tree, owned by
    // the caller and outliving the thread.
    swxAnalyze(wxEvtHandler* owner, JobTree* jobs);
    ~swxAnalyze() override;

    // Appends a project job to the job tree. GUI thread, before Run().
    void AddProject(std::unique_ptr<ProjectJob> project);

    // Asks the analysis to end: the running comparison stops at its next check, the thread at
    // the next folder or project, and the end event carries 2. Does not wait (call Wait()).
    // Any thread; safe before Run() and after the end. Returns wxTHREAD_NO_ERROR.
    // (wxThread::Delete also ends the analysis with 2, but only at the next folder, and waits.)
    wxThreadError Cancel();
    // The same as Cancel, under the name the other workers use.
    void Stop() { Cancel(); }

    // Deletes the running comparer, if any. Analysis thread.
    void DeleteComparer();

    // The result the end event carries (or will carry).
    int Result() const { return runResult_.load(); }

protected:
    ExitCode Entry() override;

private:
    // True once Cancel or Delete asked the thread to end; the result is then 2.
    bool StopRequested();
    void AnalyseProject(ProjectJob& project);
    // False when twins aborted the project.
    bool AnalyseFolder(ProjectJob& project, FolderJob& folder);
    void ReportTwins(const FolderJob& folder, const swxDirCompare& comparer);

    JobTree* jobs_;
    ThreadEventSender events_;
    wxEvtHandler* owner_;
    // Guards comparer_ and the comparer's life against Cancel on another thread.
    wxCriticalSection lock_;
    std::unique_ptr<swxDirCompare> comparer_;
    std::atomic<bool> cancelled_{false};
    std::atomic<int> runResult_{RUN_FINISHED};
};
