#include "app/main_frame.h"

#include <gtest/gtest.h>

#include "tests/app/main_frame_fixture.h"

namespace {

constexpr char kStickGuid[] = "0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9";
constexpr char kDiskGuid[] = "11111111-2222-3333-4444-555555555555";
constexpr char kAwayGuid[] = "99999999-8888-7777-6666-555555555555";

class MainFrameLocations : public MainFrameTest {
protected:
    // A project "Work" with the folder "Docs"; a connected catalogued medium "Stick", a
    // connected drive without marker and a catalogued medium "Away" that is not connected.
    void OpenWithMedia()
    {
        stickRoot = AddDrive("stick", kStickGuid);
        AddDrive("plain", "");
        AddMedium(kStickGuid, "Stick");
        AddMedium(kAwayGuid, "Away");
        OpenWith({"Work"}, {"Docs"});
    }

    // The medium choice, the medium field (the stick's root as "<stick>/") and "+" when
    // browsing is offered: "Away,[Stick] <stick>/Sync +".
    wxString MediumShown() const
    {
        wxString field = MediumField()->GetValue();
        field.Replace(stickRoot, "<stick>/");
        const bool browse = Enabled("ID_BITMAPBUTTON_MEDIA_DIR");
        return ChoiceShown(Media()) + " " + field + (browse ? " +" : "");
    }
    // The station field and the folder's located flag: "/home/docs +".
    wxString LocalShown() const
    {
        const BitmapListItem* folder = Folders()->GetItem(Folders()->GetSelection());
        return LocalField()->GetValue() + (folder && folder->flagA ? " +" : "");
    }
    // "medium|location" of every stored medium location of the project "Work".
    static wxString MediumLocations()
    {
        return Rows(wxString::Format("select D.NAME, M.FOLDER from MEPROJECT M join MEDIA D on D.ID = "
                                     "M.MEDIAID where M.PROJECTID=%d order by D.NAME", ProjectId("Work")));
    }
    wxString stickRoot;
};

// The location comes back when the folder is shown again; a cancelled choice stores nothing, a
// quoted one is stored quoted. Browsing on a medium is offered only when it is connected; a stored location is shown
// below its root.
TEST_F(MainFrameLocations, ChoosingStationLocationAndCatalogueModeWithEveryLiveMedium)
{
    ExecUpdate("insert into MEDIA(GUID, NAME, MODIFIED, DELETED) values ('g', 'Gone', '', 1)");
    OpenWithMedia();
    const wxString first = dir.MakeDir("home/docs");
    const wxString second = dir.MakeDir("home/documents");
    const wxString quoted = dir.MakeDir(wxString("home/") + kCraftedName);
    const wxString stored = quoted.BeforeLast('/') + "/" + kCraftedStored;
    browseAnswers = {"", first};
    Click("ID_BITMAPBUTTON_LOCAL_DIR");
    EXPECT_EQ("", LocalShown());
    Click("ID_BITMAPBUTTON_LOCAL_DIR");
    EXPECT_EQ("Choose virtual folder projection on the local computer", browseTitles.back());
    EXPECT_EQ(first + " +", LocalShown());
    EXPECT_FALSE(LocalField()->IsModified());
    browseAnswers = {second, quoted};
    Click("ID_BITMAPBUTTON_LOCAL_DIR");
    Click("ID_BITMAPBUTTON_LOCAL_DIR");
    EXPECT_EQ((std::vector<wxString>{"", "", first, second}), browseStarts);
    EXPECT_EQ(wxString::Format("%s|%d|%u|0|36", stored, FolderId("Docs"), stationId),
              Rows("select FOLDER, FOLDERID, STATIONID, DELETED, length(GUID) from STAFOLDER"));

    NewFolder("Mail");
    EXPECT_EQ("", LocalShown());
    ChooseFolder("Docs");
    EXPECT_EQ(stored + " +", LocalShown());

    EXPECT_EQ("[Away],Stick ", MediumShown());
    ExecUpdate(wxString::Format("insert into MEPROJECT (GUID, FOLDER, MODIFIED, PROJECTID, MEDIAID, "
                                "DELETED) select 'g', 'Sync\\Work', '', %d, ID, 0 from MEDIA",
                                ProjectId("Work")));
    ChooseMedium("Stick");
    EXPECT_EQ("Away,[Stick] <stick>/Sync/Work +", MediumShown());
    ChooseMedium("Away");
    EXPECT_EQ("[Away],Stick Sync\\Work", MediumShown());
    Click("ID_BITMAPBUTTON_MEDIA_DIR");  // not connected: no chooser

    // A stored location leaving the medium is never shown as a path.
    ExecUpdate("update MEPROJECT set FOLDER='..\\..\\home'");
    ChooseMedium("Stick");
    EXPECT_EQ("Away,[Stick] ..\\..\\home +", MediumShown());

    // A change of medium stores the typed text first, relative to the root, a quote doubled
    // (the other changes and the conversion have tests of their own).
    ExecUpdate("delete from MEPROJECT");
    Type(MediumField(), stickRoot + "Sync/" + kCraftedName);
    ChooseMedium("Away");
    EXPECT_EQ("[Away],Stick ", MediumShown());
    EXPECT_EQ(wxString("Stick|Sync\\") + kCraftedStored, MediumLocations());
    EXPECT_EQ(0, Hijacked());
}

// Choices outside the medium are refused, a quote is stored quoted; a second choice updates
// the row.
TEST_F(MainFrameLocations, ConnectedOnlyListsCatalogedDrivesAndBrowsesBelowTheirRoot)
{
    OpenWithMedia();
    ToggleConnectedOnly();
    EXPECT_EQ("[Stick]  +", MediumShown());
    browseAnswers = {dir.MakeDir("media/stick/Sync/Work"), stickRoot + "Other",
                     dir.MakeDir("media/plain/Sync"), stickRoot + kCraftedName};
    Click("ID_BITMAPBUTTON_MEDIA_DIR");
    EXPECT_EQ("Select project folder on the media", browseTitles.back());
    EXPECT_EQ("[Stick] <stick>/Sync/Work +", MediumShown());
    Click("ID_BITMAPBUTTON_MEDIA_DIR");
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_MEDIA_DIR"),
                  ExpectMessage("Selected directory is out of mount point of the medium!", wxOK, "Message"));
    Click("ID_BITMAPBUTTON_MEDIA_DIR");
    EXPECT_EQ(stickRoot + "Sync/Work", browseStarts[1]);
    EXPECT_EQ(wxString("Stick|") + kCraftedStored, MediumLocations());
    EXPECT_EQ(wxString("[Stick] <stick>/") + kCraftedStored + " +", MediumShown());
    EXPECT_EQ(0, Hijacked());

