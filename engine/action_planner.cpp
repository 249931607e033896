#include "engine/action_planner.h"

#include "engine/relative_path.h"
#include "store/file_time.h"

namespace {

// path = root + the entry's path on one side, in one allocation (wxString cannot be moved
// into place).
void Join(wxString& path, const wxString& root, const DirEntry& entry, bool stationSide)
{
    path.reserve(root.length() + entry.key.View().size());
    path.append(root);
    entry.AppendRel(path, stationSide);
}

// The item acts on the files as the walks found them, ".bz2" in its case included.
void TakeSuffixes(SyncItem& item, const DirEntry& entry)
{
    item.stationSuffix = entry.stationSuffix;
    item.mediumSuffix = entry.mediumSuffix;
}

bool OnStation(const DirEntry& e) { return e.stationCount > 0; }
bool OnMedium(const DirEntry& e) { return e.mediumCount > 0; }

} // namespace

ActionPlanner::ActionPlanner(const wxString& stationRoot, const wxString& mediumRoot,
                             const UnreadableDirs& unreadable, ThreadEventSender& events,
                             const std::atomic<bool>& cancelled, ItemList& output)
    : stationRoot_(stationRoot), mediumRoot_(mediumRoot), unreadable_(unreadable),
      events_(events), cancelled_(cancelled), output_(output)
{
}

template <typename Handle>
bool ActionPlanner::Visit(const DirEntry& entry, Handle& handle)
{
    if (cancelled_.load(std::memory_order_relaxed))
        return false;
    // What lies below a directory that could not be read is unknown: plan nothing there.
    if (!unreadable_.Blocks(true, entry.key) && !unreadable_.Blocks(false, entry.key) &&
        handle(entry))
        events_.PostStep();
    return true;
}

template <typename Handle>
void ActionPlanner::ForEachEntry(const DirEntryList& list, Handle handle)
{
    for (const DirEntry& entry : list)
        if (!Visit(entry, handle))
            return;
}

template <typename Handle>
void ActionPlanner::ForEachFile(DirEntryList& files, Handle handle)
{
    for (; !files.empty(); files.DropFirst())
        if (!Visit(files[0], handle))
            return;
}

bool ActionPlanner::Plan(int mode, const DirEntryList& directories, DirEntryList& files)
{
    directories_ = &directories;
    switch (mode) {
    case SD_COPY: PlanMediumDirs(directories); PlanSdCopy(files); return true;
    case SD_COPY_DEL: PlanMediumDirs(directories); PlanSdCopyDel(files); return true;
    case SD_COPY_M: PlanMediumDirs(directories); PlanSdCopyM(files); return true;
    case SD_COPY_MDEL: PlanMediumDirs(directories); PlanSdCopyMDel(files); return true;
    case DS_COPY: PlanComputerDirs(directories); PlanDsCopy(files); return true;
    case DS_COPY_DEL: PlanComputerDirs(directories); PlanDsCopyDel(files); return true;
    case DS_COPY_M: PlanComputerDirs(directories); PlanDsCopyM(files); return true;
    case DS_COPY_MDEL: PlanComputerDirs(directories); PlanDsCopyMDel(files); return true;
    case SD_COPY_DS: PlanBothDirs(directories); PlanSdCopyDs(files); return true;
    case SD_COPY_DEL_DS: PlanBothDirs(directories); PlanSdCopyDelDs(files); return true;
    case DS_COPY_DEL_SD: PlanBothDirs(directories); PlanDsCopyDelSd(files); return true;
    default: return false;
    }
}

void ActionPlanner::AppendPlannedItems()
{
    output_.reserve(output_.size() + deletions_.size() + copiesAndMoves_.size());
    for (ItemList* held : {&deletions_, &copiesAndMoves_}) {
        for (auto& item : *held)
            output_.push_back(std::move(item));
        held->clear();
    }
}

