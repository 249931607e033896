#include "engine/dir_traverser.h"

#include <wx/intl.h>

#include "engine/dir_compare.h"
#include "engine/relative_path.h"
#include "engine/sync_types.h"
#include "store/file_io.h"
#include "store/paths.h"
#include "store/text.h"

swxDirTraverser::swxDirTraverser(const wxString& stationRoot, const wxString& mediumRoot)
    : stationRoot_(AppendPathSeparator(stationRoot)),
      mediumRoot_(AppendPathSeparator(mediumRoot)),
      events_(nullptr, ID_THREAD_EVENT)
{
    events_.Event().SetInt(TE_MESSAGE);
}

void swxDirTraverser::SetLists(DirEntryList* files, DirEntryList* directories)
{
    files_ = files;
    directories_ = directories;
}

bool swxDirTraverser::Walk()
{
    return WalkDirectoryTree(Root(), *this);
}

bool swxDirTraverser::Cancelled() const
{
    return comparer_ && comparer_->IsCancelled();
}

std::string swxDirTraverser::RelativeOf(const wxString& path) const
{
    const size_t rootLength = Root().length();
    return path.length() > rootLength ? ToUtf8(path.Mid(rootLength)) : std::string();
}

wxDirTraverseResult swxDirTraverser::OnDir(const wxString& path)
{
    const std::string rel = RelativeOf(path);
    if (rel.find('\\') != std::string::npos) {
        WalkSkippedName(path, SkippedName::Backslash);
        return wxDIR_IGNORE;
    }
    return WalkDir(rel);
}

wxDirTraverseResult swxDirTraverser::OnFile(const wxString& path)
{
    if (Cancelled())
        return wxDIR_STOP;
    std::string rel = RelativeOf(path);
    if (rel.find('\\') != std::string::npos || IsTemporaryName(path.AfterLast('/'))) {
        WalkSkippedName(path, rel.find('\\') != std::string::npos ? SkippedName::Backslash
                                                                 : SkippedName::Temporary);
        return wxDIR_CONTINUE;
    }
    return TakeFile(rel, nullptr);
}

wxDirTraverseResult swxDirTraverser::OnOpenError(const wxString& path)
{
    WalkUnreadable(RelativeOf(path));
    return wxDIR_IGNORE;
}

wxDirTraverseResult swxDirTraverser::WalkDir(const std::string& rel)
{
    if (Cancelled())
        return wxDIR_STOP;
    std::string key = RelativeKey(rel);
    const wxString relText = Utf8Text(rel);
    if (!MatchDirRule(Utf8Text("\\" + key + "\\"))) {
        Post(_("Ignore directory: ") + relText);
        return wxDIR_IGNORE;
    }
    Enter(directories_, stationSide_, std::string(rel), std::move(key), nullptr);
    Post(_("Traversing directory: ") + relText);
    return wxDIR_CONTINUE;
}

wxDirTraverseResult swxDirTraverser::WalkFile(std::string& rel, FileTime time, std::uint64_t)
{
    if (Cancelled())
        return wxDIR_STOP;
    return TakeFile(rel, &time);
}

wxDirTraverseResult swxDirTraverser::TakeFile(std::string& rel, const FileTime* knownTime)
{
    const wxString fullPath = knownTime ? wxString() : Root() + Utf8Text(rel);
    const CompressedSuffix suffix = StripCompressedSuffix(rel);
    std::string key = RelativeKey(rel);
    if (!MatchFileRule(Utf8Text(key)))
        return wxDIR_CONTINUE;
    FileTime time = 0;
    if (knownTime)
        time = *knownTime;
    else if (!GetFileModTime(fullPath, time))
        return wxDIR_CONTINUE;
    Enter(files_, stationSide_, std::move(rel), std::move(key), &time, suffix);
    return wxDIR_CONTINUE;
}

