#pragma once

// The main window's fixture, with drivers for the editor windows it opens.

#include <functional>
#include <utility>

#include <gtest/gtest.h>

#include <wx/stopwatch.h>
#include <wx/testing.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include "tests/app/main_frame_fixture.h"

// Runs a script on a modal dialog that the code under test shows; the script's result ends
// the modal run.
template <class T>
class ExpectScript : public wxExpectModalBase<T, ExpectScript<T>> {
public:
    explicit ExpectScript(std::function<int(T*)> script) : script_(std::move(script)) {}

protected:
    int OnInvoked(T* dlg) const override { return script_(dlg); }

private:
    std::function<int(T*)> script_;
};

class EditorsTest : public MainFrameTest {
protected:
    // The open top-level window of type T, or null.
    template <class T>
    static T* TopWindow()
    {
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* found = dynamic_cast<T*>(window); found != nullptr && !found->IsBeingDeleted())
                return found;
        return nullptr;
    }

    template <class T>
    static T* In(wxWindow* window, const char* name)
    {
        return widgets_test::Find<T>(window, name);
    }
    static void ClickIn(wxWindow* window, const char* name) { widgets_test::Click(window, name); }

    // Pumps events until done() holds; false when 10 seconds pass first.
    static bool PumpUntil(const std::function<bool()>& done)
    {
        wxStopWatch watch;
        while (!done()) {
            if (watch.Time() > 10000)
                return false;
            wxYield();
            wxMilliSleep(5);
        }
        return true;
    }
    // The first column of every row of a query, joined by ",".
    static wxString Joined(const wxString& sql)
    {
        wxString text;
        wxSQLite3ResultSet rows = ExecQuery(sql);
        while (rows.NextRow())
            text << (text.empty() ? "" : ",") << rows.GetAsString(0);
        return text;
    }
    // Lets windows that asked to close go.
    static void Settle()
    {
        wxYield();
        wxTheApp->ProcessIdle();
    }
};
