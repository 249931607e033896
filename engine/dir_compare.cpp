#include "engine/dir_compare.h"

#include <malloc.h>

#include <exception>
#include <thread>

#include <wx/intl.h>

#include "engine/action_planner.h"
#include "engine/dir_traverser.h"
#include "engine/relative_path.h"
#include "store/paths.h"

swxDirCompare::swxDirCompare(wxEvtHandler* owner, const wxString& stationPath,
                             const wxString& mediumPath, int mode)
    : owner_(owner),
      stationRoot_(AppendPathSeparator(stationPath)),
      mediumRoot_(AppendPathSeparator(mediumPath)),
      mode_(mode),
      events_(owner, ID_THREAD_EVENT)
{
}

swxDirCompare::~swxDirCompare() = default;

bool swxDirCompare::Compare()
{
    if (!output_ || !IsValidSyncMode(static_cast<std::uint8_t>(mode_)))
        return false;
    if (rules_) {
        for (const auto& rule : *rules_) {
            if (IsCancelled())
                return true;
            if (rule)
                NormaliseMask(rule->mask);
        }
    }
    output_->clear();
    files_.clear();
    directories_.clear();
    unreadable_.clear();
    twins_.clear();

    Walk();
    if (IsCancelled())
        return true;

    directoryCount_ = static_cast<unsigned>(directories_.size());
    fileCount_ = static_cast<unsigned>(files_.size());
    events_.PostCode(TE_START, static_cast<long>(directoryCount_ + fileCount_),
                     wxString::Format(_("%lu files in %lu directories found"),
                                      static_cast<unsigned long>(fileCount_),
                                      static_cast<unsigned long>(directoryCount_)));
    FindCaseTwins();

    // Files are only walked in order from here on; directories are still looked up.
    files_.ReleaseIndex();
    ActionPlanner planner(stationRoot_, mediumRoot_, unreadable_, events_, cancelled_, *output_);
    if (!planner.Plan(mode_, directories_, files_))
        return false;
    if (IsCancelled())
        return true;  // the planner takes the held deletions, copies and moves with it
    planner.AppendPlannedItems();
    return true;
}

void swxDirCompare::Walk()
{
    // The two folders usually lie on different disks, so both are walked at once: the medium
    // walk runs on a helper thread and is only recorded, then entered and reported after the
    // station walk, which gives the lists and messages of one walk after the other.
    swxDirTraverser station(stationRoot_, mediumRoot_);
    swxDirTraverser medium(stationRoot_, mediumRoot_);
    for (swxDirTraverser* traverser : {&station, &medium}) {
        traverser->SetEventId(ID_THREAD_EVENT);
        traverser->SetComparer(this);
        traverser->SetLists(&files_, &directories_);
        traverser->SetOwner(owner_);
        traverser->SetRules(rules_);
        // What the walks cannot see is reported and recorded: nothing is planned inside an
        // unreadable directory, and nothing is deleted for a missing root.
        traverser->SetUnreadable(&unreadable_);
    }
    medium.SetStationSide(false);
    medium.SetRecording(true);

    std::exception_ptr mediumFailure;
    {
        std::jthread mediumWalk([&medium, &mediumFailure] {
            try {
                medium.Walk();
            } catch (...) {
                mediumFailure = std::current_exception();
            }
        });
        station.Walk();
    }
    if (mediumFailure)
        std::rethrow_exception(mediumFailure);
    if (!IsCancelled())
        medium.Replay();
    // The medium walk's records went back to its thread's heap, which no other thread reuses:
    // give that memory back before the planning makes its items.
    malloc_trim(0);
}

void swxDirCompare::AddTwins(const DirEntryList& list)
{
    for (const DirEntry& entry : list) {
        if (IsCancelled())
            return;
        if (entry.mediumCount > 1)
            twins_.push_back(mediumRoot_ + Utf8Text(entry.Rel(false)));
        if (entry.stationCount > 1)
            twins_.push_back(stationRoot_ + Utf8Text(entry.Rel(true)));
    }
}

void swxDirCompare::FindCaseTwins()
{
    twins_.clear();
    AddTwins(directories_);
    AddTwins(files_);
}
