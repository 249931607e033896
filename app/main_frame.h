#pragma once

#include <wx/frame.h>

// The main window.
class dralvoFrame : public wxFrame {
public:
    dralvoFrame(wxWindow* parent, wxWindowID id);

    // Fills the project list from the catalogue.
    void RefreshProjects();
};
