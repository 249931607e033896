#include "editors/media_frame.h"

#include <wx/choice.h>
#include <wx/listbox.h>

#include "tests/editors/editors_fixture.h"

namespace {

constexpr char kStick[] = "0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9";
constexpr char kOther[] = "11111111-2222-3333-4444-555555555555";
constexpr char kExists[] = "Medium with this name already exists!";

class FrmMediaTest : public EditorsTest {
protected:
    void TearDown() override
    {
        if (auto* window = TopWindow<frmMedia>())
            window->Close();
        Settle();
        EditorsTest::TearDown();
    }

    // Opens the manager with the main window's command.
    frmMedia* OpenManager()
    {
        Command(dralvoFrame::ID_MENU_MEDIA_MANAGER);
        manager = TopWindow<frmMedia>();
        EXPECT_NE(manager, nullptr);
        return manager;
    }
    wxListBox* MediaList() const { return In<wxListBox>(manager, "ID_LISTBOX_MEDIA"); }
    wxTextCtrl* Field(const char* name) const { return In<wxTextCtrl>(manager, name); }
    void PickMedium(const wxString& name) const
    {
        wxListBox* list = MediaList();
        const int n = list->FindString(name, true);
        ASSERT_NE(n, wxNOT_FOUND) << name;
        list->SetSelection(n);
        wxCommandEvent select(wxEVT_LISTBOX, list->GetId());
        select.SetEventObject(list);
        list->GetEventHandler()->ProcessEvent(select);
    }
    void PickDevice(const wxString& label) const
    {
        Choose(In<wxChoice>(manager, "ID_CHOICE_CURRENT_MEDIA"), label);
    }
    static wxString Live() { return Joined("select NAME from MEDIA where DELETED=0 order by ID"); }
    static wxString GuidOf(const char* name)
    {
        return Text(wxString::Format("select GUID from MEDIA where NAME='%s'", name));
    }
    // A blank drive, a drive marked for "Other", the media "Stick" and "Other", the manager
    // open on "Stick".
    void OpenWithDrives()
    {
        blankRoot = AddDrive("blank", "");
        otherRoot = AddDrive("other", kOther);
        AddMedium(kStick, "Stick");
        AddMedium(kOther, "Other");
        Open();
        OpenManager();
        PickMedium("Stick");
    }

    frmMedia* manager = nullptr;
    wxString blankRoot;
    wxString otherRoot;
};

TEST_F(FrmMediaTest, BlankDriveIsEngagedAsANewMediumWithoutAsking)
{
    OpenWithDrives();
    EXPECT_EQ(blankRoot, Field("ID_TEXTCTRL_POINT")->GetValue());  // the first drive
    EXPECT_EQ("FAT32", Field("ID_TEXTCTRL_FS")->GetValue());
    EXPECT_EQ("", Field("ID_TEXTCTRL_UID")->GetValue());
    wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_MEDIA_ADD"),
                  wxExpectModal<wxTextEntryDialog>("New"));
    EXPECT_EQ("New", MediaList()->GetStringSelection());
    ClickIn(manager, "ID_BITMAPBUTTON_CONNECT");
    const std::string marker = ReadAll(blankRoot + "dralvo.txt");
    EXPECT_EQ(36u, marker.size());  // the GUID alone, no line end
    EXPECT_EQ(GuidOf("New"), marker);
    EXPECT_EQ(GuidOf("New"), Field("ID_TEXTCTRL_UID")->GetValue());
    EXPECT_NE(nullptr, FindConnectedMedium(Scalar("select ID from MEDIA where NAME='New'")));
    EXPECT_EQ(0, TemporariesUnder(blankRoot));

    // Engaging again only tells.
    wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_CONNECT"),
                  ExpectMessage("This device is already connected to the medium!", wxOK, "Message"));
}

TEST_F(FrmMediaTest, DriveOfAnotherMediumIsHandledAsTheUserChooses)
{
    const struct {
        const char* name;
        int choice;
        const char* marker;
        const char* stickGuid;
    } cases[] = {
        {"connect to the selected medium", 0, kStick, kStick},
        {"take over the drive's GUID", 1, kOther, kOther},
        {"do nothing", 2, kOther, kStick},
        {"cancel", -1, kOther, kStick},
    };
    OpenWithDrives();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExecUpdate(wxString::Format("update MEDIA set GUID='%s' where NAME='Stick'", kStick));
        dir.Write("media/other/dralvo.txt", kOther);
        ClickIn(manager, "ID_BITMAPBUTTON_REFRESH");
        PickDevice("other");
        wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_CONNECT"),
                      wxExpectModal<wxSingleChoiceDialog>(c.choice));
        EXPECT_EQ(c.marker, ReadAll(otherRoot + "dralvo.txt"));
        EXPECT_EQ(c.stickGuid, GuidOf("Stick"));
    }
}

