#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <wx/listctrl.h>

#include "editors/file_list_model.h"

// The rules testbed's result list: a virtual report list of the FileTestRecords it owns, one
// row per visible record, allowed rows and denied rows in their colours, sortable by a click on
// any header (the sorted header shows "sort_down" ascending, "sort_up" descending) and narrowed
// by one filter at a time (FileListModel holds the rows). A new order or filter keeps the
// selected records selected (those still shown), not the row numbers. GUI thread only.
class swxFileListCtrl : public wxListCtrl {
public:
    swxFileListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                    const wxSize& size = wxDefaultSize, long style = wxLC_REPORT,
                    const wxValidator& validator = wxDefaultValidator,
                    const wxString& name = wxASCII_STR(wxListCtrlNameStr));
    ~swxFileListCtrl() override;

    // Takes the record; returns its row, or -1 when the filter hides it.
    long AddRecord(std::unique_ptr<FileTestRecord> record);
    // Removes every row and record and forgets the sort; the filter stays.
    void Clear();
    void SortByColumn(int column);
    void SetTextFilter(int kind, const wxString& text);
    void SetSizeFilter(int kind, std::uint64_t size);
    void ResetFilter();

    // The record shown in row n, or null.
    const FileTestRecord* VisibleRecord(long n) const { return model_.Visible(n); }
    const FileListModel& Model() const { return model_; }
    // The sum of the sizes of the selected rows.
    std::uint64_t SelectedSize() const;

protected:
    wxString OnGetItemText(long item, long column) const override;
    int OnGetItemColumnImage(long item, long column) const override;
    wxItemAttr* OnGetItemAttr(long item) const override;

private:
    std::vector<const FileTestRecord*> SelectedRecords() const;
    // Shows the model's rows again, with the rows of these records selected.
    void ShowRows(const std::vector<const FileTestRecord*>& selected);
    void SetHeaderImage(int column, int image);

    FileListModel model_;
    std::unique_ptr<wxItemAttr> allowedAttr_;
    std::unique_ptr<wxItemAttr> deniedAttr_;
};
