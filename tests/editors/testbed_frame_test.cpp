#include "editors/testbed_frame.h"

#include <wx/stattext.h>

#include "editors/file_list_ctrl.h"
#include "tests/editors/editors_fixture.h"

namespace {

using Testbed = FrameFolderTestbed;

// Project "Work", folder "Docs" at <dir>/home/docs with files of 3, 10, 100 and 1000 bytes,
// the rules "*.txt" (allow) and "*.tmp" (deny); a drive of the medium "Stick" with the folder
// at Sync\Work\Docs holding d.bin; the testbed open on the folder.
class FrameFolderTestbedTest : public EditorsTest {
protected:
    void SetUp() override
    {
        EditorsTest::SetUp();
        previous = Testbed::SetMenuPresenter([](wxWindow*, wxMenu&) {});
        const char* stick = "0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9";
        AddDrive("stick", stick);
        AddMedium(stick, "Stick");
        dir.Write("media/stick/Sync/Work/Docs/d.bin", "xx");
        dir.Write(wxString("media/stick/Sync/Work/Docs/") + kCraftedName, "x");
        OpenWith({"Work"}, {"Docs"});
        for (const auto& [name, size] : std::initializer_list<std::pair<const char*, int>>{
                 {"a.txt", 3}, {"b.tmp", 10}, {"sub/c.txt", 100}, {"sub/d.bin", 1000}})
            dir.Write(wxString("home/docs/") + name, std::string(size, 'x'));
        const int docs = FolderId("Docs");
        ExecUpdate(wxString::Format("insert into ACLRULES (GUID, FOLDERID, FILEMASK, NLINE, ALLOW, "
                                    "MODIFIED, DELETED) values ('r', %d, '*.txt', 5, 1, '', 0), "
                                    "('r', %d, '*.tmp', 10, 0, '', 0)",
                                    docs, docs));
        ExecUpdate(wxString::Format("insert into MEPROJECT (GUID, FOLDER, MODIFIED, PROJECTID, "
                                    "MEDIAID, DELETED) values ('m', 'Sync\\Work', '', %d, 1, 0)",
                                    ProjectId("Work")));
        ChooseFolder("Docs");
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
    // Right-click on a row, then the menu command `id`.
    void ContextMenu(long row, int id)
    {
        wxListEvent click(wxEVT_LIST_ITEM_RIGHT_CLICK, list->GetId());
        click.m_itemIndex = row;
        list->GetEventHandler()->ProcessEvent(click);
        wxCommandEvent command(wxEVT_MENU, id);
        list->GetEventHandler()->ProcessEvent(command);
    }
    wxString Label(const char* name) const { return In<wxStaticText>(testbed, name)->GetLabel(); }

    wxWeakRef<Testbed> testbed;
    swxFileListCtrl* list = nullptr;
    Testbed::MenuPresenter previous;
};

// The rows come sorted by file name from RunTest. Rules made from a row join the next test at
// once and reach the catalogue with OK. Closing during a test ends the test's thread first.
TEST_F(FrameFolderTestbedTest, RulesAreTriedOnTheStationAndOnTheMedium)
{
    EXPECT_EQ("Project: Work|Folder: Docs",
              Label("ID_STATICTEXT_PROJECT") + "|" + Label("ID_STATICTEXT_FOLDER"));
    RunTest();  // on the station
    EXPECT_EQ("\\a.txt:*.txt+ \\b.tmp:*.tmp- sub\\c.txt:*.txt+ sub\\d.bin:-", Rows());
    EXPECT_EQ("Close", In<wxButton>(testbed, "ID_BUTTON_CANCEL")->GetLabel());
    for (long row : {2, 3})  // c.txt and d.bin
        list->SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    EXPECT_TRUE(PumpUntil([&] { return Label("ID_STATICTEXT_STATISTICS").EndsWith(" 1.1 KB"); }));
    ContextMenu(2, Testbed::ID_MENU_FILTER_SUBFOLDERS);  // c.txt; the filters are the model's
    EXPECT_EQ("sub\\c.txt:*.txt+ sub\\d.bin:-", Rows());
    ContextMenu(0, Testbed::ID_MENU_ADD_FOLDER);  // c.txt
    ContextMenu(1, Testbed::ID_MENU_ADD_NAME);  // d.bin
    ContextMenu(1, Testbed::ID_MENU_ADD_EXTENSION);
    ContextMenu(1, Testbed::ID_MENU_RESET_FILTER);
    Choose(In<wxChoice>(testbed, "ID_CHOICE_MEDIA"), "Stick");
    RunTest();
    EXPECT_EQ(wxString("\\d.bin:d*+ \\") + kCraftedName + ":*.txt+", Rows());  // new rules, no filter
    ContextMenu(1, Testbed::ID_MENU_ADD_NAME);  // a mask made from a name is quoted too
    ExecUpdate("update MEPROJECT set FOLDER='..\\..\\home'");
    wxTEST_DIALOG(ClickIn(testbed, "ID_BUTTON_RUN"),
                  ExpectMessage("The folder's location on the medium \"..\\..\\home\\Docs\" leads "
                                "outside the medium.",
                                wxOK, "Message"));
    EXPECT_FALSE(testbed->Testing());
    EXPECT_EQ(2, Scalar("select count(*) from ACLRULES"));
    ClickIn(testbed, "ID_BUTTON_OK");
    Settle();
    EXPECT_FALSE(testbed);
    EXPECT_EQ(wxString("*.txt1,*.tmp0,sub\\*1,d*1,*.bin1,") + wxString(kCraftedStored).BeforeLast('.') + "*1",
              Text("select group_concat(FILEMASK || ALLOW) from ACLRULES"));  // in ID order
    EXPECT_EQ(0, Hijacked());
    EXPECT_EQ(6u, Rules()->GetRulesList()->GetCount());  // the main window reloaded them

    OpenTestbed();  // the main window forgot the closed one
    for (int n = 0; n < 300; ++n)
        dir.Write(wxString::Format("home/docs/many/f%d.txt", n), "x");
    ClickIn(testbed, "ID_BUTTON_RUN");
    ASSERT_TRUE(testbed->Testing());
    EXPECT_EQ("Stop", In<wxButton>(testbed, "ID_BUTTON_CANCEL")->GetLabel());
    EXPECT_FALSE(In<wxButton>(testbed, "ID_BUTTON_OK")->IsEnabled());
    testbed->Close();
    EXPECT_FALSE(testbed->Testing());  // the test's thread ended before the window goes
    Settle();
    EXPECT_FALSE(testbed);
}

} // namespace
