#pragma once

#include <memory>
#include <vector>

#include <wx/bitmap.h>
#include <wx/vlbox.h>

// One line of swxBitmapListBox.
struct BitmapListItem {
    wxString text;         // the line's text (a mask, a folder name)
    bool flagA = false;    // owner's meaning: the rule allows, the mask is active, the folder
                           // has a location on this station
    wxUint32 data = 0;     // catalogue ID of the row; 0 = not stored yet
    int order = 0;         // NLINE for rules; 0 in the other lists
    bool changed = false;  // differs from its stored row
    bool deleted = false;  // flagged for deletion
};

// A single-selection list that owns its BitmapListItem records and draws each line as one of
// three bitmaps followed by the text: the third bitmap when the item is flagged deleted,
// otherwise the first when flag A is set, otherwise the second. It never touches the
// catalogue; its owner reads the flags and writes the rows. Index arguments are line numbers
// from 0. The control selects items itself (AddItem, Append, MoveUp, MoveDown) without
// sending selection events. GUI thread only.
class swxBitmapListBox : public wxVListBox {
public:
    // An empty list with empty bitmaps; call SetBitmaps before adding items.
    swxBitmapListBox(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                     const wxSize& size = wxDefaultSize, long style = 0,
                     const wxString& name = wxASCII_STR(wxVListBoxNameStr));
    ~swxBitmapListBox() override;

    // Stores the three bitmaps; every line is then as high as the taller of the first
    // bitmap and the font's text line (descent included), plus 5 pixels. False, and nothing changes, when the first two bitmaps differ in height (the
    // third is not compared).
    bool SetBitmaps(const wxBitmap& first, const wxBitmap& second, const wxBitmap& third);

    // Appends `item` (the list takes it over), clears its changed flag, selects it and
    // returns its index.
    int AddItem(std::unique_ptr<BitmapListItem> item);
    // Appends a new item (order 0, not changed, not deleted), selects it, returns its index.
    int Append(const wxString& text, wxUint32 data, bool flagA);

    // Item n, owned by the list and valid until it is deleted or moved; null when n is not
    // below the count.
    BitmapListItem* GetItem(size_t n) const;
    size_t GetCount() const { return items_.size(); }

    // Precondition for the next three: n < GetCount().
    wxString GetItemText(size_t n) const;
    void SetItemText(size_t n, const wxString& text);  // and redraws line n
    void DeleteItem(size_t n);                          // frees item n, redraws the list

    // Frees every item.
    void Clear();

    // Exchanges line n with the line above (MoveUp, 0 < n < count) or below (MoveDown,
    // 0 <= n < count - 1); the order numbers stay with the positions, both items are flagged
    // changed and the moved item is selected. False, and nothing changes, for any other n
    // (wxNOT_FOUND included).
    bool MoveUp(int n);
    bool MoveDown(int n);

    // Data of the selected item; 0 when nothing is selected.
    wxUint32 GetSelectedData() const;
    // The largest order number of the items, but at least 0 (0 for an empty list).
    int GetMaxOrder() const;

    // The base class's line count, then a redraw of the visible lines. The item array is not
    // touched: the list keeps the line count equal to its number of items itself.
    void SetItemCount(size_t count) override;

    // Redraws line n (after its owner changed the item's flags or text).
    void RefreshItem(size_t n) { RefreshRow(n); }

protected:
    void OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const override;
    // Room for three lines, so that a layout never squeezes the list away.
    wxSize DoGetBestClientSize() const override;
    wxCoord OnMeasureItem(size_t n) const override;

private:
    void Exchange(size_t a, size_t b);

    std::vector<std::unique_ptr<BitmapListItem>> items_;
    wxBitmap first_;
    wxBitmap second_;
    wxBitmap third_;
    wxCoord bitmapHeight_;
};
