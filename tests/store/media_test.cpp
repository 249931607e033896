#include "store/media.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "store/database.h"
#include "store/text.h"
#include "tests/support/fake_drives.h"
#include "tests/support/test_env.h"

namespace {

constexpr char kGuid[] = "0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9";
constexpr char kOtherGuid[] = "11111111-2222-3333-4444-555555555555";

class ConnectedMedia : public CatalogTest {
protected:
    void TearDown() override
    {
        connectedMedia.clear();
        CatalogTest::TearDown();
    }

    wxString AddDrive(const wxString& dirName, const std::string& fsType = "vfat",
                      bool removable = true, const wxString& label = "")
    {
        FakeDrive drive;
        drive.mountDir = "media/" + dirName;
        drive.label = label;
        drive.fsType = fsType;
        drive.removable = removable;
        return drives.Add(drive);
    }
    // "label|fileSystem|uid" per listed drive.
    std::vector<std::string> Listed(bool showAll, const wxString& accepted = kAcceptedFileSystems)
    {
        ConnectedMediaList list;
        EXPECT_TRUE(EnumerateMediaDrives(list, showAll, accepted));
        std::vector<std::string> lines;
        for (const ConnectedMediumPtr& m : list)
            lines.push_back(ToUtf8(m->label + "|" + m->fileSystem + "|" + m->uid));
        return lines;
    }
    static void AddMedium(const wxString& guid, const wxString& name, bool deleted = false)
    {
        ExecUpdate(wxString::Format(
            "insert into MEDIA(GUID, NAME, MODIFIED, DELETED) values ('%s', %s, '2024-01-01', %d)",
            guid, name.empty() ? wxString("null") : "'" + name + "'", deleted ? 1 : 0));
    }

    FakeDrives drives{dir};
};

TEST_F(ConnectedMedia, ListsRemovableDrivesUnlessAllAreAsked)
{
    AddDrive("b-fixed", "ntfs3", false);
    AddDrive("a-stick", "vfat", true, "MY STICK");
    EXPECT_EQ(Listed(false), (std::vector<std::string>{"MY STICK|FAT32|"}));
    EXPECT_EQ(Listed(true), (std::vector<std::string>{"MY STICK|FAT32|", "b-fixed|NTFS|"}));
}

TEST_F(ConnectedMedia, ListsOnlyAcceptedReadableFileSystems)
{
    AddDrive("exfat", "exfat");
    AddDrive("ext4", "ext4");
    AddDrive("fat", "msdos");
    const wxString gone = AddDrive("gone", "vfat");
    std::filesystem::remove(ToUtf8(gone));
    FakeDrive fuse;
    fuse.mountDir = "media/ntfs-fuse";
    fuse.fsType = "fuseblk";
    fuse.probedFsType = "ntfs";
    drives.Add(fuse);
    EXPECT_EQ(Listed(true), (std::vector<std::string>{"fat|FAT32|", "ntfs-fuse|NTFS|"}));
    EXPECT_TRUE(Listed(true, "ntfs").size() == 1u);
}

TEST_F(ConnectedMedia, RecordCarriesRootAndMarkerExactlyAsWritten)
{
    const wxString root = AddDrive("stick");
    ASSERT_TRUE(WriteMediumMarker(root.BeforeLast('/'), kGuid));  // no trailing slash given
    EXPECT_EQ(ReadAll(root + kMediumMarkerName), kGuid);
    ConnectedMediaList list;
    EnumerateMediaDrives(list, false, kAcceptedFileSystems);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->root, root);
    EXPECT_EQ(list[0]->uid, kGuid);
}

TEST_F(ConnectedMedia, MalformedMarkersAreNotRecognised)
{
    const wxString root = AddDrive("stick");
    const std::string guid = kGuid;
    const std::string bad[] = {guid + "\n", guid + "\r\n", "\xEF\xBB\xBF" + guid, guid.substr(1)};
    for (const std::string& marker : bad) {
        dir.Write("media/stick/dralvo.txt", marker);
        EXPECT_EQ(Listed(false), (std::vector<std::string>{"stick|FAT32|"})) << marker;
    }
    std::string quoted = guid;
    quoted[0] = '\'';
    dir.Write("media/stick/dralvo.txt", quoted);
    EXPECT_EQ(Listed(false)[0], "stick|FAT32|\"" + guid.substr(1));
}

TEST_F(ConnectedMedia, MarkerIsNeverWrittenThroughALink)
{
    const wxString root = AddDrive("stick");
    const wxString outside = dir.Write("outside.txt", "keep");
    std::filesystem::create_symlink(ToUtf8(outside), ToUtf8(root + kMediumMarkerName));
    ASSERT_TRUE(WriteMediumMarker(root, kGuid));
    EXPECT_EQ(ReadAll(outside), "keep");
    EXPECT_FALSE(std::filesystem::is_symlink(ToUtf8(root + kMediumMarkerName)));
    EXPECT_FALSE(WriteMediumMarker(dir / "no-such-drive/", kGuid));
}

TEST_F(ConnectedMedia, MatchesMarkersWithTheCatalogueDeletedOrNot)
{
    AddMedium(kGuid, "Backup", true);
    AddMedium(kOtherGuid, "");
    const unsigned backupId = static_cast<unsigned>(Scalar("select ID from MEDIA where NAME='Backup'"));
    WriteMediumMarker(AddDrive("a", "vfat", true, "LABEL A"), kGuid);
    WriteMediumMarker(AddDrive("b"), "99999999-2222-3333-4444-555555555555");
    AddDrive("c");
    WriteMediumMarker(AddDrive("d"), kGuid);
    WriteMediumMarker(AddDrive("e"), kOtherGuid);

    EnumerateConnectedMedia(false);
    ASSERT_EQ(connectedMedia.size(), 5u);
    EXPECT_EQ(connectedMedia[0]->mediumId, backupId);
    EXPECT_EQ(connectedMedia[0]->displayName, "Backup");
    EXPECT_EQ(connectedMedia[1]->mediumId, 0u);  // a GUID the catalogue lacks
    EXPECT_EQ(connectedMedia[1]->displayName, "b");
    EXPECT_EQ(connectedMedia[2]->mediumId, 0u);
    EXPECT_EQ(connectedMedia[2]->displayName, "c");
    EXPECT_EQ(connectedMedia[3]->mediumId, backupId);
    EXPECT_EQ(connectedMedia[4]->displayName, "");  // NAME is null
    EXPECT_EQ(FindConnectedMedium(backupId), connectedMedia[0]);
    EXPECT_EQ(FindConnectedMedium(backupId + 100), nullptr);
}

TEST_F(ConnectedMedia, RecordsHeldByAWindowOutliveTheNextEnumeration)
{
    AddMedium(kGuid, "Backup");
    WriteMediumMarker(AddDrive("a"), kGuid);
    EnumerateConnectedMedia(false);
    const ConnectedMediumPtr held = FindConnectedMedium(connectedMedia[0]->mediumId);
    ExecUpdate("update MEDIA set NAME='Renamed'");
    EnumerateConnectedMedia(false);
    EXPECT_EQ(held->displayName, "Backup");
    EXPECT_EQ(connectedMedia[0]->displayName, "Renamed");
}

} // namespace
