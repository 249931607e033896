#include "editors/media_frame.h"

#include <wx/checkbox.h>
#include <wx/listbox.h>
#include <wx/translation.h>

#include "tests/editors/editors_fixture.h"

namespace {

using FrmMediaTest = EditorsTest;

// With a blank drive, a drive marked for "Other" and the media "Stick" and "Other": a marker
// that cannot be written, or would not read back as the GUID, leaves the drive as it was. A
// drive engaged, or whose medium is renamed, goes by the medium's name at once everywhere.
// Names are compared in any case, deleted media's too. A deleted medium's place goes to the
// next one, at the end of the list to the one before.
TEST_F(FrmMediaTest, DrivesAreEngagedAndMediaNamedAndDeleted)
{
    const char stick[] = "0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9";
    const char other[] = "11111111-2222-3333-4444-555555555555";
    const wxString blankRoot = AddDrive("blank", "");
    AddDrive("other", other);
    AddMedium(stick, "Stick");  // medium 1
    AddMedium(other, "Other");
    ExecUpdate("insert into MEDIA(GUID, NAME, MODIFIED, DELETED) values ('g', 'Gone', '', 1)");
    OpenWith();
    Command(dralvoFrame::ID_MENU_MEDIA_MANAGER);
    wxWeakRef<frmMedia> manager = TopWindow<frmMedia>();
    ASSERT_TRUE(manager);
    auto* list = In<wxListBox>(manager, "ID_LISTBOX_MEDIA");
    auto* caption = In<wxTextCtrl>(manager, "ID_TEXTCTRL_CAPTION");
    const auto pick = [&](const char* name) {
        list->SetStringSelection(name);
        widgets_test::Notify(list, wxEVT_LISTBOX);
    };
    const auto click = [&](const char* name) { ClickIn(manager, name); };
    const auto nameOf = [](unsigned mediumId) {  // the connected drive's name
        const ConnectedMediumPtr medium = FindConnectedMedium(mediumId);
        return medium ? medium->displayName.utf8_string() : std::string("<none>");
    };
    const wxString exists = "Medium with this name already exists!";
    const wxString sure = "Do you really wish to delete this medium?";
    const ExpectMessage notEngaged("The marker file " + blankRoot + "dralvo.txt could not be "
                                   "written.\nThe device was not engaged.", wxOK, "Message");
    EXPECT_EQ("", widgets_test::UnidentifiedControls(manager));
    pick("Stick");
    dir.MakeDir("media/blank/dralvo.txt");
    wxTEST_DIALOG(click("ID_BITMAPBUTTON_CONNECT"), notEngaged);
    ASSERT_TRUE(wxRmdir(blankRoot + "dralvo.txt"));
    ExecUpdate("update MEDIA set GUID='0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f''' where ID=1");
    wxTEST_DIALOG(click("ID_BITMAPBUTTON_CONNECT"), notEngaged);  // it would read back with "
    EXPECT_TRUE(In<wxTextCtrl>(manager, "ID_TEXTCTRL_UID")->IsEmpty() && !FindConnectedMedium(1));
    wxTEST_DIALOG(click("ID_BITMAPBUTTON_MEDIA_ADD"), wxExpectModal<wxTextEntryDialog>("New"));
    click("ID_BITMAPBUTTON_CONNECT");
    const std::string marker = ReadAll(blankRoot + "dralvo.txt");
    EXPECT_EQ(Text("select GUID from MEDIA where NAME='New'") + "|" + marker,  // no line end
              marker + "|" + In<wxTextCtrl>(manager, "ID_TEXTCTRL_UID")->GetValue());
    EXPECT_TRUE(FindConnectedMedium(4) && TemporariesUnder(blankRoot) == 0);  // New is 4
    EXPECT_EQ("New", nameOf(4));
    wxTEST_DIALOG(click("ID_BITMAPBUTTON_CONNECT"),
                  ExpectMessage("This device is already connected to the medium!", wxOK));

    pick("Stick");  // a drive marked for another medium: the user's choice decides
    const ExpectMessage refusal("The device's UID belongs to the medium \"Other\".\nTwo media "
                                "cannot have one UID.", wxOK, "Message");
    const char loose[] = "99999999-8888-7777-6666-555555555555";  // no live medium's
    // The question shows its message, its three choices and its buttons whole.
    const struct {
        const char *name, *marker;
        int choice;
        const char* stickGuid;
        bool refused, knownAsStick;  // known at once, before any new enumeration
        unsigned language = kLanguageEnglish;
    } cases[] = {
        {"connect to the selected medium", other, 0, stick, false, true},
        {"another live medium has the GUID", other, 1, stick, true, false},
        {"take over the drive's GUID", loose, 1, loose, false, true},
        {"do nothing", other, 2, stick, false, false},
        {"cancel", other, -1, stick, false, false},
        {"asked in Russian", other, -1, stick, false, false, kLanguageRussian},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExecUpdate(wxString("update MEDIA set GUID='") + stick + "' where NAME='Stick'");
        dir.Write("media/other/dralvo.txt", c.marker);
        click("ID_BITMAPBUTTON_REFRESH");
        Choose(In<wxChoice>(manager, "ID_CHOICE_CURRENT_MEDIA"), "other");
        soLanguage = c.language;
        LoadOptions();
        wxTEST_DIALOG(click("ID_BITMAPBUTTON_CONNECT"),
                      wxExpectModal<wxSingleChoiceDialog>(c.choice, true),
                      c.refused ? refusal : refusal.Optional());
        appLocale.reset();
        wxTranslations::Set(nullptr);  // the other messages are checked untranslated
        EXPECT_EQ(c.choice == 0 ? stick : c.marker, ReadAll(dir / "media/other/dralvo.txt"));
        EXPECT_EQ(c.stickGuid, Text("select GUID from MEDIA where NAME='Stick'"));
        EXPECT_EQ(c.knownAsStick, FindConnectedMedium(1) != nullptr);
        EXPECT_EQ(c.knownAsStick ? "Stick" : "<none>", nameOf(1));
    }

    Type(caption, "OTHER");
    wxTEST_DIALOG(pick("Other"), ExpectMessage(exists, wxOK, "Message"));
    wxTEST_DIALOG(click("ID_BITMAPBUTTON_MEDIA_ADD"), wxExpectModal<wxTextEntryDialog>("gone"),
                  ExpectMessage(exists));
    wxTEST_DIALOG(click("ID_BITMAPBUTTON_MEDIA_ADD"),
                  wxExpectModal<wxTextEntryDialog>("", true));  // cancelled: nothing added
    wxTEST_DIALOG(click("ID_BITMAPBUTTON_MEDIA_ADD"), wxExpectModal<wxTextEntryDialog>("Bob's"));
    pick("Stick");
    wxTEST_DIALOG(click("ID_BITMAPBUTTON_MEDIA_DELETE"),
                  ExpectMessage(sure, wxNO, "Deleting medium from database"));
    pick("Other");  // the first of Other, Stick, New, Bob"s
    wxTEST_DIALOG(click("ID_BITMAPBUTTON_MEDIA_DELETE"), ExpectMessage(sure, wxYES));
    EXPECT_EQ("Stick|Stick", caption->GetValue() + "|" + list->GetStringSelection());
    pick("Bob\"s");  // the last
    wxTEST_DIALOG(click("ID_BITMAPBUTTON_MEDIA_DELETE"), ExpectMessage(sure, wxYES));
    EXPECT_EQ("New|New", caption->GetValue() + "|" + list->GetStringSelection());
    Type(caption, kCraftedName);
    widgets_test::Toggle(In<wxCheckBox>(frame, "ID_CHECKBOX_CONNECTDED_MEDIA"));
    manager->Close();
    Settle();
    EXPECT_EQ(std::string(kCraftedStored) + "|Other",  // the drives blank and other
              wxJoin(In<wxChoice>(frame, "ID_CHOICE_MEDIA")->GetStrings(), '|').utf8_string());
    EXPECT_EQ(wxString("Stick0,Other1,Gone1,") + kCraftedStored + "0,Bob\"s1",
              Text("select group_concat(NAME || DELETED) from (select * from MEDIA order by ID)"));
}

} // namespace
