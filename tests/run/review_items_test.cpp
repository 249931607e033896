#include "run/review_items.h"

#include "tests/run/review_test_support.h"

using ReviewItemsTest = ReviewTest;

TEST_F(ReviewItemsTest, RecordsDescribeEveryPlannedActionAndFiltersTakeTheRecordsTheyName)
{
    wxString described;
    for (const ReviewItem& r : records)
        described << r.project << "|" << r.folder << "|" << r.relativeTarget << "|" << r.fileName << "|"
            << RowText(r) << "|" << r.item->selected << "\n";
    EXPECT_EQ("Work|/st/docs|Doc|Doc|Make directory Doc|1\n"
              "Work|/st/docs|Doc/report.TXT|report.TXT|Copy report.TXT to medium|1\n"
              "Work|/st/docs|Documents/plan.txt|plan.txt|Copy plan.txt to computer|1\n"
              "Work|/st/docs|Documents/old.doc|old.doc|Delete Documents/old.doc|1\n"
              "Home|/st/docs|readme|readme|Move readme to computer|1\n",
              described);
    EXPECT_EQ("Project: Work\nFolder: /st/docs\nFiletime: 2022-06-18 04:26:40 UTC\n"
              "Source (medium): Documents/plan.txt\nDestination (computer): Documents/plan.txt\n"
              "Action: Copy",
              DetailsText(records[2]));
    // Deletions and directories have no source: no time and no source line.
    EXPECT_EQ("Project: Work\nFolder: /st/docs\nDestination (medium): Documents/old.doc\nAction: Delete",
              DetailsText(records[3]));

    // Every filter kind, from a record's menu entry or a typed text.
    const wxString all = "Doc Doc/report.TXT Documents/plan.txt Documents/old.doc readme ";
    const struct {
        int kind;
        std::size_t from;                        // the record the menu entry is built from
        const char *typed, *menuText, *label;  // typed: for "Begins on" and "Contains"
        wxString shown;
    } rows[] = {
        {RF_EXTENSION, 1, "", "Extension (*.TXT)", "Filter by extension: TXT", "Doc/report.TXT Documents/plan.txt "},
        {RF_EXTENSION, 4, "", "Extension (*.readme)", "Filter by extension: readme", "readme "},
        {RF_NAME, 1, "", "Name (report*)", "Filter by file: report", "Doc/report.TXT "},
        {RF_NAME, 4, "", "Name (*)", "Filter by file: ", "Doc readme "},
        {RF_PROJECT, 4, "", "Project (Home)", "Filter by project: Home", "readme "},
        // A folder takes itself and what is below, not names that begin alike.
        {RF_FOLDER, 0, "", "Folder (Doc)", "Filter by folder: Doc", "Doc Doc/report.TXT "},
        {RF_FOLDER, 4, "", "Folder ()", "Filter by folder: ", all},
        {RF_BEGINS, 0, "Doc", "", "Begins on: Doc", "Doc Doc/report.TXT Documents/plan.txt Documents/old.doc "},
        {RF_CONTAINS, 0, "report", "", "Contains: report", "Doc/report.TXT "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        const ReviewFilter filter = MakeFilter(row.kind, &records[row.from], row.typed);
        EXPECT_EQ(row.label, filter.label);
        EXPECT_EQ(row.menuText, FilterMenuText(row.kind, records[row.from]));
        EXPECT_EQ(row.shown, Relatives(records, FilterRecords(records, filter)));
    }
}
