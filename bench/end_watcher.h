#pragma once

#include <wx/event.h>

#include "engine/sync_types.h"

// Remembers when a worker posts its end event (endCode) and the run result it carries.
class EndWatcher : public wxEvtHandler {
public:
    explicit EndWatcher(int endCode) : endCode_(endCode)
    {
        Bind(wxEVT_MENU, &EndWatcher::OnEvent, this, ID_THREAD_EVENT);
    }
    bool ended = false;
    long result = -1;

private:
    void OnEvent(wxCommandEvent& e)
    {
        if (e.GetInt() == endCode_) {
            ended = true;
            result = e.GetExtraLong();
        }
    }
    int endCode_;
};
