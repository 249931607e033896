#include "engine/test_folder.h"

#include "engine/relative_path.h"
#include "store/paths.h"

swxTestFolder::swxTestFolder(wxEvtHandler* owner, const wxString& folder)
    : wxThread(wxTHREAD_JOINABLE), owner_(owner), folder_(AppendPathSeparator(folder))
{
}

swxTestFolder::~swxTestFolder()
{
    wxCriticalSectionLocker locker(lock_);
    traverser_.reset();
}

void swxTestFolder::Cancel()
{
    wxCriticalSectionLocker locker(lock_);
    if (traverser_)
        traverser_->Cancel();
}

void swxTestFolder::Stop()
{
    stop_.store(true);
    Cancel();
}

wxThread::ExitCode swxTestFolder::Entry()
{
    for (const auto& rule : rules_) {
        if (StopRequested())
            return nullptr;
        if (rule)
            NormaliseMask(rule->mask);
    }
    swxTestFolderTraverser* traverser;
    {
        wxCriticalSectionLocker locker(lock_);
        traverser_ = std::make_unique<swxTestFolderTraverser>(folder_, owner_, &rules_);
        traverser = traverser_.get();
    }
    // A Stop that came while the rules were being prepared found no walk to cancel.
    if (stop_.load())
        traverser->Cancel();
    traverser->Walk();
    if (owner_) {
        wxCommandEvent finished(wxEVT_MENU, ID_TEST_EVENT);
        finished.SetInt(TEST_FINISHED);
        finished.SetExtraLong(0);
        owner_->AddPendingEvent(finished);
    }
    return nullptr;
}
