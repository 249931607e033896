#pragma once

#include <cstdint>
#include <string>

#include <wx/dir.h>
#include <wx/event.h>
#include <wx/string.h>
#include <wx/thread.h>

#include "engine/dir_walker.h"
#include "engine/folder_rules.h"
#include "engine/thread_event.h"

// The rules test's result for one file of the tested folder. Paths are in the rules' form:
// relative to the folder, "\"-separated, ".bz2" of compressed files dropped.
struct FileTestRecord {
    wxString location;   // up to (not including) the last "\", case as found; empty at the top
    wxString file;       // after the last "\"
    wxString extension;  // the lower-cased relative path after its last "." (all of it if none)
    wxString rule;       // mask of the deciding rule; empty when no file rule matched
    std::uint64_t size = 0;  // bytes of the file as found (the compressed file's for ".bz2")
    bool allow = false;      // the deciding rule allows the file
};

// The rules test's channel: a menu-selected command event with this identifier.
inline constexpr int ID_TEST_EVENT = 1006;
enum TestEventCode : int {
    TEST_FILE = 0,       // long value: records posted so far (1, 2, ...); client data: a new
                         // FileTestRecord that belongs to the receiver from then on
    TEST_FINISHED = 1,   // long value 0; posted last, also after a cancel
    TEST_CANCELLED = 2,  // the walk was cancelled
};

// Walks a folder for the rules test with the same directory and file rules as the
// synchronisation walk, posting one record per file offered (taken or not); directories the
// rules ignore are left out whole. Unreadable directories and the names the synchronisation
// walk skips (not UTF-8, holding a backslash, temporary files) are skipped silently. The walk
// runs on the test thread; Cancel may come from any thread.
class swxTestFolderTraverser : public wxDirTraverser, private DirWalkVisitor {
public:
    // root: the folder (native; a separator is appended). owner may be null (nothing posted).
    // rules are borrowed, normalised, and outlive the traverser.
    swxTestFolderTraverser(const wxString& root, wxEvtHandler* owner, const FolderRules* rules);
    ~swxTestFolderTraverser() override = default;

    // Walks the root; false when it cannot be opened as a directory.
    bool Walk();

    // Stops the walk at its next directory or file and posts code 2. Any thread.
    void Cancel();

    // wxDirTraverser callbacks for full paths below the root.
    wxDirTraverseResult OnFile(const wxString& path) override;
    wxDirTraverseResult OnDir(const wxString& path) override;

    // See DirRuleAllows; key = "\" + lower-cased "\"-relative path + "\".
    bool MatchDirRule(const wxString& key) const { return DirRuleAllows(rules_, key); }
    // The deciding rule's allow and mask (false and empty when none matches).
    bool MatchFileRule(const wxString& lowerRel, wxString& mask) const;

private:
    wxDirTraverseResult WalkDir(const std::string& rel) override;
    wxDirTraverseResult WalkFile(std::string& rel, FileTime time, std::uint64_t size) override;
    void WalkUnreadable(const std::string&) override {}
    void WalkMissingRoot() override {}
    void WalkSkippedName(const wxString&, SkippedName) override {}

    std::string RelativeOf(const wxString& path) const;
    wxDirTraverseResult Report(std::string& rel, std::uint64_t size);

    wxString root_;
    const FolderRules* rules_;
    // Guards cancelled_, counter_ and the event: a code-0 post always carries its own record.
    wxCriticalSection lock_;
    ThreadEventSender events_;
    bool cancelled_ = false;
    long counter_ = 0;
};