TEST_F(FrmMediaTest, MarkerThatCannotBeWrittenLeavesTheDriveUnengaged)
{
    OpenWithDrives();
    dir.MakeDir("media/blank/dralvo.txt");  // a directory where the marker belongs
    PickDevice("blank");
    wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_CONNECT"),
                  ExpectMessage(wxString::Format("The marker file %sdralvo.txt could not be "
                                                 "written.\nThe device was not engaged.",
                                                 blankRoot),
                                wxOK, "Message"));
    EXPECT_EQ("", Field("ID_TEXTCTRL_UID")->GetValue());
    EXPECT_EQ(nullptr, FindConnectedMedium(Scalar("select ID from MEDIA where NAME='Stick'")));
    EXPECT_EQ(0, TemporariesUnder(blankRoot));
}

TEST_F(FrmMediaTest, NamesOfOtherMediaAreRefused)
{
    OpenWithDrives();
    ExecUpdate("insert into MEDIA(GUID, NAME, MODIFIED, DELETED) values ('g', 'Gone', '', 1)");
    Type(Field("ID_TEXTCTRL_CAPTION"), "OTHER");
    wxTEST_DIALOG(PickMedium("Other"), ExpectMessage(kExists, wxOK, "Message"));
    for (const char* taken : {"other", "gone", "Stick"})  // "Stick": the drive's default name
        wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_MEDIA_ADD"),
                      wxExpectModal<wxTextEntryDialog>(taken), ExpectMessage(kExists));
    wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_MEDIA_ADD"),
                  wxExpectModal<wxTextEntryDialog>("", true));
    EXPECT_EQ("Stick,Other", Live());

    wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_MEDIA_ADD"),
                  wxExpectModal<wxTextEntryDialog>("Bob's"));
    EXPECT_EQ("Bob\"s", Field("ID_TEXTCTRL_CAPTION")->GetValue());
    Type(Field("ID_TEXTCTRL_CAPTION"), "Blue");
    manager->Close();
    Settle();
    EXPECT_EQ("Stick,Other,Blue", Live());
}

TEST_F(FrmMediaTest, DeletingSelectsTheMediumThatTookItsPlace)
{
    const struct {
        const char* name;
        int count;
        const char* deleted;
        const char* selected;
    } cases[] = {
        {"third of five", 5, "M3", "M4"},
        {"last of five", 5, "M5", "M4"},
        {"the only one", 1, "M1", ""},
    };
    Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExecUpdate("delete from MEDIA");
        for (int n = 1; n <= c.count; ++n)
            AddMedium(wxString::Format("g%d", n), wxString::Format("M%d", n));
        OpenManager();
        PickMedium(c.deleted);
        wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_MEDIA_DELETE"),
                      ExpectMessage("Do you really wish to delete this medium?", wxNO,
                                    "Deleting medium from database"));
        EXPECT_EQ(c.count, static_cast<int>(MediaList()->GetCount()));
        wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_MEDIA_DELETE"),
                      ExpectMessage("Do you really wish to delete this medium?", wxYES));
        EXPECT_EQ(1, Scalar(wxString::Format("select DELETED from MEDIA where NAME='%s'", c.deleted)));
        EXPECT_EQ(c.selected, Field("ID_TEXTCTRL_CAPTION")->GetValue());
        EXPECT_EQ(c.selected, MediaList()->GetStringSelection());
        manager->Close();
        Settle();
    }
}

// Records handed to a window stay valid when another window enumerates the drives again.
TEST_F(FrmMediaTest, TwoManagersSurviveEachOthersRefresh)
{
    OpenWithDrives();
    frmMedia* first = manager;
    PickDevice("blank");
    Command(dralvoFrame::ID_MENU_MEDIA_MANAGER);
    frmMedia* second = nullptr;
    for (wxWindow* window : wxTopLevelWindows)
        if (window != first && dynamic_cast<frmMedia*>(window) != nullptr)
            second = dynamic_cast<frmMedia*>(window);
    ASSERT_NE(second, nullptr);
    ClickIn(second, "ID_BITMAPBUTTON_REFRESH");
    ClickIn(first, "ID_BITMAPBUTTON_CONNECT");
    EXPECT_EQ(kStick, ReadAll(blankRoot + "dralvo.txt"));
    second->Close();
    Settle();
    // The main window's choice of connected media lists the engaged drive (by its label).
    first->Close();
    Settle();
    ToggleConnectedOnly();
    EXPECT_NE(wxNOT_FOUND, Media()->FindString("blank"));
}

} // namespace
