#pragma once

#include <wx/event.h>
#include <wx/string.h>

// The posting side of a worker's progress channel (ID_THREAD_EVENT, or the rules test's
// channel): one menu-selected command event made once and reused. Each post sets only the
// values its code defines (the others keep what they last held and mean nothing) and queues
// a copy on the owner with AddPendingEvent (safe from a worker thread: the copy's text is a
// deep copy); the owner handles it later on its own thread. With a null owner nothing is
// posted.
//
// One sender belongs to one thread at a time; it takes no lock. The owner must outlive every
// post: the threads that use a sender are stopped and waited for before their owner goes.
class ThreadEventSender {
public:
    ThreadEventSender(wxEvtHandler* owner, int id);

    wxEvtHandler* Owner() const { return owner_; }
    void SetOwner(wxEvtHandler* owner) { owner_ = owner; }
    void SetId(int id) { event_.SetId(id); }

    // The reused event, for values a code sets beyond the ones below (client data).
    wxCommandEvent& Event() { return event_; }

    // Posts the event as it stands.
    void Post();
    // Code 0 of ID_THREAD_EVENT: a message for the log.
    void PostMessageText(const wxString& text);
    // Code 3 of ID_THREAD_EVENT: one step. Its text means nothing, so it is cleared: a fast
    // worker may queue hundreds of thousands of steps before the owner handles them.
    void PostStep();
    // Sets the code (the event's integer) and posts.
    void PostCode(int code);
    // Sets the code and the long value and posts.
    void PostCode(int code, long value);
    // Sets the code, the long value and the text and posts.
    void PostCode(int code, long value, const wxString& text);

private:
    wxEvtHandler* owner_;
    wxCommandEvent event_;
};
