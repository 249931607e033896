#pragma once

#include <cstddef>
#include <vector>

#include <wx/dialog.h>

#include "run/review_items.h"

class swxCheckVListBox;
class wxMenu;
class wxStaticText;
class wxTextCtrl;

// The modal review of a two-step run: one checked row per planned action; the user unchecks
// actions, checks them again, narrows the rows with a filter and reads one action's details.
// Unchecking clears the selected flag of the row's SyncItem. Ends with wxOK (4) from "OK" and
// wxCANCEL (16) from "Cancel" or the close box. GUI thread only.
class DialogSelectSyncItems : public wxDialog {
public:
    static inline const wxWindowID ID_BITMAPBUTTON_SELECT_ALL = wxNewId();
    static inline const wxWindowID ID_BITMAPBUTTON_FILTER = wxNewId();
    static inline const wxWindowID ID_STATICTEXT_FILTER = wxNewId();
    static inline const wxWindowID ID_SPLITTERWINDOW_SYNC = wxNewId();
    static inline const wxWindowID ID_PANEL_TOP = wxNewId();
    static inline const wxWindowID ID_CHECKLISTBOX_PAIRS = wxNewId();
    static inline const wxWindowID ID_PANEL_BOTTOM = wxNewId();
    static inline const wxWindowID ID_TEXTCTRL_DETAILS = wxNewId();

    // Ids of the filter menu's entries (ReviewFilterKind).
    static constexpr int kFilterMenuIds[] = {RF_NONE,    RF_EXTENSION, RF_NAME,    RF_PROJECT,
                                             RF_FOLDER, RF_BEGINS,    RF_CONTAINS};

    explicit DialogSelectSyncItems(wxWindow* parent, wxWindowID id = wxID_ANY,
                                   const wxPoint& pos = wxDefaultPosition,
                                   const wxSize& size = wxDefaultSize);

    // The records to review (borrowed; they and their items must outlive the dialog). Fills
    // the list.
    void SetItems(std::vector<ReviewItem>* records);

    // Applies the filter entry `kind` as the filter menu does (RF_BEGINS and RF_CONTAINS ask
    // for the text).
    void ApplyFilterEntry(int kind);

    // Appends the filter menu's entries: four from the selected row's record when a row is
    // selected, then the typed filters and the reset.
    void FillFilterMenu(wxMenu& menu) const;

    // The record index of each shown row.
    const std::vector<std::size_t>& ShownRows() const { return rows_; }

private:
    void FillList();
    void ShowDetails();
    const ReviewItem* SelectedRecord() const;

    void OnBitmapButtonSelectAllClick(wxCommandEvent& event);
    void OnBitmapButtonFilterClick(wxCommandEvent& event);
    void OnFilterMenu(wxCommandEvent& event);
    void OnCheckListBoxPairsToggled(wxCommandEvent& event);
    void OnCheckListBoxPairsSelect(wxCommandEvent& event);
    void Finish(int result);

    swxCheckVListBox* list_ = nullptr;
    wxTextCtrl* details_ = nullptr;
    wxStaticText* filterLabel_ = nullptr;
    std::vector<ReviewItem>* records_ = nullptr;
    std::vector<std::size_t> rows_;
    ReviewFilter filter_;
};
