#include "store/statements.h"
#include "tests/app/main_frame_fixture.h"

namespace {

constexpr char kStickGuid[] = "0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9";

// The station location comes back when the folder is shown again; a cancelled choice stores
// nothing, a quoted one is stored quoted. Browsing on a medium is offered only when it is connected, below its root; a
// stored location is shown below its root, one leaving the medium never as a path.
TEST_F(MainFrameTest, LocationsOnTheStationAndOnEveryLiveMedium)
{
    ExecUpdate("insert into MEDIA(GUID, NAME, MODIFIED, DELETED) values ('g', 'Gone', '', 1)");
    const wxString stick = AddDrive("stick", kStickGuid);
    AddDrive("plain", "");
    AddMedium(kStickGuid, "Stick");
    AddMedium("99999999-8888-7777-6666-555555555555", "Away");
    OpenWith({"Work"}, {"Docs"});
    // The medium choice, the medium field (the stick's root as "<stick>/") and "+" when
    // browsing is offered: "Away,[Stick] <stick>/Sync +".
    const auto medium = [&] {
        wxString field = MediumField()->GetValue();
        field.Replace(stick, "<stick>/");
        return Listed(Media()->GetStrings(), Media()->GetSelection()) + " " + field +
               (Enabled("ID_BITMAPBUTTON_MEDIA_DIR") ? " +" : "");
    };
    // The station field and the folder's located flag: "/home/docs +".
    const auto local = [&] {
        const BitmapListItem* folder = Folders()->GetItem(Folders()->GetSelection());
        return LocalField()->GetValue() + (folder && folder->flagA ? " +" : "");
    };
    const auto stored = [] {
        return Rows("select D.NAME, M.FOLDER from MEPROJECT M join MEDIA D on D.ID=M.MEDIAID");
    };
    const wxString first = dir.MakeDir("home/docs");
    const wxString quoted = dir.MakeDir(wxString("home/") + kCraftedName);
    const wxString kept = quoted.BeforeLast('/') + "/" + kCraftedStored;
    browseAnswers = {"", first};
    Click("ID_BITMAPBUTTON_LOCAL_DIR");
    EXPECT_EQ("", local());
    Click("ID_BITMAPBUTTON_LOCAL_DIR");
    EXPECT_EQ(first + " +", local());
    EXPECT_FALSE(LocalField()->IsModified());
    browseAnswers = {quoted};
    Click("ID_BITMAPBUTTON_LOCAL_DIR");  // starts at the location and updates the row
    EXPECT_EQ((std::vector<wxString>{"", "", first}), browseStarts);
    EXPECT_EQ(wxString::Format("%s|%d|%u|0|36", kept, FolderId("Docs"), stationId),
              Rows("select FOLDER, FOLDERID, STATIONID, DELETED, length(GUID) from STAFOLDER"));
    NewFolder("Mail");
    EXPECT_EQ("", local());
    ChooseFolder("Docs");
    EXPECT_EQ(kept + " +", local());

    EXPECT_EQ("[Away],Stick ", medium());
    ExecUpdate(wxString::Format("insert into MEPROJECT (GUID, FOLDER, MODIFIED, PROJECTID, "
                                "MEDIAID, DELETED) select 'g', 'Sync\\Work', '', %d, ID, 0 "
                                "from MEDIA", ProjectId("Work")));
    Choose(Media(), "Stick");
    EXPECT_EQ("Away,[Stick] <stick>/Sync/Work +", medium());
    Choose(Media(), "Away");
    EXPECT_EQ("[Away],Stick Sync\\Work", medium());
    Click("ID_BITMAPBUTTON_MEDIA_DIR");  // not connected: no chooser
    ExecUpdate("update MEPROJECT set FOLDER='..\\..\\home'");
    Choose(Media(), "Stick");
    EXPECT_EQ("Away,[Stick] ..\\..\\home +", medium());
    // A change of medium stores the typed text first, relative to the root, a quote doubled;
    // refilling the field is the program's own change and stores nothing.
    ExecUpdate("delete from MEPROJECT");
    Type(MediumField(), stick + "Sync/" + kCraftedName);
    Choose(Media(), "Away");
    EXPECT_EQ("[Away],Stick ", medium());
    ToggleConnectedOnly();
    ToggleConnectedOnly();
    Command(dralvoFrame::ID_MENU_REFRESH_MEDIA);
    NewProject("Third");
    Choose(Projects(), "Work");
    EXPECT_EQ(wxString("Stick|Sync\\") + kCraftedStored, stored());
    EXPECT_EQ(0, Hijacked());

    // Connected only: choices outside the medium are refused, a quote is stored quoted; a second
    // choice updates the row.
    ExecUpdate("delete from MEPROJECT");
    ToggleConnectedOnly();
    EXPECT_EQ("[Stick]  +", medium());
    browseAnswers = {dir.MakeDir("media/stick/Sync/Work"), stick + "Other",
                     dir.MakeDir("media/plain/Sync"), stick + kCraftedName};
    Click("ID_BITMAPBUTTON_MEDIA_DIR");
    EXPECT_EQ("[Stick] <stick>/Sync/Work +", medium());
    Click("ID_BITMAPBUTTON_MEDIA_DIR");
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_MEDIA_DIR"),
                  ExpectMessage("Selected directory is out of mount point of the medium!"));
    Click("ID_BITMAPBUTTON_MEDIA_DIR");
    EXPECT_EQ(stick + "Sync/Work", browseStarts[4]);
    EXPECT_EQ(wxString("Stick|") + kCraftedStored, stored());
    EXPECT_EQ(wxString("[Stick] <stick>/") + kCraftedStored + " +", medium());
    EXPECT_EQ(0, Hijacked());
    ToggleConnectedOnly();
    Choose(Media(), "Stick");
    EXPECT_EQ(wxString("Away,[Stick] <stick>/") + kCraftedStored + " +", medium());
    // Without a catalogued drive connected there is nothing to browse.
    ExecUpdate("update MEDIA set GUID='none' where NAME='Stick'");
    Command(dralvoFrame::ID_MENU_REFRESH_MEDIA);
    ToggleConnectedOnly();
    EXPECT_EQ(" ", medium());

