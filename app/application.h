#pragma once

#include <wx/app.h>

// The application object: start-up in a fixed order and the session's end.
class dralvoApp : public wxApp {
public:
    // The command line has been handled before the toolkit started (see main).
    bool OnInit() override;
    int OnExit() override;
};

wxDECLARE_APP(dralvoApp);
