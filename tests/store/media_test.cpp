#include "store/media.h"

#include <filesystem>

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

    wxString AddDrive(const wxString& name, const std::string& type = "vfat", bool removable = true,
                      const wxString& label = "", const std::string& probed = "")
    {
        return drives.Add(FakeDrive{"media/" + name, label, type, removable, probed});
    }
    // "label|fileSystem|uid " per listed drive.
    std::string Listed(bool showAll, const wxString& accepted = kAcceptedFileSystems)
    {
        ConnectedMediaList list;
        EXPECT_TRUE(EnumerateMediaDrives(list, showAll, accepted));
        std::string lines;
        for (const ConnectedMediumPtr& m : list)
            lines += ToUtf8(m->label + "|" + m->fileSystem + "|" + m->uid + " ");
        return lines;
    }

    FakeDrives drives{dir};
};

// Removable drives only unless all are asked, and only accepted file systems that can be read.
TEST_F(ConnectedMedia, ListsAcceptedReadableDrives)
{
    AddDrive("b-fixed", "ntfs3", false);
    AddDrive("a-stick", "vfat", true, "MY STICK");
    AddDrive("ext4", "ext4");
    AddDrive("fat", "msdos");
    std::filesystem::remove(ToUtf8(AddDrive("gone", "vfat")));
    AddDrive("ntfs-fuse", "fuseblk", true, "", "ntfs");
    EXPECT_EQ(Listed(false), "MY STICK|FAT32| fat|FAT32| ntfs-fuse|NTFS| ");
    EXPECT_EQ(Listed(true, "ntfs"), "b-fixed|NTFS| ntfs-fuse|NTFS| ");
}

// A marker is the 36-character GUID and nothing else, even when zeros follow it.
TEST_F(ConnectedMedia, OnlyAnExactMarkerIsRecognised)
{
    const wxString root = AddDrive("stick");
    ASSERT_TRUE(WriteMediumMarker(root.BeforeLast('/'), kGuid));  // no trailing slash given
    EXPECT_EQ(Listed(false), "stick|FAT32|" + std::string(kGuid) + " ");
    const std::string guid = kGuid;
    for (const std::string& marker :
         {guid + "\n", "\xEF\xBB\xBF" + guid, guid.substr(1), guid + std::string(65536, '\0')}) {
        dir.Write("media/stick/dralvo.txt", marker);
        EXPECT_EQ(Listed(false), "stick|FAT32| ") << marker.size();
    }
    dir.Write("media/stick/dralvo.txt", "'" + guid.substr(1));
    EXPECT_EQ(Listed(false), "stick|FAT32|\"" + guid.substr(1) + " ");
    // Read and written in place of a link, never through it.
    const wxString outside = dir.Write("outside.txt", kOtherGuid);
    std::filesystem::remove(ToUtf8(root + kMediumMarkerName));
    std::filesystem::create_symlink(ToUtf8(outside), ToUtf8(root + kMediumMarkerName));
    EXPECT_EQ(Listed(false), "stick|FAT32| ");
    ASSERT_TRUE(WriteMediumMarker(root, kGuid));
    EXPECT_EQ(ReadAll(outside), kOtherGuid);
    EXPECT_FALSE(std::filesystem::is_symlink(ToUtf8(root + kMediumMarkerName)));
    EXPECT_FALSE(WriteMediumMarker(dir / "no-such-drive/", kGuid));
}

// Deleted media are recognised too; records a window holds outlive the next enumeration.
TEST_F(ConnectedMedia, MatchesMarkersWithTheCatalogue)
{
    ExecUpdate(wxString::Format("insert into MEDIA(GUID, NAME, MODIFIED, DELETED) values "
                                "('%s', 'Backup', '', 1), ('%s', null, '', 0)", kGuid, kOtherGuid));
    const auto backupId = unsigned(Scalar("select ID from MEDIA where NAME='Backup'"));
    WriteMediumMarker(AddDrive("a", "vfat", true, "LABEL A"), kGuid);
    WriteMediumMarker(AddDrive("b"), "99999999-2222-3333-4444-555555555555");
    AddDrive("c");
    WriteMediumMarker(AddDrive("d"), kGuid);
    WriteMediumMarker(AddDrive("e"), kOtherGuid);
    EnumerateConnectedMedia(false);
    wxString found;
    for (const ConnectedMediumPtr& m : connectedMedia)
        found += (m->mediumId == backupId ? " B:" : m->mediumId ? " N:" : " 0:") + m->displayName;
    EXPECT_EQ(found, " B:Backup 0:b 0:c B:Backup N:");
    const ConnectedMediumPtr held = FindConnectedMedium(backupId);
    EXPECT_TRUE(held == connectedMedia[0] && !FindConnectedMedium(backupId + 100));
    ExecUpdate("update MEDIA set NAME='Renamed'");
    EnumerateConnectedMedia(false);
    EXPECT_EQ(held->displayName, "Backup");
    EXPECT_EQ(connectedMedia[0]->displayName, "Renamed");
}

} // namespace
