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

    static wxString MediumLocation(const char* medium)
    {
        return Text("select M.FOLDER from MEPROJECT M join MEDIA D on D.ID = M.MEDIAID "
                    "where D.NAME='" + wxString(medium) + "'");
    }
    static int StationLocations() { return Scalar("select count(*) from STAFOLDER"); }
    static void StoreMediumLocation(const char* medium, const char* folder)
    {
        ExecUpdate(wxString::Format("insert into MEPROJECT (GUID, FOLDER, MODIFIED, PROJECTID, "
                                    "MEDIAID, DELETED) select 'g', '%s', '', %d, ID, 0 "
                                    "from MEDIA where NAME='%s'",
                                    folder, ProjectId("Work"), medium));
    }
    static ExpectMessage RefusedQuote(const wxString& path)
    {
        return ExpectMessage(
            wxString::Format("The path \"%s\" contains a single quote ('), which the catalogue "
                             "cannot keep. Please choose a folder whose path has no single quote.",
                             path),
            wxOK, "Message");
    }

    wxString stickRoot;
};

TEST_F(MainFrameLocations, ChoosingStationLocationInsertsThenUpdatesItsRow)
{
    OpenWithMedia();
    const wxString first = dir.MakeDir("home/docs");
    const wxString second = dir.MakeDir("home/documents");
    EXPECT_FALSE(Folders()->GetItem(0)->flagA);

    browseAnswers = {first};
    Click("ID_BITMAPBUTTON_LOCAL_DIR");
    EXPECT_EQ("Choose virtual folder projection on the local computer", browseTitles.back());
    EXPECT_EQ("", browseStarts.back());
    EXPECT_EQ(first, LocalField()->GetValue());
    EXPECT_FALSE(LocalField()->IsModified());
    EXPECT_TRUE(Folders()->GetItem(0)->flagA);
    EXPECT_EQ(first, Text(wxString::Format("select FOLDER from STAFOLDER where FOLDERID=%d and "
                                           "STATIONID=%u and DELETED=0 and length(GUID)=36",
                                           FolderId("Docs"), stationId)));

    browseAnswers = {second};
    Click("ID_BITMAPBUTTON_LOCAL_DIR");
    EXPECT_EQ(first, browseStarts.back());
    EXPECT_EQ(1, StationLocations());
    EXPECT_EQ(second, Text("select FOLDER from STAFOLDER"));

    // The location comes back when the folder is shown again.
    AddFolder("Mail");
    EXPECT_EQ("", LocalField()->GetValue());
    ChooseFolder("Docs");
    EXPECT_EQ(second, LocalField()->GetValue());
}

TEST_F(MainFrameLocations, CancelledOrQuotedStationLocationStoresNothing)
{
    OpenWithMedia();
    browseAnswers = {""};
    Click("ID_BITMAPBUTTON_LOCAL_DIR");
    const wxString quoted = dir.MakeDir("home/Kitchen's photos");
    browseAnswers = {quoted};
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_LOCAL_DIR"), RefusedQuote(quoted));
    EXPECT_EQ(0, StationLocations());
    EXPECT_FALSE(Folders()->GetItem(0)->flagA);
    EXPECT_EQ("", LocalField()->GetValue());
}

TEST_F(MainFrameLocations, CatalogueModeListsEveryLiveMediumAndBrowsesOnlyConnectedOnes)
{
    ExecUpdate("insert into MEDIA(GUID, NAME, MODIFIED, DELETED) values "
               "('22222222-2222-2222-2222-222222222222', 'Gone', '2024-01-01 00:00:00', 1)");
    OpenWithMedia();
    ASSERT_EQ(2u, Media()->GetCount());
    EXPECT_EQ("Away", Media()->GetString(0));
    EXPECT_EQ("Stick", Media()->GetString(1));

    // No location stored: empty, and browsing is offered only in "Connected only" mode.
    EXPECT_EQ("", MediumField()->GetValue());
    EXPECT_FALSE(Enabled("ID_BITMAPBUTTON_MEDIA_DIR"));

    for (const char* medium : {"Away", "Stick"})
        StoreMediumLocation(medium, "Sync\\Work");
    ChooseMedium("Stick");
    EXPECT_EQ(stickRoot + "Sync/Work", MediumField()->GetValue());
    EXPECT_TRUE(Enabled("ID_BITMAPBUTTON_MEDIA_DIR"));
    ChooseMedium("Away");
    EXPECT_EQ("Sync\\Work", MediumField()->GetValue());
    EXPECT_FALSE(Enabled("ID_BITMAPBUTTON_MEDIA_DIR"));
    Click("ID_BITMAPBUTTON_MEDIA_DIR");  // not connected: no chooser
}

