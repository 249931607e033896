#include "engine/thread_event.h"

#include "engine/sync_types.h"

ThreadEventSender::ThreadEventSender(wxEvtHandler* owner, int id)
    : owner_(owner), event_(wxEVT_MENU, id)
{
}

void ThreadEventSender::Post()
{
    // The copy's text shares no buffer with ours: wxString holds a std::wstring here.
    if (owner_)
        owner_->AddPendingEvent(event_);
}

void ThreadEventSender::PostMessageText(const wxString& text)
{
    event_.SetInt(TE_MESSAGE);
    event_.SetString(text);
    Post();
}

void ThreadEventSender::PostStep()
{
    event_.SetString(wxString());
    PostCode(TE_STEP);
}

void ThreadEventSender::PostCode(int code)
{
    event_.SetInt(code);
    Post();
}

void ThreadEventSender::PostCode(int code, long value)
{
    event_.SetExtraLong(value);
    PostCode(code);
}

void ThreadEventSender::PostCode(int code, long value, const wxString& text)
{
    event_.SetString(text);
    PostCode(code, value);
}