void ActionPlanner::JoinNewTarget(wxString& path, const wxString& root, const DirEntry& entry,
                                  bool toMedium) const
{
    if (directories_) {
        const std::string sourceRel = entry.Rel(toMedium);
        // Up from the parent, the first directory that the target side has.
        for (size_t end = sourceRel.rfind(kNativeSeparator); end != std::string::npos && end > 0;
             end = sourceRel.rfind(kNativeSeparator, end - 1)) {
            const std::string parentKey = RelativeKey(std::string_view(sourceRel).substr(0, end));
            const DirEntry* dir = directories_->Find(parentKey);
            if (!dir)
                continue;
            if (dir->HasRel(!toMedium)) {
                Join(path, root, *dir, !toMedium);
                AppendUtf8(path, std::string_view(sourceRel).substr(end));
                return;
            }
        }
    }
    Join(path, root, entry, toMedium);
}

// ---- directories

void ActionPlanner::AddMakeDirItem(const DirEntry& entry, bool onMedium)
{
    auto item = std::make_unique<SyncItem>();
    item->action = FP_MKDIR;
    JoinNewTarget(item->target, onMedium ? mediumRoot_ : stationRoot_, entry, onMedium);
    item->targetOnMedium = onMedium;
    output_.push_back(std::move(item));
}

void ActionPlanner::PlanMediumDirs(const DirEntryList& directories)
{
    ForEachEntry(directories, [this](const DirEntry& e) {
        if (!OnMedium(e))
            AddMakeDirItem(e, true);
        return true;
    });
}

void ActionPlanner::PlanComputerDirs(const DirEntryList& directories)
{
    ForEachEntry(directories, [this](const DirEntry& e) {
        if (!OnStation(e))
            AddMakeDirItem(e, false);
        return true;
    });
}

void ActionPlanner::PlanBothDirs(const DirEntryList& directories)
{
    ForEachEntry(directories, [this](const DirEntry& e) {
        if (!OnStation(e))
            AddMakeDirItem(e, false);
        else if (!OnMedium(e))
            AddMakeDirItem(e, true);
        return true;
    });
}

// ---- files, one way towards the medium

void ActionPlanner::PlanSdCopy(DirEntryList& files)
{
    ForEachFile(files, [this](const DirEntry& e) {
        if (!OnStation(e))
            return false;
        if (!OnMedium(e) || TimeNewer(e.stationTime, e.mediumTime))
            AddCopyItem(e, true);
        return true;
    });
}

void ActionPlanner::PlanSdCopyDel(DirEntryList& files)
{
    ForEachFile(files, [this](const DirEntry& e) {
        if (!OnStation(e))
            AddMirroredDelete(e, true);
        else if (!OnMedium(e) || TimeNewer(e.stationTime, e.mediumTime))
            AddCopyItem(e, true);
        return true;
    });
}

void ActionPlanner::PlanSdCopyM(DirEntryList& files)
{
    ForEachFile(files, [this](const DirEntry& e) {
        if (!OnStation(e))
            return false;
        if (OnMedium(e) && !TimeNewer(e.stationTime, e.mediumTime))
            AddDeleteItem(e, false);
        else
            AddMoveItem(e, true);
        return true;
    });
}

void ActionPlanner::PlanSdCopyMDel(DirEntryList& files)
{
    ForEachFile(files, [this](const DirEntry& e) {
        if (!OnStation(e))
            AddMirroredDelete(e, true);
        else if (OnMedium(e) && !TimeNewer(e.stationTime, e.mediumTime))
            AddDeleteItem(e, false);
        else
            AddMoveItem(e, true);
        return true;
    });
}

// ---- files, one way towards the station

void ActionPlanner::PlanDsCopy(DirEntryList& files)
{
    ForEachFile(files, [this](const DirEntry& e) {
        if (!OnMedium(e))
            return false;
        if (!OnStation(e) || TimeNewer(e.mediumTime, e.stationTime))
            AddCopyItem(e, false);
        return true;
    });
}

void ActionPlanner::PlanDsCopyDel(DirEntryList& files)
{
    ForEachFile(files, [this](const DirEntry& e) {
        if (!OnMedium(e))
            AddMirroredDelete(e, false);
        else if (!OnStation(e) || TimeNewer(e.mediumTime, e.stationTime))
            AddCopyItem(e, false);
        return true;
    });
}

