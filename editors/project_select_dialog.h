#pragma once

#include <wx/dialog.h>

class wxCommandEvent;
class wxListBox;

// Modal project picker: lists the live projects by caption (window name ID_LISTBOX_PROJECTS,
// PROJECT.ID as client data) and ends with wxOK once one is selected and OK (ID_BUTTON_OK) is
// pressed; without a selection OK only tells the user to pick one. ID_BUTTON_CANCEL ends with
// wxCANCEL. Created by its caller for one use, GUI thread only, catalogue open.
class DialogProjectSelect : public wxDialog {
public:
    static inline const wxWindowID ID_STATICTEXT1 = wxNewId();
    static inline const wxWindowID ID_LISTBOX_PROJECTS = wxNewId();

    // Builds the dialog and fills the list; a failing query is shown in a message box and
    // leaves the list empty.
    DialogProjectSelect(wxWindow* parent, wxWindowID id = wxID_ANY,
                        const wxPoint& pos = wxDefaultPosition,
                        const wxSize& size = wxDefaultSize);

    // Refills the list with every live project ordered by caption and selects the first.
    // Throws wxSQLite3Exception (the list is then empty).
    void FillProjects();

    // The chosen project's ID; valid after the dialog ended with wxOK (0 when the item's ID
    // could not be read).
    wxUint32 GetProjectId() const { return projectId_; }

private:
    void OnButtonOkClick(wxCommandEvent& event);
    void OnButtonCancelClick(wxCommandEvent& event);
    void Finish(int result);

    wxListBox* projectList_ = nullptr;
    wxUint32 projectId_ = 0;
};
