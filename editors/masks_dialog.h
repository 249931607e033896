#pragma once

#include <wx/dialog.h>

class swxBitmapListBox;
class wxCommandEvent;
class wxTextCtrl;

// The modal editor of the incompressible file masks (BZ2IGNORE). Lists every mask, deleted
// ones with the "cross" bitmap; add, edit, mark as deleted or active again; OK writes the
// changed masks in one transaction, Cancel drops every change. Controls by window name:
// ID_BITMAPBUTTON_ADD, ID_BITMAPBUTTON_DELETE, ID_BITMAP_LISTBOX_EXT, ID_TEXTCTRL_EXT,
// ID_BUTTON_OK, ID_BUTTON_CANCEL. A failing statement is shown in a message box; after a
// failed save nothing is stored and the dialog stays open with the edits. Created by its
// caller for one use; GUI thread only; the catalogue must be open.
class DialogBzExt : public wxDialog {
public:
    static inline const wxWindowID ID_BITMAPBUTTON_ADD = wxNewId();
    static inline const wxWindowID ID_BITMAPBUTTON_DELETE = wxNewId();
    static inline const wxWindowID ID_BITMAP_LISTBOX_EXT = wxNewId();
    static inline const wxWindowID ID_TEXTCTRL_EXT = wxNewId();

    DialogBzExt(wxWindow* parent, wxWindowID id = wxID_ANY,
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize);

    // Sets the title and lists the stored masks; a failing statement is shown.
    void LoadMasks();
    // Lists every mask ordered by FILEMASK and selects the first. Throws wxSQLite3Exception.
    void FillMaskList();
    // Shows the selected mask in the edit field (which then counts as not modified).
    void LoadSelectedMask();
    // Writes a typed mask into the item being edited.
    void CommitMaskEdit();
    // Writes every changed item in one transaction. Throws wxSQLite3Exception; nothing is
    // stored then and the items keep their flags.
    void SaveMasks();

private:
    void OnBitmapListBoxExtSelect(wxCommandEvent& event);
    void OnBitmapButtonAddClick(wxCommandEvent& event);
    void OnBitmapButtonDeleteClick(wxCommandEvent& event);
    void OnButtonOkClick(wxCommandEvent& event);
    void OnButtonCancelClick(wxCommandEvent& event);
    void Finish(int result);

    swxBitmapListBox* maskList_ = nullptr;
    wxTextCtrl* editField_ = nullptr;
    // The item whose text the edit field shows; -1 when none.
    int editIndex_ = -1;
};
