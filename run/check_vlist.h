#pragma once

#include <functional>

#include <wx/vlbox.h>

// A check-list whose rows are not stored in the control: it knows only the row count and asks
// its owner for each row's text and check state when it draws, so a plan of many thousand
// actions costs no native row each. A click on a row's box or the space bar on the selected
// row sends wxEVT_CHECKLISTBOX with the row in the event's integer; the owner changes its
// state and the control redraws the row. Selecting a row sends wxEVT_LISTBOX as a list box
// does. GUI thread only.
class swxCheckVListBox : public wxVListBox {
public:
    using TextOf = std::function<wxString(size_t row)>;
    using CheckedOf = std::function<bool(size_t row)>;

    swxCheckVListBox(wxWindow* parent, wxWindowID id, const wxSize& size, const wxString& name);

    // Where the rows' texts and states come from; set before the first row is shown.
    void SetSource(TextOf text, CheckedOf checked);
    // The number of rows; redraws the whole list.
    void SetRowCount(size_t count);
    // Sends the toggle of row n, as a click on its box does.
    void Toggle(size_t row);

protected:
    void OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const override;
    wxCoord OnMeasureItem(size_t n) const override;

private:
    void OnLeftDown(wxMouseEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    wxSize BoxSize() const;

    TextOf text_;
    CheckedOf checked_;
};