    ToggleConnectedOnly();
    ChooseMedium("Stick");
    EXPECT_EQ(wxString("Away,[Stick] <stick>/") + kCraftedStored + " +", MediumShown());

    // Without a catalogued drive connected there is nothing to browse.
    ExecUpdate("update MEDIA set GUID='none' where NAME='Stick'");
    Command(dralvoFrame::ID_MENU_REFRESH_MEDIA);
    ToggleConnectedOnly();
    EXPECT_EQ(" ", MediumShown());

    // Another window enumerating the media again does not invalidate the drive shown here; the
    // same marker on two drives keeps each drive's root.
    ExecUpdate(wxString::Format("update MEDIA set GUID='%s' where NAME='Stick'", kStickGuid));
    const wxString copyRoot = AddDrive("stick-copy", kStickGuid);
    AddDrive("disk", kDiskGuid);
    AddMedium(kDiskGuid, "Disk");
    Command(dralvoFrame::ID_TOOL_REFRESH);
    EXPECT_EQ("[Disk],Stick,Stick  +", MediumShown());
    Choose(Media(), 2);
    EnumerateConnectedMedia(false);
    EnumerateConnectedMedia(false);
    browseAnswers = {copyRoot + "Sync"};
    Click("ID_BITMAPBUTTON_MEDIA_DIR");
    EXPECT_EQ("Stick|Sync", MediumLocations());
    EXPECT_EQ(copyRoot + "Sync", MediumField()->GetValue());
}

} // namespace
