#include "engine/root_check.h"

#include <sys/stat.h>

#include <wx/intl.h>

#include "engine/sync_types.h"
#include "platform/drives.h"

RootIdentity ReadRootIdentity(const wxString& path)
{
    RootIdentity id;
    struct stat st {};
    const wxScopedCharBuffer native = path.utf8_str();
    if (path.empty() || ::lstat(native.data(), &st) != 0 || !S_ISDIR(st.st_mode))
        return id;
    id.exists = true;
    id.device = static_cast<std::uint64_t>(st.st_dev);
    id.inode = static_cast<std::uint64_t>(st.st_ino);
    return id;
}

static std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

bool IsMountedDriveRoot(const wxString& driveRoot)
{
    const std::string wanted = WithoutTrailingSlash(driveRoot.utf8_string());
    if (wanted.empty())
        return false;
    for (const MountedDrive& drive : ListMountedDrives()) {
        if (WithoutTrailingSlash(drive.mountPoint) == wanted)
            return true;
    }
    return false;
}

void RecordRootIdentities(FolderJob& folder)
{
    folder.stationRootId = ReadRootIdentity(folder.stationPath);
    folder.mediumRootId = ReadRootIdentity(folder.mediumPath);
    folder.driveRootId = folder.mediumDriveRoot.empty() ? RootIdentity{}
                                                        : ReadRootIdentity(folder.mediumDriveRoot);
}

wxString CheckRootIdentities(const FolderJob& folder)
{
    if (!folder.mediumDriveRoot.empty()) {
        if (!IsMountedDriveRoot(folder.mediumDriveRoot) ||
            ReadRootIdentity(folder.mediumDriveRoot) != folder.driveRootId)
            return wxString::Format(_("The medium %s is no longer the drive the analysis saw."),
                                    folder.mediumDriveRoot);
    }
    const struct {
        const wxString& path;
        const RootIdentity& seen;
    } roots[] = {{folder.stationPath, folder.stationRootId}, {folder.mediumPath, folder.mediumRootId}};
    for (const auto& root : roots) {
        if (root.seen.exists && ReadRootIdentity(root.path) != root.seen)
            return wxString::Format(_("The folder %s changed or vanished after the analysis."),
                                    root.path);
    }
    return wxString();
}
