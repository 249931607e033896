#pragma once

#include <wx/panel.h>

class swxBitmapListBox;
class wxBitmapButton;
class wxBoxSizer;
class wxCheckBox;
class wxCommandEvent;
class wxTextCtrl;

// Shows and edits the ordered allow/deny rules (ACLRULES rows) of one virtual folder. Edits
// stay in the panel until the owner calls SaveRules; SetFolder, LoadRules and the undo button
// discard them. Each control's window name is its identifier's name (ID_BITMAPBUTTON_ADD,
// ID_BITMAPBUTTON_DELETE, ID_BITMAPBUTTON_UP, ID_BITMAPBUTTON4 (down), ID_BITMAPBUTTON_UNDO,
// ID_CUSTOM_BMPLBX_RULES, ID_TEXTCTRL_RULE, ID_CHECKBOX_RULE_ALLOW). The panel's own buttons
// show a database failure in a message box and leave the panel usable; the public operations
// below let wxSQLite3Exception pass to the caller. GUI thread only; the catalogue must be
// open.
class PanelRules : public wxPanel {
public:
    // Identifiers drawn once at start-up for this panel alone (the main window's buttons of the
    // same names have numbers of their own).
    static const wxWindowID ID_BITMAPBUTTON_ADD;
    static const wxWindowID ID_BITMAPBUTTON_DELETE;
    static const wxWindowID ID_BITMAPBUTTON_UP;
    static const wxWindowID ID_BITMAPBUTTON4;
    static const wxWindowID ID_BITMAPBUTTON_UNDO;
    static const wxWindowID ID_CUSTOM_BMPLBX_RULES;
    static const wxWindowID ID_TEXTCTRL_RULE;
    static const wxWindowID ID_CHECKBOX_RULE_ALLOW;

    // Builds the controls; shows no rules until SetFolder. `name` is the panel's window name
    // (the main window passes its identifier's name, "ID_PANEL_RULES").
    PanelRules(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
               const wxSize& size = wxDefaultSize, const wxString& name = "PanelRules");

    // Shows the rules of FOLDER.ID `folderId`; with `undeletedOnly` rules flagged deleted in
    // the catalogue are left out. Discards unsaved edits. Throws wxSQLite3Exception (the list
    // is then empty).
    void SetFolder(wxUint32 folderId, bool undeletedOnly);
    // Replaces the list with the stored rules and selects the first. Throws
    // wxSQLite3Exception (the list is then empty and nothing is selected).
    void LoadRules();
    // Commits the mask field, then writes every rule flagged changed (updates stored rules,
    // inserts new ones under this folder) and clears its changed flag; the list is not
    // reloaded. Throws wxSQLite3Exception: rules written before the failure are stored and no
    // longer flagged changed, the rest keep their flags, so a later save writes them.
    void SaveRules();
    // Appends a new allowing rule with order = largest order + 5, selects it and flags it
    // changed. An empty `mask` asks the user; either text is quoted with EscapeQuotes. An
    // empty answer or Cancel adds nothing.
    void AddRule(const wxString& mask);
    // Enables or disables the mask field, the allow box and the five buttons; the list stays
    // usable.
    void EnableControls(bool enable);

    // Shows the list's selected rule in the mask field and the allow box.
    void ShowSelectedRule();
    // Writes a pending edit of the mask field and allow box into the selected rule.
    void CommitRuleEdit();

    // The row of the panel's five buttons; the owner may add buttons of its own to it.
    wxBoxSizer* GetButtonRow() const { return buttonRow_; }
    // The rules as they stand (saved or not); owned by the panel.
    swxBitmapListBox* GetRulesList() const { return rulesList_; }
    wxUint32 GetFolderId() const { return folderId_; }

private:
    void OnBitmapButtonAddClick(wxCommandEvent& event);
    void OnBitmapButtonDeleteClick(wxCommandEvent& event);
    void OnBitmapButtonUpClick(wxCommandEvent& event);
    void OnBitmapButtonDownClick(wxCommandEvent& event);
    void OnBitmapButtonUndoClick(wxCommandEvent& event);
    void OnCustomBmpLbxRulesSelect(wxCommandEvent& event);
    void OnCheckBoxRuleAllowClick(wxCommandEvent& event);

    void BuildControls();
    void BindHandlers();

    // Child windows, owned by the panel.
    swxBitmapListBox* rulesList_ = nullptr;
    wxBitmapButton* upButton_ = nullptr;
    wxBitmapButton* downButton_ = nullptr;
    wxBitmapButton* addButton_ = nullptr;
    wxBoxSizer* buttonRow_ = nullptr;
    wxCheckBox* allowBox_ = nullptr;
    wxBitmapButton* deleteButton_ = nullptr;
    wxTextCtrl* maskField_ = nullptr;
    wxBitmapButton* undoButton_ = nullptr;

    int selectedRule_ = wxNOT_FOUND;
    wxUint32 folderId_ = 0;
    bool undeletedOnly_ = false;
};
