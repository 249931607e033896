#include "editors/testbed_frame.h"

#include <wx/choice.h>
#include <wx/menu.h>
#include <wx/stattext.h>

#include "editors/file_list_ctrl.h"
#include "tests/editors/editors_fixture.h"

namespace {

constexpr char kStick[] = "0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9";

class FrameFolderTestbedTest : public EditorsTest {
protected:
    void SetUp() override
    {
        EditorsTest::SetUp();
        previous = FrameFolderTestbed::SetMenuPresenter([this](wxWindow*, wxMenu& menu) {
            menuLabels.clear();
            for (const wxMenuItem* item : menu.GetMenuItems())
                if (!item->IsSeparator())
                    menuLabels << (menuLabels.empty() ? "" : "|") << item->GetItemLabelText();
        });
    }
    void TearDown() override
    {
        if (testbed)
            testbed->Close();
        Settle();
        FrameFolderTestbed::SetMenuPresenter(previous);
        EditorsTest::TearDown();
    }

    // Project "Work", folder "Docs" at <dir>/home/docs with files of 3, 10, 100, 1000 and 7
    // bytes, and the rules "*.txt" (allow), "*.tmp" (deny); the testbed open on it.
    void OpenTestbed()
    {
        OpenWith({"Work"}, {"Docs"});
        for (const auto& [name, size] : std::initializer_list<std::pair<const char*, int>>{
                 {"a.txt", 3}, {"b.tmp", 10}, {"sub/c.txt", 100}, {"sub/d.bin", 1000},
                 {"subway/e.txt", 7}})
            dir.Write(wxString("home/docs/") + name, std::string(size, 'x'));
        ExecUpdate(wxString::Format("insert into STAFOLDER (GUID, FOLDERID, STATIONID, FOLDER, "
                                    "MODIFIED, DELETED) values ('s', %d, %u, '%s', '', 0)",
                                    FolderId("Docs"), stationId, dir / "home/docs"));
        for (const auto& [mask, allow] : {std::pair{"*.txt", 1}, std::pair{"*.tmp", 0}})
            ExecUpdate(wxString::Format("insert into ACLRULES (GUID, FOLDERID, FILEMASK, NLINE, "
                                        "ALLOW, MODIFIED, DELETED) values ('r', %d, '%s', %d, %d, "
                                        "'', 0)",
                                        FolderId("Docs"), mask, allow ? 5 : 10, allow));
        ChooseFolder("Docs");
        Click("ID_BITMAPBUTTON_RUN_TESTBED");
        testbed = TopWindow<FrameFolderTestbed>();
        ASSERT_TRUE(testbed);
        list = In<swxFileListCtrl>(testbed, "ID_LIST_VIEW_FOLDERS");
    }
    void RunTest()
    {
        ClickIn(testbed, "ID_BUTTON_RUN");
        EXPECT_TRUE(PumpUntil([this] { return !testbed->Testing(); }));
        Settle();
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
    void ListEvent(wxEventType type, long row, int column = 0) const
    {
        wxListEvent event(type, list->GetId());
        event.SetEventObject(list);
        event.m_itemIndex = row;
        event.m_col = column;
        list->GetEventHandler()->ProcessEvent(event);
    }
    long RowOf(const wxString& file) const
    {
        for (long n = 0; n < list->GetItemCount(); ++n)
            if (list->VisibleRecord(n)->file == file)
                return n;
        ADD_FAILURE() << file;
        return -1;
    }
    // Right-click on the file's row, then the menu command `id` (0: none).
    void ContextMenu(const wxString& file, int id)
    {
        ListEvent(wxEVT_LIST_ITEM_RIGHT_CLICK, RowOf(file));
        if (id == 0)
            return;
        wxCommandEvent command(wxEVT_MENU, id);
        list->GetEventHandler()->ProcessEvent(command);
    }
    wxString Label(const char* name) const { return In<wxStaticText>(testbed, name)->GetLabel(); }
    wxString LastRule() const
    {
        const swxBitmapListBox* rules = In<swxBitmapListBox>(testbed, "ID_CUSTOM_BMPLBX_RULES");
        return rules->GetItemText(rules->GetCount() - 1);
    }

    wxWeakRef<FrameFolderTestbed> testbed;
    swxFileListCtrl* list = nullptr;
    wxString menuLabels;
    FrameFolderTestbed::MenuPresenter previous;
};

TEST_F(FrameFolderTestbedTest, StationFolderListsEveryFileWithItsDecidingRule)
{
    OpenTestbed();
    EXPECT_EQ("Project: Work", Label("ID_STATICTEXT_PROJECT"));
    EXPECT_EQ("Folder: Docs", Label("ID_STATICTEXT_FOLDER"));
    EXPECT_EQ("test-station", In<wxChoice>(testbed, "ID_CHOICE_MEDIA")->GetStringSelection());
    RunTest();
    ListEvent(wxEVT_LIST_COL_CLICK, -1, 1);  // by file name
    EXPECT_EQ("\\a.txt:*.txt+ \\b.tmp:*.tmp- sub\\c.txt:*.txt+ sub\\d.bin:- subway\\e.txt:*.txt+",
              Rows());
    EXPECT_EQ("Close", In<wxButton>(testbed, "ID_BUTTON_CANCEL")->GetLabel());

    list->SetItemState(RowOf("c.txt"), wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    list->SetItemState(RowOf("d.bin"), wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    EXPECT_TRUE(PumpUntil([this] { return Label("ID_STATICTEXT_STATISTICS") == "Selected size 1.1 KB"; }))
        << Label("ID_STATICTEXT_STATISTICS");
    list->SetItemState(RowOf("c.txt"), 0, wxLIST_STATE_SELECTED);
    list->SetItemState(RowOf("d.bin"), 0, wxLIST_STATE_SELECTED);
    EXPECT_TRUE(PumpUntil([this] { return Label("ID_STATICTEXT_STATISTICS") == "Selected size Not available"; }))
        << Label("ID_STATICTEXT_STATISTICS");
}

// Rules made from a row join the next test at once and reach the catalogue with OK; the
// filters narrow the rows (the filter logic itself is FileListModel's).
TEST_F(FrameFolderTestbedTest, ContextMenuAddsRulesAndFilters)
{
    OpenTestbed();
    RunTest();
    ContextMenu("a.txt", 0);
    EXPECT_EQ("Add rule|Extension (*.txt)|Name (a*)|Reset filter|Filter by extension|"
              "Filter by filename|Filter by folder|Filter by subfolders|Filter by size (above)|"
              "Filter by size (below)|Filter by rule",
              menuLabels);
    ContextMenu("c.txt", 1017);
    EXPECT_EQ("Tree: sub", Label("ID_STATICTEXT_FILTER"));
    ListEvent(wxEVT_LIST_COL_CLICK, -1, 1);
    EXPECT_EQ("sub\\c.txt:*.txt+ sub\\d.bin:-", Rows());
    ContextMenu("c.txt", 1012);
    EXPECT_EQ("sub\\*", LastRule());
    ContextMenu("d.bin", 1011);
    EXPECT_EQ("d*", LastRule());
    ContextMenu("d.bin", 1010);
    EXPECT_EQ("*.bin", LastRule());
    ContextMenu("d.bin", 1013);
    EXPECT_EQ("", Label("ID_STATICTEXT_FILTER"));
    RunTest();
    ListEvent(wxEVT_LIST_COL_CLICK, -1, 1);
    EXPECT_EQ("\\a.txt:*.txt+ \\b.tmp:*.tmp- sub\\c.txt:*.txt+ sub\\d.bin:sub\\*+ "
              "subway\\e.txt:*.txt+",
              Rows());
    EXPECT_EQ(2, Scalar("select count(*) from ACLRULES"));
    ClickIn(testbed, "ID_BUTTON_OK");
    Settle();
    EXPECT_FALSE(testbed);
    EXPECT_EQ(5, Scalar("select count(*) from ACLRULES"));
    EXPECT_EQ(5u, Rules()->GetRulesList()->GetCount());  // the main window reloaded them
}

TEST_F(FrameFolderTestbedTest, MediumFolderIsFoundBelowTheMediumRootOnly)
{
    const wxString root = AddDrive("stick", kStick);
    AddMedium(kStick, "Stick");
    dir.Write("media/stick/Sync/Work/Docs/x.txt", "xx");
    OpenTestbed();
    ExecUpdate(wxString::Format("insert into MEPROJECT (GUID, FOLDER, MODIFIED, PROJECTID, MEDIAID, "
                                "DELETED) values ('m', 'Sync\\Work', '', %d, 1, 0)",
                                ProjectId("Work")));
    auto* side = In<wxChoice>(testbed, "ID_CHOICE_MEDIA");
    ASSERT_EQ(2u, side->GetCount());
    Choose(side, "Stick");
    RunTest();
    EXPECT_EQ("\\x.txt:*.txt+", Rows());

    ExecUpdate("update MEPROJECT set FOLDER='..\\..\\home'");
    wxTEST_DIALOG(ClickIn(testbed, "ID_BUTTON_RUN"),
                  ExpectMessage("The folder's location on the medium \"..\\..\\home\\Docs\" leads "
                                "outside the medium.",
                                wxOK, "Message"));
    EXPECT_FALSE(testbed->Testing());
    EXPECT_EQ(0, list->GetItemCount());
}

TEST_F(FrameFolderTestbedTest, ClosingDuringATestEndsTheThreadFirst)
{
    for (int n = 0; n < 300; ++n)
        dir.Write(wxString::Format("home/docs/many/f%d.txt", n), "x");
    OpenTestbed();
    ClickIn(testbed, "ID_BUTTON_RUN");
    ASSERT_TRUE(testbed->Testing());
    EXPECT_EQ("Stop", In<wxButton>(testbed, "ID_BUTTON_CANCEL")->GetLabel());
    EXPECT_FALSE(In<wxButton>(testbed, "ID_BUTTON_OK")->IsEnabled());
    testbed->Close();
    Settle();
    EXPECT_FALSE(testbed);
    // The main window forgot it: the command opens a new one.
    Click("ID_BITMAPBUTTON_RUN_TESTBED");
    testbed = TopWindow<FrameFolderTestbed>();
    ASSERT_TRUE(testbed);

    // Stop cancels; the rows received so far stay.
    list = In<swxFileListCtrl>(testbed, "ID_LIST_VIEW_FOLDERS");
    ClickIn(testbed, "ID_BUTTON_RUN");
    ClickIn(testbed, "ID_BUTTON_CANCEL");
    EXPECT_TRUE(PumpUntil([this] { return !testbed->Testing(); }));
    EXPECT_TRUE(testbed);
    EXPECT_EQ("Close", In<wxButton>(testbed, "ID_BUTTON_CANCEL")->GetLabel());
}

} // namespace
