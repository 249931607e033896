#include "editors/media_frame.h"

#include <wx/listbox.h>

#include "tests/editors/editors_fixture.h"

namespace {

constexpr char kStick[] = "0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9";
constexpr char kOther[] = "11111111-2222-3333-4444-555555555555";
constexpr char kExists[] = "Medium with this name already exists!";
constexpr char kDelete[] = "Do you really wish to delete this medium?";

// A blank drive first, a drive marked for "Other", the media "Stick" and "Other".
class FrmMediaTest : public EditorsTest {
protected:
    void SetUp() override
    {
        EditorsTest::SetUp();
        blankRoot = AddDrive("blank", "");
        otherRoot = AddDrive("other", kOther);
        AddMedium(kStick, "Stick");
        AddMedium(kOther, "Other");
        OpenWith();
    }

    // Opens a manager with the main window's command and picks the medium `name`.
    void OpenManager(const wxString& name = "Stick")
    {
        Command(dralvoFrame::ID_MENU_MEDIA_MANAGER);
        manager = TopWindow<frmMedia>(manager);
        ASSERT_NE(manager, nullptr);
        PickMedium(name);
    }
    void CloseManager()
    {
        std::exchange(manager, nullptr)->Close();
        Settle();
    }
    wxListBox* MediaList() const { return In<wxListBox>(manager, "ID_LISTBOX_MEDIA"); }
    wxTextCtrl* Caption() const { return In<wxTextCtrl>(manager, "ID_TEXTCTRL_CAPTION"); }
    void PickMedium(const wxString& name) const
    {
        MediaList()->SetStringSelection(name);
        wxCommandEvent select(wxEVT_LISTBOX, MediaList()->GetId());
        select.SetEventObject(MediaList());
        MediaList()->GetEventHandler()->ProcessEvent(select);
    }
    void AddNamed(const wxString& name, bool cancel = false)
    {
        wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_MEDIA_ADD"),
                      wxExpectModal<wxTextEntryDialog>(name, cancel));
    }
    // The chosen drive's mount point, file system and UID.
    wxString Device() const
    {
        wxString text;
        for (const char* name : {"ID_TEXTCTRL_POINT", "ID_TEXTCTRL_FS", "ID_TEXTCTRL_UID"})
            text << In<wxTextCtrl>(manager, name)->GetValue() << "|";
        return text;
    }

    frmMedia* manager = nullptr;
    wxString blankRoot;
    wxString otherRoot;
};

// A marker that cannot be written leaves the drive as it was. The records handed to a manager
// stay valid when another one enumerates the drives again.
TEST_F(FrmMediaTest, BlankDriveIsEngagedAsANewMediumWithoutAsking)
{
    OpenManager();
    frmMedia* first = manager;
    EXPECT_EQ(blankRoot + "|FAT32||", Device());  // the first drive
    dir.MakeDir("media/blank/dralvo.txt");
    wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_CONNECT"),
                  ExpectMessage("The marker file " + blankRoot +
                                    "dralvo.txt could not be written.\nThe device was not engaged.",
                                wxOK, "Message"));
    EXPECT_EQ(blankRoot + "|FAT32||", Device());
    EXPECT_EQ(nullptr, FindConnectedMedium(Scalar("select ID from MEDIA where NAME='Stick'")));
    ASSERT_TRUE(wxRmdir(blankRoot + "dralvo.txt"));
    AddNamed("New");
    EXPECT_EQ("New", MediaList()->GetStringSelection());
    OpenManager();
    ClickIn(manager, "ID_BITMAPBUTTON_REFRESH");
    CloseManager();

    manager = first;
    ClickIn(manager, "ID_BITMAPBUTTON_CONNECT");
    const std::string marker = ReadAll(blankRoot + "dralvo.txt");
    EXPECT_EQ(36u, marker.size());  // the GUID alone, no line end
    EXPECT_EQ(Text("select GUID from MEDIA where NAME='New'"), marker);
    EXPECT_EQ(blankRoot + "|FAT32|" + marker + "|", Device());
    EXPECT_NE(nullptr, FindConnectedMedium(Scalar("select ID from MEDIA where NAME='New'")));
    EXPECT_EQ(0, TemporariesUnder(blankRoot));
    wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_CONNECT"),
                  ExpectMessage("This device is already connected to the medium!", wxOK,
                                "Message"));
    CloseManager();
    // The main window's choice of connected media lists the engaged drive (by its label).
    ToggleConnectedOnly();
    EXPECT_NE(wxNOT_FOUND, Media()->FindString("blank"));
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
    OpenManager();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExecUpdate(wxString("update MEDIA set GUID='") + kStick + "' where NAME='Stick'");
        dir.Write("media/other/dralvo.txt", kOther);
        ClickIn(manager, "ID_BITMAPBUTTON_REFRESH");
        Choose(In<wxChoice>(manager, "ID_CHOICE_CURRENT_MEDIA"), "other");
        wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_CONNECT"),
                      wxExpectModal<wxSingleChoiceDialog>(c.choice));
        EXPECT_EQ(c.marker, ReadAll(otherRoot + "dralvo.txt"));
        EXPECT_EQ(c.stickGuid, Text("select GUID from MEDIA where NAME='Stick'"));
    }
}

// Names are compared in any case, deleted media's too; "Stick" is the drive's default name.
TEST_F(FrmMediaTest, NamesOfOtherMediaAreRefused)
{
    ExecUpdate("insert into MEDIA(GUID, NAME, MODIFIED, DELETED) values ('g', 'Gone', '', 1)");
    OpenManager();
    Type(Caption(), "OTHER");
    wxTEST_DIALOG(PickMedium("Other"), ExpectMessage(kExists, wxOK, "Message"));
    for (const char* taken : {"other", "gone", "Stick"})
        wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_MEDIA_ADD"),
                      wxExpectModal<wxTextEntryDialog>(taken), ExpectMessage(kExists));
    AddNamed("", true);
    AddNamed("Bob's");
    EXPECT_EQ("Bob\"s", Caption()->GetValue());
    Type(Caption(), "Blue");
    CloseManager();
    EXPECT_EQ("Stick,Other,Blue", Joined("select NAME from MEDIA where DELETED=0 order by ID"));
}

TEST_F(FrmMediaTest, DeletingSelectsTheMediumThatTookItsPlace)
{
    const struct {
        int count;
        const char* deleted;
        const char* selected;
    } cases[] = {{5, "M3", "M4"}, {5, "M5", "M4"}, {1, "M1", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.deleted);
        ExecUpdate("delete from MEDIA");
        for (int n = 1; n <= c.count; ++n)
            AddMedium(wxString::Format("g%d", n), wxString::Format("M%d", n));
        OpenManager(c.deleted);
        wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_MEDIA_DELETE"),
                      ExpectMessage(kDelete, wxNO, "Deleting medium from database"));
        wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_MEDIA_DELETE"),
                      ExpectMessage(kDelete, wxYES));
        EXPECT_EQ(c.deleted, Joined("select NAME from MEDIA where DELETED=1"));
        EXPECT_EQ(c.selected, Caption()->GetValue());
        EXPECT_EQ(c.selected, MediaList()->GetStringSelection());
        EXPECT_EQ(c.count - 1, static_cast<int>(MediaList()->GetCount()));
        CloseManager();
    }
}

} // namespace
