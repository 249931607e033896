#pragma once

// The main window's fixture, with drivers for the editor windows it opens (they go with it).

#include <functional>

#include <wx/stopwatch.h>

#include "tests/app/main_frame_fixture.h"

class EditorsTest : public MainFrameTest {
protected:
    // An open top-level window of type T, or null.
    template <class T>
    static T* TopWindow()
    {
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* found = dynamic_cast<T*>(window); found && !found->IsBeingDeleted())
                return found;
        return nullptr;
    }
    template <class T>
    static T* In(wxWindow* w, const char* name) { return widgets_test::Find<T>(w, name); }
    static void ClickIn(wxWindow* window, const char* name) { widgets_test::Click(window, name); }

    // Pumps events until done() holds; false when 10 seconds pass first.
    static bool PumpUntil(const std::function<bool()>& done)
    {
        for (wxStopWatch watch; !done(); wxMilliSleep(5), wxYield())
            if (watch.Time() > 10000)
                return false;
        return true;
    }
    // Lets windows that asked to close go.
    static void Settle() { wxYield(), wxTheApp->ProcessIdle(); }
    // Every control named "ID_..." carries an identifier of its own (the toolkit makes up a
    // negative one for wxID_ANY).
    static void ExpectOwnIdentifiers(wxWindow* window)
    {
        for (wxWindow* child : window->GetChildren()) {
            EXPECT_TRUE(child->GetId() > 0 || !child->GetName().StartsWith("ID_"))
                << child->GetName();
            ExpectOwnIdentifiers(child);
        }
    }
};