void swxDirTraverser::WalkUnreadable(const std::string& rel)
{
    Post(wxString::Format(_("Cannot read directory: %s (nothing is planned inside it)"),
                          Root() + Utf8Text(rel)));
    if (unreadable_) {
        auto& prefixes = stationSide_ ? unreadable_->station : unreadable_->medium;
        prefixes.push_back(rel.empty() ? std::string() : RelativeKey(rel) + "\\");
    }
}

void swxDirTraverser::WalkMissingRoot()
{
    Post(wxString::Format(
        _("Folder not found: %s (no deletions are planned for it on the other side)"), Root()));
    if (unreadable_)
        (stationSide_ ? unreadable_->stationMissing : unreadable_->mediumMissing) = true;
}

void swxDirTraverser::WalkSkippedName(const wxString& shown, SkippedName why)
{
    wxString format;
    switch (why) {
    case SkippedName::NotUtf8: format = _("Skipping a name that is not valid UTF-8: %s"); break;
    case SkippedName::Backslash: format = _("Skipping a name that contains a backslash: %s"); break;
    case SkippedName::Temporary:
        format = _("Skipping a file named like a temporary file of this program: %s");
        break;
    }
    Post(wxString::Format(format, shown));
}

bool swxDirTraverser::MatchFileRule(const wxString& lowerRel) const
{
    const FolderRule* rule = DecidingFileRule(rules_, lowerRel);
    return rule && rule->allow;
}

void swxDirTraverser::Post(const wxString& text)
{
    if (!recording_) {
        events_.PostMessageText(text);
        return;
    }
    records_.push_back({Record::Kind::Message, 0, 0, {}, {}});
    messages_.push_back(text);
}

void swxDirTraverser::Enter(DirEntryList* list, bool stationSide, std::string&& rel,
                            std::string&& key, const FileTime* time, CompressedSuffix suffix)
{
    if (!recording_) {
        EnterNow(list, stationSide, std::move(rel), std::move(key), time, suffix);
        return;
    }
    if (list)
        records_.push_back({list == files_ ? Record::Kind::File : Record::Kind::Directory,
                            suffix, time ? *time : 0, std::move(rel), std::move(key)});
}

void swxDirTraverser::Replay()
{
    size_t message = 0;
    for (Record& record : records_) {
        if (Cancelled())
            break;
        switch (record.kind) {
        case Record::Kind::Message:
            events_.PostMessageText(messages_[message++]);
            break;
        case Record::Kind::Directory:
            EnterNow(directories_, stationSide_, std::move(record.rel), std::move(record.key),
                     nullptr, 0);
            break;
        case Record::Kind::File:
            EnterNow(files_, stationSide_, std::move(record.rel), std::move(record.key),
                     &record.time, record.suffix);
            break;
        }
    }
    std::vector<Record>().swap(records_);
    std::vector<wxString>().swap(messages_);
}

void swxDirTraverser::EnterNow(DirEntryList* list, bool stationSide, std::string&& rel,
                               std::string&& key, const FileTime* time,
                               CompressedSuffix suffix)
{
    if (!list)
        return;
    DirEntry& entry = list->FindOrAdd(key);
    list->AddName(entry, stationSide, rel);
    if (time)
        (stationSide ? entry.stationTime : entry.mediumTime) = *time;
    (stationSide ? entry.stationSuffix : entry.mediumSuffix) = suffix;
}

void swxDirTraverser::AddComputerDir(const std::string& rel)
{
    Enter(directories_, true, std::string(rel), RelativeKey(rel), nullptr);
}

void swxDirTraverser::AddMediumDir(const std::string& rel)
{
    Enter(directories_, false, std::string(rel), RelativeKey(rel), nullptr);
}

void swxDirTraverser::AddComputerFile(const std::string& rel, FileTime time)
{
    Enter(files_, true, std::string(rel), RelativeKey(rel), &time);
}

void swxDirTraverser::AddMediumFile(const std::string& rel, FileTime time)
{
    Enter(files_, false, std::string(rel), RelativeKey(rel), &time);
}
