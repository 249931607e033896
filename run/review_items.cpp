#include "run/review_items.h"

#include <wx/filename.h>
#include <wx/intl.h>

#include "store/file_time.h"
#include "store/paths.h"

namespace {

const wxUniChar kSeparator = wxFileName::GetPathSeparator();

wxString SideWord(bool medium)
{
    return medium ? _("medium") : _("computer");
}

// The length of the folder path with its separator; the engine joins names the same way.
std::size_t PrefixLength(const wxString& folderPath)
{
    return AppendPathSeparator(folderPath).length();
}

wxString WithoutPrefix(const wxString& path, std::size_t prefix)
{
    return prefix <= path.length() ? path.Mid(prefix) : path;
}

} // namespace

std::vector<ReviewItem> MakeReviewItems(JobTree& jobs)
{
    std::vector<ReviewItem> records;
    for (const auto& project : jobs) {
        for (const auto& folder : project->folders) {
            for (const auto& item : folder->items) {
                const wxString& sourceFolder =
                    item->targetOnMedium ? folder->stationPath : folder->mediumPath;
                const wxString& targetFolder =
                    item->targetOnMedium ? folder->mediumPath : folder->stationPath;
                ReviewItem record{project->caption,
                                  folder->stationPath,
                                  wxString(),
                                  PrefixLength(sourceFolder),
                                  PrefixLength(targetFolder),
                                  item.get(),
                                  item->target.AfterLast(kSeparator)};
                record.relativeTarget = WithoutPrefix(item->target, record.targetPrefixLength);
                item->selected = true;
                records.push_back(std::move(record));
            }
        }
    }
    return records;
}

wxString FileExtensionOf(const ReviewItem& record)
{
    return record.fileName.AfterLast('.');
}

wxString FileStemOf(const ReviewItem& record)
{
    return record.fileName.BeforeLast('.');
}

wxString FolderPartOf(const ReviewItem& record)
{
    if (record.item->action == FP_MKDIR)
        return record.relativeTarget;
    return record.relativeTarget.BeforeLast(kSeparator);
}

bool PassesFilter(const ReviewItem& record, const ReviewFilter& filter)
{
    const wxString& value = filter.value;
    switch (filter.kind) {
    case RF_NONE:
        return true;
    case RF_EXTENSION:
        return FileExtensionOf(record).Lower() == value;
    case RF_NAME:
        return FileStemOf(record).Lower() == value;
    case RF_PROJECT:
        return record.project == value;
    case RF_FOLDER:
        // The folder's root holds everything; any other folder holds itself and what lies
        // below its separator ("Doc" is not "Documents").
        return value.empty() || record.relativeTarget == value ||
               record.relativeTarget.StartsWith(value + kSeparator);
    case RF_BEGINS:
        return record.relativeTarget.StartsWith(value);
    case RF_CONTAINS:
        return record.relativeTarget.Contains(value);
    default:
        return true;
    }
}

std::vector<std::size_t> FilterRecords(const std::vector<ReviewItem>& records,
                                       const ReviewFilter& filter)
{
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < records.size(); ++i)
        if (PassesFilter(records[i], filter))
            rows.push_back(i);
    return rows;
}

ReviewFilter MakeFilter(int kind, const ReviewItem* record, const wxString& typed)
{
    ReviewFilter filter;
    filter.kind = kind;
    switch (kind) {
    case RF_EXTENSION:
        filter.value = FileExtensionOf(*record);
        filter.label = _("Filter by extension: ") + filter.value;
        filter.value.MakeLower();
        break;
    case RF_NAME:
        filter.value = FileStemOf(*record);
        filter.label = _("Filter by file: ") + filter.value;
        filter.value.MakeLower();
        break;
    case RF_PROJECT:
        filter.value = record->project;
        filter.label = _("Filter by project: ") + filter.value;
        break;
    case RF_FOLDER:
        filter.value = FolderPartOf(*record);
        filter.label = _("Filter by folder: ") + filter.value;
        break;
    case RF_BEGINS:
        filter.value = typed;
        filter.label = _("Begins on: ") + typed;
        break;
    case RF_CONTAINS:
        filter.value = typed;
        filter.label = _("Contains: ") + typed;
        break;
    default:
        filter.kind = RF_NONE;
        break;
    }
    return filter;
}

wxString FilterMenuText(int kind, const ReviewItem& record)
{
    switch (kind) {
    case RF_EXTENSION:
        return wxString::Format(_("Extension (*.%s)"), FileExtensionOf(record));
    case RF_NAME:
        return wxString::Format(_("Name (%s*)"), FileStemOf(record));
    case RF_PROJECT:
        return wxString::Format(_("Project (%s)"), record.project);
    case RF_FOLDER:
        return wxString::Format(_("Folder (%s)"), FolderPartOf(record));
    default:
        return wxString();
    }
}

wxString RowText(const ReviewItem& record)
{
    const SyncItem& item = *record.item;
    const wxString side = SideWord(item.targetOnMedium);
    switch (item.action) {
    case FP_DELETE:
        return wxString::Format(_("Delete %s"), record.relativeTarget);
    case FP_MOVE:
        return wxString::Format(_("Move %s to %s"), record.fileName, side);
    case FP_COPY:
        return wxString::Format(_("Copy %s to %s"), record.fileName, side);
    case FP_MKDIR:
        return wxString::Format(_("Make directory %s"), record.relativeTarget);
    default:
        return record.relativeTarget;
    }
}

wxString DetailsText(const ReviewItem& record)
{
    const SyncItem& item = *record.item;
    wxString text = _("Project: ") + record.project;
    text += _("\nFolder: ") + record.folder;
    if (!item.source.empty()) {
        text += _("\nFiletime: ") + FormatFileTimeUtc(item.sourceTime);
        text += wxString::Format(_("\nSource (%s): %s"), SideWord(!item.targetOnMedium),
                                 WithoutPrefix(item.source, record.sourcePrefixLength));
    }
    text += wxString::Format(_("\nDestination (%s): %s"), SideWord(item.targetOnMedium),
                             WithoutPrefix(item.target, record.targetPrefixLength));
    text += _("\nAction: ") + ActionText(item);
    return text;
}

bool ToggleAllRows(std::vector<ReviewItem>& records, const std::vector<std::size_t>& rows)
{
    if (rows.empty())
        return false;
    const bool state = !records[rows.front()].item->selected;
    for (const std::size_t row : rows)
        records[row].item->selected = state;
    return true;
}
