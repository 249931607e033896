#pragma once

// The main window's fixture, with drivers for the editor windows it opens (they go with it).

#include "tests/app/main_frame_fixture.h"

using widgets_test::PumpUntil;
using widgets_test::Settle;
using widgets_test::TopWindow;

class EditorsTest : public MainFrameTest {
protected:
    template <class T>
    static T* In(wxWindow* w, const char* name) { return widgets_test::Find<T>(w, name); }
    static void ClickIn(wxWindow* window, const char* name) { widgets_test::Click(window, name); }

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