TEST_F(MainFrameLocations, ConnectedOnlyListsCatalogedDrivesAndBrowsesBelowTheirRoot)
{
    OpenWithMedia();
    ToggleConnectedOnly();
    ASSERT_EQ(1u, Media()->GetCount());
    EXPECT_EQ("Stick", Media()->GetString(0));
    EXPECT_EQ("", MediumField()->GetValue());
    EXPECT_TRUE(Enabled("ID_BITMAPBUTTON_MEDIA_DIR"));

    const wxString chosen = dir.MakeDir("media/stick/Sync/Work");
    browseAnswers = {chosen};
    Click("ID_BITMAPBUTTON_MEDIA_DIR");
    EXPECT_EQ("Select project folder on the media", browseTitles.back());
    EXPECT_EQ("Sync\\Work", MediumLocation("Stick"));
    EXPECT_EQ(chosen, MediumField()->GetValue());

    // A second choice updates the row.
    browseAnswers = {stickRoot + "Other"};
    Click("ID_BITMAPBUTTON_MEDIA_DIR");
    EXPECT_EQ(chosen, browseStarts.back());
    EXPECT_EQ("Other", MediumLocation("Stick"));
    EXPECT_EQ(1, Scalar("select count(*) from MEPROJECT"));

    const wxString outside = dir.MakeDir("media/plain/Sync");
    browseAnswers = {outside};
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_MEDIA_DIR"),
                  ExpectMessage("Selected directory is out of mount point of the medium!", wxOK,
                                "Message"));
    EXPECT_EQ("Other", MediumLocation("Stick"));
    EXPECT_EQ(stickRoot + "Other", MediumField()->GetValue());

    browseAnswers = {stickRoot + "It's here"};
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_MEDIA_DIR"), RefusedQuote(stickRoot + "It's here"));
    EXPECT_EQ("Other", MediumLocation("Stick"));

    // Back in catalogue mode the connected medium shows its stored location below its root.
    ToggleConnectedOnly();
    ChooseMedium("Stick");
    EXPECT_EQ(stickRoot + "Other", MediumField()->GetValue());

    // Without a catalogued drive connected there is nothing to browse.
    ExecUpdate("update MEDIA set GUID='none' where NAME='Stick'");
    Command(dralvoFrame::ID_MENU_REFRESH_MEDIA);
    ToggleConnectedOnly();
    EXPECT_EQ(0u, Media()->GetCount());
    EXPECT_EQ("", MediumField()->GetValue());
    EXPECT_FALSE(Enabled("ID_BITMAPBUTTON_MEDIA_DIR"));
}

TEST_F(MainFrameLocations, TypedLocationIsStoredRelativeWhenItBeginsWithTheRoot)
{
    OpenWithMedia();
    ChooseMedium("Stick");
    Type(MediumField(), stickRoot + "Sync/Work");
    ChooseMedium("Away");
    EXPECT_EQ("Sync\\Work", MediumLocation("Stick"));
    EXPECT_EQ("", MediumField()->GetValue());

    Type(MediumField(), "Backup/Work");
    AddProject("Home");  // a change of project stores it first
    EXPECT_EQ("Backup\\Work", MediumLocation("Away"));

    // Other letter case is not the root: the text is kept as typed, separators made "\".
    ChooseProject("Work");
    ChooseMedium("Stick");
    wxString upper = stickRoot;
    upper.MakeUpper();
    Type(MediumField(), upper + "Sync");
    Command(dralvoFrame::ID_MENU_REFRESH_MEDIA);
    wxString expected = upper + "Sync";
    expected.Replace("/", "\\");
    EXPECT_EQ(expected, Text(wxString::Format(
                            "select FOLDER from MEPROJECT where PROJECTID=%d and MEDIAID="
                            "(select ID from MEDIA where NAME='Stick')",
                            ProjectId("Work"))));
}

TEST_F(MainFrameLocations, StoredLocationLeavingTheMediumIsNeverShownAsAPath)
{
    OpenWithMedia();
    StoreMediumLocation("Stick", "..\\..\\home");
    ChooseMedium("Stick");
    EXPECT_EQ("..\\..\\home", MediumField()->GetValue());
}

TEST_F(MainFrameLocations, RefreshListsNewDrivesAndKeptDrivesSurviveAnotherEnumeration)
{
    OpenWithMedia();
    ToggleConnectedOnly();
    ASSERT_EQ(1u, Media()->GetCount());
    const wxString diskRoot = AddDrive("disk", kDiskGuid);
    AddMedium(kDiskGuid, "Disk");
    Command(dralvoFrame::ID_TOOL_REFRESH);
    ASSERT_EQ(2u, Media()->GetCount());
    EXPECT_EQ("Disk", Media()->GetString(0));
    ChooseMedium("Stick");

    // Another window enumerating the media again does not invalidate the drive shown here.
    EnumerateConnectedMedia(false);
    EnumerateConnectedMedia(false);
    browseAnswers = {stickRoot + "Sync"};
    Click("ID_BITMAPBUTTON_MEDIA_DIR");
    EXPECT_EQ("Sync", MediumLocation("Stick"));
}

TEST_F(MainFrameLocations, SameMarkerOnTwoDrivesKeepsEachDrivesRoot)
{
    AddDrive("a-stick", kStickGuid);
    const wxString second = AddDrive("b-copy", kStickGuid);
    AddMedium(kStickGuid, "Stick");
    OpenWith({"Work"});
    ToggleConnectedOnly();
    ASSERT_EQ(2u, Media()->GetCount());
    Choose(Media(), 1);
    browseAnswers = {second + "Sync"};
    Click("ID_BITMAPBUTTON_MEDIA_DIR");
    EXPECT_EQ("Sync", MediumLocation("Stick"));
    EXPECT_EQ(second + "Sync", MediumField()->GetValue());
}

} // namespace
