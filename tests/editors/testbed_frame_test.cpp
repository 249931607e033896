#include "editors/testbed_frame.h"

#include <memory>

#include <wx/menu.h>
#include <wx/stattext.h>

#include "editors/file_list_ctrl.h"
#include "tests/editors/editors_fixture.h"

namespace {

using Testbed = FrameFolderTestbed;
using FrameFolderTestbedTest = EditorsTest;

// Project "R&D", folder "Docs" at <dir>/home/docs with files of 3, 10, 100 and 1000 bytes, the
// rules "*.txt" (allow), "*.bin" (allow, deleted) and "*.tmp" (deny); a drive of the medium
// "Stick" with the folder at Sync\Work\Docs holding d.bin. Deleted rules take no part. The
// selection stays with the files through sorts and filters. Rules made from a row join the
// next test at once and reach the catalogue with OK. Closing during a test ends the test's
// thread first. "&" in names shows as itself.
TEST_F(FrameFolderTestbedTest, RulesAreTriedOnTheStationAndOnTheMedium)
{
    wxString menuLabels;  // of the context menu's rules; the menu itself is not shown
    const auto note = [&](wxWindow*, wxMenu& menu) {
        menuLabels.clear();
        for (int id = Testbed::ID_MENU_ADD_EXTENSION; id <= Testbed::ID_MENU_ADD_FOLDER; ++id)
            if (const wxMenuItem* item = menu.FindItem(id))
                menuLabels << item->GetItemLabelText() << "|";
    };
    const Testbed::MenuPresenter previous = Testbed::SetMenuPresenter(note);
    const std::shared_ptr<void> undo(nullptr, [&](void*) { Testbed::SetMenuPresenter(previous); });
    AddDrive("stick", "0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9");
    AddMedium("0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9", "Stick");
    dir.Write("media/stick/Sync/Work/Docs/d.bin", "xx");
    dir.Write(wxString("media/stick/Sync/Work/Docs/") + kCraftedName, "x");
    OpenWith({"R&D"}, {"Docs"});
    for (const auto& [name, size] : std::initializer_list<std::pair<const char*, int>>{
             {"a.txt", 3}, {"b.tmp", 10}, {"s&b/c.txt", 100}, {"s&b/d.bin", 1000}})
        dir.Write(wxString("home/docs/") + name, std::string(size, 'x'));
    ExecUpdate("insert into ACLRULES (FOLDERID, FILEMASK, NLINE, ALLOW, DELETED) values "
               "(1, '*.txt', 5, 1, 0), (1, '*.bin', 7, 1, 1), (1, '*.tmp', 10, 0, 0)");
    ExecUpdate("insert into MEPROJECT (GUID, FOLDER, MODIFIED, PROJECTID, MEDIAID, DELETED) "
               "values ('m', 'Sync\\Work', '', 1, 1, 0)");
    browseAnswers = {dir / "home/docs"};
    Click("ID_BITMAPBUTTON_LOCAL_DIR");
    Click("ID_BITMAPBUTTON_RUN_TESTBED");
    wxWeakRef<Testbed> testbed = TopWindow<Testbed>();
    ASSERT_TRUE(testbed);
    auto* list = In<swxFileListCtrl>(testbed, "ID_LIST_VIEW_FOLDERS");
    const auto label = [&](const char* n) { return In<wxStaticText>(testbed, n)->GetLabelText(); };
    const auto runTest = [&] {  // to its end, then the rows sorted by file name
        ClickIn(testbed, "ID_BUTTON_RUN");
        EXPECT_TRUE(PumpUntil([&] { return !testbed->Testing(); }));
        list->SortByColumn(1);
    };
    // Visible rows as "location\file:rule+" (+ allowed, - denied), in display order; then the
    // selected rows and the statistics label.
    const auto shown = [&] {
        wxString text;
        for (long n = 0; n < list->GetItemCount(); ++n) {
            const FileTestRecord* r = list->VisibleRecord(n);
            text << r->location << "\\" << r->file << ":" << r->rule << (r->allow ? "+ " : "- ");
        }
        for (long n = -1; (n = list->GetNextItem(n, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) >= 0;)
            text << n << ",";
        return text + "|" + label("ID_STATICTEXT_STATISTICS");
    };
    // A click on column n's header, or a right-click on row n and then the menu command id.
    const auto listClick = [&](long n, int id) {
        wxListEvent click(id ? wxEVT_LIST_ITEM_RIGHT_CLICK : wxEVT_LIST_COL_CLICK, list->GetId());
        click.m_itemIndex = n, click.m_col = static_cast<int>(n);
        list->GetEventHandler()->ProcessEvent(click);
        if (wxCommandEvent command(wxEVT_MENU, id); id != 0)
            list->GetEventHandler()->ProcessEvent(command);
    };

    EXPECT_EQ("Project: R&D|Folder: Docs",
              label("ID_STATICTEXT_PROJECT") + "|" + label("ID_STATICTEXT_FOLDER"));
    runTest();  // on the station
    EXPECT_EQ("\\a.txt:*.txt+ \\b.tmp:*.tmp- s&b\\c.txt:*.txt+ s&b\\d.bin:- |", shown());
    EXPECT_EQ("Close", In<wxButton>(testbed, "ID_BUTTON_CANCEL")->GetLabel());
    for (long row : {2, 3})  // c.txt and d.bin
        list->SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    EXPECT_TRUE(PumpUntil([&] { return shown().EndsWith("2,3,|Selected size 1.1 KB"); }));
    listClick(3, 0);
    listClick(3, 0);  // by size, descending
    EXPECT_EQ("s&b\\d.bin:- s&b\\c.txt:*.txt+ \\b.tmp:*.tmp- \\a.txt:*.txt+ 0,1,|Selected size "
              "1.1 KB", shown());
    listClick(1, Testbed::ID_MENU_FILTER_EXTENSION);  // c.txt; the filters are the model's
    EXPECT_EQ("s&b\\c.txt:*.txt+ \\a.txt:*.txt+ 0,|Selected size 100 B", shown());
    listClick(0, Testbed::ID_MENU_FILTER_SUBFOLDERS);
    EXPECT_EQ("Tree: s&b", label("ID_STATICTEXT_FILTER"));
    listClick(1, Testbed::ID_MENU_ADD_FOLDER);  // c.txt
    EXPECT_EQ("Extension (*.txt)|Name (c*)|Folder (s&b)|", menuLabels);
    listClick(0, Testbed::ID_MENU_ADD_NAME);  // d.bin
    listClick(0, Testbed::ID_MENU_ADD_EXTENSION);
    listClick(0, Testbed::ID_MENU_RESET_FILTER);
    Choose(In<wxChoice>(testbed, "ID_CHOICE_MEDIA"), "Stick");
    runTest();
    EXPECT_EQ(wxString("\\d.bin:d*+ \\") + kCraftedName + ":*.txt+ ",
              shown().BeforeFirst('|'));  // with the new rules and no filter
    listClick(1, Testbed::ID_MENU_ADD_NAME);  // a mask made from a name is quoted too
    ExecUpdate("update MEPROJECT set FOLDER='..\\..\\home'");
    wxTEST_DIALOG(ClickIn(testbed, "ID_BUTTON_RUN"),
                  ExpectMessage("The folder's location on the medium \"..\\..\\home\\Docs\" leads "
                                "outside the medium.", wxOK, "Message"));
    EXPECT_TRUE(!testbed->Testing() && Scalar("select count(*) from ACLRULES") == 3);
    ClickIn(testbed, "ID_BUTTON_OK");
    Settle();
    EXPECT_FALSE(testbed);
    EXPECT_EQ("*.txt1,*.bin1,*.tmp0,s&b\\*1,d*1,*.bin1," + wxString(kCraftedStored).BeforeLast('.')
              + "*1", Text("select group_concat(FILEMASK || ALLOW) from ACLRULES"));  // by ID
    EXPECT_EQ(0, Hijacked());

    Click("ID_BITMAPBUTTON_RUN_TESTBED");  // the main window forgot the closed one
    testbed = TopWindow<Testbed>();
    for (int n = 0; n < 300; ++n)
        dir.Write(wxString::Format("home/docs/many/f%d.txt", n), "x");
    ClickIn(testbed, "ID_BUTTON_RUN");
    ASSERT_TRUE(testbed->Testing() && !In<wxButton>(testbed, "ID_BUTTON_OK")->IsEnabled() &&
                In<wxButton>(testbed, "ID_BUTTON_CANCEL")->GetLabel() == "Stop");
    testbed->Close();
    EXPECT_FALSE(testbed->Testing());  // the test's thread ended before the window goes
}

} // namespace
