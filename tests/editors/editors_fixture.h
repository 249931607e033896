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
};
