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
        widgets_test::Notify(MediaList(), wxEVT_LISTBOX);
    }

    wxWeakRef<frmMedia> manager;
    wxString blankRoot;
};

// A marker that cannot be written, or would not read back as the GUID, leaves the drive as it
// was. Names are compared in any case, deleted media's too. A deleted medium's place goes to
// the next one, at the end of the list to the one before.
TEST_F(FrmMediaTest, DrivesAreEngagedAndMediaNamedAndDeleted)
{
    const wxString exists = "Medium with this name already exists!";
    const wxString sure = "Do you really wish to delete this medium?";
    const ExpectMessage notEngaged("The marker file " + blankRoot + "dralvo.txt could not be "
                                   "written.\nThe device was not engaged.", wxOK, "Message");
    const auto stick = [] { return Scalar("select ID from MEDIA where NAME='Stick'"); };
    ExpectOwnIdentifiers(manager);
    ExecUpdate("insert into MEDIA(GUID, NAME, MODIFIED, DELETED) values ('g', 'Gone', '', 1)");
    dir.MakeDir("media/blank/dralvo.txt");
    wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_CONNECT"), notEngaged);
    ASSERT_TRUE(wxRmdir(blankRoot + "dralvo.txt"));
    ExecUpdate("update MEDIA set GUID='0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f''' where NAME='Stick'");
    wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_CONNECT"), notEngaged);  // reads back "
    EXPECT_EQ("", In<wxTextCtrl>(manager, "ID_TEXTCTRL_UID")->GetValue());
    EXPECT_EQ(nullptr, FindConnectedMedium(stick()));
    wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_MEDIA_ADD"),
                  wxExpectModal<wxTextEntryDialog>("New"));
    ClickIn(manager, "ID_BITMAPBUTTON_CONNECT");
    const std::string marker = ReadAll(blankRoot + "dralvo.txt");
    EXPECT_EQ(Text("select GUID from MEDIA where NAME='New'"), marker);  // no line end
    EXPECT_EQ(marker, In<wxTextCtrl>(manager, "ID_TEXTCTRL_UID")->GetValue());
    EXPECT_NE(nullptr, FindConnectedMedium(Scalar("select ID from MEDIA where NAME='New'")));
    EXPECT_EQ(0, TemporariesUnder(blankRoot));
    wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_CONNECT"),
                  ExpectMessage("This device is already connected to the medium!", wxOK));

    PickMedium("Stick");  // a drive marked for another medium: the user's choice decides
    const char loose[] = "99999999-8888-7777-6666-555555555555";  // no live medium's
    const struct {
        const char *name, *marker;
        int choice;
        const char* stickGuid;
        bool refused, knownAsStick;  // known at once, before any new enumeration
    } cases[] = {
        {"connect to the selected medium", kOther, 0, kStick, false, true},
        {"another live medium has the GUID", kOther, 1, kStick, true, false},
        {"take over the drive's GUID", loose, 1, loose, false, true},
        {"do nothing", kOther, 2, kStick, false, false},
        {"cancel", kOther, -1, kStick, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExecUpdate(wxString("update MEDIA set GUID='") + kStick + "' where NAME='Stick'");
        dir.Write("media/other/dralvo.txt", c.marker);
        ClickIn(manager, "ID_BITMAPBUTTON_REFRESH");
        Choose(In<wxChoice>(manager, "ID_CHOICE_CURRENT_MEDIA"), "other");
        if (c.refused) {
            wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_CONNECT"),
                          wxExpectModal<wxSingleChoiceDialog>(c.choice),
                          ExpectMessage("The device's UID belongs to the medium \"Other\".\n"
                                        "Two media cannot have one UID.", wxOK, "Message"));
        } else {
            wxTEST_DIALOG(ClickIn(manager, "ID_BITMAPBUTTON_CONNECT"),
                          wxExpectModal<wxSingleChoiceDialog>(c.choice));
        }
        EXPECT_EQ(c.choice == 0 ? kStick : c.marker, ReadAll(dir / "media/other/dralvo.txt"));
        EXPECT_EQ(c.stickGuid, Text("select GUID from MEDIA where NAME='Stick'"));
        EXPECT_EQ(c.knownAsStick, FindConnectedMedium(stick()) != nullptr);
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
    Type(Caption(), "Blue's");
    manager->Close();
    Settle();
    EXPECT_EQ("Stick0,Other1,Gone1,Blue\"s0,Bob\"s1",
              Text("select group_concat(NAME || DELETED) from (select * from MEDIA order by ID)"));
}

} // namespace
