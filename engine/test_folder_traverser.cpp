#include "engine/test_folder_traverser.h"

#include <wx/filename.h>

#include "engine/relative_path.h"
#include "store/paths.h"
#include "store/text.h"

swxTestFolderTraverser::swxTestFolderTraverser(const wxString& root, wxEvtHandler* owner,
                                               const FolderRules* rules)
    : root_(AppendPathSeparator(root)), rules_(rules), events_(owner, ID_TEST_EVENT)
{
}

bool swxTestFolderTraverser::Walk()
{
    return WalkDirectoryTree(root_, *this);
}

void swxTestFolderTraverser::Cancel()
{
    wxCriticalSectionLocker locker(lock_);
    cancelled_ = true;
    events_.PostCode(TEST_CANCELLED);
}

std::string swxTestFolderTraverser::RelativeOf(const wxString& path) const
{
    return path.length() > root_.length() ? ToUtf8(path.Mid(root_.length())) : std::string();
}

wxDirTraverseResult swxTestFolderTraverser::OnDir(const wxString& path)
{
    const std::string rel = RelativeOf(path);
    return rel.find('\\') != std::string::npos ? wxDIR_IGNORE : WalkDir(rel);
}

wxDirTraverseResult swxTestFolderTraverser::OnFile(const wxString& path)
{
    std::string rel = RelativeOf(path);
    if (rel.find('\\') != std::string::npos)
        return wxDIR_CONTINUE;
    const wxULongLong size = wxFileName::GetSize(path);
    return Report(rel, size == wxInvalidSize ? 0 : size.GetValue());
}

wxDirTraverseResult swxTestFolderTraverser::WalkDir(const std::string& rel)
{
    {
        wxCriticalSectionLocker locker(lock_);
        if (cancelled_)
            return wxDIR_STOP;
    }
    return MatchDirRule(Utf8Text("\\" + RelativeKey(rel) + "\\")) ? wxDIR_CONTINUE : wxDIR_IGNORE;
}

wxDirTraverseResult swxTestFolderTraverser::WalkFile(std::string& rel, FileTime, std::uint64_t size)
{
    return Report(rel, size);
}

bool swxTestFolderTraverser::MatchFileRule(const wxString& lowerRel, wxString& mask) const
{
    const FolderRule* rule = DecidingFileRule(rules_, lowerRel);
    mask = rule ? rule->mask : wxString();
    return rule && rule->allow;
}

wxDirTraverseResult swxTestFolderTraverser::Report(std::string& relPath, std::uint64_t size)
{
    wxCriticalSectionLocker locker(lock_);
    if (cancelled_)
        return wxDIR_STOP;
    StripCompressedSuffix(relPath);
    // The record shows the path as the rules see it: ""-separated.
    wxString rel = Utf8Text(relPath);
    rel.Replace("/", "\\");
    const wxString key = Utf8Text(RelativeKey(relPath));

    auto record = std::make_unique<FileTestRecord>();
    const int slash = rel.Find('\\', true);
    record->location = slash == wxNOT_FOUND ? wxString() : rel.Left(slash);
    record->file = slash == wxNOT_FOUND ? rel : rel.Mid(slash + 1);
    const int dot = key.Find('.', true);
    record->extension = dot == wxNOT_FOUND ? key : key.Mid(dot + 1);
    record->allow = MatchFileRule(key, record->rule);
    record->size = size;

    ++counter_;
    if (events_.Owner()) {
        wxCommandEvent& event = events_.Event();
        event.SetClientData(record.release());
        events_.PostCode(TEST_FILE, counter_);
        event.SetClientData(nullptr);
    }
    return wxDIR_CONTINUE;
}
