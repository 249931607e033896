#pragma once

#include <wx/app.h>
#include <wx/event.h>
#include <wx/utils.h>

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

    // Handles the worker's events on this (the GUI) thread until its end event; the worker
    // always posts one, also after a failure.
    void PumpUntilEnded(unsigned long pauseMs)
    {
        while (!ended) {
            wxAppConsole::GetInstance()->ProcessPendingEvents();
            wxMilliSleep(pauseMs);
        }
    }

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
