#include "editors/testbed_frame.h"

#include <wx/menu.h>
#include <wx/stattext.h>

#include "editors/file_list_ctrl.h"
#include "tests/editors/editors_fixture.h"

namespace {

using Testbed = FrameFolderTestbed;

// Project "R&D", folder "Docs" at <dir>/home/docs with files of 3, 10, 100 and 1000 bytes,
// the rules "*.txt" (allow), "*.bin" (allow, deleted) and "*.tmp" (deny); a drive of the
// medium "Stick" with the folder at Sync\Work\Docs holding d.bin; the testbed open on the
// folder. The context menu is not shown: the labels of its rules are kept.
class FrameFolderTestbedTest : public EditorsTest {
protected:
    void SetUp() override
    {
        EditorsTest::SetUp();
        previous = Testbed::SetMenuPresenter([this](wxWindow*, wxMenu& menu) {
            menuLabels.clear();
            for (int id = Testbed::ID_MENU_ADD_EXTENSION; id <= Testbed::ID_MENU_ADD_FOLDER; ++id)
                if (const wxMenuItem* item = menu.FindItem(id))
                    menuLabels << item->GetItemLabelText() << "|";
        });
        const char* stick = "0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9";
        AddDrive("stick", stick);
        AddMedium(stick, "Stick");
        dir.Write("media/stick/Sync/Work/Docs/d.bin", "xx");
        OpenWith({"R&D"}, {"Docs"});
        for (const auto& [name, size] : std::initializer_list<std::pair<const char*, int>>{
                 {"a.txt", 3}, {"b.tmp", 10}, {"s&b/c.txt", 100}, {"s&b/d.bin", 1000}})
            dir.Write(wxString("home/docs/") + name, std::string(size, 'x'));
        ExecUpdate("insert into ACLRULES (GUID, FOLDERID, FILEMASK, NLINE, ALLOW, MODIFIED, DELETED) "
                   "values ('r', 1, '*.txt', 5, 1, '', 0), ('r', 1, '*.bin', 7, 1, '', 1), "
                   "('r', 1, '*.tmp', 10, 0, '', 0)");
        ExecUpdate("insert into MEPROJECT (GUID, FOLDER, MODIFIED, PROJECTID, MEDIAID, DELETED) "
                   "values ('m', 'Sync\\Work', '', 1, 1, 0)");
        browseAnswers = {dir / "home/docs"};
        Click("ID_BITMAPBUTTON_LOCAL_DIR");
        OpenTestbed();
    }
    void TearDown() override
    {
        EditorsTest::TearDown();
        Testbed::SetMenuPresenter(previous);
    }
    void OpenTestbed()
    {
        Click("ID_BITMAPBUTTON_RUN_TESTBED");
        testbed = TopWindow<Testbed>();
        ASSERT_TRUE(testbed);
        list = In<swxFileListCtrl>(testbed, "ID_LIST_VIEW_FOLDERS");
    }
    // Runs a test to its end, then sorts the rows by file name.
    void RunTest()
    {
        ClickIn(testbed, "ID_BUTTON_RUN");
        EXPECT_TRUE(PumpUntil([this] { return !testbed->Testing(); }));
        Settle();
        list->SortByColumn(1);
    }
    // Visible rows as "location\file:rule+" (+ allowed, - denied), in display order.
    wxString Rows() const
    {
        wxString text;
        for (long n = 0; n < list->GetItemCount(); ++n) {
            const FileTestRecord* r = list->VisibleRecord(n);
            text << (n ? " " : "") << r->location << "\\" << r->file << ":" << r->rule
                 << (r->allow ? "+" : "-");
        }
        return text;
    }
    // The selected rows and the statistics label, as "0,1,|Selected size 1.1 KB".
    wxString Selection() const
    {
        wxString rows;
        for (long n = -1; (n = list->GetNextItem(n, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) >= 0;)
            rows << n << ",";
        return rows + "|" + Label("ID_STATICTEXT_STATISTICS");
    }
    // A click on column n's header, or a right-click on row n and then the menu command id.
    void ListClick(long n, int id = 0)
    {
        wxListEvent click(id ? wxEVT_LIST_ITEM_RIGHT_CLICK : wxEVT_LIST_COL_CLICK, list->GetId());
        click.m_itemIndex = n;
        click.m_col = static_cast<int>(n);
        list->GetEventHandler()->ProcessEvent(click);
        wxCommandEvent command(wxEVT_MENU, id);
        if (id)
            list->GetEventHandler()->ProcessEvent(command);
    }
    wxString Label(const char* name) const { return In<wxStaticText>(testbed, name)->GetLabelText(); }

    wxWeakRef<Testbed> testbed;
    swxFileListCtrl* list = nullptr;
    Testbed::MenuPresenter previous;
    wxString menuLabels;
};

// Deleted rules take no part. The selection stays with the files through sorts and filters.
// Rules made from a row join the next test at once and reach the catalogue with OK. Closing
// during a test ends the test's thread first. "&" in names shows as itself.
TEST_F(FrameFolderTestbedTest, RulesAreTriedOnTheStationAndOnTheMedium)
{
    EXPECT_EQ("Project: R&D|Folder: Docs",
              Label("ID_STATICTEXT_PROJECT") + "|" + Label("ID_STATICTEXT_FOLDER"));
    RunTest();  // on the station
    EXPECT_EQ("\\a.txt:*.txt+ \\b.tmp:*.tmp- s&b\\c.txt:*.txt+ s&b\\d.bin:-", Rows());
    EXPECT_EQ("Close", In<wxButton>(testbed, "ID_BUTTON_CANCEL")->GetLabel());
    for (long row : {2, 3})  // c.txt and d.bin
        list->SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    EXPECT_TRUE(PumpUntil([&] { return Selection() == "2,3,|Selected size 1.1 KB"; })) << Selection();
    ListClick(3);
    ListClick(3);  // by size, descending
    EXPECT_EQ("0,1,|Selected size 1.1 KB", Selection());
    ListClick(1, Testbed::ID_MENU_FILTER_EXTENSION);  // c.txt; the filters are the model's
    EXPECT_EQ("0,|Selected size 100 B", Selection());
    ListClick(0, Testbed::ID_MENU_FILTER_SUBFOLDERS);
    EXPECT_EQ("s&b\\d.bin:- s&b\\c.txt:*.txt+|Tree: s&b",
              Rows() + "|" + Label("ID_STATICTEXT_FILTER"));
    ListClick(1, Testbed::ID_MENU_ADD_FOLDER);  // c.txt
    EXPECT_EQ("Extension (*.txt)|Name (c*)|Folder (s&b)|", menuLabels);
    ListClick(0, Testbed::ID_MENU_ADD_NAME);  // d.bin
    ListClick(0, Testbed::ID_MENU_ADD_EXTENSION);
    ListClick(0, Testbed::ID_MENU_RESET_FILTER);
    Choose(In<wxChoice>(testbed, "ID_CHOICE_MEDIA"), "Stick");
    RunTest();
    EXPECT_EQ("\\d.bin:d*+", Rows());  // with the new rules and no filter
    ExecUpdate("update MEPROJECT set FOLDER='..\\..\\home'");
    wxTEST_DIALOG(ClickIn(testbed, "ID_BUTTON_RUN"),
                  ExpectMessage("The folder's location on the medium \"..\\..\\home\\Docs\" leads "
                                "outside the medium.", wxOK, "Message"));
    EXPECT_TRUE(!testbed->Testing() && Scalar("select count(*) from ACLRULES") == 3);
    ClickIn(testbed, "ID_BUTTON_OK");
    Settle();
    EXPECT_FALSE(testbed);
    EXPECT_EQ("*.txt1,*.bin1,*.tmp0,s&b\\*1,d*1,*.bin1",
              Text("select group_concat(FILEMASK || ALLOW) from ACLRULES"));  // in ID order
    EXPECT_EQ(5u, Rules()->GetRulesList()->GetCount());  // the main window reloaded them

    OpenTestbed();  // the main window forgot the closed one
    for (int n = 0; n < 300; ++n)
        dir.Write(wxString::Format("home/docs/many/f%d.txt", n), "x");
    ClickIn(testbed, "ID_BUTTON_RUN");
    ASSERT_TRUE(testbed->Testing());
    EXPECT_TRUE(In<wxButton>(testbed, "ID_BUTTON_CANCEL")->GetLabel() == "Stop" &&
                !In<wxButton>(testbed, "ID_BUTTON_OK")->IsEnabled());
    testbed->Close();
    EXPECT_FALSE(testbed->Testing());  // the test's thread ended before the window goes
}

} // namespace
