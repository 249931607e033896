#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include <wx/event.h>
#include <wx/string.h>

#include "engine/dir_entry.h"
#include "engine/folder_rules.h"
#include "engine/sync_types.h"
#include "engine/thread_event.h"

// Compares one station folder with one medium folder and plans what one synchronisation mode
// asks for into a folder job's item list: make-directory items, then deletions, then copies
// and moves (see ActionPlanner). Walks both folders (swxDirTraverser), posts the number of
// names found (code 1), one step per entry handled (code 3) and the walk's messages (code 0)
// to the owner, and lists case twins. Touches no file.
//
// Made, used and deleted on the analysis thread; only Cancel and IsCancelled may be called
// from other threads (the analysis thread's lock keeps the comparer alive meanwhile). Compare
// walks the medium folder on a helper thread of its own, joined before it returns; that
// thread posts nothing.
class swxDirCompare {
public:
    using ItemList = std::vector<std::unique_ptr<SyncItem>>;

    // owner may be null (nothing posted). Paths are native; a separator is appended.
    swxDirCompare(wxEvtHandler* owner, const wxString& stationPath, const wxString& mediumPath,
                  int mode);
    virtual ~swxDirCompare();

    // The folder job's item list (borrowed; emptied and filled by Compare).
    void SetOutput(ItemList* output) { output_ = output; }
    // The folder job's rules (borrowed; normalised in place by Compare). Null: no rules.
    void SetRules(FolderRules* rules) { rules_ = rules; }

    // Plans into the output list. False, with nothing done, when the output list is missing or
    // the mode is invalid; false after the walk, with nothing planned, for a valid value that
    // is none of the eleven modes. True otherwise, also after a cancel (then only what was
    // planned before it may be in the output list: make-directory items).
    bool Compare();

    // Makes the walk and the planners stop at their next check. Any thread.
    void Cancel() { cancelled_.store(true); }
    bool IsCancelled() const { return cancelled_.load(std::memory_order_relaxed); }

    // Full paths of the case twins found by the last Compare, directories first.
    const std::vector<wxString>& Twins() const { return twins_; }
    // Sizes of the entry lists after the walk.
    unsigned FileCount() const { return fileCount_; }
    unsigned DirectoryCount() const { return directoryCount_; }

private:
    void Walk();
    void FindCaseTwins();
    void AddTwins(const DirEntryList& list);

    wxEvtHandler* owner_;
    std::atomic<bool> cancelled_{false};
    wxString stationRoot_;
    wxString mediumRoot_;
    int mode_;
    ThreadEventSender events_;
    unsigned fileCount_ = 0;
    unsigned directoryCount_ = 0;
    DirEntryList directories_;
    DirEntryList files_;
    UnreadableDirs unreadable_;
    ItemList* output_ = nullptr;
    std::vector<wxString> twins_;
    FolderRules* rules_ = nullptr;
};