void ActionPlanner::PlanDsCopyM(DirEntryList& files)
{
    ForEachFile(files, [this](const DirEntry& e) {
        if (!OnMedium(e))
            return false;
        if (OnStation(e) && !TimeNewer(e.mediumTime, e.stationTime))
            AddDeleteItem(e, true);
        else
            AddMoveItem(e, false);
        return true;
    });
}

void ActionPlanner::PlanDsCopyMDel(DirEntryList& files)
{
    ForEachFile(files, [this](const DirEntry& e) {
        if (!OnMedium(e))
            AddMirroredDelete(e, false);
        else if (OnStation(e) && !TimeNewer(e.mediumTime, e.stationTime))
            AddDeleteItem(e, true);
        else
            AddMoveItem(e, false);
        return true;
    });
}

// ---- files, both ways: names with equal times on both sides are passed over without a step

void ActionPlanner::PlanSdCopyDs(DirEntryList& files)
{
    ForEachFile(files, [this](const DirEntry& e) {
        if (OnStation(e) && OnMedium(e) && TimesEqual(e.stationTime, e.mediumTime))
            return false;
        if (!OnStation(e))
            AddCopyItem(e, false);
        else if (!OnMedium(e))
            AddCopyItem(e, true);
        else
            AddCopyItem(e, TimeNewer(e.stationTime, e.mediumTime));
        return true;
    });
}

void ActionPlanner::PlanSdCopyDelDs(DirEntryList& files)
{
    ForEachFile(files, [this](const DirEntry& e) {
        if (OnStation(e) && OnMedium(e) && TimesEqual(e.stationTime, e.mediumTime))
            return false;
        if (!OnStation(e))
            AddMirroredDelete(e, true);
        else if (!OnMedium(e))
            AddCopyItem(e, true);
        else
            AddCopyItem(e, TimeNewer(e.stationTime, e.mediumTime));
        return true;
    });
}

void ActionPlanner::PlanDsCopyDelSd(DirEntryList& files)
{
    ForEachFile(files, [this](const DirEntry& e) {
        if (OnStation(e) && OnMedium(e) && TimesEqual(e.stationTime, e.mediumTime))
            return false;
        if (!OnMedium(e))
            AddMirroredDelete(e, false);
        else if (!OnStation(e))
            AddCopyItem(e, false);
        else
            AddCopyItem(e, !TimeNewer(e.mediumTime, e.stationTime));
        return true;
    });
}

// ---- item makers

void ActionPlanner::AddDeleteItem(const DirEntry& entry, bool onMedium)
{
    auto item = std::make_unique<SyncItem>();
    item->action = FP_DELETE;
    Join(item->target, onMedium ? mediumRoot_ : stationRoot_, entry, !onMedium);
    item->targetOnMedium = onMedium;
    TakeSuffixes(*item, entry);
    deletions_.push_back(std::move(item));
}

void ActionPlanner::AddMirroredDelete(const DirEntry& entry, bool onMedium)
{
    // Deleting on the medium mirrors the station's lack of the name, and the other way round.
    if (!unreadable_.Hides(onMedium, entry.key))
        AddDeleteItem(entry, onMedium);
}

std::unique_ptr<SyncItem> ActionPlanner::MakeTransfer(const DirEntry& entry, bool up,
                                                     int action) const
{
    auto item = std::make_unique<SyncItem>();
    item->action = action;
    Join(item->source, up ? stationRoot_ : mediumRoot_, entry, up);
    if (!entry.HasRel(!up))
        JoinNewTarget(item->target, up ? mediumRoot_ : stationRoot_, entry, up);
    else
        Join(item->target, up ? mediumRoot_ : stationRoot_, entry, !up);
    item->sourceTime = up ? entry.stationTime : entry.mediumTime;
    item->targetOnMedium = up;
    TakeSuffixes(*item, entry);
    return item;
}

void ActionPlanner::AddCopyItem(const DirEntry& entry, bool up)
{
    copiesAndMoves_.push_back(MakeTransfer(entry, up, FP_COPY));
}

void ActionPlanner::AddMoveItem(const DirEntry& entry, bool up)
{
    copiesAndMoves_.push_back(MakeTransfer(entry, up, FP_MOVE));
}
