#pragma once

#include <cstddef>
#include <vector>

#include <wx/string.h>

#include "engine/sync_types.h"

// The records and list logic of the review of planned actions, kept apart from the window so
// that it runs without a display. Paths are native ("/"); the relative target and the folder
// part use the same separator. GUI thread (the records point into the run's job tree, which
// no thread touches while the review is open).

// One planned action as the review shows it.
struct ReviewItem {
    wxString project;                // caption of the project job
    wxString folder;                 // station path of the folder job
    wxString relativeTarget;         // target path below the target side's folder
    std::size_t sourcePrefixLength;  // characters of the source side's folder and separator
    std::size_t targetPrefixLength;  // the same for the target side
    SyncItem* item;                  // borrowed from the job tree; the review sets its selection
    wxString fileName;               // the target path after its last separator
};

// One record per planned item of the tree, in tree order; every item is selected again.
std::vector<ReviewItem> MakeReviewItems(JobTree& jobs);

// Filter kinds, numbered as the filter menu's entries.
enum ReviewFilterKind : int {
    RF_NONE = 0,
    RF_EXTENSION = 1,
    RF_NAME = 2,
    RF_PROJECT = 3,
    RF_FOLDER = 4,
    RF_BEGINS = 5,
    RF_CONTAINS = 6,
};

struct ReviewFilter {
    int kind = RF_NONE;
    wxString value;
    wxString label;  // what the dialog shows while the filter is in force
};

// The text after the last "." of the file name (the whole name when it has none).
wxString FileExtensionOf(const ReviewItem& record);
// The text before the last "." of the file name (empty when it has none).
wxString FileStemOf(const ReviewItem& record);
// The relative target for a make-directory item, else the relative target's directory part
// (empty for a file in the folder's root).
wxString FolderPartOf(const ReviewItem& record);

// True when the record passes the filter. Comparisons are case-sensitive. A folder filter
// takes the folder itself and what lies below it, not names that merely begin alike.
bool PassesFilter(const ReviewItem& record, const ReviewFilter& filter);
// Indexes of the records that pass, in array order.
std::vector<std::size_t> FilterRecords(const std::vector<ReviewItem>& records,
                                       const ReviewFilter& filter);

// The filter that menu entry `kind` (RF_EXTENSION .. RF_FOLDER) builds from a record;
// RF_BEGINS and RF_CONTAINS take the typed text as value; RF_NONE clears.
ReviewFilter MakeFilter(int kind, const ReviewItem* record, const wxString& typed = wxString());
// The texts of the menu entries RF_EXTENSION .. RF_FOLDER for a record.
wxString FilterMenuText(int kind, const ReviewItem& record);

// The row text of a record, translated ("Copy a.txt to medium").
wxString RowText(const ReviewItem& record);
// The details of a record, line by line.
wxString DetailsText(const ReviewItem& record);

// "Select all": with no rows false and nothing changes; otherwise every row's item gets the
// opposite of the first row's selection, and true. Records outside rows keep theirs.
bool ToggleAllRows(std::vector<ReviewItem>& records, const std::vector<std::size_t>& rows);
