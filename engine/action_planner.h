#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include <wx/string.h>

#include "engine/dir_entry.h"
#include "engine/sync_types.h"
#include "engine/thread_event.h"

// Plans the actions of one synchronisation mode from a comparison's entry lists. Nothing here
// touches a file. Make-directory items go straight to the output list; deletions and copies or
// moves are held until AppendPlannedItems, so a folder's items are its make-directory items
// (directory discovery order), then its deletions, then its copies and moves (file discovery
// order). Every item is made selected. Each entry handled posts one step (code 3); the
// planners stop before the next entry once the cancel flag is set.
//
// Nothing at all is planned for a name below a directory of either side that could not be
// read, and a deletion that only mirrors a name's absence is never planned when the other
// side's root is missing (UnreadableDirs): entries passed over this way get no step.
//
// A target the target side lacks takes the source's name, placed under the deepest ancestor
// directory that the target side has, in that side's case: names pair without regard to case,
// and on a case-sensitive file system "Docs/a.txt" must land in an existing "docs".
//
// Used by one comparison on the analysis thread; everything passed in is borrowed and must
// outlive the planner. Items still held when the planner is destroyed are discarded.
class ActionPlanner {
public:
    using ItemList = std::vector<std::unique_ptr<SyncItem>>;

    // Roots are native and end with the separator.
    ActionPlanner(const wxString& stationRoot, const wxString& mediumRoot,
                  const UnreadableDirs& unreadable, ThreadEventSender& events,
                  const std::atomic<bool>& cancelled, ItemList& output);

    // Runs the mode's directory planner and then its file planner. False, with nothing
    // planned, for a value that is none of the eleven named modes. The file planners use the
    // file entries up (their index must be released), so memory goes from entries to items.
    bool Plan(int mode, const DirEntryList& directories, DirEntryList& files);

    // Moves the held deletions, then the held copies and moves, to the end of the output list.
    void AppendPlannedItems();

    // Directory planners.
    void PlanMediumDirs(const DirEntryList& directories);
    void PlanComputerDirs(const DirEntryList& directories);
    void PlanBothDirs(const DirEntryList& directories);

    // File planners, one per mode; each empties the list.
    void PlanSdCopy(DirEntryList& files);        // 1
    void PlanSdCopyDel(DirEntryList& files);     // 3
    void PlanSdCopyM(DirEntryList& files);       // 5
    void PlanSdCopyMDel(DirEntryList& files);    // 7
    void PlanDsCopy(DirEntryList& files);        // 8
    void PlanDsCopyDel(DirEntryList& files);     // 24
    void PlanDsCopyM(DirEntryList& files);       // 40
    void PlanDsCopyMDel(DirEntryList& files);    // 56
    void PlanSdCopyDs(DirEntryList& files);      // 9
    void PlanSdCopyDelDs(DirEntryList& files);   // 11
    void PlanDsCopyDelSd(DirEntryList& files);   // 25

    // Item makers: onMedium / up = towards the medium.
    void AddDeleteItem(const DirEntry& entry, bool onMedium);
    void AddCopyItem(const DirEntry& entry, bool up);
    void AddMoveItem(const DirEntry& entry, bool up);

private:
    // Calls handle for one entry unless the run is cancelled (false) or what lies below it is
    // unknown; posts a step when handle returns true.
    template <typename Handle>
    bool Visit(const DirEntry& entry, Handle& handle);
    // Calls handle for each entry until cancelled; posts a step when handle returns true.
    template <typename Handle>
    void ForEachEntry(const DirEntryList& list, Handle handle);
    // The same over the files, each entry dropped once handled.
    template <typename Handle>
    void ForEachFile(DirEntryList& files, Handle handle);
    void AddMakeDirItem(const DirEntry& entry, bool onMedium);
    // Deletes the entry on one side because the other side lacks it, unless that side's
    // absence is unknown.
    void AddMirroredDelete(const DirEntry& entry, bool onMedium);
    std::unique_ptr<SyncItem> MakeTransfer(const DirEntry& entry, bool up, int action) const;
    // path = root + the relative path for the entry on the side that lacks it (see above).
    void JoinNewTarget(wxString& path, const wxString& root, const DirEntry& entry,
                       bool toMedium) const;

    const wxString& stationRoot_;
    const wxString& mediumRoot_;
    const UnreadableDirs& unreadable_;
    ThreadEventSender& events_;
    const std::atomic<bool>& cancelled_;
    ItemList& output_;
    const DirEntryList* directories_ = nullptr;
    ItemList deletions_;
    ItemList copiesAndMoves_;
};
