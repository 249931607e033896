#pragma once

#include <wx/dialog.h>

class wxCommandEvent;
class wxSpinCtrl;
class wxTextCtrl;

// Modal dialog that edits one project's caption and its two size limits in megabytes
// (PROJECT.IGNORESIZEOVER, 0 = no limit; PROJECT.BZ2BELOW, 0 = never compress) and writes the
// PROJECT row itself. Controls by window name: ID_TEXTCTRL_CAPTION, ID_SPINCTRL_SIZE,
// ID_SPINCTRL_BZ (both 0..65536), ID_BUTTON_OK, ID_BUTTON_CANCEL. Ends with wxOK after the
// row was written, with wxCANCEL from the Cancel button; the close box gives another result,
// to be treated as Cancel. OK refuses a caption that another project (deleted ones included)
// has, ignoring ASCII letter case, and then stays open; a failing statement is shown in a
// message box and the dialog stays open with the typed values. Created by its caller for one
// use, GUI thread only, catalogue open.
class DialogProject : public wxDialog {
public:
    static inline const wxWindowID ID_STATICTEXT1 = wxNewId();
    static inline const wxWindowID ID_TEXTCTRL_CAPTION = wxNewId();
    static inline const wxWindowID ID_STATICTEXT2 = wxNewId();
    static inline const wxWindowID ID_SPINCTRL_SIZE = wxNewId();
    static inline const wxWindowID ID_STATICTEXT3 = wxNewId();
    static inline const wxWindowID ID_SPINCTRL_BZ = wxNewId();

    DialogProject(wxWindow* parent, wxWindowID id = wxID_ANY,
                  const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize);

    // Loads project `projectId` (deleted ones too) into the controls and the title ("%s:
    // properties"); an ID without a row gives "Unknown project", an empty caption field and
    // limits 0. Call before ShowModal. Throws wxSQLite3Exception.
    void LoadProject(wxUint32 projectId);

    // After loading: the stored caption; after OK: the caption as saved (single quotes turned
    // into double quotes).
    wxString GetCaption() const { return caption_; }

private:
    void OnButtonOkClick(wxCommandEvent& event);
    void OnButtonCancelClick(wxCommandEvent& event);
    void Finish(int result);

    wxTextCtrl* captionField_ = nullptr;
    wxSpinCtrl* sizeLimit_ = nullptr;
    wxSpinCtrl* compressLimit_ = nullptr;
    wxUint32 projectId_ = 0;
    wxString caption_;
};
