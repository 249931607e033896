#pragma once

#include <atomic>
#include <memory>

#include <wx/event.h>
#include <wx/string.h>
#include <wx/thread.h>

#include "engine/folder_rules.h"
#include "engine/test_folder_traverser.h"

// The rules-test worker: walks one real folder under a virtual folder's rules and posts to its
// owner on ID_TEST_EVENT one record per file (code 0), code 2 for each cancel that reached the
// walk, and code 1 last, also after a cancel. Records in code-0 events belong to the receiver,
// which must free them, also those of events it never handles (drain the queue before going).
//
// Lifetime: a joinable thread. The owner makes it, fills Rules(), calls Create() and Run(),
// and keeps the object; it must Wait() for it (after the code-1 event, or after Stop() when it
// wants to end early) before deleting it and before the owner itself goes. Once Wait() has
// returned nothing more is posted.
class swxTestFolder : public wxThread {
public:
    // folder: native path of the folder to test; owner may be null (nothing posted).
    swxTestFolder(wxEvtHandler* owner, const wxString& folder);
    ~swxTestFolder() override;

    // The rules, owned by the thread. Fill before Run(); untouched by the owner afterwards.
    FolderRules& Rules() { return rules_; }

    // Cancels a running walk (code 2, then code 1 when the thread ends). Does nothing before
    // the walk has been set up. Any thread; does not wait.
    void Cancel();
    // Asks the thread to end whatever it is doing: as Cancel, and a thread still preparing its
    // rules ends without posting anything. Any thread; does not wait (call Wait()).
    void Stop();

protected:
    ExitCode Entry() override;

private:
    bool StopRequested() { return stop_.load() || TestDestroy(); }

    wxEvtHandler* owner_;
    wxString folder_;
    FolderRules rules_;
    // Guards traverser_ (taken before the traverser's own lock, never after).
    wxCriticalSection lock_;
    std::unique_ptr<swxTestFolderTraverser> traverser_;
    std::atomic<bool> stop_{false};
};