    // Another window enumerating the media again does not invalidate the drive shown here; the
    // same marker on two drives keeps each drive's root.
    ExecUpdate(wxString::Format("update MEDIA set GUID='%s' where NAME='Stick'", kStickGuid));
    const wxString copy = AddDrive("stick-copy", kStickGuid);
    AddDrive("disk", "11111111-2222-3333-4444-555555555555");
    AddMedium("11111111-2222-3333-4444-555555555555", "Disk");
    Command(dralvoFrame::ID_TOOL_REFRESH);
    EXPECT_EQ("[Disk],Stick,Stick  +", medium());
    Choose(Media(), 2);
    EnumerateConnectedMedia(false);
    EnumerateConnectedMedia(false);
    browseAnswers = {copy + "Sync"};
    Click("ID_BITMAPBUTTON_MEDIA_DIR");
    EXPECT_EQ("Stick|Sync", stored());
    EXPECT_EQ(copy + "Sync", MediumField()->GetValue());
    // Quitting stores the typed location.
    Type(MediumField(), copy + "Home");
    CloseWindow(true);
    EXPECT_EQ("Stick|Home", stored());
}

// Locations that an import left deleted: the station's is not shown (the folder still counts as
// located); set again, by the chooser on the station and by typing on the medium, each is live
// once more, shown when the folder or medium is chosen again and offered for a run.
TEST_F(MainFrameTest, DeletedLocationsAreHiddenUntilSetAgain)
{
    const wxString stick = AddDrive("stick", kStickGuid);
    AddMedium(kStickGuid, "Stick");
    OpenWith({"Work"}, {"Docs", "Mail"});
    ExecUpdate(wxString::Format("insert into STAFOLDER (GUID, FOLDERID, STATIONID, FOLDER, MODIFIED, "
                                "DELETED) values ('s', %d, %u, '/old/docs', '', 1)",
                                FolderId("Docs"), stationId));
    ExecUpdate(wxString::Format("insert into MEPROJECT (GUID, FOLDER, MODIFIED, PROJECTID, MEDIAID, "
                                "DELETED) select 'm', 'Old', '', %d, ID, 1 from MEDIA",
                                ProjectId("Work")));
    const auto local = [&] {
        ChooseFolder("Mail");
        ChooseFolder("Docs");
        return LocalField()->GetValue() +
               (Folders()->GetItem(Folders()->GetSelection())->flagA ? " +" : "");
    };
    const auto offered = [] {
        return Rows(wxString::Format(kSqlSelectProjectsOnMedium,
                                     Scalar("select ID from MEDIA where NAME = 'Stick'")));
    };
    Choose(Projects(), "Work");
    EXPECT_EQ(" +", local());
    EXPECT_EQ("", offered());

    const wxString docs = dir.MakeDir("home/docs");
    browseAnswers = {docs};
    Click("ID_BITMAPBUTTON_LOCAL_DIR");
    EXPECT_EQ(docs + " +", local());
    EXPECT_EQ(docs + "|0", Rows("select FOLDER, DELETED from STAFOLDER"));

    Choose(Media(), "Stick");
    Type(MediumField(), stick + "Sync");
    Choose(Media(), "Stick");
    EXPECT_EQ(stick + "Sync", MediumField()->GetValue());
    EXPECT_EQ("Sync|0", Rows("select FOLDER, DELETED from MEPROJECT"));
    EXPECT_EQ(wxString::Format("%d|Work", ProjectId("Work")), offered());
}

} // namespace
