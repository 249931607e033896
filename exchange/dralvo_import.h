#pragma once

#include <atomic>

#include <wx/arrstr.h>
#include <wx/event.h>
#include <wx/thread.h>

#include "engine/thread_event.h"
#include "exchange/catalog_import.h"
#include "store/media.h"

// Channels of the import thread (menu-selected command events posted to the owner).
inline constexpr int ID_IMPORT_STARTED = 1001;   // integer: the number of steps (8 per file)
inline constexpr int ID_IMPORT_PROGRESS = 1002;  // integer: the steps just done
inline constexpr int ID_IMPORT_FINISHED = 1003;  // long value: the files not merged

// The catalogue files that the drives carry, one per drive in list order, catalogued or not:
// the root's "dralvo.xml.bz2" when it exists, else its "dralvo.xml" when that exists. GUI
// thread (it only reads the records).
wxArrayString CollectImportFiles(const ConnectedMediaList& media);

// The worker that merges the catalogues exported to the media into this station's catalogue.
// It posts ID_IMPORT_STARTED once, ID_IMPORT_PROGRESS as sections are merged (8 steps per file
// in all, also for a file that is skipped), and ID_IMPORT_FINISHED always, last, after the
// duplicate rule lines have been renumbered. Files that could not be merged (unreadable,
// refused, not an exported catalogue, or rolled back after a failing statement) are skipped
// and counted; every file is merged in one transaction.
//
// The thread has its own connection to the catalogue file (with a busy timeout), so the
// windows keep theirs.
//
// Lifetime: a joinable thread. The owner makes it, calls Create() and Run(), keeps the object
// and, after the finished event or after Stop() when it must go early, calls Wait() and then
// deletes it: once Wait() has returned nothing more is posted. The catalogue is closed only
// after that.
class swxDralvoImport : public wxThread {
public:
    // owner receives the events (null: nothing posted); files are full paths; databaseFile is
    // the catalogue to merge into. GUI thread.
    swxDralvoImport(wxEvtHandler* owner, const wxArrayString& files,
                    const wxString& databaseFile, const ImportLimits& limits = ImportLimits());
    ~swxDralvoImport() override;

    // Asks the import to end: the file being merged is rolled back; the finished event still
    // comes. Does not wait. Any thread.
    void Stop() { stopped_.store(true); }

    // The files not merged so far (the finished event carries the final count). Any thread.
    int FailedFiles() const { return failed_.load(); }
    // One line per file not merged: its path and why. Read it only after Wait().
    const wxArrayString& Report() const { return report_; }

protected:
    ExitCode Entry() override;

private:
    bool StopRequested() { return stopped_.load() || TestDestroy(); }
    void ImportAll();
    void PostSteps(int steps);

    ThreadEventSender events_;
    wxArrayString files_;
    wxString databaseFile_;
    ImportLimits limits_;
    std::atomic<bool> stopped_{false};
    std::atomic<int> failed_{0};
    wxArrayString report_;
};
