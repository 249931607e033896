#include "editors/media_frame.h"

#include <wx/listbox.h>

#include "tests/editors/editors_fixture.h"

namespace {

constexpr char kStick[] = "0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9";
constexpr char kOther[] = "11111111-2222-3333-4444-555555555555";

// A blank drive first, a drive marked for "Other", the media "Stick" and "Other"; the manager
// open on "Stick".
class FrmMediaTest : public EditorsTest {
protected:
    void SetUp() override
    {
        EditorsTest::SetUp();
        blankRoot = AddDrive("blank", "");
        AddDrive("other", kOther);
        AddMedium(kStick, "Stick");
        AddMedium(kOther, "Other");
        OpenWith();
        Command(dralvoFrame::ID_MENU_MEDIA_MANAGER);
        manager = TopWindow<frmMedia>();
        ASSERT_NE(manager, nullptr);
        PickMedium("Stick");
    }

    wxListBox* MediaList() const { return In<wxListBox>(manager, "ID_LISTBOX_MEDIA"); }
    wxTextCtrl* Caption() const { return In<wxTextCtrl>(manager, "ID_TEXTCTRL_CAPTION"); }
    void PickMedium(const wxString& name) const
    {
        MediaList()->SetStringSelection(name);
        wxCommandEvent select(wxEVT_LISTBOX, MediaList()->GetId());
        MediaList()->GetEventHandler()->ProcessEvent(select);
    }

    wxWeakRef<frmMedia> manager;
    wxString blankRoot;
};

// A marker that cannot be written leaves the drive as it was. Names are compared in any case,
// deleted media's too. A deleted medium's place goes to the next one, at the end of the list
// to the one before.
TEST_F(FrmMediaTest, DrivesAreEngagedAndMediaNamedAndDeleted)
{
    const wxString exists = "Medium with this name already exists!";
    const wxString sure = "Do you really wish to delete this medium?";
    ExecUpdate("insert into MEDIA(GUID, NAME, MODIFIED, DELETED) values ('g', 'Gone', '', 1)");
    dir.MakeDir("media/blank/dralvo.txt");
    wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_CONNECT"),
                  ExpectMessage("The marker file " + blankRoot +
                                    "dralvo.txt could not be written.\nThe device was not engaged.",
                                wxOK, "Message"));
    EXPECT_EQ("", In<wxTextCtrl>(manager, "ID_TEXTCTRL_UID")->GetValue());
    EXPECT_EQ(nullptr, FindConnectedMedium(Scalar("select ID from MEDIA where NAME='Stick'")));
    ASSERT_TRUE(wxRmdir(blankRoot + "dralvo.txt"));
    wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_MEDIA_ADD"),
                  wxExpectModal<wxTextEntryDialog>("New"));
    ClickIn(manager, "ID_BITMAPBUTTON_CONNECT");
    const std::string marker = ReadAll(blankRoot + "dralvo.txt");
    EXPECT_EQ(36u, marker.size());  // the GUID alone, no line end
    EXPECT_EQ(Text("select GUID from MEDIA where NAME='New'"), marker);
    EXPECT_EQ(marker, In<wxTextCtrl>(manager, "ID_TEXTCTRL_UID")->GetValue());
    EXPECT_NE(nullptr, FindConnectedMedium(Scalar("select ID from MEDIA where NAME='New'")));
    EXPECT_EQ(0, TemporariesUnder(blankRoot));
    wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_CONNECT"),
                  ExpectMessage("This device is already connected to the medium!", wxOK));

    PickMedium("Stick");  // a drive marked for another medium: the user's choice decides
    const struct {
        const char *name, *marker, *stickGuid;
        int choice;
    } cases[] = {
        {"connect to the selected medium", kStick, kStick, 0},
        {"take over the drive's GUID", kOther, kOther, 1},
        {"do nothing", kOther, kStick, 2},
        {"cancel", kOther, kStick, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExecUpdate(wxString("update MEDIA set GUID='") + kStick + "' where NAME='Stick'");
        dir.Write("media/other/dralvo.txt", kOther);
        ClickIn(manager, "ID_BITMAPBUTTON_REFRESH");
        Choose(In<wxChoice>(manager, "ID_CHOICE_CURRENT_MEDIA"), "other");
        wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_CONNECT"),
                      wxExpectModal<wxSingleChoiceDialog>(c.choice));
        EXPECT_EQ(c.marker, ReadAll(dir / "media/other/dralvo.txt"));
        EXPECT_EQ(c.stickGuid, Text("select GUID from MEDIA where NAME='Stick'"));
    }

    Type(Caption(), "OTHER");
    wxTEST_DIALOG(PickMedium("Other"), ExpectMessage(exists, wxOK, "Message"));
    wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_MEDIA_ADD"),
                  wxExpectModal<wxTextEntryDialog>("gone"), ExpectMessage(exists));
    wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_MEDIA_ADD"),
                  wxExpectModal<wxTextEntryDialog>("", true));  // cancelled: nothing added
    wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_MEDIA_ADD"),
                  wxExpectModal<wxTextEntryDialog>("Bob's"));
    PickMedium("Stick");
    wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_MEDIA_DELETE"),
                  ExpectMessage(sure, wxNO, "Deleting medium from database"));
    PickMedium("Other");  // the first of Other, Stick, New, Bob"s
    wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_MEDIA_DELETE"), ExpectMessage(sure, wxYES));
    EXPECT_EQ("Stick|Stick", Caption()->GetValue() + "|" + MediaList()->GetStringSelection());
    PickMedium("Bob\"s");  // the last
    wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_MEDIA_DELETE"), ExpectMessage(sure, wxYES));
    EXPECT_EQ("New|New", Caption()->GetValue() + "|" + MediaList()->GetStringSelection());
    Type(Caption(), kCraftedName);
    manager->Close();
    Settle();
    EXPECT_EQ(wxString("Stick0,Other1,Gone1,") + kCraftedStored + "0,Bob\"s1",
              Text("select group_concat(NAME || DELETED) from (select * from MEDIA order by ID)"));
}

} // namespace
