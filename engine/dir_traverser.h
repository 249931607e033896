#pragma once

#include <string>
#include <vector>

#include <wx/dir.h>
#include <wx/event.h>
#include <wx/string.h>

#include "engine/dir_entry.h"
#include "engine/dir_walker.h"
#include "engine/folder_rules.h"
#include "engine/thread_event.h"
#include "store/file_time.h"

class swxDirCompare;

// Walks one side of a folder comparison, first the station root and then (after
// SetStationSide(false)) the medium root, and enters every directory and file that the folder
// rules take into the comparer's two entry lists, pairing the names of both sides by key.
// Posts "Traversing directory: " / "Ignore directory: " for each directory, and a message for
// a missing root, every directory that cannot be read and every name the walk skips (code 0
// of ID_THREAD_EVENT). Lives on the stack of one comparison; runs on the analysis thread.
class swxDirTraverser : public wxDirTraverser, private DirWalkVisitor {
public:
    // Both roots are native folder paths; a trailing separator is added when missing.
    swxDirTraverser(const wxString& stationRoot, const wxString& mediumRoot);
    ~swxDirTraverser() override = default;

    // Wiring, all borrowed and outliving the traverser; each may stay null (no cancel, no
    // rules: nothing taken but directories, no owner: nothing posted, no lists: nothing
    // entered).
    void SetEventId(int id) { events_.SetId(id); }
    void SetComparer(const swxDirCompare* comparer) { comparer_ = comparer; }
    void SetLists(DirEntryList* files, DirEntryList* directories);
    void SetOwner(wxEvtHandler* owner) { events_.SetOwner(owner); }
    void SetRules(const FolderRules* rules) { rules_ = rules; }
    // Where unreadable directories are recorded (null: nowhere).
    void SetUnreadable(UnreadableDirs* unreadable) { unreadable_ = unreadable; }
    void SetStationSide(bool stationSide) { stationSide_ = stationSide; }

    // Walks the root of the side being walked. False when the root cannot be opened (reported
    // and recorded as missing or unreadable); true otherwise, also when stopped by a cancel.
    bool Walk();

    // With recording on, the walk keeps the names it takes and the messages it would post
    // instead of entering and posting them, so that it may run on another thread while the
    // lists are being filled by the walk of the other side; Replay() then enters and posts
    // them on the lists' thread, in the order found. Unreadable directories are still
    // recorded at once (each side has its own list).
    void SetRecording(bool recording) { recording_ = recording; }
    // Enters and posts what was recorded, in order, and forgets it; stops when cancelled.
    void Replay();

    // wxDirTraverser callbacks for full paths below the root of the side being walked, so
    // wxDir::Traverse can drive the traverser too. OnFile reads the file's time itself.
    wxDirTraverseResult OnFile(const wxString& path) override;
    wxDirTraverseResult OnDir(const wxString& path) override;
    // A directory that cannot be opened is left out and recorded as unreadable.
    wxDirTraverseResult OnOpenError(const wxString& path) override;

    // key = "\" + lower-cased "\"-relative path + "\"; see DirRuleAllows.
    bool MatchDirRule(const wxString& key) const { return DirRuleAllows(rules_, key); }
    // Lower-cased "\"-relative path; true when the deciding file rule allows the file.
    bool MatchFileRule(const wxString& lowerRel) const;

    // Enter a name found on one side (UTF-8 relative path with native separators; for files
    // with ".bz2" dropped).
    void AddComputerDir(const std::string& rel);
    void AddMediumDir(const std::string& rel);
    void AddComputerFile(const std::string& rel, FileTime time);
    void AddMediumFile(const std::string& rel, FileTime time);

private:
    wxDirTraverseResult WalkDir(const std::string& rel) override;
    wxDirTraverseResult WalkFile(std::string& rel, FileTime time, std::uint64_t size) override;
    void WalkUnreadable(const std::string& rel) override;
    void WalkMissingRoot() override;
    void WalkSkippedName(const wxString& shown, SkippedName why) override;

    bool Cancelled() const;
    const wxString& Root() const { return stationSide_ ? stationRoot_ : mediumRoot_; }
    std::string RelativeOf(const wxString& path) const;
    // Takes a file (rel is used up) when the rules allow it; knownTime null: read it.
    wxDirTraverseResult TakeFile(std::string& rel, const FileTime* knownTime);
    // Enters a name on one side (or records it), taking the texts of rel and key over; a
    // file's name with the suffix cut off it.
    void Enter(DirEntryList* list, bool stationSide, std::string&& rel, std::string&& key,
               const FileTime* time, CompressedSuffix suffix = 0);
    void EnterNow(DirEntryList* list, bool stationSide, std::string&& rel, std::string&& key,
                  const FileTime* time, CompressedSuffix suffix);
    // Posts a code-0 message (or records it).
    void Post(const wxString& text);

    struct Record {
        enum class Kind : unsigned char { Message, Directory, File };
        Kind kind;
        CompressedSuffix suffix;
        FileTime time;
        std::string rel;
        std::string key;
    };

    wxString stationRoot_;
    wxString mediumRoot_;
    bool stationSide_ = true;
    DirEntryList* files_ = nullptr;
    DirEntryList* directories_ = nullptr;
    const FolderRules* rules_ = nullptr;
    UnreadableDirs* unreadable_ = nullptr;
    ThreadEventSender events_;
    const swxDirCompare* comparer_ = nullptr;
    bool recording_ = false;
    std::vector<Record> records_;
    std::vector<wxString> messages_;  // the texts of the message records, in order
};
