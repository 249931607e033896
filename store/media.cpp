#include "store/media.h"

#include "platform/drives.h"
#include "store/database.h"
#include "store/file_io.h"
#include "store/statements.h"
#include "store/text.h"

ConnectedMediaList connectedMedia;

namespace {

constexpr std::size_t kGuidLength = 36;
// A marker holds a GUID; a larger file is no marker and is not read at all.
constexpr std::size_t kMarkerMaxBytes = 4096;

// Fills in mediumId and displayName from the MEDIA row whose GUID is the marker's.
void MatchWithCatalog(ConnectedMedium& medium)
{
    medium.mediumId = 0;
    medium.displayName = medium.label;
    if (medium.uid.empty())
        return;
    wxSQLite3ResultSet row = ExecQuery(wxString::Format(kSqlSelectMediumByGuid, medium.uid));
    if (row.NextRow()) {
        medium.mediumId = static_cast<unsigned>(row.GetInt64(0).GetValue());
        medium.displayName = row.GetString(1, wxEmptyString);
    }
}

} // namespace

bool EnumerateMediaDrives(ConnectedMediaList& list, bool showAll, const wxString& accepted)
{
    const DriveRoots roots = DefaultDriveRoots();
    for (const MountedDrive& drive : ListMountedDrives(roots)) {
        if (!showAll && !IsRemovableDrive(drive, roots))
            continue;
        // The file system is judged before the directory is touched, so that pseudo and
        // network mounts are never opened.
        const wxString fileSystem = DriveFileSystemName(drive, roots);
        if (fileSystem.empty() || accepted.Find(fileSystem.Lower()) == wxNOT_FOUND)
            continue;
        const std::optional<wxString> label = ReadVolumeLabel(drive, roots);
        if (!label)
            continue;
        auto medium = std::make_shared<ConnectedMedium>();
        medium->label = *label;
        medium->root = DriveRoot(drive);
        medium->fileSystem = fileSystem;
        medium->uid = ReadMediumMarker(medium->root);
        list.push_back(std::move(medium));
    }
    return true;
}

void EnumerateConnectedMedia(bool showAll)
{
    connectedMedia.clear();
    ConnectedMediaList drives;
    EnumerateMediaDrives(drives, showAll, kAcceptedFileSystems);
    ConnectedMediaList media;
    media.reserve(drives.size());
    for (const ConnectedMediumPtr& drive : drives) {
        // Records handed out are never changed: complete a copy.
        auto medium = std::make_shared<ConnectedMedium>(*drive);
        MatchWithCatalog(*medium);
        media.push_back(std::move(medium));
    }
    connectedMedia = std::move(media);
}

wxString ReadMediumMarker(const wxString& root)
{
    const wxString path = root.EndsWith("/") ? root : root + "/";
    const auto data = ReadBinaryFileNoLink(path + kMediumMarkerName, kMarkerMaxBytes);
    if (!data)
        return wxString();
    std::string_view bytes(data->data(), data->size());
    bytes = bytes.substr(0, bytes.find('\0'));
    wxString uid = FromUtf8(bytes);
    uid.Replace("'", "\"");
    if (uid.length() != kGuidLength)
        uid.clear();
    return uid;
}

ConnectedMediumPtr FindConnectedMedium(unsigned mediumId)
{
    for (const ConnectedMediumPtr& medium : connectedMedia)
        if (medium->mediumId == mediumId)
            return medium;
    return nullptr;
}

bool WriteMediumMarker(const wxString& root, const wxString& guid)
{
    wxString path = root;
    if (!path.EndsWith("/"))
        path += "/";
    // WriteTextFile renames a finished temporary file into place, replacing (never following)
    // a link named like the marker.
    return WriteTextFile(path + kMediumMarkerName, guid);
}
