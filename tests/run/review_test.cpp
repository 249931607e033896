#include <tuple>

#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "run/review_items.h"
#include "run/select_sync_items_dialog.h"
#include "tests/support/gui_expect.h"
#include "tests/support/widgets.h"

namespace {

// Planned actions of two projects, in both directions, with a name without extension, an "&"
// in a caption, and Doc/ and Documents/, which begin alike.
class ReviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // (project, action, to the medium, path below the target side's folder)
        const std::tuple<const char*, int, bool, const char*> planned[] = {
            {"Work", FP_MKDIR, true, "Doc"}, {"Work", FP_COPY, true, "Doc/report.TXT"},
            {"Work", FP_COPY, false, "Documents/plan.txt"}, {"Work", FP_DELETE, true, "Documents/old.doc"},
            {"R&D", FP_MOVE, false, "readme"}};
        for (const auto& [project, action, toMedium, relative] : planned) {
            if (jobs.empty() || jobs.back()->caption != project) {
                jobs.push_back(std::make_unique<ProjectJob>());
                jobs.back()->caption = project;
                FolderJob& folder = *jobs.back()->folders.emplace_back(std::make_unique<FolderJob>());
                folder.stationPath = "/st/docs", folder.mediumPath = "/me/P/docs";
            }
            const wxString from = toMedium ? "/st/docs/" : "/me/P/docs/", to = toMedium ? "/me/P/docs/" : "/st/docs/";
            const bool copies = action == FP_COPY || action == FP_MOVE;
            // From 2022-06-18 UTC; not selected, as the review selects every item again.
            jobs.back()->folders.back()->items.push_back(std::make_unique<SyncItem>(SyncItem{
                copies ? from + relative : "", to + relative, action, copies ? 133000000000000000ULL : 0, toMedium, false}));
        }
        records = MakeReviewItems(jobs);
    }
    // The relative targets of the given rows, each followed by a blank.
    wxString Relatives(const std::vector<std::size_t>& rows) const
    {
        wxString texts;
        for (const std::size_t row : rows)
            texts << records[row].relativeTarget << " ";
        return texts;
    }

    JobTree jobs;
    std::vector<ReviewItem> records;
};

TEST_F(ReviewTest, RecordsDescribeEveryPlannedActionAndFiltersTakeTheRecordsTheyName)
{
    wxString rows;  // each row's text, then "|" when it is selected
    for (const ReviewItem& r : records)
        rows << RowText(r) << (r.item->selected ? "|" : "!");
    EXPECT_EQ("Make directory Doc|Copy report.TXT to medium|Copy plan.txt to computer|Delete Documents/old.doc|"
              "Move readme to computer|", rows);
    EXPECT_EQ("Project: Work\nFolder: /st/docs\nFiletime: 2022-06-18 04:26:40 UTC\n"
              "Source (medium): Documents/plan.txt\nDestination (computer): Documents/plan.txt\nAction: Copy",
              DetailsText(records[2]));
    // Deletions and directories have no source: no time and no source line.
    EXPECT_EQ("Project: Work\nFolder: /st/docs\nDestination (medium): Documents/old.doc\nAction: Delete",
              DetailsText(records[3]));

    // Every filter kind, from a record's menu entry or a typed text.
    const struct {
        int kind;
        std::size_t from;                      // the record the menu entry is built from
        const char *typed, *menuText, *label;  // typed: for "Begins on" and "Contains"
        wxString shown;
    } filters[] = {
        {RF_EXTENSION, 1, "", "Extension (*.TXT)", "Filter by extension: TXT", "Doc/report.TXT Documents/plan.txt "},
        {RF_EXTENSION, 4, "", "Extension (*.readme)", "Filter by extension: readme", "readme "},
        {RF_NAME, 1, "", "Name (report*)", "Filter by file: report", "Doc/report.TXT "},
        {RF_NAME, 4, "", "Name (*)", "Filter by file: ", "Doc readme "},
        {RF_PROJECT, 4, "", "Project (R&D)", "Filter by project: R&D", "readme "},
        // A folder takes itself and what is below, not names that begin alike.
        {RF_FOLDER, 0, "", "Folder (Doc)", "Filter by folder: Doc", "Doc Doc/report.TXT "},
        {RF_FOLDER, 4, "", "Folder ()", "Filter by folder: ", Relatives({0, 1, 2, 3, 4})},
        {RF_BEGINS, 0, "Doc", "", "Begins on: Doc", "Doc Doc/report.TXT Documents/plan.txt Documents/old.doc "},
        {RF_CONTAINS, 0, "report", "", "Contains: report", "Doc/report.TXT "},
    };
    for (const auto& row : filters) {
        SCOPED_TRACE(row.label);
        const ReviewFilter filter = MakeFilter(row.kind, &records[row.from], row.typed);
        EXPECT_EQ(row.label, filter.label);
        EXPECT_EQ(row.menuText, FilterMenuText(row.kind, records[row.from]));
        EXPECT_EQ(row.shown, Relatives(FilterRecords(records, filter)));
    }
}

// The dialog's bindings; its "Select all" is tried in the run dialog's two-step runs.
TEST_F(ReviewTest, DialogShowsDetailsWholeAndNamesAsTheyAre)
{
    const auto dialog = std::make_unique<DialogSelectSyncItems>(nullptr);
    dialog->SetItems(&records);
    dialog->Show();
    EXPECT_EQ("", widgets_test::UnidentifiedControls(dialog.get()));
    auto* list = widgets_test::Find<wxVListBox>(dialog.get(), "ID_CHECKLISTBOX_PAIRS");
    auto* details = widgets_test::Find<wxTextCtrl>(dialog.get(), "ID_TEXTCTRL_DETAILS");
    auto* label = widgets_test::Find<wxStaticText>(dialog.get(), "ID_STATICTEXT_FILTER");
    const auto menu = [&](int id) {
        wxCommandEvent entry(wxEVT_MENU, id);
        dialog->ProcessWindowEvent(entry);
    };
    // The longest details, of a copy, show whole at the dialog's first size.
    widgets_test::ChooseLine(list, 2);
    EXPECT_EQ(DetailsText(records[2]), details->GetValue());
    wxYield();
    EXPECT_LE(details->PositionToCoords(details->GetLastPosition()).y + details->GetCharHeight(),
              details->GetClientSize().y);
    menu(RF_FOLDER);
    EXPECT_EQ("Documents/plan.txt Documents/old.doc ", Relatives(dialog->ShownRows()));
    widgets_test::Notify(list, wxEVT_CHECKLISTBOX, 0);  // the first shown row, plan.txt
    EXPECT_FALSE(records[2].item->selected);
    widgets_test::Click(dialog.get(), "ID_BITMAPBUTTON_SELECT_ALL");  // the first row unchecked: all on
    EXPECT_TRUE(records[2].item->selected && records[3].item->selected);
    // A typed filter answered with nothing keeps the filter there was.
    wxTEST_DIALOG(menu(RF_BEGINS), wxExpectModal<wxTextEntryDialog>("", true));
    EXPECT_EQ("Filter by folder: Documents", label->GetLabelText());
    menu(RF_NONE);
    EXPECT_EQ("", label->GetLabelText());
    // "&" in a name is shown as it is, in the menu and in the filter's label.
    widgets_test::ChooseLine(list, 4);
    wxMenu entries;
    dialog->FillFilterMenu(entries);
    EXPECT_EQ("Project (R&D)", entries.GetLabelText(RF_PROJECT));
    menu(RF_PROJECT);
    EXPECT_EQ("Filter by project: R&D", label->GetLabelText());
}

} // namespace
