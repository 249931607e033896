#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <wx/string.h>

#include "engine/test_folder_traverser.h"

// The rows of the rules-test result list without the list control: every record in order of
// arrival (owned), the visible ones in display order, one filter and one sort column. Pure
// logic, no windows; GUI thread (it is not shared).
class FileListModel {
public:
    // The filter kinds of the testbed's menu.
    enum FilterKind : int {
        kByExtension = 0,
        kByFileName = 1,
        kByRule = 2,      // compared lower-cased
        kByFolder = 3,
        kBySubfolders = 4,  // the folder itself or any folder below it
        kBySizeAbove = 5,
        kBySizeBelow = 6,
    };
    static constexpr int kColumnCount = 5;

    // Takes the record; when it passes the filter it becomes the last visible row (whatever
    // the sort). Returns that row, or -1 when the record is filtered out.
    int Add(std::unique_ptr<FileTestRecord> record);
    // Frees every record and forgets the sort; the filter stays.
    void Clear();

    // A click on a column header: a new column sorts ascending, the same one again reverses.
    // False (nothing changes) for a column outside 0..4.
    bool SortByColumn(int column);
    // Text filters take kinds 0..4, size filters 5 and 6; other kinds are ignored. Either
    // turns the filter on and rebuilds the visible rows.
    void SetTextFilter(int kind, const wxString& text);
    void SetSizeFilter(int kind, std::uint64_t size);
    // Every record visible again in arrival order, then sorted.
    void ResetFilter();

    size_t VisibleCount() const { return visible_.size(); }
    size_t TotalCount() const { return all_.size(); }
    // The record shown in row n, or null.
    const FileTestRecord* Visible(long n) const;
    // The text of a cell; empty outside the rows and columns.
    wxString CellText(long row, long column) const;

    int SortColumn() const { return sortColumn_; }
    bool Ascending() const { return ascending_; }

private:
    bool Passes(const FileTestRecord& record) const;
    void ApplyFilter();
    void Sort();

    std::vector<std::unique_ptr<FileTestRecord>> all_;
    std::vector<const FileTestRecord*> visible_;
    int sortColumn_ = -1;
    bool ascending_ = true;
    bool filterOn_ = false;
    int filterKind_ = 0;
    wxString filterText_;
    std::uint64_t filterSize_ = 0;
};
